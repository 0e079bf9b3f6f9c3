// The form slots of the settings screen (設定画面) and its items in the cursor's order.
#pragma once

#include <array>
#include <cstddef>

namespace zb::settings_slots {

// The items from the top: the four play keys, then the values stepped with ← and →.
enum Item : size_t {
    kLeftFoot,
    kRightFoot,
    kLeftHand,
    kRightHand,
    kDelay,
    kFrame,
    kVolume,
    kEffect,
    kBigNote,
    kItemCount
};

inline constexpr size_t kCursorLabel = 0;  // "→" in front of the item
inline constexpr size_t kHelpLabel = 13;   // the three lines of help at the bottom
// Under the items, outside the cursor's round: F2 switches the hit-error bar, F3 opens the delay
// check (タイミング調整).
inline constexpr size_t kExtrasLabel = 20;
// Each item's name and value, by item.
inline constexpr std::array<size_t, kItemCount> kNameLabel{1, 2, 3, 4, 5, 6, 14, 15, 18};
inline constexpr std::array<size_t, kItemCount> kValueLabel{7, 8, 9, 10, 11, 12, 16, 17, 19};

}  // namespace zb::settings_slots
