// The screens that wait for a click take a pad too, while one is connected: on the challenge
// menu the d-pad moves a highlight over the choices and OK chooses the one under it, as a click
// on it would; on the notice, the opening and the story OK
// goes on as a click does. The title stays the mouse's.
#pragma once

#include "core/game.hpp"

namespace zb {

// The program's wait between events: one second, or while a pad is connected a short wait
// followed by one look at the pads' menu inputs.
void WaitForEvents(Game& game);

// One look at the pads' menu inputs on the screen shown now.
void PadOnClickScreen(Game& game);

// Forgets menu presses made before a click screen opened.
void ForgetPadMenuPresses(Game& game);

}  // namespace zb
