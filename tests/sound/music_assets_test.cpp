// The committed music and hit sounds are the generator's output for today's charts and song
// table: a chart edited without regenerating the music would put the percussion off the notes.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

namespace {

std::string Read(const std::filesystem::path& p) {
    std::ifstream in(p, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), {});
}

}  // namespace

TEST(MusicAssets, AreWhatMusicgenWritesFromTheCharts) {
    namespace fs = std::filesystem;
    const fs::path out = fs::path(ZB_BINARY_DIR) / "test_musicgen_out";
    fs::remove_all(out);
    const std::string cmd =
        std::string(ZB_BINARY_DIR) + "/tools/musicgen " + out.string() + " > /dev/null";
    ASSERT_EQ(std::system(cmd.c_str()), 0);
    const fs::path committed = fs::path(ZB_SOURCE_DIR) / "assets" / "sound";
    int files = 0;
    for (const auto& e : fs::directory_iterator(out)) {
        ++files;
        EXPECT_TRUE(Read(e.path()) == Read(committed / e.path().filename()))
            << e.path().filename() << " differs: run build/tools/musicgen assets/sound";
    }
    EXPECT_EQ(files, 15);  // ten songs, title, story, the delay check's beat, don, kan
}
