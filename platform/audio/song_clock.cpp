#include "platform/audio/song_clock.hpp"

#include <algorithm>

namespace zb::audio {

double SongClock::HeardAt(double clockSeconds) const {
    // Before the first buffer of the file has been rendered, the clock alone carries it.
    return anchored ? clockSeconds - offset : clockSeconds - setAt - latency;
}

double SongClock::SongAt(double heard) const {
    const Segment* s = &segments[0];
    for (int i = 0; i < count; ++i)
        if (segments[size_t(i)].heard <= heard) s = &segments[size_t(i)];
    // Before a segment is heard its start holds: the file's start, or where a seek went.
    return s->song + s->rate * std::max(0.0, heard - s->heard);
}

void SongClock::StartSegment(Segment s) {
    while (count > 1 && segments[size_t(count - 1)].heard >= s.heard) --count;
    if (count == 1 && segments[0].heard >= s.heard) count = 0;
    if (count == kKept) {
        std::copy(segments.begin() + 1, segments.end(), segments.begin());
        --count;
    }
    segments[size_t(count++)] = s;
}

}  // namespace zb::audio
