// The opening, the story and the credits, timed by the music: ticks at chosen music positions,
// one run through on the window's own timer, and the clicks that skip to the title.
#include "frontend/opening.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <set>

#include "frontend/credits.hpp"
#include "frontend/startup.hpp"
#include "frontend/story.hpp"
#include "frontend_fixture.hpp"
#include "platform/ttf_text.hpp"

namespace zb {
namespace {

using testing::FrontendTest;

const char* const kTitleCard = "ズバッコ\r\nミュージック";

// One program run on the fixture's folder, from the notice's click on: the opening runs once
// per run.
struct GameRun {
    headless::HeadlessPlatform hp;
    Game game{hp.ports};
    ScreenStack stack{game};
    const LabelControl& label = game.form.Label[0];

    explicit GameRun(const std::string& dir) : hp(dir) {
        SetUpGameStack(stack, game);
        stack.Push(game, std::make_unique<NoticeScreen>());
        Click();
    }
    void Click() {
        hp.window.Click(ClickSource::Form, 0);
        stack.RunWhile([&] { return hp.window.Pending(); });
    }
    // Runs the main loop for `passes` passes.
    void Run(int passes) {
        stack.RunWhile([&] { return passes-- > 0; });
    }
    // One tick of the timer at position t of the music that plays now.
    void TickAt(float t) {
        hp.clock.Set(hp.clock.Now() - hp.music.CurrentPosition() + t);
        Timer1_Timer(game);
    }
    std::vector<int> VisibleLabels() const {
        std::vector<int> v;
        for (int i = 0; i < 21; ++i)
            if (game.form.Label[size_t(i)].Visible) v.push_back(i);
        return v;
    }
    void ExpectBackground(Color c) {
        EXPECT_EQ(game.form.BackColor, c) << hp.music.CurrentPosition();
        EXPECT_EQ(label.BackColor, c) << hp.music.CurrentPosition();
    }
};

struct OpeningTest : FrontendTest {
    std::unique_ptr<GameRun> Start() { return std::make_unique<GameRun>(dir.Dir()); }
};

TEST_F(OpeningTest, EachStepAtItsTimeOfTheTitleMusic) {
    auto r = Start();
    const LabelControl& l = r->label;
    r->TickAt(0.5f);  // black to white, the subtitle sliding in from the right
    EXPECT_EQ(l.Caption, "▼・ｗ・▼");
    EXPECT_EQ(l.FontSize, 72);
    EXPECT_EQ(l.ForeColor, colors::Yellow);
    EXPECT_TRUE(l.Visible);
    EXPECT_EQ(l.Left, 8000);
    r->ExpectBackground(Color::Rgb(32, 32, 32));
    r->TickAt(2);
    EXPECT_EQ(l.Left, 2000);
    r->ExpectBackground(Color::Rgb(128, 128, 128));  // 127.5 rounds to even

    r->TickAt(3.9f);
    r->TickAt(4.2f);  // 鈍 at once, at its first sweep position
    EXPECT_EQ(l.Caption, "鈍");
    EXPECT_EQ(l.Alignment, Align::Center);
    EXPECT_EQ(l.ForeColor, colors::Blue);
    EXPECT_EQ(l.Left, 9200);
    r->ExpectBackground(Color::Rgb(255, 242, 242));
    r->TickAt(6);  // white to red: pink halfway
    EXPECT_EQ(l.Left, 2000);
    r->ExpectBackground(Color::Rgb(255, 127, 127));

    r->TickAt(10);  // 感, red to blue: purple halfway
    EXPECT_EQ(l.Caption, "感");
    EXPECT_EQ(l.ForeColor, colors::Green);
    EXPECT_EQ(l.Left, 2000);
    r->ExpectBackground(Color::Rgb(127, 0, 128));

    r->TickAt(14);  // the title card; the window keeps the sweep's last colour
    EXPECT_EQ(l.Caption, kTitleCard);
    EXPECT_EQ(l.ForeColor, colors::Yellow);
    EXPECT_EQ(l.BackColor, colors::Red);
    EXPECT_EQ(r->game.form.BackColor, Color::Rgb(127, 0, 128));
    EXPECT_EQ((std::array{l.Left, l.Top, l.Width, l.Height}), (std::array{1000, 1750, 8000, 4000}));
    r->TickAt(15.9f);
    EXPECT_EQ(r->game.ScreenState, Screen::OpeningSubtitle);

    r->TickAt(16.05f);  // the story, on its own music
    EXPECT_EQ(r->game.ScreenState, Screen::Story);
    EXPECT_EQ(r->hp.music.FileName(), dir.Dir() + "sound/kibohika.mid");
    EXPECT_LT(r->hp.music.CurrentPosition(), 0.01);
    EXPECT_EQ(r->VisibleLabels(), std::vector<int>{0});
    r->ExpectBackground(colors::Black);
    EXPECT_EQ(l.Caption, "");
    EXPECT_EQ(l.ForeColor, colors::White);
    EXPECT_EQ(l.FontSize, 20);
    EXPECT_EQ((std::array{l.Left, l.Top, l.Width, l.Height}), (std::array{2500, 2250, 5000, 3000}));
}

TEST_F(OpeningTest, ATickThatJumpsBoundariesPerformsEveryStepThatCameDue) {
    auto r = Start();
    r->TickAt(0.5f);
    r->TickAt(8.5f);  // 鈍 and 感 in one tick, then 感's sweep
    EXPECT_EQ(r->label.Caption, "感");
    EXPECT_EQ(r->label.Alignment, Align::Center);
    EXPECT_EQ(r->label.Left, 8000);
    r->ExpectBackground(Color::Rgb(223, 0, 32));
    EXPECT_EQ(r->game.opening.StepDone, (std::array{true, true, true, false}));
    r->TickAt(17);  // the title card and the story in one tick
    EXPECT_EQ(r->game.opening.StepDone, (std::array{true, true, true, true}));
    EXPECT_EQ(r->game.ScreenState, Screen::Story);
    EXPECT_EQ(r->label.FontSize, 20);

    auto first = Start();  // a first tick late in the opening: every step but the sweeps
    first->TickAt(13);
    EXPECT_EQ(first->label.Caption, kTitleCard);
    EXPECT_EQ(first->label.Width, 8000);
    EXPECT_EQ(first->game.form.BackColor, colors::Black);
}

TEST_F(OpeningTest, TheStoryShowsOneLinePer428SecondsThenTheCreditsOnce) {
    auto r = Start();
    r->TickAt(16);
    const LabelControl& l = r->label;
    r->TickAt(4.28f);
    EXPECT_EQ(l.Caption, "");  // the first interval wins at its end
    EXPECT_EQ(l.Alignment, Align::Center);
    r->TickAt(std::nextafter(4.28f, 5.f));
    EXPECT_EQ(l.Caption, StoryLine(1));
    r->TickAt(8.56f);
    EXPECT_EQ(l.Caption, StoryLine(1));
    r->TickAt(std::nextafter(8.56f, 9.f));
    EXPECT_EQ(l.Caption, StoryLine(2));
    std::set<std::string> lines;
    for (int k = 1; k <= kStoryLineCount; ++k) {
        r->TickAt(float(4.28 * k + 2));
        EXPECT_EQ(l.Caption, StoryLine(k));
        lines.insert(l.Caption);
    }
    EXPECT_EQ(lines.size(), 19u);
    EXPECT_FALSE(lines.contains(""));
    r->TickAt(84.9f);
    EXPECT_EQ(l.Caption, StoryLine(19));
    EXPECT_TRUE(r->game.form.Timer1[0].Enabled);

    r->game.scores.CourseHighScores[0] = 4321;
    r->TickAt(85.01f);  // the credits over the whole window, and the timer stops
    const std::string credits = l.Caption;
    EXPECT_NE(credits.find("かんたんコース　4321点\r\n"), std::string::npos);
    EXPECT_EQ((std::array{l.Left, l.Top, l.Width, l.Height}), (std::array{0, 0, 10000, 7500}));
    EXPECT_EQ(l.FontSize, 12);
    EXPECT_EQ(l.Alignment, Align::Center);
    EXPECT_FALSE(r->game.form.Timer1[0].Enabled);
    r->game.scores.CourseHighScores[0] = 99;
    r->Run(500);
    EXPECT_EQ(l.Caption, credits);
}

TEST_F(OpeningTest, TheWindowsTimerRunsItAllInStepWithTheMusic) {
    auto r = Start();
    const double start = r->hp.clock.Now();
    std::vector<std::string> shown;
    r->stack.RunWhile([&] {
        // Until the first tick the label is hidden.
        if (r->label.Visible && (shown.empty() || shown.back() != r->label.Caption))
            shown.push_back(r->label.Caption);
        return r->game.form.Timer1[0].Enabled && r->hp.clock.Now() - start < 200;
    });
    // 16 s of opening, then 85 s of story; a tick comes every 75 ms.
    EXPECT_NEAR(r->hp.clock.Now() - start, 101, 0.3);
    std::vector<std::string> expected{"▼・ｗ・▼", "鈍", "感", kTitleCard, ""};
    for (int k = 1; k <= kStoryLineCount; ++k) expected.push_back(StoryLine(k));
    expected.push_back(r->label.Caption);
    EXPECT_EQ(shown, expected);
    EXPECT_EQ(r->label.Caption.substr(0, 2), "\r\n");
}

TEST_F(OpeningTest, TheCreditsName23LinesOr25FromAMillionOn) {
    HighScoreTables s;
    s.CourseHighScores = {1234, 999999, 77, 88};
    std::vector<std::string> lines = CreditLines(s);
    ASSERT_EQ(lines.size(), 23u);
    const std::string sep = "▼・ｗ・▼・ｗ・▼・ｗ・▼";
    for (size_t i : {1, 5, 13, 19}) EXPECT_EQ(lines[i], sep) << i;
    EXPECT_EQ(lines[2], "メイン");
    EXPECT_EQ(lines[6], "音楽ファイル協力");
    EXPECT_EQ(lines[14], "画像ファイル協力");
    EXPECT_EQ(lines[20], "AND YOUR PLAYING");
    EXPECT_EQ(lines[21], "かんたんコース　1234点");
    EXPECT_EQ(lines[22], "むずかしいコース　999999点");

    s.CourseHighScores[1] = 1000000;
    lines = CreditLines(s);
    ASSERT_EQ(lines.size(), 25u);
    EXPECT_EQ(lines[23], "ワンだフル！コース　77点");
    EXPECT_EQ(lines[24], "チャレンジコース　88点");
}

TEST_F(OpeningTest, TheTextsFitTheirLabelsInTheLabelFont) {
    TtfText text;
    // The story label: 5000 twips wide at 20 points, one row a line.
    const int row = text.Measure("柴", 20, 1000).height;
    for (int k = 1; k <= kStoryLineCount; ++k)
        EXPECT_EQ(text.Measure(StoryLine(k), 20, TwipsToPx(5000)).height, row) << k;
    // The credits: one row a line across the window, all of them within its height.
    HighScoreTables s;
    s.CourseHighScores = {2147483647, 2147483647, 2147483647, 2147483647};
    std::string page;
    for (const std::string& line : CreditLines(s)) page += line + "\r\n";
    const TextExtent e = text.Measure(page, 12, kFormWidthPx);
    EXPECT_EQ(e.height, 26 * text.Measure("柴", 12, 1000).height);  // and the last, empty row
    EXPECT_LE(e.height, kFormHeightPx);
}

TEST_F(OpeningTest, AClickInTheOpeningTheStoryOrOnTheCreditsGoesToTheTitle) {
    for (float until : {5.f, 16 + 30.f, 16 + 86.f}) {
        auto r = Start();
        r->TickAt(std::min(until, 16.f));
        if (until > 16) r->TickAt(until - 16);
        r->Click();
        EXPECT_EQ(r->game.ScreenState, Screen::Title) << until;
        EXPECT_EQ(r->hp.music.FileName(), "");
        EXPECT_EQ(r->game.form.BackColor, colors::Yellow);
        EXPECT_EQ(r->label.Caption, "かんたん");
        // Later ticks in the title only sample the music.
        r->hp.clock.Advance(20);
        Timer1_Timer(r->game);
        EXPECT_EQ(r->label.Caption, "かんたん");
        EXPECT_EQ(r->game.form.BackColor, colors::Yellow);
    }
}

}  // namespace
}  // namespace zb
