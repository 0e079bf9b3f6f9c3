// The drummer's hit pose and the drum sound of one key press (or one auto-played stroke).
#pragma once

#include <cstdint>

#include "core/game.hpp"

namespace zb {

// Key 0/1 (左足/右足) strike don, key 2/3 (左手/右手) kan. Other values do nothing.
void HitFeedback(Game& game, int16_t keyIndex);

}  // namespace zb
