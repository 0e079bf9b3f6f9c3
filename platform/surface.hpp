// A surface is a 32-bit pixel buffer (0x00RRGGBB). The raster copies between surfaces are the
// only way pictures reach the screen. Copies share their pixels until one of them is drawn on,
// so a picture box's picture and its drawing cost the memory of one until they differ.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "platform/color.hpp"

namespace zb {

class Surface {
  public:
    Surface();
    Surface(int width, int height, Color fill = colors::Black);
    Surface(const Surface&) = default;
    Surface(Surface&& other) noexcept;  // leaves `other` empty
    Surface& operator=(const Surface& other);
    Surface& operator=(Surface&& other) noexcept;

    int Width() const { return width_; }
    int Height() const { return height_; }
    bool Empty() const { return width_ == 0 || height_ == 0; }

    // Changes the size; pixels inside both the old and the new size are kept, new ones get fill.
    void Resize(int width, int height, Color fill = colors::Black);
    void Fill(Color c);
    void FillRect(int x, int y, int w, int h, Color c);

    uint32_t Pixel(int x, int y) const { return (*px_)[size_t(y) * size_t(width_) + size_t(x)]; }
    void SetPixel(int x, int y, uint32_t v) { Row(y)[x] = v; }
    Color At(int x, int y) const { return Color{Pixel(x, y)}; }
    // A row to draw on (the pixels become this surface's own first).
    uint32_t* Row(int y) {
        ++version_;
        Own();
        return px_->data() + size_t(y) * size_t(width_);
    }
    const uint32_t* Row(int y) const { return px_->data() + size_t(y) * size_t(width_); }
    const std::vector<uint32_t>& Pixels() const { return *px_; }
    // Grows whenever the pixels or the size may have changed, so that the window can tell that
    // nothing was drawn since it last showed the form.
    uint64_t Version() const { return version_; }

  private:
    // Copies the pixels when another surface shares them.
    void Own();

    int width_ = 0;
    int height_ = 0;
    std::shared_ptr<std::vector<uint32_t>> px_;  // never null
    uint64_t version_ = 0;
};

// The three raster operations of the masked copy.
enum class RasterOp { SrcCopy, SrcPaint, SrcAnd };

// Copies the w x h rectangle at (sx, sy) of src to (dx, dy) of dst with op, per channel.
// The rectangle is clipped to both surfaces. Returns true when the copy ran (even if clipped away).
bool Blit(const Surface& src, int sx, int sy, int w, int h, Surface& dst, int dx, int dy,
          RasterOp op);

// The opaque copy.
bool BlitCopy(const Surface& src, int sx, int sy, int w, int h, Surface& dst, int dx, int dy);

// The masked copy: the mask (white where the sprite is opaque) is ORed onto the destination,
// then the sprite (white where transparent) is ANDed over it.
bool BlitMasked(const Surface& sprite, const Surface& mask, int sx, int sy, int w, int h,
                Surface& dst, int dx, int dy);

}  // namespace zb
