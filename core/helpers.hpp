// Helpers that every screen uses: the yielding wait and the twip/pixel conversions.
#pragma once

#include <cstdint>

#include "core/game.hpp"

namespace zb {

// Waits ms milliseconds, yielding to the window and sleeping until something happens (a key, a
// click, the timer), so that waiting costs next to nothing; keys are stamped when they change.
// WaitMs(0) returns at once; any positive wait yields at least once. Uses the 64-bit tick count,
// so it never overflows.
void WaitMs(Platform& platform, int32_t ms);
inline void WaitMs(Game& game, int32_t ms) {
    WaitMs(game.platform, ms);
}

// The window's conversions: 15 twips per pixel both ways (the horizontal factor for twips),
// rounded half to even and checked; platform/form.hpp's TwipsToPx is the form's own.
int16_t TwipsToPixelsY(double v);
int16_t PixelsToTwipsX(double v);
int16_t PixelsToTwipsY(double v);

}  // namespace zb
