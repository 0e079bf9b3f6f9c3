// The course tables and the cursor over them, on tables built by hand from the song levels.
#include "course/song_list.hpp"

#include <gtest/gtest.h>

#include <vector>

namespace zb {
namespace {

// Levels of songs 0-9 at difficulties 0-3, as the song table gives them.
constexpr int16_t kLevels[10][4] = {{4, 5, 9, 0},   {2, 6, 10, 0}, {3, 7, 9, 0}, {3, 6, 9, 0},
                                    {1, 3, 8, 0},   {2, 5, 8, 0},  {1, 3, 8, 0}, {2, 4, 8, 0},
                                    {3, 7, 10, 11}, {2, 6, 10, 0}};

SongList MakeList(int16_t course, bool challenge) {
    SongList list;
    list.challenge = challenge;
    list.difficulty = challenge ? 0 : course;
    for (int s = 0; s < 10; ++s)
        for (int d = 0; d < 4; ++d) list.Stars[s][d] = kLevels[s][d];
    list.Order = CourseOrder(course, challenge);
    return list;
}

std::vector<int> Walk(const SongList& list, int start, int dir, int steps) {
    std::vector<int> songs;
    int index = start;
    for (int i = 0; i < steps; ++i) {
        index = list.Step(index, dir);
        songs.push_back(list.Order[index]);
    }
    return songs;
}

TEST(SongList, EveryOrderListRisesInLevelAndHoldsEachChartOnce) {
    for (int course = 0; course < 4; ++course) {
        const bool challenge = course == 3;
        const SongList list = MakeList(challenge ? 0 : int16_t(course), challenge);
        std::vector<int> seen;
        int last = 0;
        for (int i = 0; i < list.Length(); ++i) {
            EXPECT_TRUE(list.Offered(i)) << "course " << course << " entry " << i;
            EXPECT_GE(list.LevelAt(i), last) << "course " << course << " entry " << i;
            last = list.LevelAt(i);
            for (int s : seen) EXPECT_NE(s, list.Order[i]);
            seen.push_back(list.Order[i]);
        }
        EXPECT_EQ(list.Count(), challenge ? 31 : 10);
    }
}

TEST(SongList, EasyCourseStartsOnSongSixAndWrapsBothWays) {
    const SongList list = MakeList(0, false);
    const int first = list.FirstIndex();
    EXPECT_EQ(first, 0);
    EXPECT_EQ(list.SongAt(first), 6);
    EXPECT_EQ(list.LevelAt(first), 1);
    EXPECT_EQ(list.Position(first), 1);

    const int left = list.Step(first, -1);
    EXPECT_EQ(list.SongAt(left), 0);
    EXPECT_EQ(list.Position(left), 10);
    EXPECT_EQ(list.LevelAt(left), 4);
    EXPECT_EQ(list.SongAt(list.Step(left, +1)), 6);

    EXPECT_EQ(Walk(list, first, +1, 10), (std::vector<int>{4, 9, 5, 1, 7, 3, 8, 2, 0, 6}));
    EXPECT_EQ(Walk(MakeList(1, false), 0, +1, 3), (std::vector<int>{6, 7, 0}));
    EXPECT_EQ(Walk(MakeList(2, false), 0, -1, 3), (std::vector<int>{1, 9, 8}));
}

TEST(SongList, ChallengeCourseRunsFromSongSixEasyToSongEightFourthChart) {
    const SongList list = MakeList(0, true);
    EXPECT_EQ(list.Length(), 31);
    EXPECT_EQ(list.Count(), 31);
    int index = list.FirstIndex();
    EXPECT_EQ(list.SongAt(index), 6);
    EXPECT_EQ(list.DifficultyAt(index), 0);
    EXPECT_EQ(list.Position(index), 1);
    for (int i = 0; i < 30; ++i) index = list.Step(index, +1);
    EXPECT_EQ(list.SongAt(index), 8);
    EXPECT_EQ(list.DifficultyAt(index), 3);
    EXPECT_EQ(list.LevelAt(index), 11);
    EXPECT_EQ(list.Position(index), 31);
    // One more step wraps to the first entry; Left from the first lands on the last.
    EXPECT_EQ(list.Step(index, +1), 0);
    EXPECT_EQ(list.Step(0, -1), 30);
    // Entry 11 is song 0 at difficulty 0, entry 13 song 0 at difficulty 1.
    EXPECT_EQ(list.SongAt(11), 0);
    EXPECT_EQ(list.DifficultyAt(11), 0);
    EXPECT_EQ(list.SongAt(13), 0);
    EXPECT_EQ(list.DifficultyAt(13), 1);
}

TEST(SongList, RankingSecondPickWithdrawsTheFirstSong) {
    SongList list = MakeList(2, false);
    list.Withdraw(5, 2);
    EXPECT_EQ(list.Count(), 9);
    const int first = list.FirstIndex();
    EXPECT_EQ(first, 1);
    EXPECT_EQ(list.SongAt(first), 4);
    // Around the whole list both ways, never landing on song 5, and calling back on every
    // single step, the skipped one included.
    for (int dir : {+1, -1}) {
        int index = first, calls = 0;
        std::vector<int> visited;
        for (int i = 0; i < 9; ++i) {
            index = list.Step(index, dir, [&] { ++calls; });
            EXPECT_NE(list.SongAt(index), 5);
            visited.push_back(list.SongAt(index));
        }
        EXPECT_EQ(list.SongAt(index), 4) << "nine steps go round the nine songs";
        EXPECT_EQ(calls, 10) << "the withdrawn entry costs one extra step";
    }
    // Song 4 withdrawn instead: the list still starts on song 5 at index 0.
    SongList other = MakeList(2, false);
    other.Withdraw(4, 2);
    EXPECT_EQ(other.FirstIndex(), 0);
    EXPECT_EQ(other.SongAt(other.Step(0, +1)), 6);
}

TEST(SongList, ListWithNothingOfferedDoesNotHang) {
    SongList list = MakeList(0, false);
    for (auto& s : list.Stars) s = {0, 0, 0, 0};
    EXPECT_EQ(list.Count(), 0);
    EXPECT_EQ(list.Step(3, +1), 3);
    EXPECT_EQ(list.FirstIndex(), 0);
}

TEST(SongList, BuiltTablesTakeTheSongTableLevels) {
    for (int course = 0; course < 4; ++course) {
        const bool challenge = course == 3;
        const SongList built = BuildSongList(challenge ? 0 : int16_t(course), challenge);
        const SongList expected = MakeList(challenge ? 0 : int16_t(course), challenge);
        EXPECT_EQ(built.Stars, expected.Stars) << "course " << course;
        EXPECT_EQ(built.Order, expected.Order) << "course " << course;
        EXPECT_EQ(built.challenge, challenge);
        for (int song = 10; song < SongList::kSongs; ++song)
            EXPECT_EQ(built.Stars[song], (std::array<int16_t, 4>{})) << "song " << song;
    }
    EXPECT_EQ(BuildSongList(2, false).difficulty, 2);
}

TEST(SongList, UnknownCourseIsRefused) {
    EXPECT_THROW(CourseOrder(3, false), std::out_of_range);
    EXPECT_THROW(CourseOrder(-1, false), std::out_of_range);
}

}  // namespace
}  // namespace zb
