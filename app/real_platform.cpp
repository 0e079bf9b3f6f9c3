#include "app/real_platform.hpp"

#include "platform/ftp/curl_ftp.hpp"
#include "platform/stderr_line.hpp"

namespace zb {

RealPlatform::RealPlatform()
    : ports{clock, keyboard, audio, audio, dialogs, window, DataDir(ProgramDir())} {
    ports.saveDir = SaveDir(ports.appDir);
    PrepareSaveDir(ports.appDir, ports.saveDir);
    ports.soundfontMissing = audio.SoundfontMissing();
    // Which sound server plays the game, and at what period (without one, the audio adapter
    // has said so).
    if (audio.HasDevice()) SayOnStderr(audio.Describe());
    ports.ftp = NewCurlFtpConnection;
    // A screen without music that waits for the player keeps no audio thread busy.
    window.SetBeforeSleep([this] { audio.RestIfSilent(); });
    kits = std::make_unique<midi::MidiKits>(clock, keyboard, &sdl::SdlWindow::Wake);
    window.SetInputPump([this] { return kits->Pump(); });
}

}  // namespace zb
