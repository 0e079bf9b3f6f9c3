// Exchanging netrank.dat with the ranking server. Each call makes a fresh session: connect and
// log in, change to the ranking's directory, transfer in ASCII mode, disconnect. Every failure
// of the session is shown to the player in an error box with its number and text.
#pragma once

#include <cstdint>
#include <string>

#include "core/game.hpp"

namespace zb {

struct RankServer {
    std::string host, user, password;
    int32_t port = 21;
    bool passive = false;
    std::string directory;  // relative to the login directory
};

// The server this build talks to (the ZB_RANK_* build options).
RankServer BuiltInRankServer();

// Downloads the server's ranking into the local netrank.dat. True when a whole ranking arrived;
// otherwise the local file is left as it was (a broken transfer or a file that is not a whole
// ranking never replaces it).
bool DownloadNetRank(Game& game);
bool DownloadNetRank(Game& game, const RankServer& server);

// Uploads the local netrank.dat. The server's file is replaced in one step (stored under a
// temporary name in the same directory, then renamed over it), so it is always either the old
// ranking or the new one. Nothing is sent when the local file is not a whole ranking. True when
// the server's file was replaced.
bool UploadNetRank(Game& game);
bool UploadNetRank(Game& game, const RankServer& server);

}  // namespace zb
