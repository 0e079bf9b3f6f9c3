// The real machine in one bundle: the SDL clock, keyboard, window and dialogs, the music player
// and the wave player, handed to the game as its Platform.
#pragma once

#include <memory>

#include "platform/ports.hpp"
#include "platform/sdl/sdl_platform.hpp"

namespace zb {

struct RealPlatform {
    // Opens the window; throws std::runtime_error when there is no display to open it on.
    RealPlatform();
    RealPlatform(const RealPlatform&) = delete;
    RealPlatform& operator=(const RealPlatform&) = delete;

    sdl::SdlClock clock;
    sdl::SdlKeyboard keyboard;
    sdl::SdlWindow window{clock, keyboard};
    sdl::SdlDialogs dialogs{window};
    std::unique_ptr<MusicPlayer> music;
    std::unique_ptr<WavePlayer> wave;
    Platform ports;
};

}  // namespace zb
