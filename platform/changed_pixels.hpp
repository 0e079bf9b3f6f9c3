// Which pixels of a picture changed. The play lane is drawn anew every frame, but between two
// frames only its notes, bar lines and judgement differ: composing, scaling and sending only
// those saves most of a frame's present.
#pragma once

#include <vector>

#include "platform/compose.hpp"
#include "platform/surface.hpp"

namespace zb {

// Rectangles that together cover every pixel of `area` where `now` and `before` (of one size)
// differ: bands of kChangedBand rows, each split where kChangedGap or more unchanged columns lie
// between changes, a band's run joined to the one straight above it when their columns agree.
constexpr int kChangedBand = 16;
constexpr int kChangedGap = 24;
std::vector<Rect> ChangedPixels(const Surface& now, const Surface& before, const Rect& area);

// ChangedPixels over several areas of a picture the window shows: `shown` (what it shows) is
// brought up to `now` inside the rectangles returned, so that areas that overlap give a pixel
// once.
std::vector<Rect> TakeChangedPixels(const Surface& now, Surface& shown,
                                    const std::vector<Rect>& areas);

}  // namespace zb
