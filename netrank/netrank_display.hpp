// The ranking display: eleven pages (the total ranking, then songs 0..9), ten places at a time,
// paged with the cursor keys until the player clicks.
#pragma once

#include "core/game.hpp"

namespace zb {

// Shows the ranking in game.ranking from page 0, block 0, and returns after the click: before
// play the caller then runs the ranking course, after play it shows the title.
void NetRankDisplay(Game& game, bool beforePlay);

}  // namespace zb
