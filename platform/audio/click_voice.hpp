// The metronome's voice: a short click at each beat as the song passes it, mixed on its own
// beside the music and the hit sounds, so that no hit sound cuts it and the drum part's choice
// leaves it alone. The renderer hands it the song's position at every frame of a buffer; a
// click starts at the first frame at or past its beat, so it lands within a frame of the beat
// at any tempo, and a seek that lands on a beat clicks it (a pass's lead-in counts in).
#pragma once

#include <cstddef>
#include <vector>

#include "platform/ports.hpp"

namespace zb::audio {

class ClickVoice {
  public:
    explicit ClickVoice(int rate);

    // The beats, by their time; none silences it (a click sounding rings out). Takes them
    // and gives back the ones it had, so that no memory is freed on the audio thread.
    void SetBeats(std::vector<ClickBeat>& beats);
    bool On() const { return !beats_.empty(); }
    // Adds the clicks of a buffer of `frames` interleaved stereo frames; `song[i]` is the song's
    // position at frame i.
    void Mix(float* out, int frames, const double* song);
    // The music stopped: the next position is no step from the last.
    void Lose() { known_ = false; }

  private:
    std::vector<float> accent_, plain_;
    std::vector<ClickBeat> beats_;
    const std::vector<float>* sounding_ = nullptr;
    size_t pos_ = 0;
    double last_ = 0;  // the song's position at the frame mixed last
    bool known_ = false;
};

}  // namespace zb::audio
