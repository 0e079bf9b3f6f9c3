#include "frontend/dispatch.hpp"

#include <gtest/gtest.h>

#include "core/click_latch.hpp"
#include "core/helpers.hpp"
#include "frontend/startup.hpp"
#include "frontend/title.hpp"
#include "frontend_fixture.hpp"

namespace zb {
namespace {

using testing::FrontendTest;
using testing::Items32;

using DispatchTest = FrontendTest;

TEST_F(DispatchTest, TheNoticeThenAnyClickOpensAndTheNextGoesToTheTitle) {
    for (const auto& [source, index] : std::vector<std::pair<ClickSource, int>>{
             {ClickSource::Form, 0}, {ClickSource::Label, 1}, {ClickSource::Image, 4}}) {
        StartUp(game);
        hp.window.Click(source, index);
        Pump();
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
    for (int i = 0; i < 200; ++i) hp.window.DoEvents();
    EXPECT_EQ(ScreenName(game.ScreenState), "オープニング小タイトル");

    hp.window.Click(ClickSource::Form, 0);
    Pump();
    EXPECT_EQ(ScreenName(game.ScreenState), "タイトル画面");
    EXPECT_EQ(hp.music.FileName(), "");  // the title music stops
    EXPECT_EQ(game.form.BackColor, colors::Yellow);
    EXPECT_TRUE(game.form.Image1[0].Visible);
    EXPECT_EQ(VisibleLabels(), (std::vector<int>{0, 1, 2}));
}

TEST_F(DispatchTest, AClickDuringTheStoryAlsoGoesToTheTitle) {
    game.scores.CourseHighScores[1] = 1000000;
    game.ScreenState = Screen::Story;
    hp.music.SetFileName(dir.Dir() + "sound/kibohika.mid");
    ClickDispatch(game, ClickSource::Label, 0);
    EXPECT_EQ(ScreenName(game.ScreenState), "タイトル画面");
    EXPECT_EQ(hp.music.FileName(), "");
    EXPECT_EQ(VisibleLabels(), (std::vector<int>{0, 1, 2, 3, 4, 5}));
}

TEST_F(DispatchTest, TitleClicksOffTheMenuDoNothing) {
    TitleHyoji(game);
    game.chart.Mode = Modifier::RandomDonKan;
    for (const auto& [source, index] :
         std::vector<std::pair<ClickSource, int>>{{ClickSource::Image, 0},
                                                  {ClickSource::Form, 0},
                                                  {ClickSource::Label, 6},
                                                  {ClickSource::Label, 20},
                                                  {ClickSource::Label, -1}}) {
        ClickDispatch(game, source, index);
        EXPECT_EQ(ScreenName(game.ScreenState), "タイトル画面") << ClickSourceName(source) << index;
        EXPECT_EQ(game.chart.Mode, Modifier::RandomDonKan);
        EXPECT_FALSE(game.course.ChallengeCourse);
        EXPECT_EQ(VisibleLabels(), (std::vector<int>{0, 1, 2}));
    }
}

TEST_F(DispatchTest, TitleItemsResetTheCourseFlagsBeforeTheyLeave) {
    TitleHyoji(game);
    // A course runs until the player is done; here the player walks away from its song select
    // screen at once.
    std::string picked;
    hp.window.onYield = [&] {
        if (game.ScreenState == Screen::SongSelect) {
            picked = hp.music.FileName();
            throw ProgramEnd{};
        }
    };
    // The normal courses clear every flag.
    for (int item : {0, 1, 3}) {
        game.chart.Mode = Modifier::RandomDonKan;
        EXPECT_THROW(ClickDispatch(game, ClickSource::Label, item), ProgramEnd);
        EXPECT_NE(picked, "") << "the course's song select screen plays its preview";
        game.ScreenState = Screen::Title;
        EXPECT_EQ(game.chart.Mode, Modifier::None) << item;
        EXPECT_FALSE(game.course.ChallengeCourse) << item;
    }
    // The challenge course keeps the chosen modifier.
    game.chart.Mode = Modifier::RandomDonKan;
    EXPECT_THROW(ClickDispatch(game, ClickSource::Label, 4), ProgramEnd);
    game.ScreenState = Screen::Title;
    EXPECT_TRUE(game.course.ChallengeCourse);
    EXPECT_EQ(game.chart.Mode, Modifier::RandomDonKan);
    // While the challenge flag stands the normal courses do not start.
    ClickDispatch(game, ClickSource::Label, 0);
    EXPECT_EQ(game.chart.Mode, Modifier::RandomDonKan);
    EXPECT_TRUE(game.course.ChallengeCourse);
    // The ranking item clears the modifier.
    ClickDispatch(game, ClickSource::Label, 5);
    EXPECT_EQ(game.chart.Mode, Modifier::None);
}

TEST_F(DispatchTest, BusyScreensIgnoreClicksAndTheRankingDisplayIsReleased) {
    for (Screen state : {Screen::SongSelect, Screen::Playing, Screen::Settings, Screen::NetRank,
                         Screen::NetRankDisplay, Screen::None}) {
        game.ScreenState = state;
        for (ClickSource source : {ClickSource::Label, ClickSource::Image, ClickSource::Form})
            ClickDispatch(game, source, 0);
        EXPECT_EQ(ScreenName(game.ScreenState), ScreenName(state));
        EXPECT_EQ(hp.music.History().size(), 0u);
    }
    // The ranking display's loop holds a latch: the window's click sets it and goes nowhere else.
    game.ScreenState = Screen::NetRankDisplay;
    {
        const ClickLatch latch(game);
        hp.window.Click(ClickSource::Image, 3);
        Pump();
        EXPECT_TRUE(latch.IsSet());
    }
    EXPECT_EQ(game.clickLatch, nullptr);
    EXPECT_EQ(ScreenName(game.ScreenState), "ネットランク表示");
}

TEST_F(DispatchTest, ClosingAsksAndCancelGoesOnUntouched) {
    StartUp(game);
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

TEST_F(DispatchTest, ClosingWithOkEmptiesTheRankingFileAndEndsAtOnce) {
    dir.Write("netrank.dat", "100:someone:1:2:;\r\n");
    dir.Write("score.dat", Items32({{0, 5}}));
    hp.dialogs.answers = {MsgResult::Ok};
    hp.window.CloseAt(hp.clock.Now());
    EXPECT_THROW(Pump(), ProgramEnd);
    EXPECT_LE(dir.Read("netrank.dat").size(), 2u);
    EXPECT_EQ(dir.Read("score.dat"), Items32({{0, 5}}));  // nothing else is saved
    EXPECT_FALSE(dir.Exists("config.dat"));
}

TEST_F(DispatchTest, OnceTheEndIsDecidedNoFurtherClickIsHandled) {
    StartUp(game);
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

TEST_F(DispatchTest, ClosingFromInsideABlockingWaitReachesTheSameQuestion) {
    hp.window.CloseAt(hp.clock.Now() + 0.1);
    hp.dialogs.answers = {MsgResult::Cancel};
    const double start = hp.clock.Now();
    WaitMs(game, 500);
    EXPECT_GE(hp.clock.Now() - start, 0.5);
    EXPECT_EQ(hp.dialogs.shown.size(), 1u);

    hp.window.CloseAt(hp.clock.Now() + 0.1);
    hp.dialogs.answers = {MsgResult::Ok};
    EXPECT_THROW(WaitMs(game, 500), ProgramEnd);
    EXPECT_LT(hp.clock.Now() - start, 0.5 + 0.2);
}

}  // namespace
}  // namespace zb
