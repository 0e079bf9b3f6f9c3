#include "core/score_file.hpp"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>

#include "core/file_replace.hpp"
#include "platform/headless/headless.hpp"
#include "tests/common/temp_dir.hpp"

namespace zb {
namespace {

using testing::TempDir;

int32_t Item(const std::string& bytes, int k) {
    uint32_t u = 0;
    for (int b = 0; b < 4; ++b) u |= uint32_t(uint8_t(bytes[size_t(k * 4 + b)])) << (8 * b);
    return int32_t(u);
}

std::string Items(std::initializer_list<std::pair<int, int32_t>> set, int count = kScoreItems) {
    std::string s(size_t(count) * 4, '\0');
    for (auto [k, v] : set)
        for (int b = 0; b < 4; ++b) s[size_t(k * 4 + b)] = char((uint32_t(v) >> (8 * b)) & 0xFF);
    return s;
}

struct ScoreFileTest : ::testing::Test {
    TempDir dir;
    headless::HeadlessPlatform hp{dir.Dir()};
    Game game{hp.ports};

    // Every entry distinct, none touched by the repairs.
    void FillDistinct() {
        for (int c = 0; c < 7; ++c)
            for (int s = 0; s < 10; ++s)
                game.scores.HighScores[size_t(c)][size_t(s)] = 1000 * c + s + 1;
        for (int k = 0; k < 4; ++k) game.scores.CourseHighScores[size_t(k)] = 900000 + k;
    }
};

TEST_F(ScoreFileTest, WritesThe74ItemsInFileOrder) {
    FillDistinct();
    game.scores.HighScores[2][9] = -5;  // negative values are stored as two's complement
    SaveScores(game);
    const std::string f = dir.Read("score.dat");
    ASSERT_EQ(f.size(), 296u);
    EXPECT_EQ(Item(f, 0), 900000);
    EXPECT_EQ(Item(f, 2), 900002);
    EXPECT_EQ(Item(f, 33), 900003);
    EXPECT_EQ(Item(f, 3), game.scores.HighScores[0][0]);
    EXPECT_EQ(Item(f, 3 + 3 * 4 + 1), game.scores.HighScores[1][4]);
    EXPECT_EQ(Item(f, 32), -5);
    EXPECT_EQ(Item(f, 34), game.scores.HighScores[3][0]);
    EXPECT_EQ(Item(f, 34 + 3 * 7 + 2), game.scores.HighScores[5][7]);
    EXPECT_EQ(Item(f, 64), game.scores.HighScores[6][0]);
    EXPECT_EQ(Item(f, 73), game.scores.HighScores[6][9]);
    EXPECT_EQ(f[32 * 4 + 3], char(0xFF));

    Game other(hp.ports);
    ASSERT_TRUE(LoadScores(other));
    EXPECT_EQ(other.scores.HighScores, game.scores.HighScores);
    EXPECT_EQ(other.scores.CourseHighScores, game.scores.CourseHighScores);
    EXPECT_EQ(dir.Count(), 1);
}

TEST_F(ScoreFileTest, RepairsTheTwoOverGenerousEntriesAtTheirLimits) {
    struct Case {
        int32_t stored00, stored15, read00, read15;
    } cases[] = {
        {400001, 600000, 0, 500000},
        {400000, 500000, 400000, 500000},
        {123, 500001, 123, 416668},  // 416667.5 -> nearest even
        {0, 500007, 0, 416672},      // 416672.5 -> nearest even
        {2147483647, 2147483647, 0, 1789569706},
    };
    for (const Case& c : cases) {
        dir.Write("score.dat", Items({{3, c.stored00}, {3 + 3 * 5 + 1, c.stored15}}));
        ASSERT_TRUE(LoadScores(game));
        EXPECT_EQ(game.scores.HighScores[0][0], c.read00) << c.stored00;
        EXPECT_EQ(game.scores.HighScores[1][5], c.read15) << c.stored15;
    }
}

TEST_F(ScoreFileTest, ReadingThenWritingGivesTheSameBytesButForTheRepairs) {
    std::string f(296, '\0');
    for (size_t i = 0; i < f.size(); ++i) f[i] = char((i * 37 + 11) & 0xFF);
    // Items 3 (HighScores(0, 0)) and 19 (HighScores(1, 5)) are large here and get repaired.
    dir.Write("score.dat", f);
    ASSERT_TRUE(LoadScores(game));
    SaveScores(game);
    const std::string g = dir.Read("score.dat");
    ASSERT_EQ(g.size(), 296u);
    for (int k = 0; k < kScoreItems; ++k) {
        if (k == 3 || k == 19) continue;
        EXPECT_EQ(Item(g, k), Item(f, k)) << k;
    }
    EXPECT_EQ(Item(g, 3), Item(f, 3) > 400000 ? 0 : Item(f, 3));
    EXPECT_EQ(Item(g, 19), game.scores.HighScores[1][5]);
}

TEST_F(ScoreFileTest, ShortAndLongFiles) {
    // A short file: the items it holds are read, the rest (even a cut item) read 0.
    dir.Write("score.dat", Items({{0, 777}, {1, 0x01020304}}, 2).substr(0, 6));
    ASSERT_TRUE(LoadScores(game));
    EXPECT_EQ(game.scores.CourseHighScores[0], 777);
    EXPECT_EQ(game.scores.CourseHighScores[1], 0x0304);
    EXPECT_EQ(game.scores.HighScores[6][9], 0);

    // An empty file reads as all zeros, without failure.
    game.scores.CourseHighScores[2] = 5;
    dir.Write("score.dat", "");
    ASSERT_TRUE(LoadScores(game));
    EXPECT_EQ(game.scores.CourseHighScores[2], 0);

    // A longer file: only the first 296 bytes count, and a save keeps what lies beyond.
    const std::string tail = "bytes of a later version";
    dir.Write("score.dat", Items({{73, 42}}) + tail);
    ASSERT_TRUE(LoadScores(game));
    EXPECT_EQ(game.scores.HighScores[6][9], 42);
    game.scores.CourseHighScores[0] = 1234;
    SaveScores(game);
    const std::string g = dir.Read("score.dat");
    ASSERT_EQ(g.size(), 296 + tail.size());
    EXPECT_EQ(Item(g, 0), 1234);
    EXPECT_EQ(g.substr(296), tail);
}

TEST_F(ScoreFileTest, AHugeFileIsReadOnlyAsFarAsTheTable) {
    dir.Write("score.dat", Items({{0, 31}, {73, 37}}));
    ASSERT_EQ(::truncate(dir.File("score.dat").c_str(), 3LL << 30), 0);  // sparse: costs no disk
    ASSERT_TRUE(LoadScores(game));
    EXPECT_EQ(game.scores.CourseHighScores[0], 31);
    EXPECT_EQ(game.scores.HighScores[6][9], 37);
}

TEST_F(ScoreFileTest, MissingFolderOrUnreadableFileFailsWithoutTouchingTheTables) {
    game.scores.CourseHighScores[1] = 55;
    EXPECT_FALSE(LoadScores(game));  // missing
    EXPECT_FALSE(dir.Exists("score.dat"));

    std::filesystem::create_directory(dir.File("score.dat"));
    EXPECT_FALSE(LoadScores(game));
    EXPECT_EQ(game.scores.CourseHighScores[1], 55);
    SaveScores(game);  // fails and keeps the tables
    EXPECT_TRUE(std::filesystem::is_directory(dir.File("score.dat")));
    EXPECT_EQ(dir.Count(), 1);
    std::filesystem::remove(dir.File("score.dat"));

    dir.Write("score.dat", Items({{1, 99}}));
    ::chmod(dir.File("score.dat").c_str(), 0);
    if (::access(dir.File("score.dat").c_str(), R_OK) != 0) {  // not for the superuser
        EXPECT_FALSE(LoadScores(game));
        EXPECT_EQ(game.scores.CourseHighScores[1], 55);
    }
}

TEST_F(ScoreFileTest, AFailedSaveSaysWhichFileAndWhyAndKeepsTheTables) {
    FillDistinct();
    const HighScoreTables before = game.scores;
    const std::string path = dir.File("score.dat");
    std::filesystem::create_directory(path);
    ::testing::internal::CaptureStderr();
    SaveScores(game);
    EXPECT_EQ(::testing::internal::GetCapturedStderr(),
              "zubakko: could not save " + path +
                  ": not a regular file; the high scores are kept in memory\n");
    std::filesystem::remove(path);
    {
        ScopedFileWriteHook full([](int, const void*, size_t) -> ssize_t {
            errno = ENOSPC;
            return -1;
        });
        ::testing::internal::CaptureStderr();
        SaveScores(game);
    }
    const std::string err = ::testing::internal::GetCapturedStderr();
    EXPECT_NE(err.find(path + ": " + std::strerror(ENOSPC)), std::string::npos) << err;
    EXPECT_EQ(game.scores.HighScores, before.HighScores);
    EXPECT_EQ(game.scores.CourseHighScores, before.CourseHighScores);
}

TEST_F(ScoreFileTest, ASaveCutShortAtAnyByteLeavesThePreviousTablesReadable) {
    FillDistinct();
    SaveScores(game);
    const HighScoreTables before = game.scores;
    game.scores.CourseHighScores[0] = 999999;
    game.scores.HighScores[4][4] = 1;

    for (int limit = 0; limit < kScoreFileSize; limit += 5) {
        // A full disk...
        {
            int written = 0;
            ScopedFileWriteHook full([&](int fd, const void* d, size_t n) -> ssize_t {
                if (written >= limit) {
                    errno = ENOSPC;
                    return -1;
                }
                const ssize_t r = ::write(fd, d, std::min<size_t>(n, size_t(limit - written)));
                if (r > 0) written += int(r);
                return r;
            });
            SaveScores(game);
        }
        // ...or the program dying part way.
        const pid_t pid = ::fork();
        ASSERT_GE(pid, 0);
        if (pid == 0) {
            int written = 0;
            ScopedFileWriteHook die([&](int fd, const void* d, size_t n) -> ssize_t {
                if (written >= limit) ::_exit(0);
                const ssize_t r = ::write(fd, d, std::min<size_t>(n, size_t(limit - written)));
                if (r > 0) written += int(r);
                return r;
            });
            SaveScores(game);
            ::_exit(1);
        }
        int status = 0;
        ::waitpid(pid, &status, 0);
        ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);

        Game later(hp.ports);
        ASSERT_TRUE(LoadScores(later)) << limit;
        ASSERT_EQ(later.scores.HighScores, before.HighScores) << limit;
        ASSERT_EQ(later.scores.CourseHighScores, before.CourseHighScores) << limit;
    }
    // Once the disk has room again the save goes through.
    SaveScores(game);
    Game later(hp.ports);
    ASSERT_TRUE(LoadScores(later));
    EXPECT_EQ(later.scores.CourseHighScores[0], 999999);
}

}  // namespace
}  // namespace zb
