// options.txt: the hit-error bar's and the drums' choices survive a save and a start, a newer
// build's lines survive this build's save, and an odd file changes nothing it cannot read.
#include "core/options_file.hpp"

#include <gtest/gtest.h>

#include "platform/headless/headless.hpp"
#include "tests/common/temp_dir.hpp"

namespace zb {
namespace {

TEST(OptionsFile, KeepsTheBarAndTheLinesOfANewerBuild) {
    testing::TempDir dir;
    headless::HeadlessPlatform hp(dir.Dir());
    Game game(hp.ports);
    LoadOptions(game);  // none yet: the defaults
    EXPECT_FALSE(game.options.HitErrorBar);

    dir.Write("options.txt", "version 2\r\nhit_error_bar 1\r\naudio_frames 64\r\npad_don 3 4\r\n");
    LoadOptions(game);
    EXPECT_TRUE(game.options.HitErrorBar);
    EXPECT_EQ(game.options.AudioPeriod, 64);
    game.options.HitErrorBar = false;
    game.options.AudioPeriod = 0;
    SaveOptions(game);
    Game again(hp.ports);
    again.options.HitErrorBar = true;
    again.options.AudioPeriod = 512;
    LoadOptions(again);
    EXPECT_FALSE(again.options.HitErrorBar);
    EXPECT_EQ(again.options.AudioPeriod, 0);  // 自動
    EXPECT_NE(dir.Read("options.txt").find("\npad_don 3 4\n"), std::string::npos);
    EXPECT_EQ(again.options.Drums, DrumPart::Full);
    again.options.Drums = DrumPart::Quiet;
    again.options.Ghost = true;
    SaveOptions(again);
    LoadOptions(game);
    EXPECT_EQ(game.options.Drums, DrumPart::Quiet);
    EXPECT_TRUE(game.options.Ghost);

    GameOptions odd;
    std::string why;
    DecodeOptions(
        "hit_error_bar yes\nhit_error_bar\ndrums loud\naudio_frames 96\naudio_frames 0128\nghost "
        "2\n",
        odd, &why);
    EXPECT_FALSE(odd.HitErrorBar);
    EXPECT_FALSE(odd.Ghost);
    EXPECT_EQ(odd.Drums, DrumPart::Full);
    EXPECT_EQ(odd.AudioPeriod, 0);
    EXPECT_EQ(why,
              "line 1 skipped; line 2 skipped; line 3 skipped; line 4 skipped; line 5 skipped; "
              "line 6 skipped");

    // A kept line loses every CR at its end, so that it writes back as it reads (found by
    // tests/file_fuzz).
    GameOptions crs;
    DecodeOptions("newer 1\r\r\n", crs);
    ASSERT_EQ(crs.OtherLines.size(), 1u);
    EXPECT_EQ(crs.OtherLines[0], "newer 1");
}

}  // namespace
}  // namespace zb
