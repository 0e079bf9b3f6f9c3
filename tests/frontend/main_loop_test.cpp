// The main loop over the stack of screens: the notice, the opening and the title take their
// clicks, screens that wait for keys ignore them, and closing the window asks before it ends.
#include <gtest/gtest.h>

#include "core/helpers.hpp"
#include "course/song_select.hpp"
#include "frontend/title_screen.hpp"
#include "frontend_fixture.hpp"
#include "netrank/netrank_display.hpp"

namespace zb {
namespace {

using testing::FrontendTest;
using testing::Items32;

using MainLoopTest = FrontendTest;

TEST_F(MainLoopTest, TheNoticeThenAnyClickOpensAndTheNextGoesToTheTitle) {
    for (const auto& [source, index] : std::vector<std::pair<ClickSource, int>>{
             {ClickSource::Form, 0}, {ClickSource::Label, 1}, {ClickSource::Image, 4}}) {
        Open(std::make_unique<NoticeScreen>());
        hp.window.Click(source, index);
        stack.RunWhile([&] { return hp.window.Pending(); });  // before the timer's first tick
        EXPECT_EQ(ScreenName(game.ScreenState), "オープニング小タイトル")
            << ClickSourceName(source);
        EXPECT_EQ(VisibleLabels(), std::vector<int>{});
        EXPECT_EQ(game.form.Label[0].Width, 6000);
        EXPECT_EQ(game.form.Label[0].Height, 6000);
        EXPECT_EQ(hp.music.FileName(), dir.Dir() + "sound/title.mid");
        EXPECT_TRUE(game.form.Timer1[0].Enabled);
        EXPECT_EQ(game.form.Timer1[0].Interval, 75);
    }

    // Ticks of the timer come and go; the opening stays until the next click.
    const double ticks = hp.clock.Now() + 200 * 0.075;
    RunUntil([&] { return hp.clock.Now() >= ticks; });
    EXPECT_EQ(ScreenName(game.ScreenState), "オープニング小タイトル");

    hp.window.Click(ClickSource::Form, 0);
    Pump();
    EXPECT_EQ(ScreenName(game.ScreenState), "タイトル画面");
    EXPECT_EQ(hp.music.FileName(), "");  // the title music stops
    EXPECT_EQ(game.form.BackColor, colors::Yellow);
    EXPECT_TRUE(game.form.Image1[0].Visible);
    EXPECT_EQ(VisibleLabels(), (std::vector<int>{0, 1, 2}));
}

TEST_F(MainLoopTest, AClickDuringTheStoryAlsoGoesToTheTitle) {
    game.scores.CourseHighScores[1] = 1000000;
    Open(std::make_unique<OpeningScreen>());
    RunUntil([&] { return game.ScreenState == Screen::Story; });
    ASSERT_EQ(game.ScreenState, Screen::Story);
    hp.window.Click(ClickSource::Label, 0);
    Pump();
    EXPECT_EQ(ScreenName(game.ScreenState), "タイトル画面");
    EXPECT_EQ(hp.music.FileName(), "");
    EXPECT_EQ(VisibleLabels(), (std::vector<int>{0, 1, 2, 3, 4, 5}));
}

TEST_F(MainLoopTest, TitleClicksOffTheMenuDoNothing) {
    Open(std::make_unique<TitleScreen>());
    game.chart.Mode = Modifier::RandomDonKan;
    for (const auto& [source, index] :
         std::vector<std::pair<ClickSource, int>>{{ClickSource::Image, 0},
                                                  {ClickSource::Form, 0},
                                                  {ClickSource::Label, 6},
                                                  {ClickSource::Label, 20},
                                                  {ClickSource::Label, -1}}) {
        hp.window.Click(source, index);
        Pump();
        EXPECT_EQ(ScreenName(game.ScreenState), "タイトル画面") << ClickSourceName(source) << index;
        EXPECT_EQ(game.chart.Mode, Modifier::RandomDonKan);
        EXPECT_EQ(VisibleLabels(), (std::vector<int>{0, 1, 2}));
    }
}

TEST_F(MainLoopTest, TitleItemsOpenTheirCoursesAndASongPlaysWithoutAnOldModifier) {
    game.scores.CourseHighScores[1] = 1000000;  // the full menu
    for (int item : {0, 1, 3, 4}) {
        Open(std::make_unique<TitleScreen>());
        game.chart.Mode = Modifier::RandomDonKan;
        const size_t previews = hp.music.History().size();
        hp.window.Click(ClickSource::Label, item);
        Pump();
        ASSERT_EQ(ScreenName(game.ScreenState), "曲選択") << item;
        EXPECT_GT(hp.music.History().size(), previews) << "the song select plays its preview";
        const double at = hp.clock.Now() + 0.1;
        hp.keyboard.At(at, vk::Enter, true);
        hp.keyboard.At(at + 0.05, vk::Enter, false);
        RunUntil([&] { return game.ScreenState != Screen::SongSelect; }, 5);
        RunUntil([] { return false; }, 0.2);  // Enter is let go
        if (item == 4) {                      // the challenge course asks for its modifier first
            EXPECT_EQ(ScreenName(game.ScreenState), "チャレンジ");
            continue;
        }
        EXPECT_EQ(ScreenName(game.ScreenState), "ゲーム中") << item;
        EXPECT_EQ(game.chart.Mode, Modifier::None) << item;
    }
}

TEST_F(MainLoopTest, SongSelectIgnoresClicksAndAClickEndsTheRankingDisplay) {
    Open(std::make_unique<TitleScreen>());
    Open(std::make_unique<CourseScreen>(Course{}));
    const size_t previews = hp.music.History().size();
    for (ClickSource source : {ClickSource::Label, ClickSource::Image, ClickSource::Form})
        hp.window.Click(source, 0);
    Pump();
    EXPECT_EQ(ScreenName(game.ScreenState), "曲選択");
    EXPECT_EQ(hp.music.History().size(), previews);

    Open(std::make_unique<NetRankDisplayScreen>(false));
    Pump();
    EXPECT_EQ(ScreenName(game.ScreenState), "ネットランク表示");
    hp.window.Click(ClickSource::Image, 3);
    Pump();
    EXPECT_EQ(ScreenName(game.ScreenState), "曲選択") << "the screen under it again";
}

TEST_F(MainLoopTest, ClosingAsksAndCancelGoesOnUntouched) {
    Open(std::make_unique<NoticeScreen>());
    dir.Write("netrank.dat", "100:someone:1:2:;\r\n");
    hp.dialogs.shown.clear();
    hp.dialogs.answers = {MsgResult::Cancel};
    hp.window.CloseAt(hp.clock.Now());
    EXPECT_NO_THROW(Pump());
    ASSERT_EQ(hp.dialogs.shown.size(), 1u);
    EXPECT_EQ(hp.dialogs.shown[0].text, "終了しますか？");
    EXPECT_EQ(hp.dialogs.shown[0].buttons, MsgButtons::OkCancel);
    EXPECT_EQ(dir.Read("netrank.dat"), "100:someone:1:2:;\r\n");
    EXPECT_EQ(ScreenName(game.ScreenState), "著作権表示");
    EXPECT_EQ(VisibleLabels(), (std::vector<int>{0, 1}));
}

TEST_F(MainLoopTest, ClosingWithOkEmptiesTheRankingFileAndEndsAtOnce) {
    dir.Write("netrank.dat", "100:someone:1:2:;\r\n");
    dir.Write("score.dat", Items32({{0, 5}}));
    Open(std::make_unique<TitleScreen>());
    hp.dialogs.answers = {MsgResult::Ok};
    hp.window.CloseAt(hp.clock.Now());
    EXPECT_THROW(Pump(), ProgramEnd);
    EXPECT_LE(dir.Read("netrank.dat").size(), 2u);
    EXPECT_EQ(dir.Read("score.dat"), Items32({{0, 5}}));  // nothing else is saved
    EXPECT_FALSE(dir.Exists("config.dat"));
}

TEST_F(MainLoopTest, OnceTheEndIsDecidedNoFurtherClickIsHandled) {
    Open(std::make_unique<NoticeScreen>());
    hp.dialogs.shown.clear();
    hp.dialogs.answers = {MsgResult::Ok};
    // A click and a second close request arrive during the last short wait.
    hp.window.CloseAt(hp.clock.Now());
    hp.window.ClickAt(hp.clock.Now() + 0.0001, ClickSource::Form, 0);
    hp.window.CloseAt(hp.clock.Now() + 0.0002);
    EXPECT_THROW(Pump(), ProgramEnd);
    EXPECT_EQ(ScreenName(game.ScreenState), "著作権表示");
    EXPECT_EQ(hp.music.History().size(), 0u);
    EXPECT_EQ(hp.dialogs.shown.size(), 1u);
}

}  // namespace
}  // namespace zb
