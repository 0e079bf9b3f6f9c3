#include "core/chart_loader.hpp"

#include <gtest/gtest.h>

#include "core/chart_data.hpp"
#include "core/checked.hpp"
#include "core/songs.hpp"
#include "platform/headless/headless.hpp"

namespace zb {
namespace {

class LoadChartTest : public ::testing::Test {
  protected:
    headless::HeadlessPlatform platform{"/games/zubakko/"};
    Game game{platform.ports};

    void Load(int song, int difficulty, int part = 0) {
        LoadChart(game, {static_cast<int16_t>(song), static_cast<int16_t>(difficulty)},
                  static_cast<int16_t>(part));
    }
    static std::string Text(int song, int difficulty, int part = 0) {
        std::string t;
        for (const auto& m : ChartMeasures({int16_t(song), int16_t(difficulty)}, part)) t += m;
        return t;
    }
};

TEST(NoteModel, BuildsPositionsAndKindsFromTheChartText) {
    Chart c;
    c.ChartText = "6000100010001000";
    c.NoteSpacing = 40;
    BuildNoteModel(c);
    EXPECT_EQ(c.NoteCount, 4);
    EXPECT_EQ(c.NoteKinds, "6111");
    ASSERT_EQ(c.NotePos.size(), 105u);
    EXPECT_EQ(std::vector<int32_t>(c.NotePos.begin(), c.NotePos.begin() + 5),
              (std::vector<int32_t>{0, 40, 200, 360, 520}));
    EXPECT_EQ(c.NotePos[5], 0);

    // Bar lines alone are no notes; the previous model is replaced whole.
    c.ChartText = "5000000050000000";
    BuildNoteModel(c);
    EXPECT_EQ(c.NoteCount, 0);
    EXPECT_EQ(c.NoteKinds, "");
    EXPECT_EQ(c.NotePos, std::vector<int32_t>(101, 0));
}

TEST(NoteModel, RaisesOverflowForTooManyNotesOrTooFarPositions) {
    Chart c;
    c.NoteSpacing = 40;
    c.ChartText = std::string(32667, '1');
    BuildNoteModel(c);
    EXPECT_EQ(c.NoteCount, 32667);
    EXPECT_EQ(c.NotePos.size(), 32768u);
    c.ChartText = std::string(32668, '1');  // NoteCount + 100 no longer fits 16 bits
    EXPECT_THROW(BuildNoteModel(c), OverflowError);
    c.ChartText = std::string(32768, '2');  // the count itself overflows
    EXPECT_THROW(BuildNoteModel(c), OverflowError);

    c.NoteSpacing = 32767;
    c.ChartText = std::string(65538, '0') + "1";  // 32767 × 65539 passes 32 bits
    EXPECT_THROW(BuildNoteModel(c), OverflowError);
    c.ChartText = std::string(65537, '0') + "1";
    BuildNoteModel(c);
    EXPECT_EQ(c.NotePos[1], 2147483646);
}

TEST_F(LoadChartTest, SetsTheSongsConstantsAndStartsItsMusic) {
    Load(0, 2);
    const Chart& c = game.chart;
    EXPECT_EQ(c.ChartText, Text(0, 2));
    EXPECT_EQ(c.NoteCount, 784);
    EXPECT_EQ(c.PartEndTime, 15700);
    EXPECT_EQ(c.ChartSpan, 14514);
    EXPECT_EQ(c.ChartOffset, 0);
    EXPECT_EQ(c.SongLevel, 9);
    EXPECT_EQ(c.ComboBonusStep, 70);
    EXPECT_EQ(c.GaugeGainBest, 10);
    EXPECT_EQ(c.GaugeGainGood, 6);
    EXPECT_EQ(c.GaugeLoss, -10);
    EXPECT_EQ(c.GaugeUnit, 160);
    EXPECT_EQ(c.JudgeWindow1, 14);
    EXPECT_EQ(c.JudgeWindow2, 28);
    EXPECT_EQ(c.JudgeWindow3, 42);
    EXPECT_EQ(c.NoteSpacing, 40);
    EXPECT_EQ(c.LaneBlitWidth, 64);
    EXPECT_EQ(c.ChartDelay, 9);
    EXPECT_EQ(platform.music.FileName(), "/games/zubakko/sound/eff4_13.mid");
    EXPECT_TRUE(platform.music.AutoStart());
    EXPECT_TRUE(platform.music.Enabled());

    Load(3, 1);
    EXPECT_EQ(c.ChartOffset, -2670);
    EXPECT_EQ(c.JudgeWindow3, 39);  // back to the default after song 0's wider windows
    EXPECT_EQ(platform.music.FileName(), "/games/zubakko/sound/opening_to_the_2001.mid");
}

TEST_F(LoadChartTest, LaterPartsOfSongFiveKeepTheMusicPlaying) {
    Load(5, 1, 0);
    EXPECT_EQ(game.chart.ChartText.size(), 520u);
    EXPECT_EQ(platform.music.History().size(), 1u);
    EXPECT_EQ(platform.music.FileName(), "/games/zubakko/sound/dodo.mid");
    platform.clock.Advance(65.0);
    Load(5, 1, 1);
    EXPECT_EQ(platform.music.History().size(), 1u);
    EXPECT_DOUBLE_EQ(platform.music.CurrentPosition(), 65.0);
    EXPECT_EQ(game.chart.ChartText.size(), 320u);
    EXPECT_EQ(game.chart.PartEndTime, 5350);
    EXPECT_EQ(game.chart.ChartSpan, 5330);
    EXPECT_EQ(game.chart.JudgeWindow1, 10);
    EXPECT_EQ(game.chart.JudgeWindow2, 20);
    EXPECT_EQ(game.chart.JudgeWindow3, 30);
    EXPECT_EQ(game.chart.NoteCount, 83);
    Load(5, 1, 2);
    EXPECT_EQ(game.chart.NoteCount, 55);
    EXPECT_EQ(platform.music.History().size(), 1u);
}

TEST_F(LoadChartTest, SongSixUsesItsPartsOffsetsAndTheEasySpacingInEveryPart) {
    for (int part = 0; part < 3; ++part) {
        Load(6, 0, part);
        EXPECT_EQ(game.chart.NoteSpacing, 20) << part;
    }
    EXPECT_EQ(game.chart.ChartOffset, -190);
    Load(6, 2, 2);
    EXPECT_EQ(game.chart.ChartOffset, -380);
    EXPECT_EQ(game.chart.NoteSpacing, 40);
    Load(6, 2, 1);
    EXPECT_EQ(game.chart.ChartOffset, 0);
    EXPECT_EQ(game.chart.JudgeWindow1, 10);
}

TEST_F(LoadChartTest, PartNoteCountsAddUpToTheSongTotals) {
    for (int song : {5, 6})
        for (int d = 0; d < 3; ++d) {
            int sum = 0;
            for (int p = 0; p < 3; ++p) {
                Load(song, d, p);
                sum += game.chart.NoteCount;
            }
            EXPECT_EQ(sum, SongNoteTotal({int16_t(song), int16_t(d)})) << song << "/" << d;
        }
    EXPECT_EQ(SongNoteTotal({5, 1}), 452);
    EXPECT_EQ(SongNoteTotal({6, 1}), 213);
    EXPECT_EQ(SongNoteTotal({6, 2}), 523);
}

TEST_F(LoadChartTest, SongFourHardestPlacesItsLastNotesAtFourTimesTheSpacing) {
    Load(4, 2);
    const Chart& c = game.chart;
    ASSERT_EQ(c.NoteCount, 310);
    int i = 0;
    for (size_t w = 1; w <= c.ChartText.size(); ++w) {
        if (c.ChartText[w - 1] == '0' || c.ChartText[w - 1] == '5') continue;
        ++i;
        EXPECT_EQ(c.NotePos[i], (i <= 250 ? 40 : 160) * static_cast<int32_t>(w)) << i;
        EXPECT_EQ(i <= 250, w <= 360u) << i;
    }
    Load(4, 1);  // the other charts of the song do not speed up
    const auto last = static_cast<int32_t>(c.ChartText.find_last_not_of("05") + 1);
    EXPECT_EQ(c.NotePos[c.NoteCount], 40 * last);
}

TEST_F(LoadChartTest, SongEightPlaysQuieterAndTheNextSongAtFullVolume) {
    for (int d = 0; d < 4; ++d) {
        Load(8, d);
        EXPECT_EQ(game.chart.MusicVolumeScale, 1.5);
    }
    Load(7, 0);
    EXPECT_EQ(game.chart.MusicVolumeScale, 1.0);
}

TEST_F(LoadChartTest, FasterModesScaleLaneValuesAndKeepHitTimes) {
    game.chart.Mode = Modifier::DoubleSpeed;
    Load(0, 0);
    EXPECT_EQ(game.chart.NoteSpacing, 80);
    EXPECT_EQ(game.chart.JudgeWindow1, 26);
    EXPECT_EQ(game.chart.JudgeWindow2, 52);
    EXPECT_EQ(game.chart.JudgeWindow3, 78);
    EXPECT_EQ(game.chart.ChartDelay, 18);
    EXPECT_EQ(game.chart.NotePos[1], 80 * (game.chart.ChartText.find_first_not_of("05") + 1));
    EXPECT_EQ(game.settings.DelaySetting, 9);

    // Each part of a three-part song scales once from its own values.
    for (int part = 0; part < 3; ++part) {
        Load(6, 2, part);
        EXPECT_EQ(game.chart.ChartDelay, 18) << part;
    }
    EXPECT_EQ(game.chart.ChartOffset, -760);
    game.chart.Mode = Modifier::FourfoldSpeed;
    Load(6, 2, 2);
    EXPECT_EQ(game.chart.ChartOffset, -1520);
    EXPECT_EQ(game.chart.NoteSpacing, 160);
    EXPECT_EQ(game.chart.ChartDelay, 36);

    game.chart.Mode = Modifier::None;
    Load(6, 2, 2);
    EXPECT_EQ(game.chart.ChartDelay, 9);
    EXPECT_EQ(game.chart.ChartOffset, -380);
}

TEST_F(LoadChartTest, DenseModeHalvesWithHalvesToEven) {
    game.chart.Mode = Modifier::Dense;
    Load(8, 0);
    EXPECT_EQ(game.chart.NoteSpacing, 10);
    EXPECT_EQ(game.chart.JudgeWindow1, 4);
    EXPECT_EQ(game.chart.JudgeWindow2, 8);
    EXPECT_EQ(game.chart.JudgeWindow3, 10);
    EXPECT_EQ(game.chart.ChartDelay, 4);  // 4.5 rounds to 4
    Load(1, 0);
    EXPECT_EQ(game.chart.JudgeWindow1, 6);
    EXPECT_EQ(game.chart.JudgeWindow2, 13);
    EXPECT_EQ(game.chart.JudgeWindow3, 20);
    EXPECT_EQ(game.chart.ChartOffset, -5);
    game.settings.DelaySetting = 11;
    Load(1, 0);
    EXPECT_EQ(game.chart.ChartDelay, 6);  // 5.5 rounds to 6
}

TEST_F(LoadChartTest, ScalingOverflowIsAnError) {
    game.settings.DelaySetting = 10000;
    game.chart.Mode = Modifier::FourfoldSpeed;
    EXPECT_THROW(Load(0, 0), OverflowError);
    game.chart.Mode = Modifier::DoubleSpeed;
    Load(0, 0);
    EXPECT_EQ(game.chart.ChartDelay, 20000);
}

TEST_F(LoadChartTest, SwapModeTurnsDonIntoKanOnEveryLoadFromTheData) {
    EXPECT_EQ(SwapDonKan("6020101020102022"), "7010202010201011");
    EXPECT_EQ(SwapDonKan("8394500"), "9483500");
    game.chart.Mode = Modifier::SwapDonKan;
    Load(2, 1);
    EXPECT_EQ(game.chart.ChartText, SwapDonKan(Text(2, 1)));
    Load(2, 1);  // a second load swaps the data again, not the swapped text
    EXPECT_EQ(game.chart.ChartText, SwapDonKan(Text(2, 1)));
    game.chart.Mode = Modifier::None;
    Load(2, 1);
    EXPECT_EQ(game.chart.ChartText, Text(2, 1));
}

TEST_F(LoadChartTest, RandomModeKeepsSizesBarsAndPositions) {
    game.chart.Mode = Modifier::RandomDonKan;
    Load(9, 2);
    const std::string data = Text(9, 2), got = game.chart.ChartText;
    ASSERT_EQ(got.size(), data.size());
    int changed = 0;
    for (size_t i = 0; i < data.size(); ++i) {
        const char a = data[i], b = got[i];
        if (a == '0' || a == '5') {
            EXPECT_EQ(a, b);
            continue;
        }
        const auto group = [](char c) {
            return (c == '1' || c == '2')   ? 0
                   : (c == '3' || c == '4') ? 1
                   : (c == '6' || c == '7') ? 2
                                            : 3;
        };
        EXPECT_EQ(group(a), group(b)) << i;
        changed += a != b;
    }
    // About half the kinds change; the same run of the program draws the same kinds.
    EXPECT_GT(changed, 919 / 4);
    EXPECT_LT(changed, 919 * 3 / 4);
    headless::HeadlessPlatform again{"/x/"};
    Game other{again.ports};
    other.chart.Mode = Modifier::RandomDonKan;
    LoadChart(other, {.song = 9, .difficulty = 2}, 0);
    EXPECT_EQ(other.chart.ChartText, got);
}

TEST_F(LoadChartTest, AMissingChartChangesNothing) {
    Load(1, 1);
    const std::string before = game.chart.ChartText;
    EXPECT_THROW(Load(0, 3), std::out_of_range);
    EXPECT_THROW(Load(10, 0), std::out_of_range);
    EXPECT_THROW(Load(5, 0, 3), std::out_of_range);
    EXPECT_EQ(game.chart.ChartText, before);
    EXPECT_EQ(platform.music.History().size(), 1u);
}

}  // namespace
}  // namespace zb
