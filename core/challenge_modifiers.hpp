// The ten challenge modifiers of the challenge course, with their menu texts and points. A
// modifier's value is its code: the row of the challenge menu that chooses it and its index in
// ChallengePoints.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

namespace zb {

enum class Modifier : int16_t {
    None = 0,          // チャレンジなし！
    DoubleSpeed,       // the loader doubles the lane values
    FourfoldSpeed,     // ... or takes them four times
    Reversed,          // the lane is drawn mirrored; judgement is unchanged
    SwapDonKan,        // the loader swaps don and kan
    NarrowWindows,     // the play loop judges with 0.7 times the windows
    Sudden,            // notes are drawn only from 200 pixels before the frame
    RandomDonKan,      // the loader draws each note's kind at random, keeping its size
    GoodCountsAsMiss,  // the middle window is 0: what would be 可 is 不可
    Dense,             // the loader halves the lane values
};

inline constexpr int kModifierCount = 10;

struct ModifierRow {
    Modifier modifier;
    const char* text;  // on the challenge menu
    int32_t points;    // added to the song's score in the challenge course
};

inline constexpr std::array<ModifierRow, kModifierCount> kModifiers{{
    {Modifier::None, "チャレンジなし！", 0},
    {Modifier::DoubleSpeed, "譜面が２倍速！", 200000},
    {Modifier::FourfoldSpeed, "譜面が４倍速！", 500000},
    {Modifier::Reversed, "譜面が逆流！", 150000},
    {Modifier::SwapDonKan, "「鈍」と「感」が逆！", 100000},
    {Modifier::NarrowWindows, "当たり判定が狭く！", 200000},
    {Modifier::Sudden, "サドゥン！", 100000},
    {Modifier::RandomDonKan, "「鈍」と「感」がランダム！", 400000},
    {Modifier::GoodCountsAsMiss, "「可」が「不可」に！", 300000},
    {Modifier::Dense, "譜面が密集！", 100000},
}};

// The points of every modifier, by code, as the menu stores them in ChallengePoints.
constexpr std::array<int32_t, kModifierCount> ModifierPoints() {
    std::array<int32_t, kModifierCount> points{};
    for (int i = 0; i < kModifierCount; ++i) points[size_t(i)] = kModifiers[size_t(i)].points;
    return points;
}

constexpr int16_t ModifierCode(Modifier m) {
    return static_cast<int16_t>(m);
}

// How the speed modifiers scale the lane: spacing, judgement windows, offset and ディレイ are
// multiplied by it at load time (twice, four times, or half as dense); 1 for the others.
constexpr double LaneScale(Modifier m) {
    switch (m) {
        case Modifier::DoubleSpeed:
            return 2;
        case Modifier::FourfoldSpeed:
            return 4;
        case Modifier::Dense:
            return 0.5;
        default:
            return 1;
    }
}

// 当たり判定が狭く！ plays with windows this fraction of the chart's.
inline constexpr double kNarrowWindowsScale = 0.7;

// Every row stands at its own code.
static_assert([] {
    for (int i = 0; i < kModifierCount; ++i)
        if (ModifierCode(kModifiers[size_t(i)].modifier) != i) return false;
    return true;
}());

}  // namespace zb
