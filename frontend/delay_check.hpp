// The delay check (タイミング調整), opened from the settings screen: a steady beat plays through
// the music player while notes scroll at a typical song's lane speed; the player strikes along,
// and the screen shows the mean offset in ms and the ディレイ that would cancel it. Enter takes
// that ディレイ, Esc leaves the setting as it was, Space runs the check again.
#pragma once

#include <cstdint>

#include "core/game.hpp"

namespace zb {

// The lane speed the check scrolls at: the middle of the built-in charts' (pixels a second).
inline constexpr int kCheckLanePixelsPerSecond = 400;
// The fewest judged strikes from which the check suggests a ディレイ.
inline constexpr int kCheckLeastStrikes = 8;

// Runs the check; returns with the screen in a state of its own (the caller redraws its own).
// game.settings.DelaySetting changes only when the player takes the suggestion with Enter.
void DelayCheck(Game& game);

}  // namespace zb
