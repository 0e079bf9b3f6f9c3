// A long session in one process: a hundred songs in a row by auto play on the headless platform
// (its virtual clock runs each song in a fraction of a second), with the real pictures and
// sounds. What a play takes, it gives back: memory stays where it stood after the tenth song,
// and every file and thread it opened is closed again.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "core/songs.hpp"
#include "tests/common/temp_dir.hpp"
#include "tools/play/play_tool.hpp"

namespace zb::tool {
namespace {

namespace fs = std::filesystem;

// A field of /proc/self/status ("RssAnon", "Threads") as a number (kB for sizes).
long Status(const std::string& field) {
    std::ifstream in("/proc/self/status");
    for (std::string line; std::getline(in, line);)
        if (line.rfind(field + ":", 0) == 0) return std::stol(line.substr(field.size() + 1));
    return -1;
}

long OpenFiles() {
    long n = 0;
    for ([[maybe_unused]] const auto& e : fs::directory_iterator("/proc/self/fd")) ++n;
    return n;
}

TEST(Soak, AHundredSongsInARowGiveBackTheirMemoryFilesAndThreads) {
    zb::testing::TempDir dir;
    for (const char* sub : {"img", "sound"})
        fs::create_directory_symlink(fs::path(ZB_SOURCE_DIR) / "assets" / sub, dir.File(sub));
    const long files = OpenFiles(), threads = Status("Threads");
    long afterTenth = 0;
    int played = 0;
    for (int round = 0; played < 100; ++round) {
        Options o;
        o.song = int16_t(round % kSongCount);
        o.difficulty = int16_t(round / kSongCount % 3);
        o.autoPlay = true;
        if (!HasChart({.song = o.song, .difficulty = o.difficulty})) continue;
        const SongResult r = PlayChart(o, {}, dir.Dir());
        ASSERT_GT(r.ShownScore, 0) << "song " << o.song << " difficulty " << o.difficulty;
        if (++played == 10) afterTenth = Status("RssAnon");
    }
    const long afterHundredth = Status("RssAnon");
    EXPECT_LE(afterHundredth - afterTenth, 5 * 1024)
        << "RssAnon " << afterTenth << " kB after the 10th song, " << afterHundredth
        << " kB after the 100th";
    EXPECT_EQ(OpenFiles(), files);
    EXPECT_EQ(Status("Threads"), threads);
}

}  // namespace
}  // namespace zb::tool
