// Whole courses on the headless platform: title clicks, scripted picks, songs played by a
// scripted player, course totals, score.dat, and the special courses' picks.
#include <gtest/gtest.h>

#include <algorithm>
#include <deque>
#include <filesystem>
#include <fstream>
#include <map>
#include <regex>
#include <sstream>

#include "core/score_file.hpp"
#include "core/songs.hpp"
#include "course/song_hyoji.hpp"
#include "course/song_select.hpp"
#include "course_driver.hpp"
#include "frontend/title_screen.hpp"
#include "platform/headless/headless.hpp"
#include "platform/pad_inputs.hpp"
#include "play/play_slots.hpp"
#include "temp_app_dir.hpp"
#include "tests/common/read_file.hpp"

namespace zb {
namespace {

using testing::CourseDriver;
using testing::TempAppDir;

using testing::ReadFile;

// The number after "label" in a results text ("スコア：123点" gives 123), or -1.
int64_t NumberAfter(const std::string& text, const std::string& label) {
    const size_t at = text.find(label);
    if (at == std::string::npos) return -1;
    return std::stoll(text.substr(at + label.size()));
}

class CourseFlowTest : public ::testing::Test {
  protected:
    TempAppDir dir;
    headless::HeadlessPlatform hp{dir.Path()};
    Game game{hp.ports};
    CourseDriver driver{hp, game};
    ScreenStack stack{game};

    void SetUp() override { SetUpGameStack(stack, game); }
    void OpenTitle() { stack.Push(game, std::make_unique<TitleScreen>()); }
    // A click on the title, and the game run until the title is back.
    void ClickTitle(int label) {
        hp.window.Click(ClickSource::Label, label);
        driver.RunToTitle(stack);
    }
    // Runs one course on a stack of its own until it ends.
    CourseEnd RunCourse(Course course) {
        CourseEnd end;
        RunScreen(game, std::make_unique<CourseScreen>(course),
                  [&](GameScreen& s) { end = static_cast<CourseScreen&>(s).end.value(); });
        return end;
    }

    HighScoreTables Saved() {
        HighScoreTables t;
        DecodeScores(ReadFile(dir.File("score.dat")), t);
        return t;
    }
    std::string Music(int song) { return dir.Path() + SongMusicFile(song); }
    // The song select previews in the music history (song numbers), stops and song starts left
    // out, from `from` on.
    std::vector<int> Previews(size_t from = 0) {
        std::vector<int> songs;
        const auto& h = hp.music.History();
        for (size_t i = from; i < h.size(); ++i)
            for (int s = 0; s < 10; ++s)
                if (h[i] == Music(s)) songs.push_back(s);
        return songs;
    }
    // The song select screen as SongHyoji draws it for these arguments, on a game of its own.
    Surface Reference(int16_t difficulty, int16_t song, int16_t level, int32_t high, int16_t count,
                      int16_t position, bool challenge = false) {
        headless::HeadlessPlatform other(dir.Path());
        Game g(other.ports);
        g.form.pGamen.SetWidthTwips(kFormWidthTwips);
        g.form.pGamen.SetHeightTwips(kFormHeightTwips);
        SongHyoji(g, {song, difficulty}, level, high, count, position, challenge);
        return g.form.pGamen.Dc();
    }
    // The screens shown at each preview start while picking, in order.
    std::vector<Surface> screens;
    void RecordScreens() {
        driver.onYield = [this, seen = size_t(0)]() mutable {
            const auto& h = hp.music.History();
            if (game.ScreenState == Screen::SongSelect && h.size() != seen && !h.back().empty())
                screens.push_back(game.form.pGamen.Dc());
            seen = h.size();
        };
    }
};

bool SamePixels(const Surface& a, const Surface& b) {
    return a.Width() == b.Width() && a.Height() == b.Height() && a.Pixels() == b.Pixels();
}

TEST_F(CourseFlowTest, EasyCourseFromTheTitleEndsWithANewCourseHighScore) {
    game.scores.CourseHighScores = {1000, 2000, 3000, 4000};
    game.scores.HighScores[0][4] = 7;
    SaveScores(game);
    OpenTitle();
    // First pick: song 4 (one step right from song 6); second pick: song 1 (four steps).
    driver.picks = {{vk::Right, vk::Enter},
                    {vk::Right, vk::Right, vk::Right, vk::Right, vk::Enter}};
    // The timing of each song's strikes stands beside the results, and beside the total after
    // them, never over either.
    std::vector<std::string> timings;  // the figures as each song's results came up
    std::string shown;
    // The sound output plays two buffers empty during the first song: the automatic period goes
    // up a step for the second, and the first song's timing shows them.
    bool underran = false;
    driver.onYield = [&] {
        if (game.ScreenState == Screen::Playing && !underran) hp.music.underruns += 2;
        underran = underran || game.ScreenState == Screen::Playing;
        const MainForm& f = game.form;
        const LabelControl& results = f.Label[play_slots::kResultsLabel];
        const LabelControl& figures = f.Label[play_slots::kTimingFiguresLabel];
        if (!results.Visible || game.ScreenState != Screen::Playing || !figures.Visible) return;
        if (results.Caption != shown && results.Caption.starts_with("スコア："))
            timings.push_back(figures.Caption);
        shown = results.Caption;
        auto apart = [&](int left, int top, int width, int height) {
            return left + width <= results.Left || top + height <= results.Top;
        };
        const PictureBox& box = f.Picture1[play_slots::kTimingHistogramPicture];
        for (const LabelControl* l : {&figures, &f.Label[play_slots::kTimingDelayLabel]})
            ASSERT_TRUE(apart(l->Left, l->Top, l->Width, l->Height)) << results.Caption;
        ASSERT_TRUE(box.Visible);
        ASSERT_TRUE(apart(box.Left, box.Top, box.WidthTwips(), box.HeightTwips()));
    };
    ::testing::internal::CaptureStderr();
    ClickTitle(0);
    const std::string said = ::testing::internal::GetCapturedStderr();

    EXPECT_EQ(driver.pickScreens, 2);
    EXPECT_EQ(driver.songsStarted, 2);
    EXPECT_EQ(said,
              "zubakko: 2 underruns of the sound output in this song; the automatic period goes "
              "up to 256 frames from the next song\n");
    EXPECT_EQ(hp.music.wantedPeriod, 256);
    ASSERT_EQ(timings.size(), 2u);
    EXPECT_NE(timings[0].find("音切れ 2 回"), std::string::npos) << timings[0];
    EXPECT_EQ(timings[1].find("音切れ"), std::string::npos) << timings[1];
    for (const std::string& t : timings)
        EXPECT_TRUE(
            std::regex_search(t, std::regex("平均 (\\+|-|±)\\d+ ms（(遅め|早め|ぴったり)）")))
            << t;
    // Each song left its replay beside the scores.
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Path() + "replays"),
                            std::filesystem::directory_iterator()),
              2);
    EXPECT_EQ(Previews(), (std::vector<int>{6, 4, 4, 6, 4, 9, 5, 1, 1}))
        << "previews, then the song itself; the second pick starts on song 6 again";

    // Both songs' results, then the total.
    std::string first, second, total;
    for (const std::string& t : driver.resultTexts) {
        if (t.find("スコア：") != std::string::npos) (first.empty() ? first : second) = t;
        if (t.find("総合") != std::string::npos) total = t;
    }
    const int64_t s1 = NumberAfter(first, "スコア："), s2 = NumberAfter(second, "スコア：");
    ASSERT_GT(s1, 0) << first;
    ASSERT_GT(s2, 0) << second;
    EXPECT_NE(first.find("ノルマクリア成功！"), std::string::npos) << first;
    EXPECT_EQ(total, "総合" + std::to_string(s1 + s2) +
                         "点\r\nハイスコア達成！\r\nThanks to your playing!");

    // Back on the title with the flags cleared, and the new scores on disk.
    EXPECT_EQ(ScreenName(game.ScreenState), "タイトル画面");
    const HighScoreTables saved = Saved();
    EXPECT_EQ(saved.CourseHighScores, (std::array<int32_t, 4>{int32_t(s1 + s2), 2000, 3000, 4000}));
    EXPECT_EQ(saved.HighScores[0][4], s1);
    EXPECT_EQ(saved.HighScores[0][1], s2);
}

TEST_F(CourseFlowTest, SameSongTwiceEndsWithTheDuplicateNotice) {
    game.scores.CourseHighScores = {5, 0, 0, 0};
    SaveScores(game);
    const std::string before = ReadFile(dir.File("score.dat"));
    OpenTitle();
    driver.playNotes = false;
    driver.fastForward = 1.0;
    driver.picks = {{vk::Left, vk::Enter}, {vk::Left, vk::Enter}};  // song 0, twice
    ClickTitle(1);

    EXPECT_EQ(driver.songsStarted, 2);
    ASSERT_FALSE(driver.resultTexts.empty());
    EXPECT_EQ(driver.resultTexts.back(),
              "\r\n\r\n\r\nThanks to your playing!\r\n※選択曲が重複しているので総合点は無効");
    EXPECT_EQ(ScreenName(game.ScreenState), "タイトル画面");
    EXPECT_EQ(ReadFile(dir.File("score.dat")), before) << "no total, no course high score";
}

TEST_F(CourseFlowTest, CourseTotalBelowTheOldOneLeavesScoreDatAlone) {
    game.scores.CourseHighScores = {0, 0, 5, 0};
    SaveScores(game);
    const std::string before = ReadFile(dir.File("score.dat"));
    game.scores.HighScores[2][0] = 99;          // in memory only: not saved unless something is new
    game.scores.CourseHighScores[1] = 1000000;  // the full menu, so ワンだフル！ can be clicked
    OpenTitle();
    driver.playNotes = false;
    driver.fastForward = 1.0;
    driver.picks = {{vk::Enter}, {vk::Right, vk::Enter}};  // songs 5 and 4
    ClickTitle(3);
    EXPECT_EQ(driver.songsStarted, 2);
    EXPECT_EQ(driver.resultTexts.back(), "総合0点\r\nThanks to your playing!");
    EXPECT_EQ(ReadFile(dir.File("score.dat")), before);
    EXPECT_EQ(ScreenName(game.ScreenState), "タイトル画面");
}

TEST_F(CourseFlowTest, AutoPlayReturnsToTheSamePickAndNeverCounts) {
    OpenTitle();
    driver.fastForward = 1.0;
    driver.playNotes = false;
    driver.picks = {{vk::Space}, {vk::Right, vk::Space}, {vk::Enter}, {vk::Right, vk::Enter}};
    ClickTitle(0);
    EXPECT_EQ(driver.pickScreens, 4);
    EXPECT_EQ(driver.songsStarted, 4);
    EXPECT_EQ(ScreenName(game.ScreenState), "タイトル画面");
    EXPECT_EQ(driver.resultTexts.back(), "総合0点\r\nThanks to your playing!");
}

TEST_F(CourseFlowTest, APadPicksAndStartsSongsAsTheKeysDo) {
    const PadInfo gamepad{0, "030000005e0400008e02000014010000", "pad", true};
    hp.keyboard.PlugAt(0, gamepad);
    const int right = pad::Code(0, pad::DpRight), ok = pad::Code(0, pad::A),
              autoPlay = pad::Code(0, pad::X);
    OpenTitle();
    driver.fastForward = 1.0;
    driver.playNotes = false;
    driver.picks = {{autoPlay}, {right, autoPlay}, {ok}, {right, ok}};
    ClickTitle(0);
    EXPECT_EQ(driver.pickScreens, 4);
    EXPECT_EQ(driver.songsStarted, 4);
    EXPECT_EQ(ScreenName(game.ScreenState), "タイトル画面");
    EXPECT_EQ(driver.resultTexts.back(), "総合0点\r\nThanks to your playing!");
}

TEST_F(CourseFlowTest, HundredAutoPlaysKeepTheStackFlat) {
    std::filesystem::remove(dir.File("img"));  // the pictures play no part here; skip their loads
    driver.fastForward = 5.0;
    driver.playNotes = false;
    for (int i = 0; i < 100; ++i) driver.picks.push_back({vk::Space});
    std::vector<uintptr_t> depth;
    int seenPicks = 0;
    driver.onYield = [&] {
        if (game.ScreenState != Screen::SongSelect || driver.pickScreens == seenPicks) return;
        seenPicks = driver.pickScreens;
        // The frame itself, not a local: ASan keeps locals on a heap stack of its own.
        depth.push_back(reinterpret_cast<uintptr_t>(__builtin_frame_address(0)));
        if (seenPicks == 101) throw ProgramEnd{};  // leave the course from the 101st pick
    };
    EXPECT_THROW(RunCourse({0}), ProgramEnd);
    ASSERT_EQ(depth.size(), 101u);
    EXPECT_EQ(driver.songsStarted, 100);
    for (size_t i = 1; i < depth.size(); ++i) EXPECT_EQ(depth[i], depth[0]) << "pick " << i;
}

TEST_F(CourseFlowTest, EasyCourseOrderWrapAndPositions) {
    RecordScreens();
    driver.playNotes = false;
    driver.fastForward = 1.0;
    game.scores.HighScores[0][6] = 4321;
    game.scores.HighScores[0][0] = 98765;
    // Left from the first entry wraps to the last; Right comes back; then round the list.
    driver.picks = {{vk::Left, vk::Right, vk::Right, vk::Right, vk::Right, vk::Right, vk::Right,
                     vk::Right, vk::Right, vk::Right, vk::Right, vk::Enter},
                    {vk::Enter}};
    RunCourse({0});
    const std::vector<int> order{6, 0, 6, 4, 9, 5, 1, 7, 3, 8, 2, 0};
    ASSERT_GE(screens.size(), order.size());
    const std::vector<int> shown = Previews();
    ASSERT_GE(shown.size(), order.size());
    EXPECT_EQ(std::vector<int>(shown.begin(), shown.begin() + 12), order);
    EXPECT_TRUE(SamePixels(screens[0], Reference(0, 6, 1, 4321, 10, 1))) << "song 6, 01/10";
    EXPECT_TRUE(SamePixels(screens[1], Reference(0, 0, 4, 98765, 10, 10))) << "song 0, 10/10";
    EXPECT_TRUE(SamePixels(screens[3], Reference(0, 4, 1, 0, 10, 2))) << "song 4, 02/10";
    EXPECT_FALSE(SamePixels(screens[0], screens[3]));
}

TEST_F(CourseFlowTest, TapStepsOnceAndAHeldArrowKeepsStepping) {
    driver.playNotes = false;
    driver.fastForward = 1.0;
    driver.picks = {{}, {vk::Enter}};
    size_t heldTo = 0;
    std::vector<double> stepTimes;
    double start = -1;
    driver.onYield = [&] {
        if (game.ScreenState != Screen::SongSelect) return;
        if (start < 0) {
            start = hp.clock.Now();
            hp.keyboard.At(start + 0.1, vk::Right, true);  // a tap of 90 ms
            hp.keyboard.At(start + 0.19, vk::Right, false);
            hp.keyboard.At(start + 1.0, vk::Right, true);  // held for 1.5 s
            hp.keyboard.At(start + 2.5, vk::Right, false);
            hp.keyboard.At(start + 3.0, vk::Enter, true);
            hp.keyboard.At(start + 3.06, vk::Enter, false);
        }
        const auto& h = hp.music.History();
        if (h.size() > heldTo && !h.back().empty()) stepTimes.push_back(hp.clock.Now() - start);
        heldTo = h.size();
    };
    RunCourse({0});
    // The entry screen's preview, one step for the tap, then the held arrow.
    ASSERT_GE(stepTimes.size(), 3u);
    std::vector<double> held;
    int tapSteps = 0;
    for (double t : stepTimes) {
        if (t > 0.09 && t < 1.0) ++tapSteps;
        if (t >= 1.0 && t < 2.6) held.push_back(t);
    }
    EXPECT_EQ(tapSteps, 1);
    ASSERT_GE(held.size(), 8u);
    EXPECT_LE(held.size(), 11u);
    for (size_t i = 2; i < held.size(); ++i) EXPECT_NEAR(held[i] - held[i - 1], 0.15, 0.01);
}

TEST_F(CourseFlowTest, RankingSecondPickOffersNineSongsWithoutTheFirst) {
    RecordScreens();
    const auto record = driver.onYield;
    size_t from = 0, firstScreens = 0;  // the music and screens before the second pick
    driver.onYield = [&] {
        if (driver.pickScreens == 1)
            from = hp.music.History().size(), firstScreens = screens.size();
        record();
    };
    game.scores.HighScores[2][4] = 55555;
    driver.playNotes = false;
    driver.fastForward = 1.0;
    std::vector<int> keys{vk::Space};  // no auto play in the ranking course
    for (int i = 0; i < 10; ++i) keys.push_back(vk::Right);
    for (int i = 0; i < 10; ++i) keys.push_back(vk::Left);
    keys.push_back(vk::Enter);
    driver.picks = {{vk::Enter}, keys};  // song 5, then the second pick
    const CourseEnd end = RunCourse({.difficulty = 2, .ranking = true});

    const std::vector<int> shown = Previews(from);
    ASSERT_GE(shown.size(), 21u);
    EXPECT_EQ(shown.front(), 4);
    for (int s : shown) EXPECT_NE(s, 5);
    EXPECT_EQ(std::vector<int>(shown.begin(), shown.begin() + 11),
              (std::vector<int>{4, 6, 7, 3, 0, 2, 8, 9, 1, 4, 6}));
    ASSERT_GT(screens.size(), firstScreens);
    EXPECT_TRUE(SamePixels(screens[firstScreens], Reference(2, 4, 8, 55555, 9, 2)))
        << "song 4, 02/09";
    EXPECT_EQ(driver.songsStarted, 2) << "Space started nothing";
    EXPECT_EQ(end.kind, CourseEnd::Kind::NetRank);
    EXPECT_EQ(end.firstSong, 5);
    EXPECT_EQ(end.secondSong, 4);
    EXPECT_EQ(end.firstScore, 0) << "no note was struck";
}

TEST_F(CourseFlowTest, ChallengeCourseFirstAndLastEntriesAndItsMenu) {
    RecordScreens();
    const auto record = driver.onYield;
    game.scores.HighScores[3][6] = 1111;
    game.scores.HighScores[6][8] = 2222;
    driver.playNotes = false;
    driver.fastForward = 1.0;
    // Song 6 (Left wraps to the last entry, song 8 at difficulty 3; Right comes back); then song
    // 8 at difficulty 3 as an auto play, which comes back to the pick; then song 9 at difficulty 0.
    driver.picks = {
        {vk::Left, vk::Right, vk::Enter}, {vk::Left, vk::Space}, {vk::Right, vk::Right, vk::Enter}};
    // Each menu is answered by a click: ４倍速, 「鈍」と「感」が逆, ２倍速.
    std::deque<int> choices{2, 4, 1};
    std::vector<int> menusAfter;  // songs started when each menu came up
    std::vector<Modifier> modes;
    std::vector<std::string> songs;
    Screen seen = Screen::None;
    driver.onYield = [&] {
        record();
        if (game.ScreenState == Screen::Challenge && seen != Screen::Challenge) {
            menusAfter.push_back(driver.songsStarted);
            if (!choices.empty()) hp.window.Click(ClickSource::Label, choices.front());
            if (!choices.empty()) choices.pop_front();
        }
        seen = game.ScreenState;
        if (size_t(driver.songsStarted) != songs.size()) {
            songs.push_back(hp.music.FileName());
            modes.push_back(game.chart.Mode);
        }
    };
    const CourseEnd end = RunCourse({.difficulty = 3, .challenge = true});

    ASSERT_GE(screens.size(), 3u);
    EXPECT_TRUE(SamePixels(screens[0], Reference(0, 6, 1, 1111, 31, 1, true))) << "6 d0, 01/31";
    EXPECT_TRUE(SamePixels(screens[1], Reference(3, 8, 11, 2222, 31, 31, true))) << "8 d3, 31/31";
    EXPECT_EQ(menusAfter, (std::vector<int>{0, 1, 2})) << "the menu comes before every song";
    EXPECT_EQ(songs, (std::vector<std::string>{Music(6), Music(8), Music(9)}));
    EXPECT_EQ(modes, (std::vector<Modifier>{Modifier::FourfoldSpeed, Modifier::SwapDonKan,
                                            Modifier::DoubleSpeed}));
    // No note hit: the modifiers' points alone, 500000 and 200000; the auto play counts nothing.
    EXPECT_EQ(end.kind, CourseEnd::Kind::Title);
    EXPECT_EQ(driver.resultTexts.back(),
              "総合700000点\r\nハイスコア達成！\r\nThanks to your playing!");
    EXPECT_EQ(Saved().CourseHighScores[3], 700000);
}

TEST_F(CourseFlowTest, ChallengeMenuTakesClicksAndAPad) {
    game.scores.CourseHighScores[1] = 1000000;
    OpenTitle();
    driver.playNotes = false;
    driver.fastForward = 1.0;
    driver.picks = {{vk::Enter}, {vk::Enter}};
    auto runFor = [&](double seconds, const std::function<bool()>& done) {
        const double until = hp.clock.Now() + seconds;
        stack.RunWhile([&] { return !done() && hp.clock.Now() < until; });
    };
    auto onMenu = [&] { return game.ScreenState == Screen::Challenge && !hp.window.Pending(); };
    hp.window.Click(ClickSource::Label, 4);
    runFor(30, onMenu);
    EXPECT_EQ(ScreenName(game.ScreenState), "チャレンジ");
    hp.window.Click(ClickSource::Label, 13);  // a points label does nothing
    runFor(1, [] { return false; });
    EXPECT_EQ(driver.songsStarted, 0);
    EXPECT_EQ(ScreenName(game.ScreenState), "チャレンジ");
    hp.window.Click(ClickSource::Label, 3);
    runFor(3600, [&] { return driver.songsStarted == 1 && onMenu(); });
    EXPECT_EQ(driver.songsStarted, 1);
    EXPECT_EQ(ScreenName(game.ScreenState), "チャレンジ");
    // The second choice with a pad: the d-pad highlights the first choice, then the second, and
    // OK takes it as a click would.
    const double t = hp.clock.Now();
    hp.keyboard.PlugAt(t, {0, "030000005e0400008e02000014010000", "pad", true});
    const int taps[] = {pad::DpDown, pad::DpDown, pad::DpUp, pad::A};
    for (int k = 0; k < 4; ++k) {
        hp.keyboard.At(t + 0.1 + 0.2 * k, pad::Code(0, taps[k]), true);
        hp.keyboard.At(t + 0.15 + 0.2 * k, pad::Code(0, taps[k]), false);
    }
    runFor(0.65, [] { return false; });
    EXPECT_EQ(game.form.Label[0].BackColor, Color::Rgb(0, 0, 128));
    EXPECT_EQ(game.form.Label[1].BackColor, colors::Black);
    runFor(3600, [&] { return driver.songsStarted == 2 && game.ScreenState == Screen::Title; });
    EXPECT_EQ(driver.songsStarted, 2);
    EXPECT_EQ(ScreenName(game.ScreenState), "タイトル画面")
        << "the duplicate ends the course on the title";
}

TEST_F(CourseFlowTest, ASongAfterTheSettingsScreenPlaysWithTheNewKeysAndDelay) {
    game.settings.BgmVolume = -600;
    OpenTitle();
    // せってい: F, J, D and K for the four drums, the delay two steps up, then Enter.
    for (int key : {vk::A + 5, vk::Down, vk::A + 9, vk::Down, vk::A + 3, vk::Down, vk::A + 10,
                    vk::Down, vk::Right, vk::Right, vk::Enter})
        driver.Tap(key, 0.1);
    ClickTitle(2);
    ASSERT_EQ(ScreenName(game.ScreenState), "タイトル画面");
    hp.clock.Advance(0.5);  // Enter is let go before the next click

    // The player strikes the new keys only; the old keypad keys would miss every note.
    driver.picks = {{vk::Right, vk::Enter}, {vk::Right, vk::Enter}};  // song 4 twice
    ClickTitle(0);
    ASSERT_EQ(driver.songsStarted, 2);
    EXPECT_EQ(game.settings.KeyCodes, (std::array<int16_t, 4>{70, 74, 68, 75}));
    EXPECT_EQ(game.chart.ChartDelay, 11);
    const auto results =
        std::find_if(driver.resultTexts.begin(), driver.resultTexts.end(),
                     [](const std::string& t) { return t.find("スコア：") != std::string::npos; });
    ASSERT_NE(results, driver.resultTexts.end());
    const std::string& first = *results;
    EXPECT_GT(NumberAfter(first, "スコア："), 0) << first;
    EXPECT_NE(first.find("ノルマクリア成功！"), std::string::npos) << first;
}

}  // namespace
}  // namespace zb
