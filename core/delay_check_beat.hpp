// The steady beat of the delay check (タイミング調整): its music file, tempo and length. The
// check scrolls its notes to these numbers; musicgen writes the file from them.
#pragma once

namespace zb {

inline constexpr const char* kCheckMusicFile = "sound/timing.mid";
inline constexpr double kCheckBeatSeconds = 0.5;  // 120 beats a minute
inline constexpr double kCheckFirstBeat = 1.0;    // seconds into the file
inline constexpr int kCheckCountIn = 4;           // beats of sticks before the first note
inline constexpr int kCheckBeats = 24;            // the notes to strike, one a beat
inline constexpr double kCheckTail = 2.0;         // seconds of music after the last note

// The time of beat k (0 the first count-in beat), in seconds into the file.
constexpr double CheckBeatTime(int k) {
    return kCheckFirstBeat + k * kCheckBeatSeconds;
}

}  // namespace zb
