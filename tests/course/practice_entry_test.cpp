// Practice as a player reaches it: P on song select of a course opens「練習」for the shown song,
// the keys set the tempo, the section and the ramp, on-time play takes the tempo up to 100 %,
// Esc goes back to song select, and nothing is written. It starts at the first bars with notes,
// or from the pause menu at the bar being played; F5 to F7 switch the drums, the metronome and
// 待つ.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>

#include "core/own_songs.hpp"
#include "core/score_file.hpp"
#include "core/screen_stack.hpp"
#include "course/song_select.hpp"
#include "platform/headless/headless.hpp"
#include "play/judgement.hpp"
#include "play/play_slots.hpp"
#include "play/practice_screen.hpp"
#include "temp_app_dir.hpp"
#include "tests/common/read_file.hpp"
#include "tests/common/typical_song.hpp"

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
    // The song's first notes come in its second bar: the first four bars with notes.
    EXPECT_EQ(play.SectionPlayed().fromBar, 2);
    EXPECT_EQ(play.SectionPlayed().toBar, 1 + kPracticeFirstBars);

    // 75 %, bars 2 to 3, the ramp on: all for the next pass, as the panel says.
    for (int i = 0; i < 5; ++i) Tap(vk::Left);
    Tap(34), Tap(34);  // PageDown: B two bars earlier
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

TEST_F(PracticeEntryTest, StartsWhereTheNotesAreSwitchesDrumsClicksAndWaitAndGivesThemBack) {
    std::filesystem::create_directories(dir.File("songs"));
    testing::TypicalSong late;
    late.firstDrumBar = 8;  // bar 9
    late.extraParts = 1;
    std::ofstream(dir.File("songs/late.mid"), std::ios::binary) << testing::TypicalSongBytes(late);
    const int16_t song = AddOwnSong(game, dir.File("songs/late.mid"));
    stack.Push(game, std::make_unique<PracticeScreen>(ChartId{song, 0}));
    RunFor(0.2);
    ASSERT_EQ(game.ScreenState, Screen::Practice);
    const PracticePlay& play = *dynamic_cast<PracticeScreen*>(stack.Top())->Play();
    EXPECT_EQ(play.SectionPlayed().fromBar * 100 + play.SectionPlayed().toBar, 912);
    EXPECT_EQ(Panel(4), "ドラム あり　メトロノーム OFF　待つ OFF");

    Tap(vk::F5), Tap(vk::F5), Tap(vk::F6), Tap(vk::F7);
    EXPECT_EQ(hp.music.Drums(), DrumPart::Off);
    EXPECT_EQ(hp.music.Clicks().size(), play.Bars().beats.size());
    EXPECT_TRUE(hp.music.Clicks().front().accent);
    EXPECT_EQ(Panel(4).rfind("ドラム なし　メトロノーム ON　待つ ON（待った 0）", 0), 0u)
        << Panel(4);
    EXPECT_NE(ReadFile(dir.File("options.txt")).find("\ndrums off\n"), std::string::npos);

    // 待つ: the song stands at bar 9's first note (its lead-in is bar 8) and waits.
    RunFor(play.Bars().Start(9) - play.Bars().Start(8) + 1);
    EXPECT_TRUE(play.Halted());
    const double at = hp.music.CurrentPosition();
    RunFor(1);
    EXPECT_EQ(hp.music.CurrentPosition(), at);
    const int kind = NoteKindOf(game.chart, play.State().CurrentNote);
    ASSERT_EQ(kind % 2, 1) << "a don: the bass drum with the crash";
    Tap(vk::Numpad4);  // a kan: the wrong kind
    EXPECT_TRUE(play.Halted());
    EXPECT_NE(Panel(4).find("ちがう"), std::string::npos) << Panel(4);
    Tap(vk::Numpad1);
    if (kind == 3) {  // a big don waits for both feet
        EXPECT_TRUE(play.Halted());
        Tap(vk::Numpad2);
    }
    EXPECT_FALSE(play.Halted());
    EXPECT_GT(hp.music.CurrentPosition(), at);
    EXPECT_EQ(play.Current().best, 1);
    EXPECT_EQ(play.Current().marks, "w");

    // Leaving gives song select back its music as it was; the choice of drums stays.
    Tap(vk::Escape);
    EXPECT_EQ(hp.music.Drums(), DrumPart::Full);
    EXPECT_FALSE(hp.music.Clicking());
    EXPECT_EQ(game.options.Drums, DrumPart::Off);
}

TEST_F(PracticeEntryTest, PracticeFromThePauseMenuOpensTheBarBeingPlayedAndLeavesNothing) {
    SaveScores(game);
    const std::string scores = ReadFile(dir.File("score.dat"));
    stack.Push(game, std::make_unique<CourseScreen>(Course{.difficulty = 0}));
    RunFor(0.2);
    Tap(vk::F5);  // ドラム 小さく, for the song
    EXPECT_EQ(game.options.Drums, DrumPart::Quiet);
    const std::vector<PrintedText>& printed = game.form.pGamen.Printed;
    EXPECT_TRUE(std::any_of(printed.begin(), printed.end(),
                            [](const PrintedText& p) { return p.text == "F5 ドラム：小さく"; }));
    Tap(vk::Enter);
    RunFor(8);
    ASSERT_EQ(game.ScreenState, Screen::Playing);
    EXPECT_EQ(hp.music.Drums(), DrumPart::Quiet);
    Tap(vk::Escape);
    ASSERT_EQ(game.ScreenState, Screen::Paused);
    const double pausedAt = hp.music.CurrentPosition();
    Tap(vk::Down), Tap(vk::Down), Tap(vk::Enter);
    RunFor(0.2);
    ASSERT_EQ(game.ScreenState, Screen::Practice);
    const PracticePlay& play = *dynamic_cast<PracticeScreen*>(stack.Top())->Play();
    const int bar = play.Bars().BarAt(pausedAt);
    EXPECT_GT(bar, 1);
    EXPECT_EQ(play.SectionPlayed().fromBar, bar);
    EXPECT_EQ(play.SectionPlayed().toBar, bar + 1);
    Tap(vk::Escape);
    EXPECT_EQ(game.ScreenState, Screen::SongSelect);
    EXPECT_EQ(hp.music.Drums(), DrumPart::Full);
    EXPECT_EQ(ReadFile(dir.File("score.dat")), scores);
    EXPECT_FALSE(std::filesystem::exists(dir.File("replays")));
}

}  // namespace
}  // namespace zb
