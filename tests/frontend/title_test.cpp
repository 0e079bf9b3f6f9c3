#include "frontend/title.hpp"

#include <gtest/gtest.h>

#include <filesystem>

#include "frontend_fixture.hpp"
#include "platform/compose.hpp"

namespace zb {
namespace {

using testing::FrontendTest;

using TitleTest = FrontendTest;

TEST_F(TitleTest, TheShortMenuBelowAMillion) {
    game.scores.CourseHighScores[1] = 999999;
    game.form.Label[7].Visible = true;
    Open(std::make_unique<TitleScreen>());

    EXPECT_EQ(ScreenName(game.ScreenState), "タイトル画面");
    EXPECT_EQ(game.form.BackColor, colors::Yellow);
    EXPECT_EQ(VisibleLabels(), (std::vector<int>{0, 1, 2}));
    EXPECT_EQ(game.form.Label[0].Caption, "かんたん");
    EXPECT_EQ(game.form.Label[1].Caption, "むずかしい");
    EXPECT_EQ(game.form.Label[2].Caption, "せってい");
    EXPECT_EQ(game.form.Label[0].Top, 2500);
    EXPECT_EQ(game.form.Label[1].Top, 3500);
    EXPECT_EQ(game.form.Label[2].Top, 4500);
    for (int i = 0; i < 6; ++i) {
        const LabelControl& l = game.form.Label[size_t(i)];
        EXPECT_EQ(l.FontSize, 30);
        EXPECT_EQ(l.ForeColor, colors::Blue);
        EXPECT_EQ(l.BackColor, colors::Yellow);
        EXPECT_EQ(l.Left, 5500);
        EXPECT_EQ(l.Width, 3500);
        EXPECT_EQ(l.Height, 550);
        EXPECT_EQ(l.TabIndex, i);
        EXPECT_EQ(l.Alignment, Align::Left);
    }
    // The hidden items cannot be clicked where the full menu would show them.
    const auto hit = HitTest(game.form, TwipsToPx(6000), TwipsToPx(4050 + 200));
    EXPECT_FALSE(hit && hit->source == ClickSource::Label && hit->index >= 3);
}

TEST_F(TitleTest, TheFullMenuFromAMillionWithSetteiLast) {
    game.scores.CourseHighScores[1] = 1000000;
    TitleHyoji(game);
    EXPECT_EQ(VisibleLabels(), (std::vector<int>{0, 1, 2, 3, 4, 5}));
    const auto& L = game.form.Label;
    EXPECT_EQ(L[3].Caption, "ワンだフル！");
    EXPECT_EQ(L[4].Caption, "チャレンジ");
    EXPECT_EQ(L[5].Caption, "ネットワーク");
    const int tops[6] = {2400, 2950, 5150, 3500, 4050, 4600};
    for (int i = 0; i < 6; ++i) EXPECT_EQ(L[size_t(i)].Top, tops[i]) << i;
    const ClickTarget hit = HitTest(game.form, TwipsToPx(6000), TwipsToPx(5150 + 200)).value();
    EXPECT_EQ(hit.source, ClickSource::Label);
    EXPECT_EQ(hit.index, 2);
}

TEST_F(TitleTest, TheLogoComesFromTheProgramsFolderAndIsOptional) {
    const auto cwd = std::filesystem::current_path();
    std::filesystem::current_path("/");
    TitleHyoji(game);
    std::filesystem::current_path(cwd);
    const ImageControl& logo = game.form.Image1[0];
    ASSERT_TRUE(logo.Picture);
    EXPECT_TRUE(logo.Visible);
    EXPECT_EQ(logo.Left, 0);
    EXPECT_EQ(logo.Top, 0);
    EXPECT_EQ(logo.Picture->At(0, 0), Color::Rgb(0, 255, 0));

    // Drawn: the logo at the top left over the yellow background.
    hp.window.Present();
    EXPECT_EQ(hp.window.Screen().At(1, 1), Color::Rgb(0, 255, 0));
    EXPECT_EQ(hp.window.Screen().At(100, 480), colors::Yellow);

    std::filesystem::remove(dir.File("img/logo.gif"));
    game.form.Image1[0].Picture.reset();
    EXPECT_NO_THROW(TitleHyoji(game));
    EXPECT_EQ(VisibleLabels(), (std::vector<int>{0, 1, 2}));
}

TEST_F(TitleTest, StartOpeningPlaysTheTitleMusicAndStartsTheTimer) {
    StartOpening(game);
    EXPECT_EQ(hp.music.FileName(), dir.Dir() + "sound/title.mid");
    EXPECT_TRUE(game.form.Timer1[0].Enabled);
    EXPECT_EQ(game.form.Timer1[0].Interval, 75);
}

}  // namespace
}  // namespace zb
