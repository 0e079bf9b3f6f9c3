#include "platform/surface.hpp"

#include <algorithm>
#include <cstring>
#include <utility>

namespace zb {

Surface::Surface(int width, int height, Color fill)
    : width_(std::max(0, width)),
      height_(std::max(0, height)),
      px_(std::make_shared<std::vector<uint32_t>>(size_t(width_) * size_t(height_), fill.rgb)) {}

namespace {
// One colour over n pixels at memory speed: a colour whose four bytes are equal is a memset;
// any other is written once over a short run that is then copied onto the rest, doubling.
// (A plain loop over the pixels stays scalar at -O2, and the play screen fills a whole form
// every frame.)
void FillPixels(uint32_t* p, size_t n, uint32_t v) {
    if (n == 0) return;  // an empty surface has no pixel array at all
    if (v == (v & 0xFFu) * 0x01010101u) {
        std::memset(p, int(v & 0xFFu), n * 4);
        return;
    }
    size_t done = std::min<size_t>(n, 64);
    for (size_t i = 0; i < done; ++i) p[i] = v;
    while (done < n) {
        const size_t step = std::min(done, n - done);
        std::memcpy(p + done, p, step * 4);
        done += step;
    }
}

// The pixels of every empty surface.
const std::shared_ptr<std::vector<uint32_t>>& NoPixels() {
    static const auto none = std::make_shared<std::vector<uint32_t>>();
    return none;
}
}  // namespace

Surface::Surface() : px_(NoPixels()) {}

Surface::Surface(Surface&& other) noexcept
    : width_(std::exchange(other.width_, 0)),
      height_(std::exchange(other.height_, 0)),
      px_(std::exchange(other.px_, NoPixels())),
      version_(other.version_) {}

void Surface::Own() {
    if (px_.use_count() > 1) px_ = std::make_shared<std::vector<uint32_t>>(*px_);
}

Surface& Surface::operator=(const Surface& other) {
    const uint64_t v = std::max(version_, other.version_) + 1;
    width_ = other.width_, height_ = other.height_, px_ = other.px_;
    version_ = v;
    return *this;
}

Surface& Surface::operator=(Surface&& other) noexcept {
    const uint64_t v = std::max(version_, other.version_) + 1;
    width_ = std::exchange(other.width_, 0), height_ = std::exchange(other.height_, 0);
    px_ = std::exchange(other.px_, NoPixels());
    version_ = v;
    return *this;
}

void Surface::Resize(int width, int height, Color fill) {
    width = std::max(0, width);
    height = std::max(0, height);
    if (width == width_ && height == height_) return;
    Surface next(width, height, fill);
    BlitCopy(*this, 0, 0, width_, height_, next, 0, 0);
    *this = std::move(next);
}

void Surface::Fill(Color c) {
    ++version_;
    // Pixels shared with another surface are left to it: these get new ones.
    if (px_.use_count() > 1) px_ = std::make_shared<std::vector<uint32_t>>(px_->size());
    FillPixels(px_->data(), px_->size(), c.rgb);
}

void Surface::FillRect(int x, int y, int w, int h, Color c) {
    const int x0 = std::max(0, x), y0 = std::max(0, y);
    const int x1 = std::min(width_, x + w), y1 = std::min(height_, y + h);
    if (x1 <= x0) return;
    for (int yy = y0; yy < y1; ++yy) FillPixels(Row(yy) + x0, size_t(x1 - x0), c.rgb);
}

bool Blit(const Surface& src, int sx, int sy, int w, int h, Surface& dst, int dx, int dy,
          RasterOp op) {
    if (w <= 0 || h <= 0) return true;
    // OR and AND within one surface read what they already wrote when the rectangles overlap:
    // they work from a copy of the source.
    if (&src == &dst && op != RasterOp::SrcCopy) {
        const Surface copy = src;
        return Blit(copy, sx, sy, w, h, dst, dx, dy, op);
    }
    // Clip against the source, then against the destination, moving both origins together.
    int64_t x0 = 0, y0 = 0, x1 = w, y1 = h;  // offsets within the rectangle
    x0 = std::max<int64_t>(x0, -int64_t{sx});
    y0 = std::max<int64_t>(y0, -int64_t{sy});
    x1 = std::min<int64_t>(x1, int64_t{src.Width()} - sx);
    y1 = std::min<int64_t>(y1, int64_t{src.Height()} - sy);
    x0 = std::max<int64_t>(x0, -int64_t{dx});
    y0 = std::max<int64_t>(y0, -int64_t{dy});
    x1 = std::min<int64_t>(x1, int64_t{dst.Width()} - dx);
    y1 = std::min<int64_t>(y1, int64_t{dst.Height()} - dy);
    if (x0 >= x1 || y0 >= y1) return true;
    const size_t n = size_t(x1 - x0);
    // Within one surface, walk the rows so that no source row is overwritten before it is read.
    const bool upward = &src == &dst && dy > sy;
    for (int64_t i = y0; i < y1; ++i) {
        const int64_t y = upward ? y1 - 1 - (i - y0) : i;
        const uint32_t* s = src.Row(int(sy + y)) + (sx + x0);
        uint32_t* d = dst.Row(int(dy + y)) + (dx + x0);
        switch (op) {
            case RasterOp::SrcCopy:
                std::memmove(d, s, n * sizeof(uint32_t));
                break;
            case RasterOp::SrcPaint:
                for (size_t k = 0; k < n; ++k) d[k] |= s[k];
                break;
            case RasterOp::SrcAnd:
                for (size_t k = 0; k < n; ++k) d[k] &= s[k];
                break;
        }
    }
    return true;
}

bool BlitCopy(const Surface& src, int sx, int sy, int w, int h, Surface& dst, int dx, int dy) {
    return Blit(src, sx, sy, w, h, dst, dx, dy, RasterOp::SrcCopy);
}

bool BlitMasked(const Surface& sprite, const Surface& mask, int sx, int sy, int w, int h,
                Surface& dst, int dx, int dy) {
    Blit(mask, sx, sy, w, h, dst, dx, dy, RasterOp::SrcPaint);
    return Blit(sprite, sx, sy, w, h, dst, dx, dy, RasterOp::SrcAnd);
}

}  // namespace zb
