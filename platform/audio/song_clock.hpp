// Where the song stands on the clock's timeline: the frames rendered since its file was set, as
// they are heard, and the segments of the song's own timeline that they played (a pause, a seek
// or a tempo change starts a new one). The audio thread keeps the true one and publishes it;
// the game thread reads that copy and lays on it what it asked for since, so that a pause or a
// seek shows in the position at once. Plain data, copied whole between the threads.
#pragma once

#include <array>
#include <cstdint>

namespace zb::audio {

struct SongClock {
    // From `heard` on (seconds of frames rendered since the file was set, as they are heard),
    // the song runs from `song` at `rate` (0 while paused).
    struct Segment {
        double heard = 0, song = 0, rate = 0;
    };
    static constexpr int kKept = 8;  // a stamp taken just before a change still finds its place

    double HeardAt(double clockSeconds) const;
    double SongAt(double heard) const;
    double PositionAt(double clockSeconds) const {
        return playing ? SongAt(HeardAt(clockSeconds)) : stoppedPos;
    }
    // What the new segment follows from its start on is no longer to come.
    void StartSegment(Segment s);

    bool playing = false;
    bool anchored = false;  // a buffer has rendered since the file was set
    bool paused = false;    // as the game thread set it
    double tempo = 1.0;     // as the game thread set it
    double setAt = 0;       // clock time when the file was set
    double offset = 0;      // heard = clock time - offset (smoothed over callbacks)
    double stoppedPos = 0;  // the position that stays after a stop
    double latency = 0;     // from a callback until its last frame is heard
    int64_t framesSinceSet = 0;
    std::array<Segment, kKept> segments{{Segment{0, 0, 1}}};  // by `heard`
    int count = 1;
    uint64_t taken = 0;  // the game thread's requests taken so far, by number
};

}  // namespace zb::audio
