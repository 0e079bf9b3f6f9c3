// A MIDI file's tempo map, as the music player counts it: ticks to seconds of the song's own
// timeline and back. The renderer reads it from the file it plays, so that the player's tick
// says where the song stands whatever tempo it is played at.
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

namespace zb::audio {

class TempoMap {
  public:
    // Reads the tempo changes of every track. A file that is not MIDI gives an empty map
    // (Valid() false); a file timed in SMPTE frames has a fixed tick length.
    static TempoMap FromMidi(std::string_view bytes);

    bool Valid() const { return valid_; }
    // Seconds of the song at a tick, and the last tick at or before a song position.
    double Seconds(int64_t tick) const;
    int64_t TickAt(double seconds) const;
    // The last event of any track.
    int64_t EndTick() const { return endTick_; }

  private:
    struct Change {
        int64_t tick = 0;
        double seconds = 0;
        double secondsPerTick = 0;
    };
    bool valid_ = false;
    std::vector<Change> changes_;  // first at tick 0
    int64_t endTick_ = 0;
};

}  // namespace zb::audio
