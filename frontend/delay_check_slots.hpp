// The form slots of the delay check (タイミング調整). The play frame it runs writes the play
// screen's position, combo and score labels (play/play_slots.hpp), which it leaves hidden.
#pragma once

#include <cstddef>

namespace zb::delay_check_slots {

inline constexpr size_t kTitleLabel = 0;     // "タイミング調整"
inline constexpr size_t kHowLabel = 1;       // what to strike, and Esc
inline constexpr size_t kFiguresLabel = 7;   // the beats left, then the figures and the choice
inline constexpr size_t kDistanceLabel = 8;  // what the ディレイ is

}  // namespace zb::delay_check_slots
