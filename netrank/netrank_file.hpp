// The local copy of the shared ranking, netrank.dat beside the program, and the ranking rules.
// Between exchanges with the server the local file holds one empty line; the tables in
// game.ranking keep their contents for the whole run.
#pragma once

#include <cstdint>
#include <string>

#include "core/game.hpp"

namespace zb {

// SaveDir + "netrank.dat".
std::string NetRankPath(const Game& game);

// Replaces the local file by one empty line. A failure is only written to standard error.
void ClearNetRankFile(Game& game);
// Reads the local file into game.ranking; a missing or malformed file never fails (see
// ParseNetRankLine).
void ReadNetRankFile(Game& game);
// Writes game.ranking to the local file, replacing it. A failure is only written to standard error.
void WriteNetRankFile(Game& game);

// The same on any file (the admin tool). Read returns false when the file can't be opened,
// write when it can't be replaced.
bool ReadNetRankFile(RankingTables& tables, const std::string& path);
bool WriteNetRankFile(const RankingTables& tables, const std::string& path);

// Insert by the ranking rules: not placed when below place 49; otherwise ahead of every entry
// with the same score, the former 50th entry moving to the overflow slot 50. Return the place
// 0..49, or -1 when not placed (the tables are then unchanged).
int InsertTotalEntry(RankingTables& tables, int32_t total, const std::string& name,
                     int16_t firstSong, int16_t secondSong);
int InsertSongEntry(RankingTables& tables, int16_t song, int32_t score, const std::string& name);
int InsertTotalEntry(Game& game, int32_t total, const std::string& name, int16_t firstSong,
                     int16_t secondSong);
int InsertSongEntry(Game& game, int16_t song, int32_t score, const std::string& name);

}  // namespace zb
