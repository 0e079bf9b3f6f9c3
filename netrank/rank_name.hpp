// The rule for ranking names, the same in the game's name entry and in the admin tool.
#pragma once

#include <string_view>

namespace zb {

inline constexpr int kRankNameMaxUnits = 12;

// 1 to 12 characters counted as UTF-16 units (a full-width character counts one), none of them
// ":" or ";" (the file's separators) or a control character (a line end would cut the file's
// one line), and every one storable in the file's Shift_JIS (an emoji would be stored broken).
bool ValidRankName(std::string_view utf8);

}  // namespace zb
