// The opening, the story and the credits, driven by Timer1.
#pragma once

#include "core/game.hpp"

namespace zb {

// One tick of Timer1 (every 75 ms once the opening has started).
void Timer1_Timer(Game& game);

}  // namespace zb
