// What follows a song's results: the second pick, the duplicate notice, the course total and the
// course high score with its score.dat.
#include "course/course_progress.hpp"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "core/score_file.hpp"
#include "platform/headless/headless.hpp"
#include "temp_app_dir.hpp"
#include "tests/common/read_file.hpp"

namespace zb {
namespace {

using testing::ReadFile;

class CourseProgressTest : public ::testing::Test {
  protected:
    testing::TempAppDir dir;
    headless::HeadlessPlatform hp{dir.Path()};
    Game game{hp.ports};
    CourseState place;
    Course course;

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
        place.OnSecondSong = second;
        place.FirstSongNo = 3;
        place.FirstSongScore = 123;
        EXPECT_FALSE(CourseProgress(game, place, course, true, {7, 0}, 999999).end.has_value());
        EXPECT_EQ(place.OnSecondSong, second);
        EXPECT_EQ(place.FirstSongNo, 3);
        EXPECT_EQ(place.FirstSongScore, 123);
    }
    EXPECT_EQ(game.form.Label[5].Caption, "\r\n\r\n\r\n");
    EXPECT_EQ(hp.clock.Now(), 0) << "an auto play goes straight back to the pick";
}

TEST_F(CourseProgressTest, FirstSongIsRememberedForTheSecondPick) {
    EXPECT_FALSE(CourseProgress(game, place, course, false, {4, 1}, 654321).end.has_value());
    EXPECT_TRUE(place.OnSecondSong);
    EXPECT_EQ(place.FirstSongNo, 4);
    EXPECT_EQ(place.FirstSongScore, 654321);
    EXPECT_FALSE(std::filesystem::exists(dir.File("score.dat")));
}

TEST_F(CourseProgressTest, SameSongTwiceEndsWithoutATotal) {
    place.OnSecondSong = true;
    place.FirstSongNo = 2;
    place.FirstSongScore = 900000;
    game.scores.CourseHighScores[1] = 5;
    const CourseStep step = CourseProgress(game, place, course, false, {2, 1}, 800000);
    const auto& end = step.end;
    ASSERT_TRUE(end.has_value());
    EXPECT_EQ(end->kind, CourseEnd::Kind::Title);
    EXPECT_EQ(game.form.Label[5].Caption,
              "\r\n\r\n\r\nThanks to your playing!\r\n※選択曲が重複しているので総合点は無効");
    EXPECT_EQ(step.waitSeconds, 2.0);
    EXPECT_EQ(game.scores.CourseHighScores[1], 5);
    EXPECT_FALSE(std::filesystem::exists(dir.File("score.dat")));
    EXPECT_EQ(game.form.Label[5].Left, 3000);
}

TEST_F(CourseProgressTest, TotalAboveTheCourseHighScoreIsSaved) {
    place.OnSecondSong = true;
    place.FirstSongNo = 6;
    place.FirstSongScore = 410000;
    game.scores.CourseHighScores = {1, 700000, 3, 4};
    const CourseStep step = CourseProgress(game, place, course, false, {4, 1}, 290001);
    const auto& end = step.end;
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
    EXPECT_EQ(step.waitSeconds, 6.0);
    EXPECT_EQ(hp.clock.Now(), 0) << "the course screen waits, not the progress";
    EXPECT_EQ(game.scores.CourseHighScores[1], 700001);
    EXPECT_EQ(Saved().CourseHighScores, (std::array<int32_t, 4>{1, 700001, 3, 4}));
}

TEST_F(CourseProgressTest, TotalEqualToTheCourseHighScoreIsNotANewOne) {
    place.OnSecondSong = true;
    place.FirstSongNo = 6;
    place.FirstSongScore = 400000;
    game.scores.CourseHighScores[2] = 700000;
    const auto end = CourseProgress(game, place, course, false, {9, 2}, 300000).end;
    ASSERT_TRUE(end.has_value());
    EXPECT_EQ(game.form.Label[5].Caption, "総合700000点\r\nThanks to your playing!");
    EXPECT_EQ(game.scores.CourseHighScores[2], 700000);
    EXPECT_FALSE(std::filesystem::exists(dir.File("score.dat")));
}

TEST_F(CourseProgressTest, ChallengeCourseKeepsItsOwnCourseHighScore) {
    course.challenge = true;
    place.OnSecondSong = true;
    place.FirstSongNo = 8;
    place.FirstSongScore = 1700000;
    CourseProgress(game, place, course, false, {0, 2}, 1000000);
    EXPECT_EQ(game.scores.CourseHighScores[3], 2700000);
    EXPECT_EQ(game.scores.CourseHighScores[2], 0);
    EXPECT_EQ(Saved().CourseHighScores[3], 2700000);
}

TEST_F(CourseProgressTest, RankingCourseEndsInTheRankingSession) {
    place.OnSecondSong = true;
    place.FirstSongNo = 5;
    place.FirstSongScore = 500000;
    game.scores.CourseHighScores[2] = 2000000;
    course = {.difficulty = 2, .ranking = true};
    const auto end = CourseProgress(game, place, course, false, {1, 2}, 600000).end;
    ASSERT_TRUE(end.has_value());
    EXPECT_EQ(end->kind, CourseEnd::Kind::NetRank);
    EXPECT_EQ(end->firstScore, 500000);
    EXPECT_EQ(end->secondScore, 600000);
    EXPECT_EQ(end->firstSong, 5);
    EXPECT_EQ(end->secondSong, 1);
}

}  // namespace
}  // namespace zb
