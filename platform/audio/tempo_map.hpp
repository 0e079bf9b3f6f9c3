// A MIDI file's tempo map: ticks to seconds of the song's own timeline and back. The music's
// events are timed by it (music_sequence.hpp), so that each is given to the synth where the
// song's position says, whatever tempo the song is played at.
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

namespace zb::audio {

// A tempo change as a file writes it (meta event 0x51).
struct TempoChange {
    int64_t tick;
    uint32_t usPerQuarter;
};

class TempoMap {
  public:
    // The map of a file's tempo changes, read as the music's events are (music_sequence.hpp). A
    // file that is not MIDI gives an empty map (Valid() false); a file timed in SMPTE frames has
    // a fixed tick length.
    static TempoMap FromMidi(std::string_view bytes);
    // The map of the header's `division` and the tracks' tempo changes, track by track in file
    // order.
    static TempoMap FromTempos(uint32_t division, std::vector<TempoChange> tempos);

    bool Valid() const { return valid_; }
    // Seconds of the song at a tick, and the last tick at or before a song position.
    double Seconds(int64_t tick) const;
    int64_t TickAt(double seconds) const;

  private:
    struct Change {
        int64_t tick = 0;
        double seconds = 0;
        double secondsPerTick = 0;
    };
    bool valid_ = false;
    std::vector<Change> changes_;  // first at tick 0
};

}  // namespace zb::audio
