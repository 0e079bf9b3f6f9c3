#include "platform/audio/tempo_map.hpp"

#include <algorithm>
#include <cmath>

#include "platform/audio/music_sequence.hpp"

namespace zb::audio {

TempoMap TempoMap::FromMidi(std::string_view bytes) {
    return MusicSequence::FromMidi(bytes).tempoMap;
}

TempoMap TempoMap::FromTempos(uint32_t division, std::vector<TempoChange> tempos) {
    TempoMap map;
    if (division == 0) return map;
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
                     [](const TempoChange& a, const TempoChange& b) { return a.tick < b.tick; });
    map.changes_.push_back({0, 0, 500000e-6 / division});
    for (const TempoChange& e : tempos) {
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
