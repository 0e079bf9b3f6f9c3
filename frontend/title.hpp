// The title screen with its menu, and the start of the opening.
#pragma once

#include "core/game.hpp"

namespace zb {

// Rebuilds the title screen from nothing: logo, yellow background, and the short menu (かんたん,
// むずかしい, せってい) or, once CourseHighScores(1) has reached 1000000, the full menu of six
// items with せってい last.
void TitleHyoji(Game& game);

// Shows the logo at the top left. The logo is read from the program's folder, so the game works
// from any current folder; a missing logo leaves the menu without it.
void ShowLogo(Game& game);

// Starts the title music and the 75 ms timer that drives the opening.
void StartOpening(Game& game);

}  // namespace zb
