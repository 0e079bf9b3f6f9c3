// The form slots of the challenge menu: one row per modifier, its text and its points.
#pragma once

#include <cstddef>

namespace zb::challenge_menu_slots {

inline constexpr size_t kFirstTextLabel = 0;     // modifier i's text in label i
inline constexpr size_t kFirstPointsLabel = 10;  // modifier i's points in label 10 + i

}  // namespace zb::challenge_menu_slots
