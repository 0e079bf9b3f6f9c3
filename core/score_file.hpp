// score.dat: the local high-score tables, 74 little-endian signed 32-bit items (296 bytes), no
// header. Items 0-2 the course high scores 0-2; 3-32 the columns 0-2 song by song; 33 the challenge
// course high score; 34-63 the challenge columns 3-5 song by song; 64-73 column 6.
#pragma once

#include <cstdint>
#include <string>

#include "core/game.hpp"

namespace zb {

inline constexpr int kScoreItems = 74;
inline constexpr int kScoreFileSize = kScoreItems * 4;

// The file's bytes for the tables (exactly 296).
std::string EncodeScores(const HighScoreTables& t);
// Fills the tables from a file's bytes; items past the end of a short file read 0, bytes past
// item 73 are ignored. Applies the two repairs.
void DecodeScores(const std::string& bytes, HighScoreTables& t);

// Writes the tables to SaveDir + "score.dat", replacing it crash-safely. An existing longer file
// keeps its bytes beyond item 73. A failure is written to standard error; the tables in memory stay
// as they are.
void SaveScores(Game& game);

// Reads SaveDir + "score.dat" into the tables and repairs two entries. False (a start-up failure)
// when the file is missing, not a regular file or unreadable (written to standard error); the
// tables are then unchanged.
bool LoadScores(Game& game);

}  // namespace zb
