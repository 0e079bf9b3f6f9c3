// Settings that a hand-edited config.dat can hold, far beyond what the settings screen offers,
// played with every challenge modifier: each song plays, or the game tells the player and comes
// back to the title. Nothing escapes the click that started the course.
#include <gtest/gtest.h>

#include <fstream>

#include "course_driver.hpp"
#include "frontend/config_file.hpp"
#include "frontend/title_screen.hpp"
#include "platform/headless/headless.hpp"
#include "temp_app_dir.hpp"

namespace zb {
namespace {

struct Hostile {
    int16_t delay, frame;  // the settings screen keeps 0..640 and -20..20
};

class HostileSettings : public ::testing::TestWithParam<Hostile> {};

TEST_P(HostileSettings, EachSongPlaysOrTheTitleComesBackWithAMessage) {
    testing::TempAppDir dir;
    headless::HeadlessPlatform hp{dir.Path()};
    Game game{hp.ports};
    testing::CourseDriver driver{hp, game};
    driver.fastForward = 2.0;

    Settings edited;
    edited.DelaySetting = GetParam().delay;
    edited.FramePosition = GetParam().frame;
    std::ofstream(dir.File("config.dat"), std::ios::binary) << EncodeConfig(edited);
    ASSERT_TRUE(LoadConfig(game));

    // The game on the title, run until the queued clicks are handled and it rests on a menu or
    // the title.
    std::unique_ptr<ScreenStack> stack;
    auto openTitle = [&] {
        stack.reset();
        stack = std::make_unique<ScreenStack>(game);
        SetUpGameStack(*stack, game);
        stack->Push(game, std::make_unique<TitleScreen>());
    };
    auto settle = [&] {
        const double until = hp.clock.Now() + 3600;
        stack->RunWhile([&] {
            const bool rests =
                game.ScreenState == Screen::Challenge || game.ScreenState == Screen::Title;
            return (hp.window.Pending() || !rests) && hp.clock.Now() < until;
        });
    };
    for (int mode = 0; mode < kModifierCount; ++mode) {
        openTitle();
        driver.picks = {{vk::Enter}, {vk::Enter}};
        hp.window.Click(ClickSource::Label, 4);  // チャレンジ: the first pick, then the menu
        settle();
        ASSERT_EQ(game.ScreenState, Screen::Challenge);
        const size_t boxes = hp.dialogs.shown.size();
        const int started = driver.songsStarted;
        ::testing::internal::CaptureStderr();
        hp.window.Click(ClickSource::Label, mode);
        settle();  // an error that escaped the game would leave the test here
        const std::string stderrText = ::testing::internal::GetCapturedStderr();
        if (game.ScreenState == Screen::Challenge) {  // played; the second pick is on the menu
            EXPECT_EQ(driver.songsStarted, started + 1) << mode;
            EXPECT_EQ(hp.dialogs.shown.size(), boxes) << mode;
            continue;
        }
        EXPECT_EQ(game.ScreenState, Screen::Title) << mode;
        ASSERT_EQ(hp.dialogs.shown.size(), boxes + 1) << mode;
        EXPECT_NE(hp.dialogs.shown.back().text.find("エラーが発生しました。"), std::string::npos);
        EXPECT_NE(hp.dialogs.shown.back().text.find("タイトル画面へ戻ります。"), std::string::npos);
        // One line naming the settings and the value that did not fit.
        EXPECT_NE(stderrText.find("delay " + std::to_string(GetParam().delay)), std::string::npos)
            << stderrText;
        EXPECT_NE(stderrText.find("does not fit"), std::string::npos) << stderrText;
        EXPECT_EQ(std::count(stderrText.begin(), stderrText.end(), '\n'), 1) << stderrText;
    }
    // The title still leads on: the next course starts as usual.
    openTitle();
    driver.picks = {{vk::Enter}};
    hp.window.Click(ClickSource::Label, 4);
    settle();
    EXPECT_EQ(game.ScreenState, Screen::Challenge);
}

INSTANTIATE_TEST_SUITE_P(HandEditedConfig, HostileSettings,
                         ::testing::Values(Hostile{32767, 40}, Hostile{-32767, -40},
                                           Hostile{32767, -40}, Hostile{-32767, 40}),
                         [](const auto& info) {
                             return std::string(info.param.delay > 0 ? "DelayUp" : "DelayDown") +
                                    (info.param.frame > 0 ? "FrameUp" : "FrameDown");
                         });

}  // namespace
}  // namespace zb
