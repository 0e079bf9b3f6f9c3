// The challenge menu's screen and the modifier a click or Enter on it chooses.
#include "course/challenge_menu.hpp"

#include <gtest/gtest.h>

#include "core/game.hpp"
#include "core/screen_stack.hpp"
#include "course/song_select.hpp"
#include "course_driver.hpp"
#include "platform/headless/headless.hpp"
#include "temp_app_dir.hpp"

namespace zb {
namespace {

TEST(ChallengeMenu, ShowsTenModifiersWithTheirPointsAndAClickChoosesOne) {
    headless::HeadlessPlatform hp("/nonexistent/");
    Game game(hp.ports);
    game.form.pGamen.Visible = true;  // whatever was on screen goes
    game.form.Label[12].Caption = "old";
    game.form.BackColor = colors::Yellow;

    hp.window.Click(ClickSource::Label, 2);  // 譜面が４倍速！
    std::string screen;
    Modifier chosen = Modifier::None;
    int32_t chosenPoints = 0;
    hp.window.onYield = [&] { screen = ScreenName(game.ScreenState); };
    RunScreen(game, std::make_unique<ChallengeMenuScreen>(ChartId{8, 3}), [&](GameScreen& s) {
        chosen = static_cast<ChallengeMenuScreen&>(s).chosen;
        chosenPoints = static_cast<ChallengeMenuScreen&>(s).points;
    });
    EXPECT_EQ(screen, "チャレンジ");
    EXPECT_EQ(chosen, Modifier::FourfoldSpeed);
    EXPECT_EQ(chosenPoints, 500000);
    EXPECT_FALSE(game.form.pGamen.Visible);
    EXPECT_EQ(game.form.BackColor, colors::Black);

    const char* texts[10] = {"チャレンジなし！",     "譜面が２倍速！",
                             "譜面が４倍速！",       "譜面が逆流！",
                             "「鈍」と「感」が逆！", "当たり判定が狭く！",
                             "サドゥン！",           "「鈍」と「感」がランダム！",
                             "「可」が「不可」に！", "譜面が密集！"};
    const char* points[10] = {"0",      "200000", "500000", "150000", "100000",
                              "200000", "100000", "400000", "300000", "100000"};
    for (int i = 0; i < 10; ++i) {
        const LabelControl& t = game.form.Label[i];
        const LabelControl& p = game.form.Label[i + 10];
        EXPECT_EQ(t.Caption, texts[i]);
        EXPECT_EQ(p.Caption, points[i]);
        EXPECT_TRUE(t.Visible && p.Visible);
        EXPECT_EQ(t.Top, i * 700 + 200);
        EXPECT_EQ(p.Top, t.Top);
        EXPECT_EQ(t.Left, 1000);
        EXPECT_EQ(p.Left, 6500);
        EXPECT_EQ(t.Width, 5500);
        EXPECT_EQ(p.Width, 2000);
        EXPECT_EQ(t.Height, 700);
        EXPECT_EQ(p.Height, 700);
        EXPECT_EQ(t.ForeColor, colors::White);
        EXPECT_EQ(p.ForeColor, colors::Yellow);
        EXPECT_EQ(t.BackColor, colors::Black);
        EXPECT_EQ(p.BackColor, colors::Black);
        EXPECT_EQ(t.FontSize, 24);
        EXPECT_EQ(p.FontSize, 24);
    }
    EXPECT_FALSE(game.form.Label[20].Visible);
}

// Enter tapped twice on the challenge course's song select: the first picks the song, the second
// only shows the highlight on the first modifier, and the song waits for a third.
TEST(ChallengeMenu, EnterTwiceFromSongSelectShowsTheHighlightAndAThirdTakesIt) {
    testing::TempAppDir dir;
    headless::HeadlessPlatform hp(dir.Path());
    Game game(hp.ports);
    testing::CourseDriver driver{hp, game};
    driver.playNotes = false;
    driver.picks = {{vk::Enter, vk::Enter}};
    ScreenStack stack(game);
    stack.Push(game, std::make_unique<CourseScreen>(Course{.difficulty = 3, .challenge = true}));
    stack.RunWhile([&] { return hp.clock.Now() < 3; });

    EXPECT_EQ(ScreenName(game.ScreenState), "チャレンジ");
    EXPECT_EQ(driver.songsStarted, 0);
    for (int i = 0; i < 10; ++i)
        EXPECT_EQ(game.form.Label[i].BackColor, i == 0 ? Color::Rgb(0, 0, 128) : colors::Black)
            << i;

    driver.Tap(vk::Enter);
    stack.RunWhile([&] { return driver.songsStarted == 0 && hp.clock.Now() < 6; });
    EXPECT_EQ(driver.songsStarted, 1);
    EXPECT_EQ(game.chart.Mode, Modifier::None) << "the highlighted チャレンジなし";
}

}  // namespace
}  // namespace zb
