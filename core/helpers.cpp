#include "core/helpers.hpp"

#include "core/checked.hpp"

namespace zb {

void WaitMs(Platform& platform, int32_t ms) {
    const int64_t start = platform.clock.TickMs();
    int64_t now = start;
    while (now - start < int64_t{ms}) {
        now = platform.clock.TickMs();
        platform.window.DoEvents();
    }
}

int16_t TwipsToPixelsX(double v) { return Round16(v / kTwipsPerPixel); }
int16_t TwipsToPixelsY(double v) { return Round16(v / kTwipsPerPixel); }
int16_t PixelsToTwipsX(double v) { return Round16(v * kTwipsPerPixel); }
int16_t PixelsToTwipsY(double v) { return Round16(v * kTwipsPerPixel); }

}  // namespace zb
