#include "app/real_platform.hpp"

#include "platform/ftp/curl_ftp.hpp"

namespace zb {

RealPlatform::RealPlatform() : ports{clock, keyboard, audio, audio, dialogs, window, ProgramDir()} {
    ports.soundfontMissing = audio.SoundfontMissing();
    ports.ftp = NewCurlFtpConnection;
}

}  // namespace zb
