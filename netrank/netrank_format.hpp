// The text of netrank.dat: one line of 21 segments ended by ";", fields ended by ":", in
// Shift_JIS. The total ranking's records are score:name:song1:song2:, a song's are score:name:.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "core/game.hpp"

namespace zb {

inline constexpr int kRankPlaces = 50;     // places 0..49 are written; 50 is the overflow slot
inline constexpr int kRankFileSongs = 20;  // the file carries songs 0..19

// The first line of a file's bytes without its line end (LF, CR LF or a lone CR; none at the end
// of the file is fine too).
std::string_view FirstLine(std::string_view bytes);

// Reads a ranking line (Shift_JIS) into the tables. Never fails: fields that can't be read, that
// don't fit or that point outside the tables are skipped, and what the line doesn't mention keeps
// its value. A line without any ";" changes nothing.
void ParseNetRankLine(RankingTables& tables, std::string_view line);

// The whole file's bytes for places 0..49 of the total ranking and songs 0..19, ended by CR LF.
std::string FormatNetRankFile(const RankingTables& tables);

// True when the first line holds a whole ranking: the total segment and the segments of songs
// 0..19, each with all fifty records. A transfer cut off midway, or an emptied file, is not one.
bool IsWholeNetRank(std::string_view bytes);

// What a downloaded file is: a whole ranking; a shorter one, read as far as it goes (its
// first line starts with a score, holds at least three characters and ends with a closed
// segment, and the file ends with CR LF); the start of one whose last line never ended (the
// transfer ended early); or something that is not a ranking at all (an emptied file, a page of
// another program).
enum class RankBytes { Whole, Short, CutShort, NotARanking };
RankBytes JudgeRankBytes(std::string_view bytes);

// Reads a server's ranking into the tables: what its first line does not mention is empty, not
// left over from an earlier ranking. The player's name is kept.
void ReadServerRanking(RankingTables& tables, std::string_view bytes);

// The leading decimal number of a field, rounded half to even, as the reader takes it: 0 when the
// field does not start with a number; false when it does not fit T.
bool FieldNumber(std::string_view field, int32_t& out);
bool FieldNumber(std::string_view field, int16_t& out);

}  // namespace zb
