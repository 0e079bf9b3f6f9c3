// The challenge menu's screen and the modifier a click on it chooses.
#include "course/challenge_menu.hpp"

#include <gtest/gtest.h>

#include "core/game.hpp"
#include "core/screen_stack.hpp"
#include "platform/headless/headless.hpp"

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

}  // namespace
}  // namespace zb
