#include "platform/sdl/window_size.hpp"

#include <algorithm>

namespace zb::sdl {

int OpeningScale(int usableW, int usableH, const Decorations& frame) {
    const int w = usableW - frame.left - frame.right, h = usableH - frame.top - frame.bottom;
    return std::max(1, std::min(w / kFormWidthPx, h / kFormHeightPx));
}

Rect OpeningWindow(const Rect& usable, const Decorations& frame) {
    const int n = OpeningScale(usable.w, usable.h, frame);
    const int w = n * kFormWidthPx, h = n * kFormHeightPx;
    const int outerW = w + frame.left + frame.right, outerH = h + frame.top + frame.bottom;
    // A window larger than the area (a tiny display) keeps its frame's top left in view.
    return {usable.x + std::max(0, (usable.w - outerW) / 2) + frame.left,
            usable.y + std::max(0, (usable.h - outerH) / 2) + frame.top, w, h};
}

}  // namespace zb::sdl
