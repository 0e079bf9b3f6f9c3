// Where the game's data and the player's files live: beside the program in its build folder,
// the prefix's share/zubakko and the player's home when installed.
#include <gtest/gtest.h>

#include <filesystem>

#include "core/file_replace.hpp"
#include "core/options_file.hpp"
#include "core/score_file.hpp"
#include "frontend/config_file.hpp"
#include "frontend/pad_file.hpp"
#include "frontend/startup.hpp"
#include "frontend_fixture.hpp"
#include "netrank/netrank_file.hpp"
#include "play/replay_store.hpp"

namespace zb {
namespace {

namespace fs = std::filesystem;
using testing::Fields16;
using testing::TempDir;

TEST(SaveFolder, FollowsWhereTheDataIs) {
    TempDir root;
    const std::string build = root.Dir() + "build/", usr = root.Dir() + "usr/";
    fs::create_directories(build + "img");
    fs::create_directories(usr + "share/zubakko/img");
    fs::create_directories(usr + "games");
    // The build folder and a portable copy keep everything beside the program.
    EXPECT_EQ(DataDir(build), build);
    EXPECT_EQ(SaveDir(build, "/x", "/home/p"), build);
    // An installed program, in games/ or bin/, reads its prefix's share/zubakko.
    EXPECT_EQ(DataDir(usr + "games/"), usr + "share/zubakko/");
    EXPECT_EQ(DataDir(usr + "bin/"), usr + "share/zubakko/");
    // A program with neither keeps looking beside itself (the pictures' loads then say so).
    EXPECT_EQ(DataDir(root.Dir()), root.Dir());

    const std::string data = usr + "share/zubakko/";
    EXPECT_EQ(SaveDir(data, "/x/data", "/home/p"), "/x/data/zubakko/");
    EXPECT_EQ(SaveDir(data, "/x/data/", "/home/p"), "/x/data/zubakko/");
    EXPECT_EQ(SaveDir(data, "", "/home/p"), "/home/p/.local/share/zubakko/");
    EXPECT_EQ(SaveDir(data, "relative", "/home/p/"), "/home/p/.local/share/zubakko/");
}

// An installed game on the headless platform: its data read-only in a prefix, its saves in a
// home of its own.
struct InstalledGame : ::testing::Test {
    TempDir root;
    std::string data = root.Dir() + "usr/share/zubakko/";
    std::string saves = SaveDir(data, root.Dir() + "home/.data", "");
    headless::HeadlessPlatform hp{data};
    Game game{hp.ports};

    InstalledGame() {
        hp.ports.saveDir = saves;
        for (const std::string& f : testing::FirstSetFiles()) Picture("img/" + f);
        for (const std::string& f : testing::SecondSetFiles()) Picture("img/" + f);
        Picture("img/logo.gif");
    }
    void Picture(const std::string& file) {
        fs::create_directories(fs::path(data + file).parent_path());
        testing::WriteBmp(data + file, 4, 4, 0x336699);
    }
    std::vector<std::string> Files(const std::string& dir) const {
        std::vector<std::string> names;
        for (const auto& e : fs::recursive_directory_iterator(dir))
            if (!e.is_directory()) names.push_back(fs::relative(e.path(), dir).string());
        std::sort(names.begin(), names.end());
        return names;
    }
};

TEST_F(InstalledGame, ReadsAndWritesEverySaveInTheHomeAndNothingBesideTheData) {
    PrepareSaveDir(data, saves);
    ASSERT_TRUE(fs::is_directory(saves));
    const size_t pictures = Files(data).size();
    // The player's settings are read from the save folder.
    std::ofstream(saves + "config.dat", std::ios::binary)
        << Fields16({65, 66, 67, 68, 3, 0, -300, 0, 1, 0});
    StartUp(game);
    EXPECT_EQ(game.settings.KeyCodes, (std::array<int16_t, 4>{65, 66, 67, 68}));

    game.settings.PadInputs["030000005e0400008e02000014010000"] = {};
    SaveConfig(game);
    SaveScores(game);
    SaveOptions(game);
    SavePadBindings(game);
    ClearNetRankFile(game);
    const std::string replay = KeepReplay(game, Replay{});
    EXPECT_EQ(replay.rfind(saves + "replays/", 0), 0u) << replay;

    EXPECT_EQ(Files(data).size(), pictures);
    const std::vector<std::string> kept = Files(saves);
    for (const char* f : {"config.dat", "score.dat", "options.txt", "pads.txt", "netrank.dat"})
        EXPECT_NE(std::find(kept.begin(), kept.end(), f), kept.end()) << f;
    EXPECT_EQ(kept.size(), 6u);
}

}  // namespace
}  // namespace zb
