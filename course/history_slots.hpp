// The form slot the 記録 and リプレイ screens draw on: one picture box the size of the form. The
// results' timing histogram uses the same box (play/play_slots.hpp), and clears what these
// printed on it.
#pragma once

#include <cstddef>

namespace zb::history_slots {

inline constexpr size_t kPlotPicture = 0;

}  // namespace zb::history_slots
