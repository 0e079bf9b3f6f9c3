// The challenge menu: the ten modifiers and their points, shown before every song of the
// challenge course. A click on a modifier reaches StartChallengeSong (course/song_select.hpp).
#pragma once

#include "core/game.hpp"
#include "core/songs.hpp"

namespace zb {

// Shows the menu and keeps the song waiting for its modifier; returns at once.
void ChallengeMenu(Game& game, ChartId chart, bool autoPlay);

}  // namespace zb
