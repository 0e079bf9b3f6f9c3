// The game's random integer: a fixed-seed generator mixed with the time of day.
#pragma once

#include <cstdint>

#include "core/game.hpp"

namespace zb {

// A uniform number in [0, 1) from the generator state, which it advances.
double NextUniform(uint64_t& state);

// The integer part of u × (n + m), where u is the next uniform number of the game's generator and
// m is the time of day's minutes and seconds read as one number (12:34:56 gives 3456). Callers
// use only its parity. n + m beyond 16 bits raises OverflowError.
int16_t TimeMixedRandom(Game& game, int16_t n);

}  // namespace zb
