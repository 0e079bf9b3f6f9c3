#include "platform/pad_inputs.hpp"

#include <array>
#include <charconv>

#include "platform/ports.hpp"

namespace zb::pad {

namespace {

constexpr std::array<const char*, kButtonCount> kButtonNames{"a",
                                                             "b",
                                                             "x",
                                                             "y",
                                                             "back",
                                                             "guide",
                                                             "start",
                                                             "leftstick",
                                                             "rightstick",
                                                             "leftshoulder",
                                                             "rightshoulder",
                                                             "dpup",
                                                             "dpdown",
                                                             "dpleft",
                                                             "dpright",
                                                             "misc1",
                                                             "paddle1",
                                                             "paddle2",
                                                             "paddle3",
                                                             "paddle4",
                                                             "touchpad"};
// The face font has no circled letters: the buttons say what they are.
constexpr std::array<const char*, kButtonCount> kButtonLabels{
    "Aボタン", "Bボタン", "Xボタン", "Yボタン", "BACK", "ガイド", "START",
    "L3",      "R3",      "LB",      "RB",      "↑",    "↓",      "←",
    "→",       "MISC",    "P1",      "P2",      "P3",   "P4",     "タッチ"};
constexpr std::array<const char*, kAxisCount> kAxisNames{"leftx",  "lefty",       "rightx",
                                                         "righty", "lefttrigger", "righttrigger"};
constexpr const char* kHatDirs[4] = {"1", "2", "4", "8"};
constexpr const char* kArrows[4] = {"↑", "→", "↓", "←"};

bool IsTrigger(int axis) {
    return axis == LeftTrigger || axis == RightTrigger;
}

std::optional<int> Number(std::string_view s, int below) {
    int v = 0;
    const auto [p, ec] = std::from_chars(s.data(), s.data() + s.size(), v);
    if (ec != std::errc() || p != s.data() + s.size() || s.empty() || v < 0 || v >= below)
        return std::nullopt;
    return v;
}

}  // namespace

bool IsValid(int input, bool controller) {
    if (controller) {
        if (input >= 0 && input < kButtonCount) return true;
        if (input < Axis(0, false) || input >= Axis(kAxisCount, false)) return false;
        const int axis = (input - Axis(0, false)) / 2;
        return !IsTrigger(axis) || input % 2 == 1;  // a trigger is pressed one way only
    }
    return input >= kRawButtons && input < kRawAxes + 2 * kRawAxisCount;
}

std::string InputName(int input) {
    if (input >= 0 && input < kButtonCount) return kButtonNames[size_t(input)];
    if (input >= Axis(0, false) && input < Axis(kAxisCount, false)) {
        const int axis = (input - Axis(0, false)) / 2;
        const bool positive = input % 2 == 1;
        if (IsTrigger(axis)) return positive ? kAxisNames[size_t(axis)] : "";
        return std::string(positive ? "+" : "-") + kAxisNames[size_t(axis)];
    }
    if (input >= kRawButtons && input < kRawButtons + kRawButtonCount)
        return "b" + std::to_string(input - kRawButtons);
    if (input >= kRawHats && input < kRawHats + 4 * kRawHatCount)
        return "h" + std::to_string((input - kRawHats) / 4) + "." +
               kHatDirs[(input - kRawHats) % 4];
    if (input >= kRawAxes && input < kRawAxes + 2 * kRawAxisCount)
        return std::string(input % 2 ? "+" : "-") + "a" + std::to_string((input - kRawAxes) / 2);
    return "";
}

std::optional<int> InputFromName(std::string_view name) {
    for (int b = 0; b < kButtonCount; ++b)
        if (name == kButtonNames[size_t(b)]) return Button(b);
    for (int a = 0; a < kAxisCount; ++a) {
        const std::string_view axis = kAxisNames[size_t(a)];
        if (IsTrigger(a) && name == axis) return Axis(a, true);
        if (!IsTrigger(a) && name.size() == axis.size() + 1 && name.substr(1) == axis &&
            (name[0] == '+' || name[0] == '-'))
            return Axis(a, name[0] == '+');
    }
    if (name.size() > 1 && name[0] == 'b') {
        if (const auto n = Number(name.substr(1), kRawButtonCount)) return RawButton(*n);
    }
    if (name.size() > 3 && name[0] == 'h') {
        const size_t dot = name.find('.');
        if (dot == std::string_view::npos) return std::nullopt;
        const auto hat = Number(name.substr(1, dot - 1), kRawHatCount);
        const std::string_view dir = name.substr(dot + 1);
        for (int d = 0; hat && d < 4; ++d)
            if (dir == kHatDirs[d]) return RawHat(*hat, d);
    }
    if (name.size() > 2 && (name[0] == '+' || name[0] == '-') && name[1] == 'a') {
        if (const auto n = Number(name.substr(2), kRawAxisCount))
            return RawAxis(*n, name[0] == '+');
    }
    return std::nullopt;
}

std::string InputLabel(int input) {
    if (input >= 0 && input < kButtonCount) return kButtonLabels[size_t(input)];
    if (input >= Axis(0, false) && input < Axis(kAxisCount, false)) {
        const int axis = (input - Axis(0, false)) / 2;
        const bool positive = input % 2 == 1;
        if (axis == LeftTrigger) return "LT";
        if (axis == RightTrigger) return "RT";
        const std::string stick = axis < RightX ? "L" : "R";
        const bool x = axis == LeftX || axis == RightX;
        return stick + (x ? (positive ? "→" : "←") : (positive ? "↓" : "↑"));
    }
    if (input >= kRawButtons && input < kRawButtons + kRawButtonCount)
        return "パッド" + std::to_string(input - kRawButtons + 1);
    if (input >= kRawHats && input < kRawHats + 4 * kRawHatCount)
        return std::string("ハット") + kArrows[(input - kRawHats) % 4];
    if (input >= kRawAxes && input < kRawAxes + 2 * kRawAxisCount)
        return "軸" + std::to_string((input - kRawAxes) / 2 + 1) + (input % 2 ? "+" : "-");
    return "";
}

int MenuKeyOf(int input, bool controller) {
    if (controller) {
        switch (input) {
            case DpUp:
                return vk::Up;
            case DpDown:
                return vk::Down;
            case DpLeft:
                return vk::Left;
            case DpRight:
                return vk::Right;
            case A:
            case Start:
                return vk::Enter;
            case B:
                return kBack;
            case X:
                return vk::Space;
            case LeftShoulder:
                return 33;  // Page Up: song select steps ten songs back
            case RightShoulder:
                return 34;  // Page Down
            default:
                return 0;
        }
    }
    // A plain joystick (most drum controllers): its first hat steers, its first button is OK and
    // its second one back, so a drum is struck to start a song.
    switch (input) {
        case RawHat(0, 0):
            return vk::Up;
        case RawHat(0, 1):
            return vk::Right;
        case RawHat(0, 2):
            return vk::Down;
        case RawHat(0, 3):
            return vk::Left;
        case RawButton(0):
            return vk::Enter;
        case RawButton(1):
            return kBack;
        default:
            return 0;
    }
}

}  // namespace zb::pad
