// What failed, for the player's terminal: one line on standard error naming the file or server and
// the reason. The player sees the screens' own boxes; this says which file is behind them.
#pragma once

#include <string_view>

namespace zb {

// Writes "zubakko: <what> <where>: <why>" and a line break to standard error.
void ReportFailure(std::string_view what, std::string_view where, std::string_view why);
// Writes "zubakko: <message>" for a message that already names its file and reason.
void ReportFailure(std::string_view message);

}  // namespace zb
