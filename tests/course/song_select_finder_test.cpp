// The song select screen with a songs folder being read: the songs join while the screen is open,
// and the player finds one by a search typed through the input method, sorts by title, jumps to
// the ends and pages by ten. What the player sees here is the song whose music previews.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>

#include "core/own_song_scan.hpp"
#include "core/own_songs.hpp"
#include "core/picture_sets.hpp"
#include "core/songs.hpp"
#include "course/song_hyoji.hpp"
#include "course/song_select.hpp"
#include "course_driver.hpp"
#include "platform/headless/headless.hpp"
#include "platform/ttf_text.hpp"
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

// The rows of the foot stripe, where the search line is drawn.
std::vector<uint32_t> FootRows(const Surface& s) {
    const int y0 = SongScreenY0() + 452;
    return std::vector<uint32_t>(s.Row(y0), s.Row(y0 + 44));
}

// A held Page Down repeats as a held arrow does; the search line shows the input method's
// composition as it is typed, and the Enter that commits it does not end the search.
TEST(SongSelectFinder, HeldPageDownRepeatsAndTheCompositionShows) {
    testing::TempAppDir dir;
    TtfText text;
    headless::HeadlessPlatform hp{dir.Path(), &text};
    Game game{hp.ports};
    std::filesystem::create_directories(dir.File("songs"));
    for (int i = 0; i < 80; ++i) {
        testing::TypicalSong t;
        t.bars = 4;
        t.name = "song " + std::to_string(i);
        std::ofstream(dir.File("songs/" + std::to_string(i) + ".mid"), std::ios::binary)
            << testing::TypicalSongBytes(t);
    }
    constexpr int kTab = 9, kPageDown = 34, kNothing = 'Q';
    auto tap = [&](double at, int key) {
        hp.keyboard.At(at, key, true);
        hp.keyboard.At(at + 0.06, key, false);
    };
    tap(0.5, kNothing);                    // the songs read join the list
    hp.keyboard.At(0.7, kPageDown, true);  // held 1 s: at once, then at 0.3 s and every 0.15 s
    hp.keyboard.At(1.7, kPageDown, false);
    tap(1.9, kTab);
    tap(2.1, kNothing);            // the composition begins just before
    tap(2.3, kNothing);            // and is seen just before this
    tap(2.4, vk::Enter);           // the input method's Enter, committing it
    size_t before = 0, after = 0;  // songs previewed before and after the hold
    std::vector<uint32_t> typed, composing;
    bool searching = false;
    hp.window.onYield = [&] {
        const double now = hp.clock.Now();
        if (game.ownSongs.scan && now < 0.2) game.ownSongs.scan->WaitFinished();
        if (now < 0.65) before = hp.music.History().size();
        if (now < 1.8) after = hp.music.History().size();
        if (now >= 2.0 && typed.empty()) {
            hp.window.Present();
            typed = FootRows(hp.window.Screen());
            hp.window.Compose("どら");
        }
        if (now >= 2.2 && composing.empty()) {
            hp.window.Present();
            composing = FootRows(hp.window.Screen());
        }
        if (now >= 2.41 && hp.window.Composition() == "どら") hp.window.Type("どら");
        if (now > 2.8) {
            searching = hp.window.TextInput();
            throw ProgramEnd{};
        }
    };
    EXPECT_THROW(RunScreen(game, std::make_unique<CourseScreen>(Course{.difficulty = 1})),
                 ProgramEnd);
    EXPECT_EQ(after - before, 6u) << "steps while Page Down was held";
    EXPECT_NE(typed, composing) << "the composition is drawn on the search line";
    EXPECT_TRUE(searching) << "the input method's Enter leaves the search line open";
}

// Songs joining while the screen is open redraw the count of entries, and the preview of the song
// shown plays on: its music was started once.
TEST(SongSelectFinder, ThePreviewPlaysOnWhileSongsJoin) {
    testing::TempAppDir dir;
    headless::HeadlessPlatform hp{dir.Path()};
    Game game{hp.ports};
    std::filesystem::create_directories(dir.File("songs"));
    for (int i = 0; i < 30; ++i) {
        testing::TypicalSong t;
        t.bars = 4;
        std::ofstream(dir.File("songs/" + std::to_string(i) + ".mid"), std::ios::binary)
            << testing::TypicalSongBytes(t);
    }
    // The reading is held from the start and let go after a second: the songs read by then join
    // at once, the others about half a second later, each time with the screen drawn again.
    EnsureOwnSongs(game);
    game.ownSongs.scan->Pause();
    size_t heldBack = 0;
    bool held = true;
    hp.window.onYield = [&] {
        if (hp.clock.Now() >= 1.0 && held) {
            held = false;
            heldBack = 30 - game.ownSongs.songs.size();
            game.ownSongs.scan->Resume();
            game.ownSongs.scan->WaitFinished();
        }
        if (hp.clock.Now() > 2.5) throw ProgramEnd{};
    };
    EXPECT_THROW(RunScreen(game, std::make_unique<CourseScreen>(Course{.difficulty = 1})),
                 ProgramEnd);
    // A busy machine may read every song before the hold takes: then none joins on screen.
    if (heldBack == 0) GTEST_SKIP() << "every song was read before the reading was held";
    EXPECT_EQ(game.ownSongs.songs.size(), 30u);
    // むずかしい opens on song 4, whose music started once.
    EXPECT_EQ(hp.music.History(), std::vector<std::string>{dir.Path() + SongMusicFile(4)});

    // Its place and count read 01/40: ten built-in songs and the thirty joined.
    headless::HeadlessPlatform other{dir.Path()};
    Game reference{other.ports};
    reference.form.pGamen.SetWidthTwips(kFormWidthTwips);
    reference.form.pGamen.SetHeightTwips(kFormHeightTwips);
    SongHyoji(reference, {4, 1}, 1, 0, 40, 1);
    const int y = SongScreenY0() + 290;
    const Surface &shown = game.form.pGamen.Dc(), &want = reference.form.pGamen.Dc();
    EXPECT_TRUE(std::equal(shown.Row(y), shown.Row(y + 24), want.Row(y)));
}

// Without a songs folder the finder neither draws nor takes keys: the picture stays the one song
// select always showed, and Tab opens no text input.
TEST(SongSelectFinder, WithoutASongsFolderTheScreenIsAsBefore) {
    testing::TempAppDir dir;
    TtfText text;
    headless::HeadlessPlatform hp{dir.Path(), &text};
    Game game{hp.ports};
    constexpr int kTab = 9, kPageDown = 34, kEnd = 35;
    double at = 0.5;
    for (int key : {kTab, int('S'), int('A'), kPageDown, kEnd}) {
        hp.keyboard.At(at, key, true);
        hp.keyboard.At(at + 0.06, key, false);
        at += 0.2;
    }
    std::vector<uint32_t> first, last, sky;
    hp.window.onYield = [&] {
        const double now = hp.clock.Now();
        if (now >= 0.3 && first.empty()) {
            hp.window.Present();
            first = hp.window.Screen().Pixels();
            const Surface& ura = Gamen(game).pGamenUra.Dc();
            sky.assign(ura.Row(SongScreenY0() + 2), ura.Row(SongScreenY0() + 24));
        }
        if (hp.window.TextInput()) ADD_FAILURE() << "Tab opened a search line";
        if (now > 2.0) {
            hp.window.Present();
            last = hp.window.Screen().Pixels();
            throw ProgramEnd{};
        }
    };
    EXPECT_THROW(RunScreen(game, std::make_unique<CourseScreen>(Course{.difficulty = 1})),
                 ProgramEnd);
    EXPECT_EQ(hp.music.History().size(), 1u) << "only song 6 previewed";
    EXPECT_TRUE(first == last) << "the keys changed the picture";
    const int w = hp.window.Screen().Width(), y = SongScreenY0() + 2;
    EXPECT_TRUE(std::equal(sky.begin(), sky.end(), first.begin() + ptrdiff_t(y * w)))
        << "something is drawn over the sky";
}

}  // namespace
}  // namespace zb
