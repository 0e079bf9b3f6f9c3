// A cairo drawing canvas and the two ways its pixels become game pictures: opaque, or split
// into a sprite and its mask with crisp edges.
#pragma once

#include <cairo.h>

#include <string>

#include "platform/surface.hpp"

namespace artgen {

class Canvas {
  public:
    Canvas(int w, int h);
    ~Canvas();
    Canvas(const Canvas&) = delete;
    Canvas& operator=(const Canvas&) = delete;

    cairo_t* cr() const { return cr_; }
    cairo_surface_t* surface() const { return surface_; }
    int w() const { return w_; }
    int h() const { return h_; }

    // The pixels as an opaque picture (anything transparent is shown over white).
    zb::Surface Opaque() const;
    // Alpha of one pixel, 0..255.
    int Alpha(int x, int y) const;
    // Straight (not premultiplied) colour of one pixel, 0x00RRGGBB.
    uint32_t Straight(int x, int y) const;

  private:
    int w_, h_;
    cairo_surface_t* surface_;
    cairo_t* cr_;
};

// A sprite and its mask. A pixel is opaque when at least half covered; the sprite is pure
// white wherever the mask is black, so the masked copy leaves no fringe.
struct SpritePair {
    zb::Surface sprite, mask;
};
SpritePair SplitSprite(const Canvas& c);

// Paints a picture onto a cairo context at (x, y).
void PaintSurface(cairo_t* cr, const zb::Surface& s, double x, double y);

}  // namespace artgen
