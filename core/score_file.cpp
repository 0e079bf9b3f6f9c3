#include "core/score_file.hpp"

#include "core/checked.hpp"
#include "core/file_replace.hpp"

namespace zb {

namespace {

// Calls f(item, reference to the table entry) for the 74 items in file order.
template <typename Tables, typename F>
void ForEachItem(Tables& t, F f) {
    for (int k = 0; k < 3; ++k) f(k, t.CourseHighScores[size_t(k)]);
    for (int s = 0; s < kSongCount; ++s)
        for (int c = 0; c < 3; ++c) f(3 + 3 * s + c, t.HighScores[size_t(c)][size_t(s)]);
    f(33, t.CourseHighScores[3]);
    for (int s = 0; s < kSongCount; ++s)
        for (int c = 3; c < 6; ++c) f(34 + 3 * s + (c - 3), t.HighScores[size_t(c)][size_t(s)]);
    for (int s = 0; s < kSongCount; ++s) f(64 + s, t.HighScores[6][size_t(s)]);
}

std::string ScorePath(const Game& game) {
    return game.SaveDir() + "score.dat";
}

}  // namespace

std::string EncodeScores(const HighScoreTables& t) {
    std::string out(kScoreFileSize, '\0');
    ForEachItem(t, [&](int item, const int32_t& v) {
        const auto u = static_cast<uint32_t>(v);
        for (int b = 0; b < 4; ++b) out[size_t(item * 4 + b)] = char((u >> (8 * b)) & 0xFF);
    });
    return out;
}

void DecodeScores(const std::string& bytes, HighScoreTables& t) {
    ForEachItem(t, [&](int item, int32_t& v) {
        uint32_t u = 0;
        for (int b = 0; b < 4; ++b) {
            const size_t at = size_t(item * 4 + b);
            if (at < bytes.size()) u |= uint32_t(uint8_t(bytes[at])) << (8 * b);
        }
        v = static_cast<int32_t>(u);
    });
    // Two entries of early versions were scored too generously; bring them into line.
    if (t.HighScores[0][0] > 400000) t.HighScores[0][0] = 0;
    if (t.HighScores[1][5] > 500000) t.HighScores[1][5] = Round32(t.HighScores[1][5] * 5.0 / 6.0);
}

void SaveScores(Game& game) {
    const std::string path = ScorePath(game);
    std::string bytes = EncodeScores(game.scores);
    std::string old;
    if (ReadWholeFile(path, old) && old.size() > bytes.size()) bytes.append(old, bytes.size());
    SaveDataFile(path, bytes, "the high scores are kept in memory");
}

bool LoadScores(Game& game) {
    std::string bytes;
    if (!ReadDataFile(ScorePath(game), bytes, kScoreFileSize)) return false;
    DecodeScores(bytes, game.scores);
    return true;
}

}  // namespace zb
