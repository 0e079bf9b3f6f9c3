// 記録: five hand plays of one song plotted from history.txt, opened from the title with F8; the
// all-songs view; a damaged history file.
#include "course/history_screen.hpp"

#include <gtest/gtest.h>

#include <cmath>

#include "course/history_slots.hpp"
#include "tests/course/hand_play.hpp"
#include "tests/frontend/frontend_fixture.hpp"

namespace zb {
namespace {

using HistoryScreenTest = testing::FrontendTest;
using testing::PlayByHand;

TEST_F(HistoryScreenTest, FivePlaysArePlottedAndTabShowsTodaysMinutes) {
    game.settings.DelaySetting = 0;
    const PlayRequest q{.chart = {.song = 1, .difficulty = 0}};
    std::vector<SongResult> played;
    double seconds = 0;
    for (int play = 0; play < 5; ++play) {
        played.push_back(PlayByHand(hp, game, q, -10 + 8 * play, play == 2 ? 0 : 3 + play));
        seconds += played.back().Frames / kPlayFramesPerSecond;
    }

    Open(std::make_unique<TitleScreen>());
    const auto tap = [&](int key) {
        hp.keyboard.Press(key);
        hp.keyboard.At(hp.clock.Now() + 0.05, key, false);
        RunUntil([] { return false; }, 0.2);
    };
    tap(vk::F8);
    ASSERT_EQ(game.ScreenState, Screen::History);
    const auto& screen = dynamic_cast<HistoryScreen&>(*stack.Top());
    const HistoryDrawing& d = screen.Drawn();
    ASSERT_EQ(d.scores.size(), 5u);
    ASSERT_EQ(d.offsets.size(), 5u);
    size_t best = 0;
    for (size_t i = 0; i < 5; ++i) {
        const SongResult& r = played[i];
        EXPECT_EQ(d.scores[i].value, r.ShownScore) << i;
        EXPECT_NEAR(d.rates[i].value, 100.0 * r.CountBest / game.chart.NoteCount, 1e-9) << i;
        EXPECT_NEAR(d.offsets[i].value, r.Timing.meanMs, 0.06) << i;
        EXPECT_LT(d.bands[i].first, d.offsets[i].y);
        EXPECT_GT(d.bands[i].second, d.offsets[i].y);
        if (i > 0) {
            EXPECT_GT(d.scores[i].x, d.scores[i - 1].x) << "by play, all on one day";
        }
        if (r.ShownScore > played[best].ShownScore) best = i;
    }
    EXPECT_EQ(played[2].ShownScore, played[best].ShownScore) << "the play with no note missed";
    EXPECT_EQ(d.highScore->x, d.scores[best].x);
    // Later plays came later: their marks stand higher on the offset plot.
    EXPECT_LT(d.offsets[4].y, d.offsets[0].y);
    const auto printed = [&](const std::string& part) {
        for (const PrintedText& t : game.form.Picture1[history_slots::kPlotPicture].Printed)
            if (t.text.find(part) != std::string::npos) return true;
        return false;
    };
    EXPECT_TRUE(printed("記録　" + std::string(SongTitle(1)) + "　かんたん"));
    EXPECT_TRUE(printed("プレイ 5回　最高 " + std::to_string(played[best].ShownScore) + "点"));

    tap(9);  // Tab
    ASSERT_EQ(d.days.size(), 30u);
    EXPECT_NEAR(d.days.back().value, seconds / 60, 0.01) << "today's bar";
    EXPECT_LT(d.days.back().y, d.days.front().y);
    EXPECT_EQ(d.mostPlayed,
              (std::vector<std::string>{"1. " + std::string(SongTitle(1)) + "　5回"}));
    tap(9);
    EXPECT_EQ(d.scores.size(), 5u);
    tap(vk::Down);  // a difficulty of the song not played: the song's only one stays
    EXPECT_EQ(d.scores.size(), 5u);

    const std::string before = dir.Read("history.txt");
    tap(vk::Escape);
    EXPECT_EQ(game.ScreenState, Screen::Title);
    EXPECT_EQ(dir.Read("history.txt"), before) << "nothing written";

    // A file cut at any byte, with a junk line after it, loses only the line cut; the screen opens.
    const size_t head = before.find('\n', before.find("version")) + 1;
    for (size_t cut = 0; cut <= before.size(); ++cut) {
        dir.Write("history.txt", before.substr(0, cut) + "\n\x01junk\t1\n");
        int whole = 0;
        for (size_t at = head; at < cut; at = before.find('\n', at) + 1)
            whole += before.find('\n', at) < cut;
        HistoryScreen s;
        s.Start(game);
        const size_t shown = s.Drawn().message.empty() ? s.Drawn().scores.size() : 0;
        EXPECT_GE(shown, size_t(whole)) << cut;
        EXPECT_LE(shown, size_t(whole) + 1) << cut;
    }
}

TEST_F(HistoryScreenTest, WithNoHistoryItSaysSoInOneLine) {
    HistoryScreen s(ChartId{.song = 3, .difficulty = 1});
    s.Start(game);
    EXPECT_EQ(s.Drawn().message, "まだ記録がありません。曲を演奏すると、ここに残ります。");
    EXPECT_FALSE(std::filesystem::exists(dir.File("history.txt")));
}

}  // namespace
}  // namespace zb
