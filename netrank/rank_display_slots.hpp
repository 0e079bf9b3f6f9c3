// The form slots of the ranking display (ネットランク表示).
#pragma once

#include <cstddef>

namespace zb::rank_display_slots {

inline constexpr size_t kPageTitleLabel = 0;  // the page's ranking: total or one song
inline constexpr size_t kPageLabel = 1;       // ten places of it
inline constexpr size_t kHelpLabel = 2;       // the keys and what a click does

}  // namespace zb::rank_display_slots
