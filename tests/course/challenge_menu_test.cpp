// The challenge menu's screen and the song it keeps waiting.
#include "course/challenge_menu.hpp"

#include <gtest/gtest.h>

#include "core/game.hpp"
#include "platform/headless/headless.hpp"

namespace zb {
namespace {

TEST(ChallengeMenu, ShowsTenModifiersWithTheirPointsAndKeepsTheSong) {
    headless::HeadlessPlatform hp("/nonexistent/");
    Game game(hp.ports);
    game.form.pGamen.Visible = true;  // whatever was on screen goes
    game.form.Label[12].Caption = "old";
    game.form.BackColor = colors::Yellow;

    ChallengeMenu(game, {8, 3}, true);

    EXPECT_EQ(ScreenName(game.ScreenState), "チャレンジ");
    EXPECT_FALSE(game.form.pGamen.Visible);
    EXPECT_EQ(game.form.BackColor, colors::Black);
    EXPECT_EQ(game.challenge.ChallengeDifficulty, 3);
    EXPECT_EQ(game.challenge.ChallengeSong, 8);
    EXPECT_TRUE(game.challenge.ChallengeAuto);

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
        EXPECT_EQ(std::to_string(game.challenge.ChallengePoints[i]), points[i]);
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
