// The song select screen with a songs folder being read: the songs join while the screen is open,
// and the player finds one by a search typed through the input method, sorts by title, jumps to
// the ends and pages by ten. What the player sees here is the song whose music previews.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "core/own_song_scan.hpp"
#include "core/own_songs.hpp"
#include "course/song_select.hpp"
#include "course_driver.hpp"
#include "platform/headless/headless.hpp"
#include "temp_app_dir.hpp"
#include "tests/common/typical_song.hpp"

namespace zb {
namespace {

TEST(SongSelectFinder, SongsJoinAndAreFoundSortedAndPaged) {
    testing::TempAppDir dir;
    headless::HeadlessPlatform hp{dir.Path()};
    Game game{hp.ports};
    testing::CourseDriver driver{hp, game};
    auto write = [&](const std::string& name, const std::string& title) {
        std::filesystem::create_directories(
            std::filesystem::path(dir.File("songs/" + name)).parent_path());
        testing::TypicalSong t;
        t.bars = 12;
        t.extraParts = 1;
        t.name = title;
        std::ofstream(dir.File("songs/" + name), std::ios::binary) << testing::TypicalSongBytes(t);
    };
    write("ドラム.mid", "ドラムの歌");
    write("rock/zeta.mid", "Zeta");
    write("pop/alpha.mid", "alpha");
    for (int i = 0; i < 20; ++i)
        write("f/" + std::to_string(10 + i) + ".mid", "filler " + std::to_string(10 + i));

    // Over half a second of a key that does nothing, while the songs are read; then Tab, the
    // search, Enter; S twice (by title), Home, End and Page Up.
    constexpr int kNothing = 'Q', kTab = 9, kHome = 36, kEnd = 35, kPageUp = 33;
    std::vector<int> keys(3, kNothing);  // the driver taps one key every 0.2 s
    for (int k : {kTab, vk::Enter, int('S'), kHome, kEnd, kPageUp}) keys.push_back(k);
    driver.picks = {keys};
    bool typed = false;
    driver.onYield = [&] {
        if (game.ownSongs.scan && hp.clock.Now() < 0.2) game.ownSongs.scan->WaitFinished();
        if (hp.window.TextInput() && !typed) {
            hp.window.Type("ドラ");
            hp.window.Type("む");  // the input method commits in pieces
            typed = true;
        }
        if (hp.clock.Now() > 2.5) throw ProgramEnd{};
    };
    EXPECT_THROW(RunScreen(game, std::make_unique<CourseScreen>(Course{.difficulty = 1})),
                 ProgramEnd);
    EXPECT_TRUE(typed);
    EXPECT_FALSE(hp.window.TextInput()) << "the search line closed with Enter";
    EXPECT_EQ(game.ownSongs.songs.size(), 23u);

    std::vector<std::string> own;
    for (const std::string& f : hp.music.History())
        if (f.find("/songs/") != std::string::npos) own.push_back(f.substr(f.find("/songs/") + 7));
    // Found by the search, then (by title: alpha, filler 10-29, Zeta, ドラムの歌) the last, and ten
    // back from it; Home showed the first built-in song.
    EXPECT_EQ(own, (std::vector<std::string>{"ドラム.mid", "ドラム.mid", "f/21.mid"}));
    EXPECT_EQ(driver.songsStarted, 0) << "the Enter of the search line starts no song";
}

}  // namespace
}  // namespace zb
