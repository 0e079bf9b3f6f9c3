#include "platform/sdl/sharp_scale.hpp"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace zb::sdl {

namespace {

// Mixes two 0x00RRGGBB pixels, the second with weight w of 256: red and blue in one 32-bit lane
// pair, green in another, so that no channel spills into the next.
inline uint32_t Mix(uint32_t p, uint32_t q, uint32_t w) {
    const uint32_t v = 256 - w;
    const uint32_t rb = ((p & 0xFF00FFu) * v + (q & 0xFF00FFu) * w + 0x800080u) >> 8;
    const uint32_t g = ((p & 0x00FF00u) * v + (q & 0x00FF00u) * w + 0x008000u) >> 8;
    return (rb & 0xFF00FFu) | (g & 0x00FF00u);
}

}  // namespace

std::vector<SharpScaler::Tap> SharpScaler::Axis(int src, int dst, int k) {
    // The smooth step samples the k-times enlargement at each window pixel's centre; a sample
    // between two enlarged pixels of one block shows that block's pixel whole.
    std::vector<Tap> taps(size_t(std::max(dst, 0)));
    const int big = src * k;
    for (int d = 0; d < dst; ++d) {
        const double t = (d + 0.5) * big / dst - 0.5;
        const double f = std::floor(t);
        const int i0 = std::clamp(int(f), 0, big - 1), i1 = std::clamp(int(f) + 1, 0, big - 1);
        Tap& tap = taps[size_t(d)];
        tap.a = i0 / k;
        tap.b = i1 / k;
        tap.w = tap.a == tap.b ? 0 : uint32_t(std::lround((t - f) * 256));
        if (tap.w == 0) tap.b = tap.a;
        if (tap.w == 256) tap.a = tap.b, tap.w = 0;
    }
    return taps;
}

void SharpScaler::Prepare(int srcW, int srcH, int dstW, int dstH, int k) {
    k_ = std::max(k, 1);
    exact_ = dstW == srcW * k_ && dstH == srcH * k_;
    xs_ = Axis(srcW, dstW, k_);
    ys_ = Axis(srcH, dstH, k_);
    rowA_.assign(size_t(std::max(dstW, 0)), 0);
    rowB_.assign(size_t(std::max(dstW, 0)), 0);
}

std::pair<int, int> SharpScaler::Reach(const std::vector<Tap>& taps, int s0, int s1) {
    int d0 = int(taps.size()), d1 = 0;
    for (int d = 0; d < int(taps.size()); ++d) {
        const Tap& t = taps[size_t(d)];
        if (t.b >= s0 && t.a < s1) {
            d0 = std::min(d0, d);
            d1 = d + 1;
        }
    }
    return {d0, std::max(d0, d1)};
}

void SharpScaler::Row(const uint32_t* src, int x0, int x1, uint32_t* out) const {
    for (int x = x0; x < x1; ++x) {
        const Tap& t = xs_[size_t(x)];
        out[x] = t.w == 0 ? src[t.a] : Mix(src[t.a], src[t.b], t.w);
    }
}

Rect SharpScaler::Draw(const uint32_t* src, int srcPitch, const Rect& changed, uint32_t* dst,
                       int dstPitch) {
    if (exact_) {
        // Whole blocks: each source row widened once, then copied down the block.
        const int k = k_, x0 = changed.x * k, x1 = (changed.x + changed.w) * k;
        for (int sy = changed.y; sy < changed.y + changed.h; ++sy) {
            const uint32_t* s = src + size_t(sy) * size_t(srcPitch);
            uint32_t* d = dst + size_t(sy * k) * size_t(dstPitch);
            if (k == 1) {
                std::memcpy(d + x0, s + changed.x, size_t(x1 - x0) * 4);
            } else if (k == 2) {
                for (int x = changed.x; x < changed.x + changed.w; ++x)
                    d[2 * x] = d[2 * x + 1] = s[x];
            } else {
                for (int x = changed.x; x < changed.x + changed.w; ++x)
                    std::fill(d + x * k, d + x * k + k, s[x]);
            }
            for (int j = 1; j < k; ++j)
                std::memcpy(d + size_t(j) * size_t(dstPitch) + x0, d + x0, size_t(x1 - x0) * 4);
        }
        return {x0, changed.y * k, x1 - x0, changed.h * k};
    }
    const auto [x0, x1] = Reach(xs_, changed.x, changed.x + changed.w);
    const auto [y0, y1] = Reach(ys_, changed.y, changed.y + changed.h);
    int rowA = -1, rowB = -1;  // the source rows that rowA_ and rowB_ hold, scaled
    for (int y = y0; y < y1; ++y) {
        const Tap& t = ys_[size_t(y)];
        if (rowA != t.a) {
            if (rowB == t.a) {
                std::swap(rowA_, rowB_), std::swap(rowA, rowB);
            } else {
                Row(src + size_t(t.a) * size_t(srcPitch), x0, x1, rowA_.data());
                rowA = t.a;
            }
        }
        uint32_t* d = dst + size_t(y) * size_t(dstPitch);
        if (t.w == 0) {
            std::memcpy(d + x0, rowA_.data() + x0, size_t(x1 - x0) * 4);
            continue;
        }
        if (rowB != t.b) {
            Row(src + size_t(t.b) * size_t(srcPitch), x0, x1, rowB_.data());
            rowB = t.b;
        }
        const uint32_t* a = rowA_.data();
        const uint32_t* b = rowB_.data();
        for (int x = x0; x < x1; ++x) d[x] = Mix(a[x], b[x], t.w);
    }
    return {x0, y0, x1 - x0, y1 - y0};
}

}  // namespace zb::sdl
