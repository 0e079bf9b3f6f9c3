// Helpers that every screen uses: the yielding wait and the twip/pixel conversions.
#pragma once

#include <cstdint>

#include "core/game.hpp"

namespace zb {

// Waits ms milliseconds, yielding to the window once per pass and sleeping out the rest of each
// millisecond (keys stay stamped meanwhile), so that waiting costs next to nothing. WaitMs(0)
// returns at once; any positive wait yields at least once. Uses the 64-bit tick count, so it
// never overflows. Every blocking loop waits through it.
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
