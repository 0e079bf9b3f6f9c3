// The ranking as the server holds it now, for the ranking display before play and for the
// session after play: downloaded into memory and read into game.ranking, never through the local
// file.
#pragma once

#include <optional>
#include <string>

#include "core/game.hpp"
#include "netrank/rank_server.hpp"

namespace zb {

// Downloads the server's ranking and reads it into game.ranking, places the file does not hold
// left empty. Returns the bytes as they came (what a later store must still find on the server),
// or nullopt when no ranking arrived: the transfer's box told the player and one line on
// standard error says why. The tables are unchanged then.
std::optional<std::string> FetchRanking(Game& game, const RankServer& server);

}  // namespace zb
