// The form slot the 記録 screen draws on: one picture box the size of the form.
#pragma once

#include <cstddef>

namespace zb::history_slots {

inline constexpr size_t kPlotPicture = 0;

}  // namespace zb::history_slots
