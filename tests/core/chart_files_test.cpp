// The chart files of content/charts/ against every check value of the song table, read straight
// from the source tree, and the embedded copy that the program uses against them.
#include <gtest/gtest.h>

#include <fstream>
#include <set>
#include <sstream>

#include "core/chart_data.hpp"
#include "core/chart_loader.hpp"
#include "core/checked.hpp"
#include "core/songs.hpp"
#include "platform/headless/headless.hpp"

namespace zb {
namespace {

struct ChartPart {
    int16_t song, difficulty, part;
};

std::vector<ChartPart> AllCharts() {
    std::vector<ChartPart> ids;
    for (int16_t s = 0; s < kSongCount; ++s)
        for (int16_t d = 0; d < kDifficultyCount; ++d)
            for (int16_t p = 0; HasChart({s, d}) && p < PartCount(s); ++p) ids.push_back({s, d, p});
    return ids;
}

std::string Name(const ChartPart& c) {
    return ChartFileName(c.song, c.difficulty, c.part);
}

// The measure lines of a file in the source tree, read without the game's parser.
std::vector<std::string> ReadSourceFile(const ChartPart& c) {
    std::ifstream in(std::string(ZB_SOURCE_DIR) + "/content/charts/" + Name(c));
    std::vector<std::string> lines;
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.empty() || line[0] == '#') continue;
        lines.push_back(line);
    }
    return lines;
}

bool IsNote(char c) {
    return c != '0' && c != '5';
}

TEST(ChartFiles, ThereAreFortyThreeAndTheEmbeddedCopiesMatchThem) {
    const auto ids = AllCharts();
    EXPECT_EQ(ids.size(), 43u);
    for (const ChartPart& c : ids) {
        const auto lines = ReadSourceFile(c);
        ASSERT_FALSE(lines.empty()) << Name(c) << " missing or empty";
        EXPECT_EQ(ChartMeasures({c.song, c.difficulty}, c.part), lines) << Name(c);
        std::ifstream in(std::string(ZB_SOURCE_DIR) + "/content/charts/" + Name(c),
                         std::ios::binary);
        std::stringstream whole;
        whole << in.rdbuf();
        EXPECT_EQ(EmbeddedChartFile(Name(c)), whole.str()) << Name(c) << " embedded copy is stale";
    }
}

TEST(ChartFiles, LengthsNoteCountsAndBarDigitsMeetTheSongTable) {
    for (const ChartPart& c : AllCharts()) {
        const auto lines = ReadSourceFile(c);
        std::string text;
        for (const std::string& m : lines) {
            for (char ch : m) ASSERT_TRUE(ch >= '0' && ch <= '9') << Name(c) << ": " << m;
            for (size_t i = 1; i < m.size(); ++i)
                EXPECT_LT(m[i], '5') << Name(c) << ": bar digit inside " << m;
            text += m;
        }
        EXPECT_EQ(static_cast<int>(text.size()), ChartLengthOf(c.song, c.part)) << Name(c);
        const auto notes = std::count_if(text.begin(), text.end(), IsNote);
        EXPECT_EQ(notes, PartNoteCount({c.song, c.difficulty}, c.part)) << Name(c);
    }
}

TEST(ChartFiles, MeasuresHaveTheSongsGridAndOddPiecesOnlyAtTheEnds) {
    for (const ChartPart& c : AllCharts()) {
        const auto lines = ReadSourceFile(c);
        if (c.song == 8) {
            // "0", then 80 measures of 24 and 18 of 16, the 16s in pairs between runs of 24s.
            ASSERT_EQ(lines.front(), "0") << Name(c);
            int n24 = 0, n16 = 0;
            for (size_t i = 1; i < lines.size(); ++i) {
                const size_t len = lines[i].size();
                ASSERT_TRUE(len == 24 || len == 16) << Name(c) << " line " << i;
                if (len == 24) ++n24;
                if (len != 16) continue;
                ++n16;
                const bool pairStart = lines[i - 1].size() == 24;
                if (pairStart) {
                    ASSERT_LT(i + 2, lines.size()) << Name(c);
                    EXPECT_EQ(lines[i + 1].size(), 16u) << Name(c) << " line " << i;
                    EXPECT_EQ(lines[i + 2].size(), 24u) << Name(c) << " line " << i;
                }
            }
            EXPECT_EQ(n24, 80) << Name(c);
            EXPECT_EQ(n16, 18) << Name(c);
            continue;
        }
        const size_t grid = c.song == 4 ? 12 : 16;
        const std::set<size_t> pieces{1, 5, 6, 8, 17};
        for (size_t i = 0; i < lines.size(); ++i) {
            if (lines[i].size() == grid) continue;
            EXPECT_TRUE(pieces.count(lines[i].size())) << Name(c) << " line " << i;
            // Odd pieces sit at the chart's start or end, before or after every full measure.
            bool fullBefore = false, fullAfter = false;
            for (size_t j = 0; j < lines.size(); ++j)
                if (lines[j].size() == grid) (j < i ? fullBefore : fullAfter) = true;
            EXPECT_FALSE(fullBefore && fullAfter) << Name(c) << " line " << i;
        }
    }
}

TEST(ChartFiles, SongZeroEasyOpensAndClosesAsWritten) {
    const auto& m = ChartMeasures({0, 0}, 0);
    ASSERT_GE(m.size(), 7u);
    const std::vector<std::string> first{"0000000000000000", "5000000000000000", "5000000000000000",
                                         "6000000010000000", "6000100010000000"};
    EXPECT_EQ(std::vector<std::string>(m.begin(), m.begin() + 5), first);
    EXPECT_EQ(m[m.size() - 2], "6000100010001000");
    EXPECT_EQ(m.back(), "8000000000000000");
}

TEST(ChartFiles, SongFourHardestHoldsExactly250NotesBeforeTheSpeedUp) {
    std::string text;
    for (const std::string& m : ChartMeasures({4, 2}, 0)) text += m;
    EXPECT_EQ(std::count_if(text.begin(), text.begin() + 360, IsNote), 250);
}

// Plays every chart as the play loop scrolls it, with the default delay and the frame at 0: each
// note's outermost window must open after the loop has loaded its part and close before the part
// ends, or a perfect player would lose it. Song 4's hardest chart speeds up at note 251.
TEST(ChartFiles, EveryNoteCanBeJudgedWithinItsPart) {
    headless::HeadlessPlatform platform("/app/");
    Game game(platform.ports);
    for (const ChartPart& c : AllCharts()) {
        LoadChart(game, {c.song, c.difficulty}, c.part);
        const Chart& k = game.chart;
        // Centiseconds of part time at which the loop has this part loaded; from the part table.
        double loadedAt = 0;
        if (c.part > 0)
            loadedAt =
                std::max(0, PartStartTime(c.song, c.part - 1) + PartEndTimeOf(c.song, c.part - 1) -
                                PartStartTime(c.song, c.part));
        const bool speedUp = c.song == 4 && c.difficulty == 2;
        double lastSlowLeaves = -1;
        for (int i = 1; i <= k.NoteCount; ++i) {
            const int factor = speedUp && i >= 251 ? 4 : 1;
            const int32_t spacing = k.NoteSpacing * factor, w3 = k.JudgeWindow3 * factor;
            auto scroll = [&](double t) {
                return Round32(t / 100.0 * (double(k.ChartText.size()) * spacing) /
                               (k.ChartSpan / 100.0)) -
                       k.ChartDelay + k.ChartOffset;
            };
            const int32_t p = k.NotePos[i];
            // Find when the note enters (scroll >= p - w3) and leaves (scroll > p + w3).
            double enters = -1, leaves = -1;
            for (double t = -500; t <= k.PartEndTime + 500; t += 0.25) {
                const int32_t s = scroll(t);
                if (enters < 0 && s >= p - w3) enters = t;
                if (s > p + w3) {
                    leaves = t;
                    break;
                }
            }
            EXPECT_GT(enters, loadedAt + 1) << Name(c) << " note " << i << " before its part";
            EXPECT_LT(leaves, k.PartEndTime - 1) << Name(c) << " note " << i << " after its part";
            if (speedUp && i == 250) lastSlowLeaves = leaves;
            if (speedUp && i == 251) {
                EXPECT_GT(enters, lastSlowLeaves + 1)
                    << "song 4: the first fast note comes too soon";
            }
        }
    }
}

}  // namespace
}  // namespace zb
