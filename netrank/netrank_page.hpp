// The text of the ranking display: eleven pages (the total ranking, then songs 0..9), fifty
// places each, shown ten at a time.
#pragma once

#include <cstdint>
#include <string>

#include "core/game.hpp"

namespace zb {

inline constexpr int kRankPages = 11;
inline constexpr int kRankBlocks = 5;

// "総合ランキング" for page 0, else the title of song page - 1; empty outside 0..10.
const char* NetRankPageTitle(int page);
// The short song name of the total ranking's lines; empty for numbers without one.
const char* NetRankShortName(int song);
// Places 10 * block + 1 to 10 * block + 10 of a page, one line each, ended by CR LF. Empty for
// a page or block outside the display.
std::string NetRankPage(const RankingTables& tables, int16_t page, int16_t block);
inline std::string NetRankPage(const Game& game, int16_t page, int16_t block) {
    return NetRankPage(game.ranking, page, block);
}

}  // namespace zb
