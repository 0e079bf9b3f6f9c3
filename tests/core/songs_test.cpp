// The song table's lookups, the chart file reader and the due times the charts are written to.
#include "core/songs.hpp"

#include <gtest/gtest.h>

#include "core/chart_data.hpp"
#include "core/chart_timing.hpp"

namespace zb {
namespace {

TEST(SongTable, LevelsTitlesAndMusicFiles) {
    EXPECT_STREQ(SongTitle(1), "決戦\u3000パート２");
    EXPECT_STREQ(SongShortName(8), "バイク");
    EXPECT_EQ(SongMusicFile(3), "sound/opening_to_the_2001.mid");
    EXPECT_EQ(SongLevelOf({8, 3}), 11);
    EXPECT_EQ(SongLevelOf({7, 3}), 0);  // only song 8 has a fourth chart
    EXPECT_EQ(SongLevelOf({0, 4}), 0);
    EXPECT_EQ(SongLevelOf({10, 0}), 0);
    EXPECT_TRUE(HasChart({8, 3}));
    EXPECT_FALSE(HasChart({0, 3}));
    EXPECT_THROW(ChartConstantsOf({0, 3}), std::out_of_range);
    EXPECT_THROW(PartEndTimeOf(0, 1), std::out_of_range);
    EXPECT_THROW(PartEndTimeOf(5, 3), std::out_of_range);
}

TEST(SongTable, PartsAreLoadedWhenThePreviousPartEnds) {
    EXPECT_EQ(PartLoadTime(5, 0), 0);
    EXPECT_EQ(PartLoadTime(5, 1), 0);    // part 0 ends where part 1 begins
    EXPECT_EQ(PartLoadTime(5, 2), 20);   // 6500 + 5350 − 11830
    EXPECT_EQ(PartLoadTime(6, 1), 100);  // 6940 − 6840
    EXPECT_EQ(PartLoadTime(6, 2), 0);    // loaded before the part begins
    EXPECT_EQ(PartLoadTime(2, 0), 0);
}

TEST(ChartFile, ReadsMeasuresAndSkipsCommentsAndBlankLines) {
    EXPECT_EQ(ParseChartFile("# title\r\n0000\r\n\r\n6000\n# section\n5000"),
              (std::vector<std::string>{"0000", "6000", "5000"}));
    EXPECT_TRUE(ParseChartFile("").empty());
    try {
        ParseChartFile("# ok\n6000\n60a0\n");
        FAIL() << "a letter in a measure was accepted";
    } catch (const std::runtime_error& e) {
        EXPECT_NE(std::string(e.what()).find("line 3"), std::string::npos) << e.what();
    }
    EXPECT_THROW(ParseChartFile("6000 \n"), std::runtime_error);
    EXPECT_EQ(ChartFileName(5, 1, 2), "song5_d1_p2.txt");
    EXPECT_EQ(ChartFileName(8, 3, 0), "song8_d3.txt");
    EXPECT_TRUE(EmbeddedChartFile("song11_d0.txt").empty());
}

TEST(DueTimes, FollowTheScrollOfThePlayLoop) {
    // Song 0, position 1: 40 × 1 + 9 pixels at 1664 × 40 pixels per 14514 cs.
    EXPECT_NEAR(PositionTiming(0, 0, 0, 1).due, 49.0 * 14514 / (1664 * 40), 1e-9);
    EXPECT_NEAR(PositionTiming(0, 0, 0, 1).late - PositionTiming(0, 0, 0, 1).due,
                39.0 * 14514 / (1664 * 40), 1e-9);
    // The offset of song 6's last part delays it by 9.5 positions at either spacing.
    EXPECT_NEAR(PositionTiming(6, 0, 2, 10).due - PositionTiming(6, 0, 2, 10, 0).due,
                9.0 / 20 * 2850 / 288, 1e-9);
    EXPECT_NEAR(PositionMusicTime(6, 0, 2, 10), PositionMusicTime(6, 2, 2, 10), 1e-9);
    EXPECT_NEAR(PositionMusicTime(6, 2, 2, 10), 8790 + (10 + 9.5) * 2850 / 288, 1e-9);
    // Song 4's fast notes: the delay and offset are four times shorter in time.
    EXPECT_NEAR(PositionTiming(4, 2, 0, 361).due, (160.0 * 361 + 19) * 6840 / (456 * 160), 1e-9);
    EXPECT_NEAR(PositionTiming(4, 1, 0, 361).due, (40.0 * 361 + 19) * 6840 / (456 * 40), 1e-9);
}

TEST(DueTimes, MarkTheStretchesNoPlayerCanStrike) {
    // Song 2's last positions fall due after its end; song 0's last ones well before it.
    EXPECT_FALSE(PositionPlayable(2, 2, 0, 1792));
    EXPECT_GT(PositionTiming(2, 2, 0, 1792).due, PartEndTimeOf(2, 0));
    EXPECT_TRUE(PositionPlayable(0, 0, 0, 1664));
    // Song 5's last part is loaded 20 cs in: its first two positions are gone.
    EXPECT_FALSE(PositionPlayable(5, 0, 2, 2));
    EXPECT_TRUE(PositionPlayable(5, 0, 2, 3));
    // A note of song 6's short bridge is lost until the part has been loaded 100 cs in.
    EXPECT_FALSE(PositionPlayable(6, 1, 1, 5));
    EXPECT_TRUE(PositionPlayable(6, 1, 1, 8));

    EXPECT_TRUE(PlayabilityProblems(5, 0, 2, "05" + std::string(110, '0')).empty());
    EXPECT_EQ(PlayabilityProblems(5, 0, 2, "01" + std::string(110, '0')).size(), 1u);
    // Song 4: a fast note right after the last slow one cannot be struck in time.
    std::string text(456, '0');
    text[359] = '1';
    text[360] = '1';
    EXPECT_EQ(PlayabilityProblems(4, 2, 0, text).size(), 1u);
    text[360] = '0';
    text[365] = '1';
    EXPECT_TRUE(PlayabilityProblems(4, 2, 0, text).empty());
}

}  // namespace
}  // namespace zb
