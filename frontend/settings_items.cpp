#include "frontend/settings_items.hpp"

#include <algorithm>
#include <limits>
#include <string_view>

#include "core/game.hpp"

namespace zb {

namespace {

// The labels of the bindable codes, one character each.
constexpr std::string_view kKeyLabels =
    "わ!ふ#$%&'()■■■■■■■ABCDEFGHIJKLMNOPQRSTUVWXYZ■■■■■0123456789";

size_t CharBytes(char lead) {
    const auto b = uint8_t(lead);
    return b < 0x80 ? 1 : b < 0xE0 ? 2 : b < 0xF0 ? 3 : 4;
}

constexpr int kDelayMax = 640;
constexpr int kFrameMax = 20;

// `value` when `value + add` still fits 16 bits, else `value` clamped into [lo, hi].
int Fitting(int value, int add, int lo, int hi) {
    if (value + add <= std::numeric_limits<int16_t>::max()) return value;
    return std::clamp(value, lo, hi);
}

}  // namespace

std::string KeyLabel(int16_t code) {
    if (code < kFirstBindableKey || code > kLastBindableKey) return "";
    size_t at = 0;
    for (int c = kFirstBindableKey; c < code; ++c) at += CharBytes(kKeyLabels[at]);
    return std::string(kKeyLabels.substr(at, CharBytes(kKeyLabels[at])));
}

// C++'s % truncates and keeps the dividend's sign, as the game's "mod" does: an odd negative delay
// climbs back towards 0 one step at a time.
int16_t StepDelay(int16_t delay, int dir) {
    const int add = dir > 0 ? 1 : kDelayMax;
    const int v = Fitting(delay, add, 0, kDelayMax);
    return int16_t((v + add) % (kDelayMax + 1));
}

// The frame wraps with a floored remainder: the truncating one would take -20 left to -21 and on
// down, one step further each time.
int16_t StepFrame(int16_t frame, int dir) {
    constexpr int kSpan = 2 * kFrameMax + 1;
    const int add = dir > 0 ? kFrameMax + 1 : kFrameMax - 1;
    const int v = Fitting(frame, add, -kFrameMax, kFrameMax);
    return int16_t(((v + add) % kSpan + kSpan) % kSpan - kFrameMax);
}

int16_t StepVolume(int16_t volume, int dir) {
    switch (volume) {
        case kLoudVolume:
            return dir > 0 ? kNormalVolume : kQuietVolume;
        case kNormalVolume:
            return dir > 0 ? kQuietVolume : kLoudVolume;
        case kQuietVolume:
            return dir > 0 ? kLoudVolume : kNormalVolume;
        default:
            return volume;
    }
}

std::string VolumeWord(int16_t volume) {
    switch (volume) {
        case kLoudVolume:
            return "大きい";
        case kNormalVolume:
            return "普通";
        case kQuietVolume:
            return "小さい";
        default:
            return "";
    }
}

}  // namespace zb
