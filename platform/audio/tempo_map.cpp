#include "platform/audio/tempo_map.hpp"

#include <algorithm>
#include <cmath>

#include "platform/audio/midi_bytes.hpp"

namespace zb::audio {

namespace {

struct TempoEvent {
    int64_t tick;
    uint32_t usPerQuarter;
};

// Walks one track: its tempo events and its last tick. False when the track is cut short.
bool ReadTrack(std::string_view track, std::vector<TempoEvent>& tempos, int64_t& endTick) {
    MidiBytes r{track};
    int64_t tick = 0;
    uint32_t running = 0;
    while (r.ok && r.pos < track.size()) {
        tick += r.VarLen();
        uint32_t status = r.Byte();
        if (status < 0x80) {  // running status: this byte is the first data byte
            if (!running) return false;
            --r.pos;
            status = running;
        }
        if (status == 0xFF) {
            const uint32_t type = r.Byte();
            const uint32_t len = r.VarLen();
            if (type == 0x51 && len == 3) {
                tempos.push_back({tick, r.Fixed(3)});
            } else {
                r.Skip(len);
            }
            if (type == 0x2F) break;  // end of track
        } else if (status == 0xF0 || status == 0xF7) {
            r.Skip(r.VarLen());
        } else {
            running = status;
            const uint32_t kind = status & 0xF0;
            r.Skip(kind == 0xC0 || kind == 0xD0 ? 1 : 2);
        }
        if (r.ok) endTick = std::max(endTick, tick);
    }
    return r.ok;
}

}  // namespace

TempoMap TempoMap::FromMidi(std::string_view bytes) {
    TempoMap map;
    uint32_t division = 0;
    std::vector<TempoEvent> tempos;
    if (!ForEachTrack(bytes, division,
                      [&](std::string_view track) { ReadTrack(track, tempos, map.endTick_); }))
        return map;
    map.valid_ = true;

    if (division & 0x8000) {  // SMPTE: frames a second and ticks a frame, no tempo
        const int fps = 256 - int(division >> 8);
        const int perFrame = int(division & 0xFF);
        map.changes_.push_back({0, 0, 1.0 / std::max(1, fps * std::max(1, perFrame))});
        return map;
    }
    // The player keeps the tempo in whole microseconds a quarter; a later track's change at the
    // same tick wins, as the player reads the tracks in order.
    std::stable_sort(tempos.begin(), tempos.end(),
                     [](const TempoEvent& a, const TempoEvent& b) { return a.tick < b.tick; });
    map.changes_.push_back({0, 0, 500000e-6 / division});
    for (const TempoEvent& e : tempos) {
        Change& last = map.changes_.back();
        const double perTick = std::max<uint32_t>(e.usPerQuarter, 1) * 1e-6 / division;
        if (e.tick == last.tick) {
            last.secondsPerTick = perTick;
            continue;
        }
        map.changes_.push_back(
            {e.tick, last.seconds + double(e.tick - last.tick) * last.secondsPerTick, perTick});
    }
    return map;
}

double TempoMap::Seconds(int64_t tick) const {
    if (changes_.empty()) return 0;
    auto it = std::upper_bound(changes_.begin(), changes_.end(), tick,
                               [](int64_t t, const Change& c) { return t < c.tick; });
    const Change& c = *std::prev(it == changes_.begin() ? std::next(it) : it);
    return c.seconds + double(tick - c.tick) * c.secondsPerTick;
}

int64_t TempoMap::TickAt(double seconds) const {
    if (changes_.empty() || seconds <= 0) return 0;
    auto it = std::upper_bound(changes_.begin(), changes_.end(), seconds,
                               [](double s, const Change& c) { return s < c.seconds; });
    const Change& c = *std::prev(it);
    // A hair over, so that a position computed from a tick gives that tick back.
    return c.tick + int64_t(std::floor((seconds - c.seconds) / c.secondsPerTick + 1e-6));
}

}  // namespace zb::audio
