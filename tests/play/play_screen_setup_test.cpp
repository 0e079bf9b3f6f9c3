// The play screen prepared before every song.
#include "play/play_screen_setup.hpp"

#include <gtest/gtest.h>

#include <filesystem>

#include "platform/headless/headless.hpp"
#include "tests/common/bmp_file.hpp"
#include "tests/common/temp_dir.hpp"

namespace zb {
namespace {

using testing::TempDir;

struct Setup : ::testing::Test {
    TempDir dir;
    headless::HeadlessPlatform hp{dir.Dir()};
    Game game{hp.ports};
};

TEST_F(Setup, CourseLineNamesCourseModeAndSong) {
    EXPECT_EQ(CourseLineText(game, {0, 0}, false, false), "かんたんコース１曲目　ＦＦ４バトル２");
    EXPECT_EQ(CourseLineText(game, {3, 1}, false, true),
              "むずかしいコース２曲目　Opng to the 2001");
    EXPECT_EQ(CourseLineText(game, {1, 2}, true, true), "ワンだフルコースオート　決戦パート２");
    EXPECT_EQ(CourseLineText(game, {9, 2}, false, false, true),
              "ネットランキング１曲目　トルコ行進曲");
    // The challenge course is named first.
    EXPECT_EQ(CourseLineText(
                  game, {.chart = {8, 3}, .challenge = true, .ranking = true, .secondSong = true}),
              "チャレンジコース２曲目　バイクレース０１");
}

TEST_F(Setup, LaysOutTheScreenAndKeepsGoingWithoutGaugePictures) {
    MainForm& f = game.form;
    f.Label[3].Caption = "COMBO: 57";
    f.Label[6].Caption = "old";
    f.Label[8].Visible = true;
    f.Timer1[0].Enabled = true;
    f.frmGamen = std::make_unique<GamenHolder>();
    PlayScreenSetup(game, {5, 0}, false, false);  // no img/gage folder at all

    EXPECT_FALSE(f.frmGamen);
    EXPECT_FALSE(f.Label[8].Visible);
    EXPECT_FALSE(f.Timer1[0].Enabled);
    EXPECT_TRUE(f.pGage.Visible);
    EXPECT_EQ(f.pGage.BackColor, colors::Blue);
    EXPECT_EQ(f.pGage.WidthPx(), 384);
    EXPECT_EQ(f.Label[3].Caption, "COMBO: 0");
    EXPECT_TRUE(f.Label[3].Visible);
    EXPECT_FALSE(f.Label[2].Visible);
    EXPECT_TRUE(f.Label[4].Visible);
    EXPECT_EQ(f.Label[6].Caption, "かんたんコース１曲目　威風堂々");
    EXPECT_TRUE(f.pFumen.Visible);
    EXPECT_FALSE(f.pFumenUra.Visible);
    EXPECT_EQ(f.pFumenUra.WidthPx(), 433);
    EXPECT_EQ(f.pFumenUra.HeightPx(), 200);
    EXPECT_TRUE(f.pInu.Visible);
    EXPECT_EQ(f.pHaikei.Left, 25);
    EXPECT_EQ(f.pHaikei.Top, 4505);
    EXPECT_TRUE(f.pHaikei.Visible);
}

TEST_F(Setup, LoadsTheGaugePicturesAndShowsTheDrummersFace) {
    std::filesystem::create_directories(dir.File("img/gage"));
    testing::WriteBmp(dir.File("img/gage/gage2.gif"), 384, 32, 0x404040);
    testing::WriteBmp(dir.File("img/gage/gage1.gif"), 8, 32, 0x00FF00);
    testing::WriteBmp(dir.File("img/gage/gage3.gif"), 8, 32, 0xFFFF00);
    game.form.pInuKao.SetPicture(Surface(174, 174, Color::Rgb(9, 9, 9)));
    PlayScreenSetup(game, {2, 1}, true, false);
    MainForm& f = game.form;
    EXPECT_EQ(f.pGage1.Dc().At(100, 10), Color::Rgb(0x40, 0x40, 0x40));
    EXPECT_EQ(f.pGage2.Dc().At(3, 10), Color::Rgb(0, 0xFF, 0));
    EXPECT_EQ(f.pGage3.Dc().At(3, 10), Color::Rgb(0xFF, 0xFF, 0));
    EXPECT_EQ(f.pInu.Dc().At(80, 80), Color::Rgb(9, 9, 9));
}

}  // namespace
}  // namespace zb
