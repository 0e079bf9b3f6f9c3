// Binding a pad input to a strike on the settings screen: the pad input tapped since the last
// look, on any connected pad. The d-pad's up and down (a plain joystick's hat) move the cursor
// instead, as the arrow keys do; every other input binds, the OK button included.
#pragma once

#include <optional>

#include "core/game.hpp"

namespace zb {

struct PadTap {
    PadInfo pad;
    int input = -1;
};

// The input tapped since the previous look (the highest input of the last pad wins), or nullopt.
// Every input of every pad is looked at, so a tap binds once.
std::optional<PadTap> TappedPadInput(InputQueue& keys);

// Makes `input` the pad's input for `strike` (its other strikes keep theirs, or their defaults).
void BindPadInput(Settings& s, const PadInfo& pad, int strike, int input);

}  // namespace zb
