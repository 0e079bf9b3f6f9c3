// Colours as 0x00RRGGBB pixels. Screens name them by components or as &HBBGGRR values.
#pragma once

#include <cstdint>

namespace zb {

struct Color {
    uint32_t rgb = 0;  // 0x00RRGGBB

    static constexpr Color Rgb(int r, int g, int b) {
        return Color{(uint32_t(r & 255) << 16) | (uint32_t(g & 255) << 8) | uint32_t(b & 255)};
    }
    // A colour written as &HBBGGRR (red in the low byte).
    static constexpr Color FromBgr(uint32_t bgr) {
        return Rgb(int(bgr & 255), int((bgr >> 8) & 255), int((bgr >> 16) & 255));
    }
    constexpr int R() const { return int((rgb >> 16) & 255); }
    constexpr int G() const { return int((rgb >> 8) & 255); }
    constexpr int B() const { return int(rgb & 255); }
    constexpr bool operator==(const Color&) const = default;
};

namespace colors {
inline constexpr Color Black = Color::Rgb(0, 0, 0);
inline constexpr Color White = Color::Rgb(255, 255, 255);
inline constexpr Color Red = Color::Rgb(255, 0, 0);
inline constexpr Color Green = Color::Rgb(0, 255, 0);
inline constexpr Color Blue = Color::Rgb(0, 0, 255);
inline constexpr Color Yellow = Color::Rgb(255, 255, 0);
}  // namespace colors

}  // namespace zb
