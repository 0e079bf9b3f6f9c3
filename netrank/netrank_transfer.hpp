// Exchanging netrank.dat with the ranking server. Each call makes a fresh session: connect and
// log in, change to the ranking's directory (or stay in the login directory when it can't be
// entered, saying so on standard error), transfer in ASCII mode, disconnect. Every failure of
// the session is shown to the player in an error box with its number and text.
//
// Players' games share one file, so every writer first takes the folder's lock: creating the
// folder "netrank.lock" beside netrank.dat, which FTP does atomically for one of them only. A
// lock that stays unchanged for about 30 seconds was left by a game that died and is taken
// over. The file itself stays where it always was, for every other program that reads it.
#pragma once

#include <functional>
#include <string>

#include "core/game.hpp"
#include "netrank/rank_link.hpp"
#include "netrank/rank_server.hpp"

namespace zb {

inline constexpr const char* kRankLockName = "netrank.lock";
inline constexpr int kRankPublishTries = 5;  // merges into a newer ranking, at most

// The texts of refused downloads (ERROR_INTERNET_CONNECTION_ABORTED and ERROR_INVALID_DATA).
inline constexpr int32_t kCutShortNumber = 12030;
inline constexpr const char* kCutShortText = "ランキングの受信が途中で終わりました。";
inline constexpr int32_t kNotARankingNumber = 13;
inline constexpr const char* kNotARankingText = "サーバーのファイルはランキングではありません。";

// Each transfer can say what failed, in one line for standard error (`problem`, optional).
// Each runs through a link (netrank/rank_link.hpp); the overloads on a Game use the game's own,
// in place. An exchange stopped through its link's idle callback (the worker's stop) still gives
// back its lock and removes its temporary file, so the server keeps the ranking it had.

// The server's ranking into memory. True when a ranking arrived, whole or shorter with its
// line ended (see JudgeRankBytes); otherwise the error box said why.
bool DownloadRanking(RankLink& link, const RankServer& server, std::string& bytes,
                     std::string* problem = nullptr);
bool DownloadRanking(Game& game, const RankServer& server, std::string& bytes,
                     std::string* problem = nullptr);

// Downloads the server's ranking into the local netrank.dat (the admin tool's download), as it
// came. True when a ranking arrived; otherwise the local file is left as it was.
bool DownloadNetRank(Game& game, const RankServer& server, std::string* problem = nullptr);

// Uploads the local netrank.dat under the folder's lock (the admin tool's upload). The server's
// file is replaced in one step (stored under a temporary name in the same directory, then
// renamed over it), so it is always either the old ranking or the new one. Nothing is sent when
// the local file is not a whole ranking. True when the server's file was replaced.
bool UploadNetRank(Game& game, const RankServer& server, std::string* problem = nullptr);

// Stores `merged`, which is `base` (the server's file as downloaded) with one player's result
// inserted, so that nobody's entry is lost: under the lock, just before the final rename, the
// server must still hold `base`. When it holds a newer ranking, `remerge` is called with those
// bytes and returns them with the result inserted once, and the store is tried again, a bounded
// number of times. The same one-step replacement as UploadNetRank. True when the server's file
// was replaced.
using RankRemerge = std::function<std::string(const std::string& fresh)>;
bool PublishNetRank(RankLink& link, const RankServer& server, std::string base, std::string merged,
                    const RankRemerge& remerge, std::string* problem = nullptr);
bool PublishNetRank(Game& game, const RankServer& server, std::string base, std::string merged,
                    const RankRemerge& remerge, std::string* problem = nullptr);

}  // namespace zb
