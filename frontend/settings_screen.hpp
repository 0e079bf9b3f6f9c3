// The settings screen (せってい): the four play keys, the delay, the frame position, the music's
// volume, the judgement effect and the big-note mode, changed in place with the keyboard.
#pragma once

#include "core/game.hpp"

namespace zb {

// Runs the screen until Enter: Up/Down move the cursor over the nine items (wrapping), Right/Left
// change the value under it, and any key with a label binds the play key under the cursor. Every
// change is in effect at once; Enter writes config.dat and shows the title screen. Each press
// steps once; a held arrow repeats after 300 ms, then on every 40 ms pass.
void SettingsScreen(Game& game);

}  // namespace zb
