// The challenge menu: the ten modifiers and their points, shown before every song of the
// challenge course. A click on a modifier reaches StartChallengeSong (course/song_select.hpp).
#pragma once

#include <array>
#include <cstdint>

#include "core/game.hpp"

namespace zb {

// The menu text and the points of each modifier, code 0 (none) to 9.
const std::array<const char*, 10>& ChallengeTexts();
const std::array<int32_t, 10>& ChallengePointTable();

// Shows the menu and keeps the song waiting for its modifier; returns at once.
void ChallengeMenu(Game& game, int16_t difficulty, int16_t song, bool autoPlay);

}  // namespace zb
