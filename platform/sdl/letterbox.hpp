// Where the 667 x 500 form lies in a window of any size: scaled as large as fits, aspect ratio
// kept, centred, with black bars on the remaining sides.
#pragma once

#include <optional>
#include <utility>

#include "platform/dialog_box.hpp"

namespace zb::sdl {

// The form's rectangle in a window of w x h pixels.
Rect Letterbox(int windowW, int windowH);

// The form pixel under a window point, or nullopt on the bars or outside.
std::optional<std::pair<int, int>> WindowToForm(int windowW, int windowH, int x, int y);

// The window rectangle that covers a rectangle of form pixels.
Rect FormToWindow(int windowW, int windowH, const Rect& r);

// The whole factor to enlarge the form by before the final smooth scaling: the smallest one that
// is at least the window's scale, so that every form pixel becomes an even block.
int PrescaleFactor(int windowW, int windowH);

}  // namespace zb::sdl
