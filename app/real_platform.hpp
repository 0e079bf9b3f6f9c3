// The real machine in one bundle: the SDL clock, keyboard, window and dialogs, the music player
// and the wave player, and the libcurl FTP connection, handed to the game as its Platform.
#pragma once

#include <memory>

#include "platform/midi/midi_kits.hpp"
#include "platform/ports.hpp"
#include "platform/sdl/sdl_audio.hpp"
#include "platform/sdl/sdl_platform.hpp"

namespace zb {

struct RealPlatform {
    // Opens the window; throws std::runtime_error when there is no display to open it on.
    RealPlatform();
    RealPlatform(const RealPlatform&) = delete;
    RealPlatform& operator=(const RealPlatform&) = delete;

    // A start-up failure to report with the others: the music cannot be played.
    bool SoundfontMissing() const { return audio.SoundfontMissing(); }

    sdl::SdlClock clock;
    sdl::SdlKeyboard keyboard;
    sdl::SdlWindow window{clock, keyboard};
    sdl::SdlDialogs dialogs{window};
    // The music and the hit sounds share one audio device; without one the music's position
    // follows the clock.
    sdl::SdlAudio audio{clock};
    // Drum kits on the ALSA sequencer or a JACK server; their strokes are keys too.
    std::unique_ptr<midi::MidiKits> kits;
    Platform ports;
};

}  // namespace zb
