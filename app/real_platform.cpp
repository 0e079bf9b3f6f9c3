#include "app/real_platform.hpp"

#include "platform/headless/headless.hpp"

namespace zb {

namespace {
// No sound device yet: hit sounds are dropped.
class SilentWavePlayer : public WavePlayer {
  public:
    void PlayWave(const std::string&) override {}
};
}  // namespace

// Until the audio player is wired in, the music's position follows the monotonic clock from the
// moment a file is set, exactly as it does when no audio device exists.
RealPlatform::RealPlatform()
    : music(std::make_unique<headless::ClockMusicPlayer>(clock)),
      wave(std::make_unique<SilentWavePlayer>()),
      ports{clock, keyboard, *music, *wave, dialogs, window, ProgramDir()} {}

}  // namespace zb
