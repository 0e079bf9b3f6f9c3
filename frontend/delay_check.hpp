// The delay check (タイミング調整), opened from the settings screen: a steady beat plays through
// the music player while notes scroll at a typical song's lane speed; the player strikes along,
// and the screen shows the mean offset in ms and the ディレイ that would cancel it. Enter takes
// that ディレイ (every device's), F5 keeps the offset instead as the input offset of the device
// struck (devices.txt), Esc leaves the settings as they were, Space runs the check again.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "core/game.hpp"
#include "core/menu_keys.hpp"
#include "core/screen_stack.hpp"
#include "play/frame_pacer.hpp"
#include "play/hit_feedback.hpp"
#include "play/play_state.hpp"
#include "play/timing_figures.hpp"

namespace zb {

// The lane speed the check scrolls at: the middle of the built-in charts' (pixels a second).
inline constexpr int kCheckLanePixelsPerSecond = 400;
// The fewest judged strikes from which the check suggests a ディレイ.
inline constexpr int kCheckLeastStrikes = 8;

// The check's screen, over the settings screen; game.settings.DelaySetting changes only when the
// player takes the suggestion with Enter.
class DelayCheckScreen : public GameScreen {
  public:
    Screen Id() const override { return Screen::DelayCheck; }
    Step Start(Game& game) override;
    Step Pass(Game& game) override;
    double WakeAt(Game& game) override;
    bool JudgesStrikes() const override { return phase_ == Phase::Beat; }

  private:
    enum class Phase { Beat, Choice, Release };
    void StartBeat(Game& game);
    Step Leave(Game& game);

    Phase phase_ = Phase::Beat;
    std::optional<MenuKeys> keys_;
    PlayState st_;
    std::optional<StrikeSounds> sounds_;
    FramePacer frames_;
    int shown_ = -1;
    TimingFigures figures_;
    int16_t suggested_ = 0;
    std::string device_;  // the device that struck most, and the input offset that suits it
    int deviceOffset_ = 0;
    int chosen_ = 0;
};

}  // namespace zb
