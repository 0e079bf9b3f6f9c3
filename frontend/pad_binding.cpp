#include "frontend/pad_binding.hpp"

#include "core/strike_inputs.hpp"
#include "platform/pad_inputs.hpp"

namespace zb {

std::optional<PadTap> TappedPadInput(InputQueue& keys) {
    std::optional<PadTap> tap;
    for (const PadInfo& p : keys.keyboard().Pads()) {
        for (int input = 0; input < pad::kInputs; ++input) {
            if (!pad::IsValid(input, p.controller)) continue;
            const uint16_t state = keys.GetAsyncKeyState(pad::Code(p.slot, input));
            if (!(state & kKeyPressedSince)) continue;
            const int menu = pad::MenuKeyOf(input, p.controller);
            if (menu == vk::Up || menu == vk::Down) continue;  // they move the cursor
            tap = PadTap{p, input};
        }
    }
    return tap;
}

void BindPadInput(Settings& s, const PadInfo& pad, int strike, int input) {
    PadStrikeInputs inputs = PadInputsOf(s, pad);
    inputs[size_t(strike)] = int16_t(input);
    s.PadInputs[pad.guid] = inputs;
}

}  // namespace zb
