// The songs folder read in the background with its cache: what is read once is never read again,
// a changed file is read again under its place, a vanished one is reported, a damaged cache is
// rebuilt and a newer one left alone; linked folders are followed and a link loop walked once.
#include "core/own_song_scan.hpp"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <thread>

#include "core/own_song_cache.hpp"
#include "core/own_song_folder.hpp"
#include "platform/fault_switch.hpp"
#include "tests/common/temp_dir.hpp"
#include "tests/common/typical_song.hpp"

namespace zb {
namespace {

namespace fs = std::filesystem;

std::string Song(const std::string& name, int bars = 24) {
    testing::TypicalSong t;
    t.bars = bars;
    t.extraParts = 1;
    t.name = name;
    return testing::TypicalSongBytes(t);
}

std::vector<std::string> Titles(const std::vector<OwnSong>& songs) {
    std::vector<std::string> out;
    for (const OwnSong& s : songs) out.push_back(s.title);
    return out;
}

// One scan to its end: what the cache knew and what was read.
struct Scanned {
    std::vector<OwnSong> known;
    OwnSongScan::News news;
};

Scanned ScanOnce(const std::string& folder, const std::string& cache) {
    OwnSongScan scan(folder, cache);
    Scanned out;
    out.known = scan.TakeKnown();
    scan.WaitFinished();
    out.news = scan.Take();
    return out;
}

TEST(OwnSongCache, ReadsBackWhatItKeptAndRefusesDamageAndNewerVersions) {
    OwnSong a;
    a.path = "/games/songs/rock/a\tb.mid";
    a.title = "タイトル\twith\ttabs\nand a line\\";
    a.id = "0123456789abcdef";
    a.playable = true;
    a.levels = {2, 5, 9};
    a.notes = {100, 200, 3000};
    a.stamp = {12345, 1700000000123456789, 0xfeedbeefull};
    a.chartVersion = kOwnChartVersion;
    a.lastPlayed = 1700000000;
    OwnSong b;
    b.path = "/elsewhere/b.mid";  // outside the folder (a tool's file): kept whole
    b.title = "b";
    b.reason = "音符がありません";
    b.stamp.size = 10;
    OwnSong never;  // never read: not kept
    never.path = "/games/songs/c.mid";
    const std::string bytes = EncodeOwnSongCache({a, b, never}, "/games/songs/");
    EXPECT_NE(bytes.find("\nrock/a\\tb.mid\t"), std::string::npos);

    std::vector<OwnSong> back;
    std::string why;
    ASSERT_EQ(DecodeOwnSongCache(bytes, "/games/songs/", back, why), OwnCacheRead::Read) << why;
    ASSERT_EQ(back.size(), 2u);
    for (size_t i = 0; i < 2; ++i) {
        const OwnSong& want = i == 0 ? a : b;
        EXPECT_EQ(back[i].path, want.path);
        EXPECT_EQ(back[i].title, want.title);
        EXPECT_EQ(back[i].id, want.id);
        EXPECT_EQ(back[i].playable, want.playable);
        EXPECT_EQ(back[i].reason, want.reason);
        EXPECT_EQ(back[i].levels, want.levels);
        EXPECT_EQ(back[i].notes, want.notes);
        EXPECT_EQ(back[i].stamp, want.stamp);
        EXPECT_EQ(back[i].chartVersion, want.chartVersion);
        EXPECT_EQ(back[i].lastPlayed, want.lastPlayed);
    }

    // Any changed byte, a cut, or a row gone is damage: nothing of it is trusted.
    for (size_t at : {size_t(30), bytes.size() / 2, bytes.size() - 3}) {
        std::string bad = bytes;
        bad[at] ^= 1;
        EXPECT_EQ(DecodeOwnSongCache(bad, "/games/songs/", back, why), OwnCacheRead::Damaged) << at;
        EXPECT_TRUE(back.empty());
    }
    EXPECT_EQ(DecodeOwnSongCache(bytes.substr(0, bytes.size() - 10), "/", back, why),
              OwnCacheRead::Damaged);
    EXPECT_EQ(DecodeOwnSongCache("", "/", back, why), OwnCacheRead::Damaged);
    EXPECT_EQ(DecodeOwnSongCache("zubakko own-song cache 99\nwhatever", "/", back, why),
              OwnCacheRead::Newer);

    // A level no chart has is damage too, even under a good hash (found by tests/file_fuzz).
    OwnSong odd = a;
    odd.levels = {2, 5, 200};
    EXPECT_EQ(DecodeOwnSongCache(EncodeOwnSongCache({odd}, "/games/songs/"), "/games/songs/", back,
                                 why),
              OwnCacheRead::Damaged);
    odd.levels = {-1, 5, 9};
    EXPECT_EQ(DecodeOwnSongCache(EncodeOwnSongCache({odd}, "/games/songs/"), "/games/songs/", back,
                                 why),
              OwnCacheRead::Damaged);
}

TEST(OwnSongScan, ReadsOnlyWhatIsNewOrChangedAndFollowsLinksOnce) {
    testing::TempDir dir;
    const fs::path songs = dir.File("songs"), outside = dir.File("collection");
    fs::create_directories(songs / "b_folder");
    fs::create_directories(outside);
    std::ofstream(songs / "a.mid", std::ios::binary) << Song("Alpha");
    std::ofstream(songs / "b_folder" / "b.mid", std::ios::binary) << Song("Beta");
    std::ofstream(songs / "broken.mid", std::ios::binary) << "MThd\0\0";
    std::ofstream(outside / "c.midi", std::ios::binary) << Song("Gamma");
    fs::create_directory_symlink(outside, songs / "linked");
    fs::create_directory_symlink(songs, songs / "b_folder" / "loop");  // back to the top
    const std::string folder = songs.string() + "/", cache = dir.File("songcache.dat");

    // Cold: every file read once, in path order; the linked folder's file too, the loop not again.
    Scanned first = ScanOnce(folder, cache);
    EXPECT_TRUE(first.known.empty());
    EXPECT_EQ(Titles(first.news.read),
              (std::vector<std::string>{"Alpha", "Beta", "broken", "Gamma"}));
    EXPECT_EQ(first.news.total, 4u);
    EXPECT_FALSE(first.news.read[2].playable);
    EXPECT_FALSE(first.news.read[2].reason.empty());
    ASSERT_TRUE(dir.Exists("songcache.dat"));

    // Warm: all known at once, none read again.
    Scanned second = ScanOnce(folder, cache);
    EXPECT_EQ(Titles(second.known), Titles(first.news.read));
    EXPECT_EQ(second.known[0].levels, first.news.read[0].levels);
    EXPECT_EQ(second.news.total, 0u);
    EXPECT_TRUE(second.news.read.empty());

    // A changed file and a chart file beside another are read again; a new one joins; a
    // deleted one is gone.
    std::ofstream(songs / "a.mid", std::ios::binary) << Song("Alpha 2", 32);
    std::ofstream(songs / "b_folder" / "b_d0.txt", std::ios::binary)
        << "0000000000\n6000000000200000000010000000002\n";
    std::ofstream(songs / "new.mid", std::ios::binary) << Song("New");
    fs::remove(songs / "broken.mid");
    Scanned third = ScanOnce(folder, cache);
    EXPECT_EQ(Titles(third.news.read), (std::vector<std::string>{"Alpha 2", "Beta", "New"}));
    EXPECT_EQ(third.news.read[1].notes[0], 4);
    EXPECT_EQ(third.news.gone, std::vector<std::string>{folder + "broken.mid"});

    // A damaged cache is rebuilt: everything read again, and the new cache reads.
    std::string bytes = dir.Read("songcache.dat");
    bytes[bytes.size() / 2] ^= 0x20;
    dir.Write("songcache.dat", bytes);
    Scanned fourth = ScanOnce(folder, cache);
    EXPECT_TRUE(fourth.known.empty());
    EXPECT_EQ(fourth.news.total, 4u);
    EXPECT_EQ(ScanOnce(folder, cache).news.total, 0u);

    // A row whose charts another chart builder made is read again.
    std::vector<OwnSong> rows;
    std::string why;
    ASSERT_EQ(DecodeOwnSongCache(dir.Read("songcache.dat"), folder, rows, why), OwnCacheRead::Read)
        << why;
    rows[1].chartVersion = kOwnChartVersion - 1;
    dir.Write("songcache.dat", EncodeOwnSongCache(rows, folder));
    const Scanned rebuilt = ScanOnce(folder, cache);
    ASSERT_EQ(rebuilt.news.read.size(), 1u);
    EXPECT_EQ(rebuilt.news.read[0].path, rows[1].path);
    EXPECT_EQ(rebuilt.news.read[0].chartVersion, kOwnChartVersion);

    // A newer build's cache is left as it is; the songs are read all the same.
    dir.Write("songcache.dat", "zubakko own-song cache 2\nfuture rows\n");
    EXPECT_EQ(ScanOnce(folder, cache).news.read.size(), 4u);
    EXPECT_EQ(dir.Read("songcache.dat"), "zubakko own-song cache 2\nfuture rows\n");
}

TEST(OwnSongScan, APauseHoldsTheReadingAndAPlayIsKept) {
    testing::TempDir dir;
    const fs::path songs = dir.File("songs");
    fs::create_directories(songs);
    for (int i = 0; i < 60; ++i)
        std::ofstream(songs / ("s" + std::to_string(100 + i) + ".mid"), std::ios::binary)
            << Song("Song " + std::to_string(i));
    const std::string folder = songs.string() + "/", cache = dir.File("songcache.dat");
    {
        OwnSongScan scan(folder, cache);
        scan.Pause();
        const size_t done = scan.Take().done;
        std::this_thread::sleep_for(std::chrono::milliseconds(150));
        EXPECT_EQ(scan.Take().done, done);  // nothing read while paused
        scan.Resume();
        scan.WaitFinished();
        EXPECT_EQ(scan.Take().done, 60u);
        scan.NotePlayed(folder + "s105.mid", 1700000123);
    }
    const Scanned again = ScanOnce(folder, cache);
    ASSERT_EQ(again.known.size(), 60u);
    EXPECT_EQ(again.known[5].lastPlayed, 1700000123);
    EXPECT_EQ(again.known[6].lastPlayed, 0);
}

TEST(OwnSongScan, AFileTheScanFailsOnIsUnplayableForTheRunAndTheRestAreRead) {
    testing::TempDir dir;
    const fs::path songs = dir.File("songs");
    fs::create_directories(songs);
    std::ofstream(songs / "a.mid", std::ios::binary) << Song("Alpha");
    std::ofstream(songs / "b.mid", std::ios::binary) << Song("Beta");
    const std::string folder = songs.string() + "/", cache = dir.File("songcache.dat");

    fault::Arm(fault::Place::Scan);  // the first file read throws
    ::testing::internal::CaptureStderr();
    const Scanned failed = ScanOnce(folder, cache);
    const std::string said = ::testing::internal::GetCapturedStderr();
    EXPECT_EQ(said, "zubakko: could not read " + folder + "a.mid: test fault: scan\n");
    ASSERT_EQ(failed.news.read.size(), 2u);
    EXPECT_EQ(failed.news.read[0].path, folder + "a.mid");
    EXPECT_FALSE(failed.news.read[0].playable);
    EXPECT_EQ(failed.news.read[0].reason, "読めません");
    EXPECT_TRUE(failed.news.read[1].playable);
    EXPECT_TRUE(failed.news.finished);

    // Not kept as unplayable: the next start reads it again.
    const Scanned next = ScanOnce(folder, cache);
    EXPECT_EQ(Titles(next.known), std::vector<std::string>{"Beta"});
    ASSERT_EQ(next.news.read.size(), 1u);
    EXPECT_EQ(next.news.read[0].title, "Alpha");
    EXPECT_TRUE(next.news.read[0].playable);
}

}  // namespace
}  // namespace zb
