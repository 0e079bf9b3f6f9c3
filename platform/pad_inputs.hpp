// Pads (game controllers, joysticks, drum controllers) as more keys of the key-state machine:
// every input of a connected pad has a code of its own beside the virtual-key codes, so a pad
// input is stamped, queued and sounded exactly as a key is. A pad sits in one of kSlots slots
// while it is connected; its inputs are numbered within the slot:
//   game controllers (the layout SDL gives every known pad): the buttons, named "a", "b", "x",
//   "y", "back", "guide", "start", "leftstick", "rightstick", "leftshoulder", "rightshoulder",
//   "dpup", "dpdown", "dpleft", "dpright", "misc1", "paddle1".."paddle4", "touchpad"; the sticks
//   pushed one way past the threshold, "-leftx", "+leftx", "-lefty", "+lefty" (and "right..."),
//   and the triggers pressed past it, "lefttrigger", "righttrigger";
//   plain joysticks: button n "b<n>", hat h's directions "h<h>.1" up, ".2" right, ".4" down,
//   ".8" left, axis n pushed past the threshold "+a<n>" or "-a<n>".
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace zb::pad {

inline constexpr int kSlots = 8;
inline constexpr int kInputs = 256;   // input numbers of one slot
inline constexpr int kBase = 0x1000;  // the first pad code; virtual-key codes stay below 256
// Any pad's menu input (the d-pad, the OK and back buttons) also acts as a key of its own:
// kMenuBase + the virtual-key code it stands for, down while any pad holds it.
inline constexpr int kMenuBase = kBase + kSlots * kInputs;
inline constexpr int kBack = 27;  // the virtual-key code of Escape: back, a dialog's Cancel

// Input numbers within a slot.
inline constexpr int kButtonCount = 21, kAxisCount = 6;
inline constexpr int kRawButtons = 64, kRawButtonCount = 64;
inline constexpr int kRawHats = 128, kRawHatCount = 8;
inline constexpr int kRawAxes = 160, kRawAxisCount = 32;
constexpr int Button(int b) {
    return b;
}
// A stick or trigger pushed past the threshold: positive for right/down and for the triggers.
constexpr int Axis(int a, bool positive) {
    return 24 + a * 2 + (positive ? 1 : 0);
}
constexpr int RawButton(int b) {
    return kRawButtons + b;
}
// dir: 0 up, 1 right, 2 down, 3 left.
constexpr int RawHat(int h, int dir) {
    return kRawHats + h * 4 + dir;
}
constexpr int RawAxis(int a, bool positive) {
    return kRawAxes + a * 2 + (positive ? 1 : 0);
}

// Game controller buttons and axes, in SDL's order.
enum ButtonId {
    A,
    B,
    X,
    Y,
    Back,
    Guide,
    Start,
    LeftStick,
    RightStick,
    LeftShoulder,
    RightShoulder,
    DpUp,
    DpDown,
    DpLeft,
    DpRight
};
enum AxisId { LeftX, LeftY, RightX, RightY, LeftTrigger, RightTrigger };

constexpr int Code(int slot, int input) {
    return kBase + slot * kInputs + input;
}
constexpr bool IsPadCode(int code) {
    return code >= kBase && code < kMenuBase;
}
constexpr int SlotOf(int code) {
    return (code - kBase) / kInputs;
}
constexpr int InputOf(int code) {
    return (code - kBase) % kInputs;
}
constexpr int MenuCode(int vkCode) {
    return kMenuBase + vkCode;
}

// Whether the input number names an input of a controller or of a plain joystick.
bool IsValid(int input, bool controller);
// The input's name as above ("a", "-leftx", "lefttrigger", "b3", "h0.1", "+a2"); empty if none.
std::string InputName(int input);
// The input of a name; nullopt when the name is none of the above.
std::optional<int> InputFromName(std::string_view name);
// What the settings screen and the instructions show: "Ⓐ", "LT", "L←", "パッド4" (buttons
// counted from 1, as pads print them), "ハット↑", "軸3+".
std::string InputLabel(int input);
// The key a menu input stands for on a controller or joystick (arrows, Enter, Space, back; a
// controller's shoulders Page Up and Page Down), or 0.
int MenuKeyOf(int input, bool controller);

}  // namespace zb::pad
