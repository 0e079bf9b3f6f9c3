// The main loop over the stack of screens: the notice, the opening and the title take their
// clicks, screens that wait for keys ignore them, and closing the window asks before it ends.
#include <gtest/gtest.h>

#include "core/helpers.hpp"
#include "course/song_select.hpp"
#include "frontend/title_screen.hpp"
#include "frontend_fixture.hpp"
#include "netrank/netrank_display.hpp"
#include "platform/fault_switch.hpp"
#include "platform/pad_inputs.hpp"
#include "play/play_screen.hpp"

namespace zb {
namespace {

using testing::FrontendTest;
using testing::Items32;

using MainLoopTest = FrontendTest;

int Occurrences(const std::string& text, const std::string& part) {
    int n = 0;
    for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++n;
    return n;
}

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

// What the loop runs besides the screens' handlers meets the same boundary as a click: the
// key-down hook (a play key's hit sound), a pad's input and the close request's handler, each
// armed to throw once, tell the player in the box and bring the title back; the game goes on.
TEST_F(MainLoopTest, AThrowInAPumpOrTheCloseRequestBringsTheTitleBackWithTheBox) {
    struct Case {
        fault::Place place;
        const char* name;  // as the switch names it
        std::function<std::unique_ptr<GameScreen>()> screen;
        std::function<void(double)> act;  // at a moment after the screen opened
    };
    const auto songSelect = [] { return std::make_unique<CourseScreen>(Course{}); };
    const int padA = pad::Code(0, pad::Button(pad::A));
    const std::vector<Case> cases = {
        {fault::Place::KeyDown, "keydown",
         [] {
             return std::make_unique<PlayScreen>(PlayRequest{.chart = {1, 0}});
         },
         [&](double t) {
             hp.keyboard.At(t, kDefaultKeyCodes[0], true);
             hp.keyboard.At(t + 0.05, kDefaultKeyCodes[0], false);
         }},
        {fault::Place::Pad, "pad", songSelect,
         [&](double t) {
             hp.keyboard.PlugAt(t, {0, "030000005e0400008e02000014010000", "pad", true});
             hp.keyboard.At(t + 0.1, padA, true);
             hp.keyboard.At(t + 0.15, padA, false);
         }},
        {fault::Place::Close, "close", songSelect, [&](double t) { hp.window.CloseAt(t); }},
    };
    Open(std::make_unique<TitleScreen>());
    for (const Case& c : cases) {
        Open(c.screen());
        const std::string screen(ScreenName(game.ScreenState));
        ASSERT_NE(game.ScreenState, Screen::Title) << c.name;
        hp.dialogs.shown.clear();
        fault::Arm(c.place);
        c.act(hp.clock.Now() + 0.5);
        ::testing::internal::CaptureStderr();
        RunUntil([&] { return game.ScreenState == Screen::Title; }, 5);
        const std::string said = ::testing::internal::GetCapturedStderr();
        EXPECT_EQ(game.ScreenState, Screen::Title) << c.name;
        ASSERT_EQ(hp.dialogs.shown.size(), 1u) << c.name;
        EXPECT_EQ(hp.dialogs.shown[0].text,
                  "「" + screen +
                      "」でエラーが発生しました。\r\n予期しないエラーです。"
                      "\r\nタイトル画面へ戻ります。")
            << c.name;
        EXPECT_NE(said.find(std::string("test fault: ") + c.name), std::string::npos) << said;
        EXPECT_EQ(Occurrences(said, "a run-time error stopped"), 1) << said;
        Pump();  // the title goes on: nothing more is told
        EXPECT_EQ(game.ScreenState, Screen::Title) << c.name;
        EXPECT_EQ(hp.dialogs.shown.size(), 1u) << c.name;
    }
}

}  // namespace
}  // namespace zb
