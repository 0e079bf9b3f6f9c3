// What follows a song's results: the second pick, the duplicate notice, the course total and the
// course high score with its score.dat.
#include "course/course_progress.hpp"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "core/score_file.hpp"
#include "platform/headless/headless.hpp"
#include "temp_app_dir.hpp"

namespace zb {
namespace {

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

class CourseProgressTest : public ::testing::Test {
  protected:
    testing::TempAppDir dir;
    headless::HeadlessPlatform hp{dir.Path()};
    Game game{hp.ports};

    void SetUp() override {
        game.form.Label[5].Caption = "\r\n\r\n\r\n";  // what the results leave
        game.form.Label[5].Left = 3000;
        game.form.Label[5].FontSize = 18;
    }
    HighScoreTables Saved() {
        HighScoreTables t;
        DecodeScores(ReadFile(dir.File("score.dat")), t);
        return t;
    }
};

TEST_F(CourseProgressTest, AutoPlayLeavesTheCourseAsItWas) {
    for (bool second : {false, true}) {
        game.course.OnSecondSong = second;
        game.course.FirstSongNo = 3;
        game.course.FirstSongScore = 123;
        EXPECT_FALSE(CourseProgress(game, true, {7, 0}, 999999).has_value());
        EXPECT_EQ(game.course.OnSecondSong, second);
        EXPECT_EQ(game.course.FirstSongNo, 3);
        EXPECT_EQ(game.course.FirstSongScore, 123);
    }
    EXPECT_EQ(game.form.Label[5].Caption, "\r\n\r\n\r\n");
    EXPECT_EQ(hp.clock.Now(), 0) << "an auto play goes straight back to the pick";
}

TEST_F(CourseProgressTest, FirstSongIsRememberedForTheSecondPick) {
    EXPECT_FALSE(CourseProgress(game, false, {4, 1}, 654321).has_value());
    EXPECT_TRUE(game.course.OnSecondSong);
    EXPECT_EQ(game.course.FirstSongNo, 4);
    EXPECT_EQ(game.course.FirstSongScore, 654321);
    EXPECT_FALSE(std::filesystem::exists(dir.File("score.dat")));
}

TEST_F(CourseProgressTest, SameSongTwiceEndsWithoutATotal) {
    game.course.OnSecondSong = true;
    game.course.FirstSongNo = 2;
    game.course.FirstSongScore = 900000;
    game.scores.CourseHighScores[1] = 5;
    const double start = hp.clock.Now();
    const auto end = CourseProgress(game, false, {2, 1}, 800000);
    ASSERT_TRUE(end.has_value());
    EXPECT_EQ(end->kind, CourseEnd::Kind::Title);
    EXPECT_EQ(game.form.Label[5].Caption,
              "\r\n\r\n\r\nThanks to your playing!\r\n※選択曲が重複しているので総合点は無効");
    EXPECT_NEAR(hp.clock.Now() - start, 2.0, 0.01);
    EXPECT_EQ(game.scores.CourseHighScores[1], 5);
    EXPECT_FALSE(std::filesystem::exists(dir.File("score.dat")));
    EXPECT_EQ(game.form.Label[5].Left, 3000);
}

TEST_F(CourseProgressTest, TotalAboveTheCourseHighScoreIsSaved) {
    game.course.OnSecondSong = true;
    game.course.FirstSongNo = 6;
    game.course.FirstSongScore = 410000;
    game.scores.CourseHighScores = {1, 700000, 3, 4};
    const double start = hp.clock.Now();
    const auto end = CourseProgress(game, false, {4, 1}, 290001);
    ASSERT_TRUE(end.has_value());
    EXPECT_EQ(end->kind, CourseEnd::Kind::Title);
    EXPECT_EQ(end->firstScore, 410000);
    EXPECT_EQ(end->secondScore, 290001);
    EXPECT_EQ(end->firstSong, 6);
    EXPECT_EQ(end->secondSong, 4);
    const LabelControl& l = game.form.Label[5];
    EXPECT_EQ(l.Caption, "総合700001点\r\nハイスコア達成！\r\nThanks to your playing!");
    EXPECT_EQ(l.Left, 2000);
    EXPECT_EQ(l.FontSize, 32);
    EXPECT_NEAR(hp.clock.Now() - start, 6.0, 0.01);
    EXPECT_EQ(game.scores.CourseHighScores[1], 700001);
    EXPECT_EQ(Saved().CourseHighScores, (std::array<int32_t, 4>{1, 700001, 3, 4}));
}

TEST_F(CourseProgressTest, TotalEqualToTheCourseHighScoreIsNotANewOne) {
    game.course.OnSecondSong = true;
    game.course.FirstSongNo = 6;
    game.course.FirstSongScore = 400000;
    game.scores.CourseHighScores[2] = 700000;
    const auto end = CourseProgress(game, false, {9, 2}, 300000);
    ASSERT_TRUE(end.has_value());
    EXPECT_EQ(game.form.Label[5].Caption, "総合700000点\r\nThanks to your playing!");
    EXPECT_EQ(game.scores.CourseHighScores[2], 700000);
    EXPECT_FALSE(std::filesystem::exists(dir.File("score.dat")));
}

TEST_F(CourseProgressTest, ChallengeCourseKeepsItsOwnCourseHighScore) {
    game.course.ChallengeCourse = true;
    game.course.OnSecondSong = true;
    game.course.FirstSongNo = 8;
    game.course.FirstSongScore = 1700000;
    CourseProgress(game, false, {0, 2}, 1000000);
    EXPECT_EQ(game.scores.CourseHighScores[3], 2700000);
    EXPECT_EQ(game.scores.CourseHighScores[2], 0);
    EXPECT_EQ(Saved().CourseHighScores[3], 2700000);
}

TEST_F(CourseProgressTest, RankingCourseEndsInTheRankingSession) {
    game.course.OnSecondSong = true;
    game.course.FirstSongNo = 5;
    game.course.FirstSongScore = 500000;
    game.scores.CourseHighScores[2] = 2000000;
    const auto end = CourseProgress(game, false, {1, 2}, 600000, true);
    ASSERT_TRUE(end.has_value());
    EXPECT_EQ(end->kind, CourseEnd::Kind::NetRank);
    EXPECT_EQ(end->firstScore, 500000);
    EXPECT_EQ(end->secondScore, 600000);
    EXPECT_EQ(end->firstSong, 5);
    EXPECT_EQ(end->secondSong, 1);
}

TEST_F(CourseProgressTest, ClickDuringTheWaitsIsDispatched) {
    // The waits yield: a click queued for the middle of the total's wait reaches the window's
    // events (which do nothing in the game's state then) and the wait still lasts its 6 s.
    struct Count : FormEvents {
        int clicks = 0;
        void ClickDispatch(ClickSource, int) override { ++clicks; }
        void TimerTick() override {}
        void CloseRequested() override {}
    } events;
    hp.window.SetEvents(&events);
    hp.window.ClickAt(3.0, ClickSource::Label, 5);
    game.course.OnSecondSong = true;
    game.course.FirstSongNo = 1;
    CourseProgress(game, false, {2, 0}, 10);
    EXPECT_EQ(events.clicks, 1);
    EXPECT_GE(hp.clock.Now(), 6.0);
}

}  // namespace
}  // namespace zb
