#include "platform/audio/music_sequence.hpp"

#include <algorithm>

#include "platform/audio/midi_bytes.hpp"

namespace zb::audio {

namespace {

struct Timed {
    int64_t tick;
    MusicEvent event;
};

// Walks one track into `out` and its tempo changes into `tempos`, until its end, a cut, or the
// events' limit.
void ReadTrack(std::string_view track, std::vector<Timed>& out, std::string& sysex,
               std::vector<TempoChange>& tempos) {
    MidiBytes r{track};
    int64_t tick = 0;
    uint32_t running = 0;
    while (r.ok && r.pos < track.size() && out.size() < MusicSequence::kMaxEvents) {
        tick += r.VarLen();
        uint32_t status = r.Byte();
        if (status < 0x80) {  // running status: this byte is the first data byte
            if (!running) return;
            --r.pos;
            status = running;
        }
        if (status == 0xFF) {
            const uint32_t type = r.Byte();
            const uint32_t len = r.VarLen();
            if (type == 0x51 && len == 3)
                tempos.push_back({tick, r.Fixed(3)});
            else
                r.Skip(len);
            if (type == 0x2F) return;  // end of track
        } else if (status == 0xF0) {
            const uint32_t len = r.VarLen();
            const size_t at = r.pos;
            r.Skip(len);
            if (!r.ok) return;
            std::string_view data = track.substr(at, len);
            if (!data.empty() && uint8_t(data.back()) == 0xF7) data.remove_suffix(1);
            Timed t{tick, {}};
            t.event.status = 0xF0;
            t.event.sysex = uint32_t(sysex.size());
            t.event.sysexLength = uint32_t(data.size());
            sysex.append(data);
            out.push_back(t);
        } else if (status == 0xF7) {  // an escaped packet: nothing the synth takes
            r.Skip(r.VarLen());
        } else if (status >= 0xF1) {  // not allowed in a file: nothing sensible follows
            return;
        } else {
            running = status;
            const uint32_t kind = status & 0xF0;
            Timed t{tick, {}};
            t.event.status = uint8_t(status);
            t.event.data1 = uint8_t(r.Byte() & 0x7F);
            if (kind != 0xC0 && kind != 0xD0) t.event.data2 = uint8_t(r.Byte() & 0x7F);
            if (r.ok) out.push_back(t);
        }
    }
}

}  // namespace

MusicSequence MusicSequence::FromMidi(std::string_view bytes) {
    MusicSequence s;
    uint32_t division = 0;
    std::vector<Timed> timed;
    std::vector<TempoChange> tempos;
    if (!ForEachTrack(bytes, division,
                      [&](std::string_view track) { ReadTrack(track, timed, s.sysex, tempos); }))
        return s;
    s.tempoMap = TempoMap::FromTempos(division, std::move(tempos));
    // Tracks are read one after the other: at one tick, the earlier track's events go first.
    std::stable_sort(timed.begin(), timed.end(),
                     [](const Timed& a, const Timed& b) { return a.tick < b.tick; });
    s.events.reserve(timed.size());
    for (Timed& t : timed) {
        t.event.song = s.tempoMap.Seconds(t.tick);
        s.events.push_back(t.event);
    }
    return s;
}

size_t MusicSequence::FirstFrom(double song) const {
    return size_t(std::lower_bound(events.begin(), events.end(), song,
                                   [](const MusicEvent& e, double s) { return e.song < s; }) -
                  events.begin());
}

}  // namespace zb::audio
