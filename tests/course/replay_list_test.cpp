// リプレイ: a chart's replays listed from song select's F7, the best one watched through with a
// pause, seeks and speeds, and left midway; a replay of another build listed but not watched.
// The save folder is byte for byte what it was, and the player's settings come back.
#include <gtest/gtest.h>

#include <map>

#include "core/file_replace.hpp"
#include "course/replay_list_screen.hpp"
#include "course/song_select.hpp"
#include "play/play_screen.hpp"
#include "tests/course/hand_play.hpp"
#include "tests/frontend/frontend_fixture.hpp"

namespace zb {
namespace {

using ReplayListTest = testing::FrontendTest;
using testing::PlayByHand;

std::map<std::string, std::string> Files(const std::string& dir) {
    std::map<std::string, std::string> files;
    for (const auto& e : std::filesystem::recursive_directory_iterator(dir))
        if (e.is_regular_file())
            ReadWholeFile(e.path().string(), files[e.path().string()], 1 << 26);
    return files;
}

TEST_F(ReplayListTest, TheBestIsWatchedAsPlayedWithSeeksAndSpeedsAndNothingIsWritten) {
    Open(std::make_unique<CourseScreen>(Course{}));
    const auto tap = [&](int key, double settle = 0.2) {
        hp.keyboard.Press(key);
        hp.keyboard.At(hp.clock.Now() + 0.05, key, false);
        RunUntil([] { return false; }, settle);
    };
    RunUntil([&] { return game.ScreenState == Screen::SongSelect; });
    tap(vk::F7);
    ASSERT_EQ(game.ScreenState, Screen::Replays);
    const ChartId chart = dynamic_cast<ReplayListScreen&>(*stack.Top()).Chart();
    EXPECT_TRUE(dynamic_cast<ReplayListScreen&>(*stack.Top()).Entries().empty());
    tap(vk::Escape);
    ASSERT_EQ(game.ScreenState, Screen::SongSelect);

    // Three hand plays of the chart shown; the second misses nothing and is the best.
    game.settings.DelaySetting = 0;
    const PlayRequest q{.chart = chart};
    const SongResult first = PlayByHand(hp, game, q, 12, 5);
    const SongResult best = PlayByHand(hp, game, q, -6, 0);
    PlayByHand(hp, game, q, 20, 3);
    ASSERT_GT(best.ShownScore, first.ShownScore);
    // The first play's replay as an older build recorded it.
    const std::vector<PlayRecord> history = ReadPlayHistory(game);
    ASSERT_EQ(history.size(), 3u);
    std::string bytes;
    ASSERT_TRUE(ReadWholeFile(dir.File("replays/" + history[0].replay), bytes, 1 << 26));
    Replay older = DecodeReplay(bytes);
    older.build = "older";
    dir.Write("replays/" + history[0].replay, EncodeReplay(older));
    game.settings.DelaySetting = 7;  // the player's own, which the watch puts aside
    const auto saved = Files(dir.Dir());

    tap(vk::F7);
    ASSERT_EQ(game.ScreenState, Screen::Replays);
    const auto& list = dynamic_cast<ReplayListScreen&>(*stack.Top());
    ASSERT_EQ(list.Entries().size(), 3u);
    EXPECT_EQ(list.Entries()[1].play.score, best.ShownScore) << "newest first";
    EXPECT_TRUE(list.Entries()[1].best);
    EXPECT_FALSE(list.Entries()[0].best);
    EXPECT_FALSE(list.Entries()[2].replay) << "another build's";
    const std::string line = ReplayLine(list.Entries()[1]);
    EXPECT_NE(line.find(std::to_string(best.ShownScore) + "点  良 " +
                        std::to_string(best.CountBest) + " 可 " + std::to_string(best.CountGood)),
              std::string::npos)
        << line;
    EXPECT_NE(line.find("★"), std::string::npos) << line;
    EXPECT_NE(ReplayLine(list.Entries()[2]).find("見られません"), std::string::npos);
    tap(vk::Up);  // round to the oldest: it is not watched
    tap(vk::Enter);
    EXPECT_EQ(game.ScreenState, Screen::Replays);

    // The best, watched: paused, sped up and slowed down, seeking on and back.
    tap(vk::Up);
    ASSERT_EQ(list.Cursor(), 1);
    tap(vk::Enter);
    ASSERT_EQ(game.ScreenState, Screen::Playing);
    EXPECT_EQ(game.settings.DelaySetting, 0) << "the replay's";
    EXPECT_TRUE(game.options.HitErrorBar);
    SongResult watched;
    hp.window.onYield = [&] {
        if (auto* play = dynamic_cast<PlayScreen*>(stack.Top())) watched = play->result;
    };
    RunUntil([] { return false; }, 12);
    tap(vk::Space);
    EXPECT_TRUE(hp.music.Paused());
    const double at = hp.music.CurrentPosition();
    RunUntil([] { return false; }, 1);
    EXPECT_DOUBLE_EQ(hp.music.CurrentPosition(), at) << "paused";
    tap(vk::Space);
    EXPECT_FALSE(hp.music.Paused());
    tap(vk::Right);
    const double on = hp.music.CurrentPosition();
    EXPECT_GT(on, at + 3);
    tap(vk::Left, 0.1);
    tap(vk::Left);
    EXPECT_LT(hp.music.CurrentPosition(), on - 6);
    tap(vk::Down), tap(vk::Down), tap(vk::Down);
    EXPECT_DOUBLE_EQ(hp.music.Tempo(), 0.5);
    for (int i = 0; i < 6; ++i) tap(vk::Up, 0.1);
    EXPECT_DOUBLE_EQ(hp.music.Tempo(), 2.0);
    RunUntil([&] { return game.ScreenState == Screen::Replays; });
    EXPECT_EQ(watched.ShownScore, best.ShownScore);
    EXPECT_EQ(watched.Judgements, best.Judgements);
    EXPECT_EQ(watched.CountBest * 10000 + watched.CountGood * 100 + watched.CountMiss,
              best.CountBest * 10000 + best.CountGood * 100 + best.CountMiss);
    EXPECT_EQ(game.settings.DelaySetting, 7) << "the player's again";
    EXPECT_FALSE(game.options.HitErrorBar);

    // Watched again and left: Esc goes back to the list.
    tap(vk::Enter);
    ASSERT_EQ(game.ScreenState, Screen::Playing);
    RunUntil([] { return false; }, 3);
    tap(vk::Escape);
    EXPECT_EQ(game.ScreenState, Screen::Replays);
    EXPECT_DOUBLE_EQ(hp.music.Tempo(), 1.0);
    tap(vk::Escape);
    EXPECT_EQ(game.ScreenState, Screen::SongSelect);
    hp.window.onYield = nullptr;
    EXPECT_EQ(Files(dir.Dir()), saved);
}

}  // namespace
}  // namespace zb
