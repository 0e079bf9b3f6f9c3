// zubakko-play --history: the save folder's history as JSON, holding what the 記録 screen plots.
#include <gtest/gtest.h>

#include "course/history_screen.hpp"
#include "platform/headless/headless.hpp"
#include "tests/common/temp_dir.hpp"
#include "tools/play/play_tool.hpp"

namespace zb::tool {
namespace {

TEST(PlayToolHistory, PrintsWhatTheScreenPlots) {
    testing::TempDir dir;
    dir.Write("history.txt",
              "# ズバッコミュージック: every play by hand\nversion 1\n"
              "-\t1\t0\t0\tlocal\t120000\t90\t40\t40\t30\t60.0\t000001_s1_d0.zbr\n"
              "2026-03-30 20:00:00\t1\t0\t0\tlocal\t300000\t150\t15\t5\t120\t95.0\t-"
              "\t12.0 10.0 100 keyboard\t-4.0 20.0 50 kit Drums\n"
              "this line is junk\n"
              "2026-04-01 21:00:00\t2\t1\t0\tchallenge\t90000\t50\t10\t10\t20\t30.0\t-\n"
              "2026-04-01 21:05:00\t1\t0\t0\tlocal\t250000\t140\t20\t10\t100\t95.0\t-"
              "\t2.5 8.0 160 keyboard\n");
    EXPECT_EQ(ParseOptions({"--history", dir.Dir(), "--json"}).historyDir, dir.Dir());
    EXPECT_THROW(ParseOptions({"--history", dir.Dir(), "--auto"}), std::invalid_argument);

    headless::HeadlessPlatform hp(dir.Dir());  // its date: 2026-04-01
    Game game(hp.ports);
    const std::string json = HistoryJson(ReadPlayHistory(game), {2026, 4, 1});
    HistoryScreen screen(ChartId{.song = 1, .difficulty = 0});
    screen.Start(game);
    const HistoryDrawing& d = screen.Drawn();
    ASSERT_EQ(d.scores.size(), 3u) << "the junk line is left out";
    ASSERT_EQ(d.offsets.size(), 2u) << "the play from an old replay knows no timing";
    const auto has = [&](const std::string& part) {
        EXPECT_NE(json.find(part), std::string::npos) << part << " in " << json;
    };
    // The two devices pooled: the mean of all 150 strikes and their spread about it.
    EXPECT_NEAR(d.offsets[0].value, (12.0 * 100 - 4.0 * 50) / 150, 1e-9);
    has("\"MeanOffsetMs\":6.666666666666667,\"OffsetSpreadMs\":");
    has("\"BestRate\":" + std::to_string(int(d.rates[1].value)));
    has("{\"Song\":\"1\",\"Difficulty\":0,\"Plays\":3,\"BestScore\":" +
        std::to_string(int(d.highScore->value)) + ",\"LastBestRate\":82.3529411764706");
    has("{\"Song\":\"2\",\"Difficulty\":1,\"Plays\":1,\"BestScore\":90000");
    has("{\"Day\":\"2026-03-30\",\"Minutes\":1.5833333333333333}");
    has("{\"Day\":\"2026-04-01\",\"Minutes\":2.08333333333333");
    has("\"MostPlayed\":[{\"Song\":\"1\",\"Plays\":3,\"Minutes\":4.1666666666666");
    // The high score is marked on its play.
    EXPECT_EQ(d.highScore->x, d.scores[1].x);
}

}  // namespace
}  // namespace zb::tool
