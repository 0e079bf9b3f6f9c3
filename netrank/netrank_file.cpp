#include "netrank/netrank_file.hpp"

#include <fstream>

#include "core/file_replace.hpp"
#include "netrank/netrank_format.hpp"

namespace zb {
namespace {

// A crash or a full disk while writing leaves the old file whole.
// A failure is written to standard error.
bool ReplaceLocal(const std::string& path, const std::string& bytes) {
    return SaveDataFile(path, bytes, "");
}

// The place for score x in a list ordered from place 0, or -1: ahead of every equal score.
int PlaceFor(const int32_t* scores, int32_t x) {
    if (x < scores[kRankPlaces - 1]) return -1;
    if (x >= scores[0]) return 0;
    for (int i = 0; i < kRankPlaces - 1; ++i)
        if (scores[i] >= x && x >= scores[i + 1]) return i + 1;
    return kRankPlaces - 1;  // unreachable for an ordered list; keeps a disordered one in range
}

}  // namespace

std::string NetRankPath(const Game& game) {
    return game.SaveDir() + "netrank.dat";
}

void ClearNetRankFile(Game& game) {
    ReplaceLocal(NetRankPath(game), "\r\n");
}

void ReadNetRankFile(Game& game) {
    ReadNetRankFile(game.ranking, NetRankPath(game));
}

void WriteNetRankFile(Game& game) {
    WriteNetRankFile(game.ranking, NetRankPath(game));
}

bool ReadNetRankFile(RankingTables& tables, const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    // Only the first line counts; the rest of the file is never read.
    std::string line;
    std::getline(in, line);
    ParseNetRankLine(tables, FirstLine(line));
    return true;
}

bool WriteNetRankFile(const RankingTables& tables, const std::string& path) {
    return ReplaceLocal(path, FormatNetRankFile(tables));
}

int InsertTotalEntry(RankingTables& t, int32_t total, const std::string& name, int16_t firstSong,
                     int16_t secondSong) {
    const int p = PlaceFor(t.NetTotalScore.data(), total);
    if (p < 0) return -1;
    for (int k = kRankPlaces - 1; k >= p; --k) {
        t.NetTotalScore[k + 1] = t.NetTotalScore[k];
        t.NetTotalName[k + 1] = t.NetTotalName[k];
        t.NetTotalSongs[k + 1] = t.NetTotalSongs[k];
    }
    t.NetTotalScore[p] = total;
    t.NetTotalName[p] = name;
    t.NetTotalSongs[p] = {firstSong, secondSong};
    return p;
}

int InsertSongEntry(RankingTables& t, int16_t song, int32_t score, const std::string& name) {
    if (song < 0 || song >= RankingTables::kSongs) return -1;
    auto& scores = t.NetSongScore[song];
    auto& names = t.NetSongName[song];
    const int p = PlaceFor(scores.data(), score);
    if (p < 0) return -1;
    for (int k = kRankPlaces - 1; k >= p; --k) {
        scores[k + 1] = scores[k];
        names[k + 1] = names[k];
    }
    scores[p] = score;
    names[p] = name;
    return p;
}

int InsertTotalEntry(Game& game, int32_t total, const std::string& name, int16_t firstSong,
                     int16_t secondSong) {
    return InsertTotalEntry(game.ranking, total, name, firstSong, secondSong);
}

int InsertSongEntry(Game& game, int16_t song, int32_t score, const std::string& name) {
    return InsertSongEntry(game.ranking, song, score, name);
}

}  // namespace zb
