// A cursor over a MIDI file's bytes that never reads past them: a read beyond the end gives 0
// and clears `ok`.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string_view>

namespace zb::audio {

struct MidiBytes {
    std::string_view b;
    size_t pos = 0;
    bool ok = true;

    uint32_t Byte() {
        if (pos >= b.size()) return ok = false, 0;
        return uint8_t(b[pos++]);
    }
    uint32_t Fixed(int n) {
        uint32_t v = 0;
        while (n--) v = (v << 8) | Byte();
        return v;
    }
    uint32_t VarLen() {
        uint32_t v = 0;
        for (int i = 0; i < 4; ++i) {
            const uint32_t c = Byte();
            v = (v << 7) | (c & 0x7F);
            if (!(c & 0x80)) return v;
        }
        return ok = false, 0;
    }
    void Skip(uint32_t n) {
        if (n > b.size() - std::min(pos, b.size())) ok = false;
        pos = std::min<size_t>(b.size(), pos + n);
    }
};

// Calls `track(bytes)` with each of the tracks the header counts, skipping chunks of other kinds;
// the header's division goes to `division`. False when the file is not MIDI: no header, or not
// one track where the header says.
template <typename F>
bool ForEachTrack(std::string_view bytes, uint32_t& division, F&& track) {
    MidiBytes r{bytes};
    if (bytes.substr(0, 4) != "MThd") return false;
    r.pos = 4;
    const uint32_t headerLen = r.Fixed(4);
    r.Fixed(2);  // format
    const uint32_t tracks = r.Fixed(2);
    division = r.Fixed(2);
    if (!r.ok || headerLen < 6 || headerLen > bytes.size() - 8 || division == 0 || tracks == 0)
        return false;
    r.pos = 8 + headerLen;
    uint32_t t = 0;
    for (; t < tracks && r.ok && r.pos + 8 <= bytes.size();) {
        const std::string_view id = bytes.substr(r.pos, 4);
        r.pos += 4;
        const uint32_t len = r.Fixed(4);
        const size_t start = r.pos;
        r.Skip(len);
        if (id != "MTrk") continue;
        track(bytes.substr(start, r.pos - start));
        ++t;
    }
    return t > 0;
}

}  // namespace zb::audio
