// The opening, the story and the credits, driven by Timer1 and timed by the music's position.
#pragma once

#include "core/game.hpp"

namespace zb {

// One tick of Timer1 (every 75 ms once the opening has started): samples the music position and
// runs the opening's steps or the story's, whichever screen is on show; in any other screen it
// does nothing more.
void Timer1_Timer(Game& game);

}  // namespace zb
