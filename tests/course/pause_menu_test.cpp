// The pause menu over a song of a course, on the game's stack: Esc pauses, つづける goes on and the
// notes after it are judged, やりなおす starts the song again, やめる leaves it for the song select
// having written nothing.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "core/score_file.hpp"
#include "course/song_select.hpp"
#include "course_driver.hpp"
#include "frontend/title_screen.hpp"
#include "play/play_slots.hpp"
#include "temp_app_dir.hpp"
#include "tests/common/read_file.hpp"

namespace zb {
namespace {

using testing::ReadFile;

TEST(PauseMenu, GoesOnRestartsAndLeavesWithoutAScore) {
    testing::TempAppDir dir;
    headless::HeadlessPlatform hp{dir.Path()};
    Game game{hp.ports};
    testing::CourseDriver driver{hp, game};
    ScreenStack stack{game};
    SetUpGameStack(stack, game);
    stack.Push(game, std::make_unique<TitleScreen>());
    driver.playNotes = false;
    driver.picks = {{vk::Right, vk::Enter}, {vk::Right, vk::Enter}};  // song 4, twice
    stack.Push(game, std::make_unique<CourseScreen>(Course{}));
    auto runUntil = [&](const std::function<bool()>& done, double seconds = 600) {
        const double end = hp.clock.Now() + seconds;
        stack.RunWhile([&] { return !done() && hp.clock.Now() < end; });
    };
    auto pause = [&] {
        driver.Tap(vk::Escape);
        runUntil([&] { return game.ScreenState == Screen::Paused; }, 2);
        ASSERT_EQ(ScreenName(game.ScreenState), "一時停止");
    };
    auto menu = [&] {
        std::string shown;
        for (size_t l : {play_slots::kPauseTitleLabel, play_slots::kPauseItemLabels[0],
                         play_slots::kPauseItemLabels[1], play_slots::kPauseItemLabels[2],
                         play_slots::kPauseItemLabels[3]})
            if (game.form.Label[l].Visible) shown += game.form.Label[l].Caption + " ";
        return shown;
    };

    // つづける: the song stands still under the menu, then goes on; every note after is 良.
    runUntil([&] { return driver.songsStarted == 1 && hp.music.CurrentPosition() >= 0.2; });
    pause();
    EXPECT_EQ(menu(), "一時停止 つづける やりなおす 練習 やめる ");
    const double pausedAt = hp.music.CurrentPosition();
    runUntil([] { return false; }, 1);
    EXPECT_EQ(hp.music.CurrentPosition(), pausedAt);
    driver.Tap(vk::Enter);
    runUntil([&] { return hp.music.CurrentPosition() > pausedAt; }, 5);
    EXPECT_EQ(menu(), "");
    driver.ScheduleNotes();
    runUntil([&] { return driver.pickScreens == 2; });
    ASSERT_FALSE(driver.resultTexts.empty());
    const std::string results = driver.resultTexts.front();
    EXPECT_NE(results.find("\r\n可：0\r\n不可：0\r\n"), std::string::npos) << results;
    EXPECT_EQ(results.find("良：0"), std::string::npos) << results;

    // やりなおす (one down): the song starts again from its beginning.
    const std::string scores = ReadFile(dir.File("score.dat"));
    ASSERT_FALSE(scores.empty()) << "the first song's high score";
    runUntil([&] { return driver.songsStarted == 2 && hp.music.CurrentPosition() >= 1; });
    pause();
    driver.Tap(vk::Down);
    driver.Tap(vk::Enter);
    runUntil([&] { return driver.songsStarted == 3; }, 5);
    EXPECT_EQ(ScreenName(game.ScreenState), "ゲーム中");
    EXPECT_LT(hp.music.CurrentPosition(), 0.5);

    // やめる (Up wraps to it): back to the song select, no results, no score, no replay.
    runUntil([&] { return hp.music.CurrentPosition() >= 1; });
    pause();
    driver.Tap(vk::Up);
    driver.Tap(vk::Enter);
    runUntil([&] { return driver.pickScreens == 3; }, 5);
    EXPECT_EQ(ScreenName(game.ScreenState), "曲選択");
    EXPECT_EQ(driver.resultTexts.size(), 1u);
    EXPECT_EQ(ReadFile(dir.File("score.dat")), scores);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.File("replays")),
                            std::filesystem::directory_iterator()),
              1);
}

}  // namespace
}  // namespace zb
