// What the program does between its launch and the notice screen.
#pragma once

#include "core/game.hpp"

namespace zb {

// The notice shown on the first screen, three lines each ending in CR LF.
extern const char* const kNoticeLines[3];
// The one warning shown when any part of the start-up failed.
extern const char* const kStartUpWarning;
// The title of every message box.

// Builds the notice screen, loads the first picture set, the song titles, the settings (defaults,
// then config.dat) and the high scores (score.dat), and shows one warning box if anything failed.
// Creates no file.
void StartUp(Game& game);

}  // namespace zb
