// Every input the game reads is one event: what happened, on which device, and when (the stamp,
// on the clock's timeline, taken where the input was first seen: the window's pump, the pad
// layer, the MIDI thread). The keyboard hands its events over in the order it saw them
// (Keyboard::TakeEvents); the window's clicks, timer ticks and close requests join them in the
// game's one queue (platform/input_queue.hpp).
#pragma once

#include <cstdint>

#include "platform/form.hpp"
#include "platform/kit_inputs.hpp"
#include "platform/pad_inputs.hpp"

namespace zb {

// Where an input came from: the keyboard, a pad or a drum kit in its slot, or the window itself
// (clicks, the timer, the close request).
enum class DeviceKind : uint8_t { Keyboard, Pad, Kit, Window };

struct InputDevice {
    DeviceKind kind = DeviceKind::Keyboard;
    int slot = 0;  // a pad's or a kit's slot while it is connected
    bool operator==(const InputDevice&) const = default;
};

// The device an input code belongs to (a pad's menu keys are the keyboard's: any pad holds them).
constexpr InputDevice DeviceOfCode(int code) {
    if (pad::IsPadCode(code)) return {DeviceKind::Pad, pad::SlotOf(code)};
    if (kit::IsKitCode(code)) return {DeviceKind::Kit, kit::SlotOf(code)};
    return {};
}

enum class InputKind : uint8_t {
    KeyDown,     // a key, a pad input or a kit's note went down (a kit stroke carries its velocity)
    KeyUp,       // ... and came up
    AllUp,       // every key let go unseen (the window lost the focus); presses made still count
    Cleared,     // every key up and every press dropped (a dialog had the keyboard)
    DeviceCame,  // a pad or a kit connected (its slot in `device`)
    DeviceGone,
    KitDropped,  // a kit's stroke its hygiene dropped (`code` its soft code, `index` its kit::Fate)
    Click,       // a control was clicked (`source`, `index`)
    Tick,        // the form's timer
    Close,       // the player closed the window
};

struct InputEvent {
    double at = 0;
    InputKind kind = InputKind::KeyDown;
    InputDevice device;
    int code = 0;      // the key's, pad input's or kit note's code
    int velocity = 0;  // a kit stroke's, 1-127
    ClickSource source = ClickSource::Form;
    int index = 0;
};

}  // namespace zb
