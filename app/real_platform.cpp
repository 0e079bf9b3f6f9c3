#include "app/real_platform.hpp"

namespace zb {

RealPlatform::RealPlatform() : ports{clock, keyboard, audio, audio, dialogs, window, ProgramDir()} {
    ports.soundfontMissing = audio.SoundfontMissing();
}

}  // namespace zb
