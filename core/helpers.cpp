#include "core/helpers.hpp"

#include <algorithm>

#include "core/checked.hpp"

namespace zb {

void WaitMs(Platform& platform, int32_t ms) {
    Clock& clock = platform.clock;
    const int64_t start = clock.TickMs();
    const double end = clock.Now() + ms / 1000.0;
    int64_t now = start;
    while (now - start < int64_t{ms}) {
        platform.window.DoEvents();
        platform.window.WaitForEvent(end);
        now = clock.TickMs();
    }
}

int16_t TwipsToPixelsY(double v) {
    return Round16(v / kTwipsPerPixel);
}
int16_t PixelsToTwipsX(double v) {
    return Round16(v * kTwipsPerPixel);
}
int16_t PixelsToTwipsY(double v) {
    return Round16(v * kTwipsPerPixel);
}

}  // namespace zb
