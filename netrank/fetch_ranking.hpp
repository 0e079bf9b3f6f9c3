// The ranking as the server holds it now, for the ranking display before play and for the
// session after play: downloaded into memory, never through the local file. It runs on the
// ranking's worker (netrank/rank_exchange.hpp) as well as in place.
#pragma once

#include <optional>
#include <string>

#include "netrank/rank_link.hpp"
#include "netrank/rank_server.hpp"

namespace zb {

// Downloads the server's ranking. Returns the bytes as they came (what a later store must still
// find on the server; ReadServerRanking reads them), or nullopt when no ranking arrived: the
// transfer's box told the player and one line on standard error says why.
std::optional<std::string> FetchRanking(RankLink& link, const RankServer& server);

}  // namespace zb
