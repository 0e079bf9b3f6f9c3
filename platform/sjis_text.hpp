// Shift_JIS text through the C library's iconv (an adapter: the game rooms may not include
// iconv.h). The ranking file is Shift_JIS (Windows code page 932) on disk and on the server; the
// game keeps text as UTF-8. These convert between the two and never fail: what can't be converted
// becomes U+FFFD when reading and "?" when writing.
#pragma once

#include <string>
#include <string_view>

namespace zb {

std::string SjisToUtf8(std::string_view sjis);
std::string Utf8ToSjis(std::string_view utf8);
// True when every character has a place in code page 932 (or the neighbour Windows uses for it).
bool FitsSjis(std::string_view utf8);

}  // namespace zb
