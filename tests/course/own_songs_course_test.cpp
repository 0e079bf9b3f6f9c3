// The players' own songs in the courses: listed after the built-in songs, played by hand, their
// high scores in ownscore.dat (kept across a rename) and never in score.dat or the ranking course.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "core/chart_loader.hpp"
#include "core/own_songs.hpp"
#include "core/score_file.hpp"
#include "course/song_list.hpp"
#include "course/song_select.hpp"
#include "course_driver.hpp"
#include "frontend/title_screen.hpp"
#include "platform/headless/headless.hpp"
#include "temp_app_dir.hpp"
#include "tests/common/read_file.hpp"
#include "tests/common/typical_song.hpp"

namespace zb {
namespace {

using testing::CourseDriver;
using testing::TempAppDir;

using testing::ReadFile;

class OwnSongsCourseTest : public ::testing::Test {
  protected:
    TempAppDir dir;
    headless::HeadlessPlatform hp{dir.Path()};
    Game game{hp.ports};
    CourseDriver driver{hp, game};
    ScreenStack stack{game};

    void SetUp() override {
        SetUpGameStack(stack, game);
        std::filesystem::create_directories(dir.File("songs/sub"));
        testing::TypicalSong t;
        t.bars = 14;
        t.name = "Drum Song";
        std::ofstream(dir.File("songs/a.mid"), std::ios::binary) << testing::TypicalSongBytes(t);
        std::ofstream(dir.File("songs/sub/z.mid"), std::ios::binary) << "MThd broken";
    }
    void RunFor(double seconds, const std::function<bool()>& until = nullptr) {
        const double end = hp.clock.Now() + seconds;
        stack.RunWhile([&] { return hp.clock.Now() < end && !(until && until()); });
    }
    void Tap(int key) {
        driver.Tap(key, 0.01);
        RunFor(0.2);
    }
    void WriteSong(const std::string& name, const std::string& title) {
        testing::TypicalSong t;
        t.bars = 14;
        t.name = title;
        std::ofstream(dir.File(name), std::ios::binary) << testing::TypicalSongBytes(t);
    }
    std::string LastBox() const {
        return hp.dialogs.shown.empty() ? "" : hp.dialogs.shown.back().text;
    }
    std::vector<std::string> Previews() {
        std::vector<std::string> out;
        for (const std::string& f : hp.music.History())
            if (!f.empty()) out.push_back(f);
        return out;
    }
};

TEST_F(OwnSongsCourseTest, AnOwnSongIsPickedAfterTheBuiltInOnesPlayedAndScoredInItsOwnFile) {
    game.scores.CourseHighScores = {10, 0, 0, 0};
    SaveScores(game);
    const std::string scoreDat = ReadFile(dir.File("score.dat"));
    FinishOwnSongs(game);
    stack.Push(game, std::make_unique<TitleScreen>());
    // Left from the first song wraps to the last entry, the broken file, where Enter does
    // nothing; one more Left is the drum song. The second song is the first built-in one.
    driver.picks = {{vk::Left, vk::Enter, vk::Left, vk::Enter}, {vk::Enter}};
    driver.onYield = [&] {  // the built-in second song runs by
        if (driver.songsStarted == 2) driver.playNotes = false, driver.fastForward = 1.0;
    };
    hp.window.Click(ClickSource::Label, 0);
    driver.RunToTitle(stack);

    EXPECT_EQ(driver.songsStarted, 2);
    const std::vector<std::string> shown = Previews();
    const std::string own = dir.File("songs/a.mid");
    ASSERT_GE(shown.size(), 3u);
    EXPECT_EQ(shown[1], own) << "the MIDI file is its own preview; the broken one stays silent";
    EXPECT_EQ(shown[2], own) << "and its music";

    std::string first;
    for (const std::string& t : driver.resultTexts)
        if (first.empty() && t.find("スコア：") != std::string::npos) first = t;
    EXPECT_NE(first.find("ノルマクリア成功！"), std::string::npos) << first;
    EXPECT_NE(first.find("不可：0"), std::string::npos) << first;
    const int32_t score = std::stoi(first.substr(first.find("スコア：") + 12));
    EXPECT_GT(score, 0);
    EXPECT_NE(driver.resultTexts.back().find("総合"), std::string::npos);

    // The song's score is in ownscore.dat by the file's content; score.dat is untouched, even by
    // the course total.
    EXPECT_EQ(ReadFile(dir.File("score.dat")), scoreDat);
    const std::string id = game.ownSongs.songs.at(0).id;
    EXPECT_NE(ReadFile(dir.File("ownscore.dat")).find(id + " " + std::to_string(score) + " 0"),
              std::string::npos);

    // Renamed and moved, the file keeps its score in a new run. Within the run the old name keeps
    // its number (as a song that cannot be played) and the new one joins at the end.
    std::filesystem::rename(own, dir.File("songs/sub/renamed.mid"));
    headless::HeadlessPlatform again(dir.Path());
    Game next(again.ports);
    FinishOwnSongs(next);
    ASSERT_EQ(next.ownSongs.songs.size(), 3u);
    EXPECT_FALSE(next.ownSongs.songs[0].playable);
    EXPECT_EQ(next.ownSongs.songs[2].title, "Drum Song");
    EXPECT_EQ(OwnHighScore(next, kOwnSongBase + 2, 0), score);
}

TEST_F(OwnSongsCourseTest, AHandPlayedOwnSongComesFirstWhenSortedByLastPlayed) {
    WriteSong("songs/b.mid", "Second Song");
    FinishOwnSongs(game);
    stack.Push(game, std::make_unique<TitleScreen>());
    // From the first song: Left wraps to the broken file, one more is b.mid (a.mid comes first by
    // path). The second song is the first built-in one.
    driver.picks = {{vk::Left, vk::Left, vk::Enter}, {vk::Enter}};
    driver.onYield = [&] {
        if (driver.songsStarted == 2) driver.playNotes = false, driver.fastForward = 1.0;
    };
    hp.window.Click(ClickSource::Label, 0);
    driver.RunToTitle(stack);
    ASSERT_EQ(driver.songsStarted, 2);

    // Song select again, sorted by last play: the first own song is the one just played.
    driver.onYield = nullptr;
    hp.window.Click(ClickSource::Label, 0);
    RunFor(1, [&] { return game.ScreenState == Screen::SongSelect; });
    for (int i = 0; i < 3; ++i) Tap('S');
    for (int key : {35 /* End */, vk::Left, vk::Left}) Tap(key);
    EXPECT_EQ(hp.music.FileName(), dir.File("songs/b.mid"));
    EXPECT_NE(ReadFile(dir.File("songcache.dat")).find("b.mid"), std::string::npos);
}

// Practice at 80 %: the file vanishes (the player is told, song select comes back), or breaks (a
// run-time error, the title comes back). Either way the next song plays at 100 %.
TEST_F(OwnSongsCourseTest, APractisedSongThatVanishesOrBreaksLeavesNoTempoBehind) {
    WriteSong("songs/b.mid", "Second Song");
    FinishOwnSongs(game);
    stack.Push(game, std::make_unique<TitleScreen>());
    hp.window.Click(ClickSource::Label, 0);
    RunFor(1, [&] { return game.ScreenState == Screen::SongSelect; });
    auto practiseAt80 = [&] {
        Tap(vk::A + ('P' - 'A'));
        ASSERT_EQ(game.ScreenState, Screen::Practice);
        for (int i = 0; i < 4; ++i) Tap(vk::Left);
        RunFor(60, [&] { return hp.music.Tempo() == 0.8; });
        ASSERT_EQ(hp.music.Tempo(), 0.8);
    };
    for (int key : {vk::Left, vk::Left, vk::Left}) Tap(key);  // a.mid
    practiseAt80();
    std::filesystem::remove(dir.File("songs/a.mid"));
    RunFor(60, [&] { return game.ScreenState != Screen::Practice; });
    EXPECT_EQ(LastBox(), "曲のファイルが見つかりません: a.mid");
    EXPECT_EQ(game.ScreenState, Screen::SongSelect);
    EXPECT_EQ(hp.music.Tempo(), 1.0);
    Tap(vk::Enter);
    EXPECT_EQ(game.ScreenState, Screen::SongSelect) << "a song that is gone cannot be picked";

    Tap(vk::Right);  // b.mid
    practiseAt80();
    std::ofstream(dir.File("songs/b.mid"), std::ios::binary) << "MThd broken";
    RunFor(60, [&] { return game.ScreenState != Screen::Practice; });
    EXPECT_NE(LastBox().find("予期しないエラーです"), std::string::npos) << LastBox();
    RunFor(1, [&] { return game.ScreenState == Screen::Title; });
    ASSERT_EQ(game.ScreenState, Screen::Title);

    // The first song of かんたん, played automatically: its music runs with the clock.
    hp.window.Click(ClickSource::Label, 0);
    RunFor(1, [&] { return game.ScreenState == Screen::SongSelect; });
    Tap(vk::Space);
    RunFor(2);
    ASSERT_EQ(game.ScreenState, Screen::Playing);
    const double from = hp.music.CurrentPosition(), at = hp.clock.Now();
    RunFor(3);
    EXPECT_NEAR((hp.music.CurrentPosition() - from) / (hp.clock.Now() - at), 1.0, 1e-6);
}

TEST_F(OwnSongsCourseTest, TheRankingCourseOffersNoOwnSongAndTheChallengeCourseAllThreeCharts) {
    driver.playNotes = false;
    driver.fastForward = 1.0;
    std::vector<int> keys;
    for (int i = 0; i < 12; ++i) keys.push_back(vk::Left);
    keys.push_back(vk::Enter);
    driver.picks = {keys};
    driver.onYield = [&] {
        if (driver.pickScreens == 2) throw ProgramEnd{};  // the first pick was played
    };
    EXPECT_THROW(
        RunScreen(game, std::make_unique<CourseScreen>(Course{.difficulty = 2, .ranking = true})),
        ProgramEnd);
    for (const std::string& f : Previews()) EXPECT_EQ(f.find("/songs/"), std::string::npos) << f;

    FinishOwnSongs(game);
    const SongList challenge = BuildSongList(0, true, game.ownSongs.songs);
    ASSERT_EQ(challenge.Length(), 31 + 3 + 1);
    for (int d = 0; d < 3; ++d) {
        EXPECT_EQ(challenge.ChartAt(31 + d).song, kOwnSongBase);
        EXPECT_EQ(challenge.ChartAt(31 + d).difficulty, d);
        EXPECT_TRUE(challenge.Playable(31 + d));
    }
    EXPECT_FALSE(challenge.Playable(34)) << "the broken file: listed once, not playable";
    EXPECT_EQ(challenge.Count(), 35);
    EXPECT_EQ(challenge.Position(34), 35);

    // Random 鈍 and 感 on an own song keep the random state they drew from, so a replay draws
    // the same notes.
    game.chart.Mode = Modifier::RandomDonKan;
    game.challenge.RandomState = 12345;
    LoadChart(game, challenge.ChartAt(32), 0);
    EXPECT_EQ(game.chart.RandomStateAtLoad, 12345u);
}

}  // namespace
}  // namespace zb
