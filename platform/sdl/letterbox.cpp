#include "platform/sdl/letterbox.hpp"

#include <algorithm>
#include <cmath>

namespace zb::sdl {

namespace {
double Scale(int w, int h) {
    return std::min(double(w) / kFormWidthPx, double(h) / kFormHeightPx);
}
}  // namespace

Rect Letterbox(int w, int h) {
    if (w <= 0 || h <= 0) return {0, 0, 0, 0};
    const double s = Scale(w, h);
    const int bw = std::clamp(int(std::lround(kFormWidthPx * s)), 1, w);
    const int bh = std::clamp(int(std::lround(kFormHeightPx * s)), 1, h);
    return {(w - bw) / 2, (h - bh) / 2, bw, bh};
}

std::optional<std::pair<int, int>> WindowToForm(int w, int h, int x, int y) {
    const Rect b = Letterbox(w, h);
    if (!b.Contains(x, y)) return std::nullopt;
    // The centre of the window pixel, mapped back.
    const int fx = int((x - b.x + 0.5) * kFormWidthPx / b.w);
    const int fy = int((y - b.y + 0.5) * kFormHeightPx / b.h);
    return std::make_pair(std::min(fx, kFormWidthPx - 1), std::min(fy, kFormHeightPx - 1));
}

Rect FormToWindow(int w, int h, const Rect& r) {
    const Rect b = Letterbox(w, h);
    const auto x = [&](int fx) { return b.x + int(std::lround(double(fx) * b.w / kFormWidthPx)); };
    const auto y = [&](int fy) { return b.y + int(std::lround(double(fy) * b.h / kFormHeightPx)); };
    return {x(r.x), y(r.y), x(r.x + r.w) - x(r.x), y(r.y + r.h) - y(r.y)};
}

int PrescaleFactor(int w, int h) {
    // A tiny tolerance keeps an exact multiple from rounding up to the next factor.
    return std::clamp(int(std::ceil(Scale(w, h) - 1e-6)), 1, 8);
}

}  // namespace zb::sdl
