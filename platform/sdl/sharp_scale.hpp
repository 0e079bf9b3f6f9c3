// Sharp scaling on the CPU: the form's picture enlarged into the letterbox of a window surface.
// Every form pixel becomes an even block of k x k window pixels (k the whole factor of
// PrescaleFactor); when the box is no exact multiple, the window pixel that straddles two blocks
// mixes them in proportion, as a whole-factor enlargement shrunk smoothly would. A box smaller
// than the form is shrunk smoothly. The same pixels as the OpenGL path, without a graphics card.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/dialog_box.hpp"

namespace zb::sdl {

class SharpScaler {
  public:
    // Prepares to draw a srcW x srcH picture into a dstW x dstH box with blocks of k pixels.
    void Prepare(int srcW, int srcH, int dstW, int dstH, int k);

    // Draws the part of the box that the source rectangle `changed` reaches. `dst` is the box's
    // top-left pixel; pitches are in pixels. Returns the box rectangle that was drawn.
    Rect Draw(const uint32_t* src, int srcPitch, const Rect& changed, uint32_t* dst, int dstPitch);

  private:
    // One window pixel along an axis: the two source pixels it shows and the second one's
    // weight of 256 (0 when it shows one source pixel whole).
    struct Tap {
        int a = 0, b = 0;
        uint32_t w = 0;
    };
    static std::vector<Tap> Axis(int src, int dst, int k);
    // The range of window pixels whose taps reach source pixels [s0, s1).
    static std::pair<int, int> Reach(const std::vector<Tap>& taps, int s0, int s1);
    // One source row scaled across window columns [x0, x1) into `out`.
    void Row(const uint32_t* src, int x0, int x1, uint32_t* out) const;

    std::vector<Tap> xs_, ys_;
    int k_ = 1;
    bool exact_ = true;  // the box is the form times k: whole blocks, no mixing
    std::vector<uint32_t> rowA_, rowB_;
};

}  // namespace zb::sdl
