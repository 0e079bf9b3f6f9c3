// The window's opening size and place: the largest whole scale of the form that fits the display's
// usable area with the window manager's frame, centred there.
#include "platform/sdl/window_size.hpp"

#include <gtest/gtest.h>

namespace zb::sdl {

TEST(WindowSize, LargestWholeScaleThatFitsWithTheFrameCentred) {
    struct Case {
        Rect usable;
        Decorations frame;
        Rect inside;
    } cases[] = {
        {{0, 0, 1920, 1080}, {}, {293, 40, 1334, 1000}},
        {{0, 0, 3840, 2160}, {}, {586, 80, 2668, 2000}},
        {{0, 0, 1280, 1024}, {}, {306, 262, 667, 500}},
        // A top bar of 32 pixels and a title bar of 37: twice the form still fits.
        {{0, 32, 1920, 1048}, {37, 0, 0, 0}, {293, 74, 1334, 1000}},
        // A frame of 30 + 12 rows on a usable height of 1040 does not leave 1000.
        {{0, 0, 1920, 1040}, {30, 2, 12, 2}, {626, 279, 667, 500}},
        // A dock on the left of a 4K display: five times would be too tall.
        {{70, 0, 3770, 2160}, {20, 1, 1, 1}, {621, 89, 2668, 2000}},
        // A display smaller than the form gets the form whole, its frame's corner in view.
        {{0, 0, 640, 480}, {24, 4, 4, 4}, {4, 24, 667, 500}},
    };
    for (const Case& c : cases) {
        const Rect r = OpeningWindow(c.usable, c.frame);
        EXPECT_EQ(r.x, c.inside.x) << c.usable.w << "x" << c.usable.h;
        EXPECT_EQ(r.y, c.inside.y) << c.usable.w << "x" << c.usable.h;
        EXPECT_EQ(r.w, c.inside.w) << c.usable.w << "x" << c.usable.h;
        EXPECT_EQ(r.h, c.inside.h) << c.usable.w << "x" << c.usable.h;
    }
}

}  // namespace zb::sdl
