#include "core/file_replace.hpp"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>

#include "tests/common/temp_dir.hpp"

namespace zb {
namespace {

using testing::TempDir;

std::string Bytes(int n, int seed) {
    std::string s;
    for (int i = 0; i < n; ++i) s.push_back(char((i * 7 + seed) & 0xFF));
    return s;
}

// A write call that accepts `limit` bytes in all and then fails like a full disk.
FileWriteFn DiskFullAfter(size_t limit) {
    auto written = std::make_shared<size_t>(0);
    return [=](int fd, const void* data, size_t size) -> ssize_t {
        if (*written >= limit) {
            errno = ENOSPC;
            return -1;
        }
        const size_t n = std::min(size, limit - *written);
        const ssize_t r = ::write(fd, data, n);
        if (r > 0) *written += size_t(r);
        return r;
    };
}

TEST(ReplaceFileContents, CreatesAndReplacesWholeFilesLeavingNothingElse) {
    TempDir dir;
    ASSERT_TRUE(ReplaceFileContents(dir.File("a.dat"), Bytes(296, 1)));
    EXPECT_EQ(dir.Read("a.dat"), Bytes(296, 1));
    // A shorter replacement leaves no trace of the longer old contents.
    ASSERT_TRUE(ReplaceFileContents(dir.File("a.dat"), Bytes(20, 2)));
    EXPECT_EQ(dir.Read("a.dat"), Bytes(20, 2));
    ASSERT_TRUE(ReplaceFileContents(dir.File("a.dat"), ""));
    EXPECT_EQ(dir.Read("a.dat"), "");
    EXPECT_EQ(dir.Count(), 1);
}

TEST(ReplaceFileContents, KeepsTheOldFilesPermissionsAndGivesNewOnesTheUsualOnes) {
    TempDir dir;
    ASSERT_TRUE(ReplaceFileContents(dir.File("new.dat"), "x"));
    const mode_t mask = ::umask(0);
    ::umask(mask);
    struct stat st {};
    ASSERT_EQ(::stat(dir.File("new.dat").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0666 & ~mask);

    dir.Write("old.dat", "old");
    ::chmod(dir.File("old.dat").c_str(), 0640);
    ASSERT_TRUE(ReplaceFileContents(dir.File("old.dat"), "new"));
    ASSERT_EQ(::stat(dir.File("old.dat").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0640u);
}

TEST(ReplaceFileContents, AFullDiskAtAnyByteLeavesTheOldFileAndNoTemporaryFile) {
    TempDir dir;
    const std::string old = Bytes(296, 3), fresh = Bytes(296, 4);
    dir.Write("score.dat", old);
    for (size_t limit = 0; limit < fresh.size(); ++limit) {
        ScopedFileWriteHook hook(DiskFullAfter(limit));
        ASSERT_FALSE(ReplaceFileContents(dir.File("score.dat"), fresh)) << limit;
        ASSERT_EQ(dir.Read("score.dat"), old) << limit;
        ASSERT_EQ(dir.Count(), 1) << limit;
    }
    // The hook is gone again: the next save goes through.
    EXPECT_TRUE(ReplaceFileContents(dir.File("score.dat"), fresh));
    EXPECT_EQ(dir.Read("score.dat"), fresh);
}

TEST(ReplaceFileContents, ShortWritesAreContinued) {
    TempDir dir;
    ScopedFileWriteHook hook([](int fd, const void* data, size_t size) {
        return ::write(fd, data, std::min<size_t>(size, 3));
    });
    ASSERT_TRUE(ReplaceFileContents(dir.File("c.dat"), Bytes(20, 5)));
    EXPECT_EQ(dir.Read("c.dat"), Bytes(20, 5));
}

TEST(ReplaceFileContents, AProcessKilledAtAnyByteLeavesTheOldFileWhole) {
    TempDir dir;
    const std::string old = Bytes(296, 6), fresh = Bytes(296, 7);
    dir.Write("score.dat", old);
    for (size_t limit = 0; limit < fresh.size(); ++limit) {
        const pid_t pid = ::fork();
        ASSERT_GE(pid, 0);
        if (pid == 0) {
            // The child writes `limit` bytes and dies on the spot, without any cleanup.
            size_t written = 0;
            ScopedFileWriteHook hook([&](int fd, const void* data, size_t size) -> ssize_t {
                if (written >= limit) ::_exit(0);
                const ssize_t r = ::write(fd, data, std::min(size, limit - written));
                if (r > 0) written += size_t(r);
                return r;
            });
            ReplaceFileContents(dir.File("score.dat"), fresh);
            ::_exit(1);  // not reached: the write stops short
        }
        int status = 0;
        ::waitpid(pid, &status, 0);
        ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << limit;
        ASSERT_EQ(dir.Read("score.dat"), old) << limit;
    }
    // The temporary files the dead processes left do not stand in the way of the next save.
    ASSERT_TRUE(ReplaceFileContents(dir.File("score.dat"), fresh));
    EXPECT_EQ(dir.Read("score.dat"), fresh);
}

TEST(ReplaceFileContents, RefusesAFolderInThePlaceOfTheFile) {
    TempDir dir;
    std::filesystem::create_directory(dir.File("score.dat"));
    dir.Write("score.dat/keep", "mine");
    EXPECT_FALSE(ReplaceFileContents(dir.File("score.dat"), "x"));
    EXPECT_TRUE(std::filesystem::is_directory(dir.File("score.dat")));
    EXPECT_EQ(dir.Read("score.dat/keep"), "mine");
    EXPECT_EQ(dir.Count(), 1);
}

TEST(ReplaceFileContents, FailsInAFolderThatCannotBeWritten) {
    TempDir dir;
    dir.Write("config.dat", "old");
    ::chmod(dir.File("").c_str(), 0555);
    const bool enforced = ::access(dir.File("").c_str(), W_OK) != 0;
    if (enforced) {
        EXPECT_FALSE(ReplaceFileContents(dir.File("config.dat"), "new"));
        EXPECT_EQ(dir.Read("config.dat"), "old");
    }
    ::chmod(dir.File("").c_str(), 0755);
    // The superuser ignores folder permissions; a folder of a read-only file system stands in.
    EXPECT_FALSE(ReplaceFileContents("/proc/zb-config.dat", "new"));
    EXPECT_FALSE(ReplaceFileContents(dir.File("missing-folder/config.dat"), "new"));
}

TEST(ReadWholeFile, ReadsRegularFilesOnly) {
    TempDir dir;
    std::string out = "untouched";
    EXPECT_FALSE(ReadWholeFile(dir.File("none"), out));
    std::filesystem::create_directory(dir.File("folder"));
    EXPECT_FALSE(ReadWholeFile(dir.File("folder"), out));
    EXPECT_EQ(out, "untouched");
    const std::string big = Bytes(10000, 8);
    dir.Write("big", big);
    ASSERT_TRUE(ReadWholeFile(dir.File("big"), out));
    EXPECT_EQ(out, big);
}

}  // namespace
}  // namespace zb
