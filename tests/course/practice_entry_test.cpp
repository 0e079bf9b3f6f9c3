// Practice as a player reaches it: P on song select of a course opens「練習」for the shown song,
// the keys set the tempo, the section and the ramp, on-time play takes the tempo up to 100 %,
// Esc goes back to song select, and nothing is written.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>

#include "core/score_file.hpp"
#include "core/screen_stack.hpp"
#include "course/song_select.hpp"
#include "platform/headless/headless.hpp"
#include "play/play_slots.hpp"
#include "play/practice_screen.hpp"
#include "temp_app_dir.hpp"
#include "tests/common/read_file.hpp"

namespace zb {
namespace {

using testing::ReadFile;

class PracticeEntryTest : public ::testing::Test {
  protected:
    testing::TempAppDir dir;
    headless::HeadlessPlatform hp{dir.Path()};
    Game game{hp.ports};
    ScreenStack stack{game};

    void RunFor(double seconds, const std::function<void()>& each = nullptr) {
        const double end = hp.clock.Now() + seconds;
        stack.RunWhile([&] {
            if (each) each();
            return hp.clock.Now() < end;
        });
    }
    void Tap(int key) {
        const double t = hp.clock.Now();
        hp.keyboard.At(t, key, true);
        hp.keyboard.At(t + 0.03, key, false);
        RunFor(0.1);
    }
    std::string Panel(size_t line) const {
        return game.form.Label[play_slots::kPracticeLabels[line]].Caption;
    }
};

TEST_F(PracticeEntryTest, PFromSongSelectPractisesARampToFullTempoAndLeavesNothingWritten) {
    game.settings.DelaySetting = 0;
    SaveScores(game);
    const std::string scores = ReadFile(dir.File("score.dat"));
    stack.Push(game, std::make_unique<CourseScreen>(Course{.difficulty = 0}));
    RunFor(0.2);
    ASSERT_EQ(game.ScreenState, Screen::SongSelect);
    const std::string preview = hp.music.FileName();

    Tap(vk::A + ('P' - 'A'));
    ASSERT_EQ(game.ScreenState, Screen::Practice);
    auto* screen = dynamic_cast<PracticeScreen*>(stack.Top());
    ASSERT_NE(screen, nullptr);
    const PracticePlay& play = *screen->Play();
    EXPECT_EQ(hp.music.FileName(), preview) << "the shown song is practised";
    EXPECT_EQ(play.SectionPlayed().fromBar, 1);
    EXPECT_EQ(play.SectionPlayed().toBar, kPracticeFirstBars);

    // 75 %, bars 2 to 3, the ramp on: all for the next pass, as the panel says.
    for (int i = 0; i < 5; ++i) Tap(vk::Left);
    Tap(vk::Up);
    Tap(34);  // PageDown: B one bar earlier
    Tap(vk::A + ('R' - 'A'));
    EXPECT_EQ(play.Rate(), 1.0);
    EXPECT_NE(Panel(0).find("テンポ 100% → 75%"), std::string::npos) << Panel(0);
    EXPECT_NE(Panel(0).find("ランプ ON（上限 100%）"), std::string::npos) << Panel(0);
    EXPECT_NE(Panel(1).find("→ 2〜3"), std::string::npos) << Panel(1);

    // On-time strikes for every note of the section playing, placed on the clock as its music
    // comes (the tempo and the section change at each pass).
    const Chart& c = game.chart;
    const double msPerPx = double(c.ChartSpan) * 10 / (double(c.ChartText.size()) * c.NoteSpacing);
    std::set<int> struck;
    size_t passesSeen = 0;
    auto drummer = [&] {
        if (play.Passes().size() != passesSeen) passesSeen = play.Passes().size(), struck.clear();
        const double pos = hp.music.CurrentPosition(), now = hp.clock.Now();
        const Section& s = play.SectionPlayed();
        for (int i = 1; i <= c.NoteCount; ++i) {
            const double due = (c.NotePos[size_t(i)] - c.ChartOffset) * msPerPx / 1000.0;
            if (due < s.start - 0.005 || due >= s.end - 0.005 || due < pos || due > pos + 0.1 ||
                !struck.insert(i).second)
                continue;
            const double at = now + (due - pos) / hp.music.Tempo();
            const int kind = (c.NoteKinds[size_t(i - 1)] - '0') % 5;
            const int first = kind % 2 ? vk::Numpad1 : vk::Numpad4;
            for (int key :
                 kind >= 3 ? std::vector<int>{first, first + 1} : std::vector<int>{first + i % 2}) {
                hp.keyboard.At(at, key, true);
                hp.keyboard.At(at + 0.04, key, false);
            }
        }
    };
    for (int i = 0; i < 400 && !(play.Passes().size() >= 2 && play.Rate() == 1.0); ++i)
        RunFor(0.5, drummer);

    // 75, 80, ... 95 % over bars 2 to 3 without a miss, then 100 %, the ceiling, which stays.
    const std::vector<PracticePass>& passes = play.Passes();
    ASSERT_EQ(passes.size(), 6u);
    for (int i = 0; i < 100 && passes.size() < 7; ++i) RunFor(0.5, drummer);
    RunFor(0.5, drummer);
    ASSERT_EQ(passes.size(), 7u);
    for (size_t i = 1; i < passes.size(); ++i) {
        EXPECT_NEAR(passes[i].rate, std::min(1.0, 0.70 + 0.05 * double(i)), 1e-9) << i;
        EXPECT_EQ(passes[i].fromBar * 10 + passes[i].toBar, 23) << i;
        EXPECT_GT(passes[i].best, 0) << i;
        EXPECT_EQ(passes[i].good + passes[i].miss, 0) << i;
        EXPECT_NEAR(passes[i].meanOffsetMs.value_or(99), 0, 6) << i;
    }
    EXPECT_EQ(play.Rate(), 1.0);
    EXPECT_EQ(hp.music.Tempo(), 1.0);
    EXPECT_EQ(Panel(0), "テンポ 100%　　ランプ ON（上限 100%）");
    EXPECT_EQ(Panel(1).rfind("区間 A 2小節 〜 B 3小節（全 ", 0), 0u) << Panel(1);
    EXPECT_EQ(Panel(2).rfind("8周目　良 ", 0), 0u) << Panel(2);
    EXPECT_EQ(Panel(3), "ベスト　100%　良 " + std::to_string(passes[6].best) + "　可 0　不可 0");

    Tap(vk::Escape);
    EXPECT_EQ(game.ScreenState, Screen::SongSelect);
    EXPECT_EQ(hp.music.FileName(), preview) << "song select shows the song again";
    EXPECT_TRUE(game.form.pGamen.Visible);
    EXPECT_EQ(ReadFile(dir.File("score.dat")), scores);
    EXPECT_FALSE(std::filesystem::exists(dir.File("replays")));
    EXPECT_FALSE(std::filesystem::exists(dir.File("ownscore.dat")));
}

}  // namespace
}  // namespace zb
