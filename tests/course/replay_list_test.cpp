// リプレイ: a chart's replays listed from song select's F7, the best one watched through with a
// pause, seeks and speeds, and left midway; a replay of another build that no longer reproduces
// listed but not watched.
// The save folder is byte for byte what it was, and the player's settings come back.
#include <gtest/gtest.h>

#include <map>

#include "core/file_replace.hpp"
#include "course/replay_list_screen.hpp"
#include "course/song_select.hpp"
#include "play/play_screen.hpp"
#include "play/play_slots.hpp"
#include "tests/course/hand_play.hpp"
#include "tests/frontend/frontend_fixture.hpp"

namespace zb {
namespace {

using ReplayListTest = testing::FrontendTest;
using testing::PlayByHand;
using testing::StrikeByHand;

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
    // The first and last plays' replays as an older build recorded them; the first's as one whose
    // judgement differed from this build's.
    const std::vector<PlayRecord> history = ReadPlayHistory(game);
    ASSERT_EQ(history.size(), 3u);
    for (size_t i : {0, 2}) {
        std::string bytes;
        ASSERT_TRUE(ReadWholeFile(dir.File("replays/" + history[i].replay), bytes, 1 << 26));
        Replay older = DecodeReplay(bytes);
        older.build = "older";
        if (i == 0) older.outcome.judgements[7] = older.outcome.judgements[7] == '3' ? '2' : '3';
        dir.Write("replays/" + history[i].replay, EncodeReplay(older));
    }
    game.settings.DelaySetting = 7;  // the player's own, which the watch puts aside
    const auto saved = Files(dir.Dir());

    tap(vk::F7);
    ASSERT_EQ(game.ScreenState, Screen::Replays);
    const auto& list = dynamic_cast<ReplayListScreen&>(*stack.Top());
    ASSERT_EQ(list.Entries().size(), 3u);
    EXPECT_EQ(list.Entries()[1].play.score, best.ShownScore) << "newest first";
    EXPECT_TRUE(list.Entries()[1].best);
    EXPECT_FALSE(list.Entries()[0].best);
    EXPECT_TRUE(list.Entries()[0].replay) << "another build's that reproduces";
    EXPECT_FALSE(list.Entries()[2].replay) << "another build's that does not";
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
    bool ticked = false;  // a strike drawn on the lane, early or late
    hp.window.onYield = [&] {
        if (auto* play = dynamic_cast<PlayScreen*>(stack.Top())) watched = play->result;
        const Surface& lane = game.form.pFumenUra.Dc();
        for (int y = 0; y < lane.Height() && !ticked; ++y)
            for (int x = 0; x < lane.Width() && !ticked; ++x)
                ticked = lane.At(x, y) == Color::Rgb(80, 160, 255) ||
                         lane.At(x, y) == Color::Rgb(255, 110, 70);
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
    RunUntil([&] { return watched.Frames > 0; });  // the results are shown: Esc ends them
    tap(vk::Escape);
    EXPECT_EQ(game.ScreenState, Screen::Replays);
    EXPECT_TRUE(ticked);
    EXPECT_EQ(watched.ShownScore, best.ShownScore);
    EXPECT_EQ(watched.Judgements, best.Judgements);
    EXPECT_EQ(watched.Caption, best.Caption);
    EXPECT_EQ(watched.Gauge, best.Gauge);
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

TEST_F(ReplayListTest, AHandPlayRacesTheBestReplayOfItsChart) {
    game.settings.DelaySetting = 0;
    const PlayRequest q{.chart = {.song = 1, .difficulty = 0}};
    const SongResult best = PlayByHand(hp, game, q, -6, 0);
    PlayByHand(hp, game, q, 12, 5);
    game.options.Ghost = true;
    StrikeByHand(hp, game, q, 20, 3);
    std::vector<std::string> lines;
    bool marked = false;  // a gold square above a note: the ghost's 良
    hp.window.onYield = [&] {
        const LabelControl& l = game.form.Label[play_slots::kGhostLabel];
        if (l.Visible && (lines.empty() || lines.back() != l.Caption)) lines.push_back(l.Caption);
        const Surface& lane = game.form.pFumenUra.Dc();
        for (int y = 0; y < lane.Height() && !marked; ++y)
            for (int x = 0; x < lane.Width() && !marked; ++x)
                marked = lane.At(x, y) == Color::Rgb(255, 210, 40);
    };
    SongResult raced;
    RunScreen(game, std::make_unique<PlayScreen>(q),
              [&](GameScreen& s) { raced = static_cast<PlayScreen&>(s).result; });
    hp.window.onYield = nullptr;
    EXPECT_TRUE(marked);
    ASSERT_GT(lines.size(), 20u);
    EXPECT_EQ(lines.front(), "ゴースト 0　±0");
    EXPECT_EQ(lines.back(), GhostLine(best.ShownScore, raced.ShownScore));
    EXPECT_NE(lines.back().find("　−"), std::string::npos) << lines.back();
    // The player's own figures are those of the same strikes raced by nobody.
    game.options.Ghost = false;
    const SongResult alone = PlayByHand(hp, game, q, 20, 3);
    EXPECT_EQ(alone.Judgements, raced.Judgements);
    EXPECT_EQ(alone.ShownScore, raced.ShownScore);
}

}  // namespace
}  // namespace zb
