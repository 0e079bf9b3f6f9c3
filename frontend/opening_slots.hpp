// The form slots of the opening, the story and the credits, which follow each other on the
// same label while the one timer runs.
#pragma once

#include <cstddef>

namespace zb::opening_slots {

inline constexpr size_t kWordLabel = 0;  // the opening's words, the story's lines, the credits
inline constexpr size_t kTimer = 0;      // the 75 ms timer that drives all three

}  // namespace zb::opening_slots
