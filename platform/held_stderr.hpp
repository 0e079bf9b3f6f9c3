// Holds back what libraries write to standard error during a call: with no sound card, ALSA
// prints a dozen lines of its own before SDL gives up on the audio device, and a bad soundfont
// makes FluidSynth's file reader complain too. The caller decides what reaches the terminal.
#pragma once

#include <cstdio>
#include <string>

namespace zb {

class HeldStderr {
  public:
    HeldStderr();  // from now on, standard error goes to a temporary file
    ~HeldStderr() { Release(); }
    HeldStderr(const HeldStderr&) = delete;
    HeldStderr& operator=(const HeldStderr&) = delete;

    // Standard error as it was; returns what was written to it meanwhile.
    std::string Release();

  private:
    int saved_ = -1;
    std::FILE* held_ = nullptr;
};

}  // namespace zb
