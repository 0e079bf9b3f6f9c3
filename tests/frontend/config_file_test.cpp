#include "frontend/config_file.hpp"

#include <gtest/gtest.h>

#include <filesystem>

#include "core/file_replace.hpp"
#include "frontend/pad_file.hpp"
#include "platform/headless/headless.hpp"
#include "platform/pad_inputs.hpp"
#include "tests/common/temp_dir.hpp"

namespace zb {
namespace {

using testing::TempDir;

std::string Fields(std::initializer_list<int16_t> v) {
    std::string s;
    for (int16_t x : v) s.push_back(char(uint16_t(x) & 0xFF)), s.push_back(char(uint16_t(x) >> 8));
    return s;
}

struct ConfigFileTest : ::testing::Test {
    TempDir dir;
    headless::HeadlessPlatform hp{dir.Dir()};
    Game game{hp.ports};
};

TEST_F(ConfigFileTest, TheDefaultsAreWrittenAsTheTwentyKnownBytes) {
    game.settings.BgmVolume = -600;
    SaveConfig(game);
    EXPECT_EQ(dir.Read("config.dat"), Fields({97, 98, 100, 101, 9, 0, -600, 0, 1, 0}));
    EXPECT_EQ(dir.Count(), 1);
}

TEST_F(ConfigFileTest, FlagsAreStoredInvertedBothWays) {
    game.settings.JudgeEffect = false;
    game.settings.BigNoteWait = true;
    game.settings.KeyCodes = {65, 66, 67, 68};
    game.settings.DelaySetting = -3;
    game.settings.FramePosition = 250;
    game.settings.BgmVolume = -900;
    SaveConfig(game);
    EXPECT_EQ(dir.Read("config.dat"), Fields({65, 66, 67, 68, -3, 250, -900, 1, 0, 0}));

    Game other(hp.ports);
    ASSERT_TRUE(LoadConfig(other));
    EXPECT_EQ(other.settings.KeyCodes, game.settings.KeyCodes);
    EXPECT_EQ(other.settings.DelaySetting, -3);
    EXPECT_EQ(other.settings.FramePosition, 250);
    EXPECT_EQ(other.settings.BgmVolume, -900);
    EXPECT_FALSE(other.settings.JudgeEffect);
    EXPECT_TRUE(other.settings.BigNoteWait);
}

TEST_F(ConfigFileTest, AFileWhoseFirstTwoFieldsAreZeroCountsAsAbsent) {
    const Settings defaults = game.settings;
    for (const std::string& bytes :
         {std::string(), std::string(20, '\0'), Fields({0, 0, 5, 5, 5})}) {
        dir.Write("config.dat", bytes);
        EXPECT_TRUE(LoadConfig(game)) << bytes.size();
        EXPECT_EQ(game.settings.KeyCodes, defaults.KeyCodes);
        EXPECT_EQ(game.settings.DelaySetting, defaults.DelaySetting);
        EXPECT_EQ(game.settings.JudgeEffect, defaults.JudgeEffect);
        EXPECT_EQ(game.settings.BigNoteWait, defaults.BigNoteWait);
    }
    // Only both zero counts: a zero first key alone is applied.
    dir.Write("config.dat", Fields({0, 65, 1, 2, 3, 4, -300, 1, 0, 7}));
    ASSERT_TRUE(LoadConfig(game));
    EXPECT_EQ(game.settings.KeyCodes, (std::array<int16_t, 4>{0, 65, 1, 2}));
    EXPECT_EQ(game.settings.BgmVolume, -300);
    EXPECT_FALSE(game.settings.JudgeEffect);
    EXPECT_TRUE(game.settings.BigNoteWait);
}

TEST_F(ConfigFileTest, AShortFileReadsZerosPastItsEndAndValuesAreTakenAsTheyAre) {
    dir.Write("config.dat", Fields({1, 2, 3, 4, 30000, -32768, -1000}).substr(0, 13));
    ASSERT_TRUE(LoadConfig(game));
    EXPECT_EQ(game.settings.DelaySetting, 30000);
    EXPECT_EQ(game.settings.FramePosition, -32768);
    EXPECT_EQ(game.settings.BgmVolume, int16_t(0x18));  // the low byte of -1000 only
    EXPECT_TRUE(game.settings.JudgeEffect);             // fields 7 and 8 read 0 = on
    EXPECT_TRUE(game.settings.BigNoteWait);
}

TEST_F(ConfigFileTest, MissingOrFolderFailsAndWritingNeverHarmsTheOldFile) {
    EXPECT_FALSE(LoadConfig(game));
    EXPECT_FALSE(dir.Exists("config.dat"));
    std::filesystem::create_directory(dir.File("config.dat"));
    EXPECT_FALSE(LoadConfig(game));
    SaveConfig(game);
    EXPECT_TRUE(std::filesystem::is_directory(dir.File("config.dat")));
    std::filesystem::remove(dir.File("config.dat"));

    const std::string old = Fields({97, 98, 100, 101, 9, 0, -600, 0, 1, 0});
    dir.Write("config.dat", old);
    game.settings.DelaySetting = 20;
    {
        ScopedFileWriteHook full([](int, const void*, size_t) -> ssize_t {
            errno = ENOSPC;
            return -1;
        });
        SaveConfig(game);
    }
    EXPECT_EQ(dir.Read("config.dat"), old);
    EXPECT_EQ(game.settings.DelaySetting, 20);  // still in effect in memory
    EXPECT_EQ(dir.Count(), 1);
}

}  // namespace
}  // namespace zb

namespace zb {
namespace {

TEST_F(ConfigFileTest, PadBindingsLiveInTheirOwnFileAndSurviveARestart) {
    const std::string gamepad = "030000005e0400008e02000014010000";
    const std::string drum = "0300000000f000000100000000000000";
    game.settings.PadInputs[gamepad] = {pad::A, pad::Axis(pad::LeftX, false), -1, pad::DpUp};
    game.settings.PadInputs[drum] = {int16_t(pad::RawButton(3)), int16_t(pad::RawHat(0, 2)),
                                     int16_t(pad::RawAxis(2, true)), int16_t(pad::RawButton(0))};
    SaveConfig(game);
    SavePadBindings(game);
    EXPECT_EQ(dir.Read("config.dat").size(), 20u);

    headless::HeadlessPlatform again(dir.Dir());
    Game next(again.ports);
    LoadPadBindings(next);
    EXPECT_EQ(next.settings.PadInputs, game.settings.PadInputs);

    // Lines it can't read are skipped; a file of another version changes nothing.
    Settings s;
    std::string why;
    EXPECT_TRUE(DecodePadBindings(
        "zubakko-pads 1\n" + gamepad + " a b x\nnot-a-guid a b x y\n" + drum + " b0 b1 b2 b3\n", s,
        &why));
    EXPECT_EQ(s.PadInputs.size(), 1u);
    EXPECT_EQ(why, "line 2 skipped; line 3 skipped");
    Settings untouched;
    EXPECT_FALSE(DecodePadBindings("zubakko-pads 2\n" + drum + " b0 b1 b2 b3\n", untouched, &why));
    EXPECT_TRUE(untouched.PadInputs.empty());
}

}  // namespace
}  // namespace zb
