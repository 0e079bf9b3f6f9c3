// The form slots of the start-up notice (著作権表示).
#pragma once

#include <cstddef>

namespace zb::notice_slots {

inline constexpr size_t kNoticeLabel = 0;  // the notice's lines
inline constexpr size_t kClickLabel = 1;   // "Click start!"

}  // namespace zb::notice_slots
