// The window's size when the game opens: the 667 x 500 form enlarged by the largest whole factor
// for which the window, with the frame the window manager draws around it, fits the usable part of
// the display (without panels and docks); centred there.
#pragma once

#include "platform/dialog_box.hpp"
#include "platform/form.hpp"

namespace zb::sdl {

// The window manager's frame around the window's inside, in pixels.
struct Decorations {
    int top = 0, left = 0, bottom = 0, right = 0;
};

// The largest whole factor that fits (at least 1: a smaller display still gets the whole form).
int OpeningScale(int usableW, int usableH, const Decorations& frame);

// The window's inside, in display coordinates, at that factor: the frame included, centred in
// the usable area.
Rect OpeningWindow(const Rect& usable, const Decorations& frame);

}  // namespace zb::sdl
