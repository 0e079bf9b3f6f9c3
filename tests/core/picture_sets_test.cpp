#include "core/picture_sets.hpp"

#include <gtest/gtest.h>

#include <filesystem>
#include <map>

#include "core/screen_reset.hpp"
#include "platform/headless/headless.hpp"
#include "tests/common/bmp_file.hpp"
#include "tests/common/picture_files.hpp"
#include "tests/common/temp_dir.hpp"

namespace zb {
namespace {

using testing::FirstSetFiles;
using testing::SecondSetFiles;
using testing::TempDir;

// An img folder where every file is a picture of its own colour (its number in the list + 1).
struct PictureSetsTest : ::testing::Test {
    TempDir dir;
    headless::HeadlessPlatform hp{dir.Dir()};
    Game game{hp.ports};
    std::map<std::string, uint32_t> colour;

    void Make(const std::vector<std::string>& files, int w = 8, int h = 4) {
        for (const std::string& f : files) {
            const std::string path = dir.File("img/" + f);
            std::filesystem::create_directories(std::filesystem::path(path).parent_path());
            colour[f] = uint32_t(colour.size() + 1) * 0x010203;
            testing::WriteBmp(path, w, h, colour[f]);
        }
    }
    // The colour of the picture a surface holds, or 0 without one.
    static uint32_t Held(const PictureBox& b) { return b.HasPicture() ? b.Dc().Pixel(0, 0) : 0; }
};

TEST_F(PictureSetsTest, TheFirstSetGoesIntoItsSurfacesInOrder) {
    Make(FirstSetFiles());
    ASSERT_TRUE(LoadFirstPictureSet(game));
    const MainForm& f = game.form;
    EXPECT_EQ(Held(f.pNoteUra[2]), colour["note/s_mask.bmp"]);
    EXPECT_EQ(Held(f.pNoteUra[3]), colour["note/don_b.bmp"]);
    EXPECT_EQ(Held(f.pWakuUra[3]), colour["note/waku-1_mask.gif"]);
    EXPECT_EQ(Held(f.pWakuUra[10]), colour["note/waku3.gif"]);
    EXPECT_EQ(Held(f.pLineUra[1]), colour["note/line_mask.gif"]);
    EXPECT_EQ(Held(f.pInuKao), colour["wan/inu.gif"]);
    EXPECT_EQ(Held(f.pInuUra[2]), colour["wan/asi1.gif"]);
    EXPECT_EQ(Held(f.pInuUra[7]), colour["wan/te2_mask.gif"]);
    EXPECT_EQ(Held(f.pHanteiBADUra[0]), colour["hantei/bad_mask.gif"]);
    EXPECT_EQ(Held(f.pHanteiCoolUra[1]), colour["hantei/cool_1.gif"]);
    EXPECT_EQ(Held(f.frmPict.pInu[14]), colour["haikei/14.gif"]);
    EXPECT_EQ(Held(f.frmPict.pYoru), colour["haikei/yoru.gif"]);
    EXPECT_EQ(Held(f.frmPict.pHiru), colour["haikei/hiru.gif"]);
    EXPECT_GE(f.pInuKao.Dc().Width(), 8);  // the surface holds its picture whole
    EXPECT_FALSE(f.frmGamen) << "start-up leaves the second set alone";
}

TEST_F(PictureSetsTest, AMissingOrBrokenFileFailsAloneAndLoadingGoesOn) {
    Make(FirstSetFiles());
    std::filesystem::remove(dir.File("img/note/kan_s.bmp"));
    dir.Write("img/haikei/3.gif", "GIF89a but not really a picture");
    EXPECT_FALSE(LoadFirstPictureSet(game));
    const MainForm& f = game.form;
    EXPECT_FALSE(f.pNoteUra[1].HasPicture());
    EXPECT_FALSE(f.frmPict.pInu[3].HasPicture());
    EXPECT_EQ(Held(f.pNoteUra[2]), colour["note/s_mask.bmp"]);
    EXPECT_EQ(Held(f.frmPict.pInu[4]), colour["haikei/4.gif"]);
    EXPECT_EQ(Held(f.frmPict.pHiru), colour["haikei/hiru.gif"]);
}

TEST_F(PictureSetsTest, NoImgFolderAtAllIsOnlyAFailure) {
    EXPECT_FALSE(LoadFirstPictureSet(game));
    EXPECT_FALSE(game.form.pNoteUra[0].HasPicture());
}

TEST_F(PictureSetsTest, TheSecondSetLoadsOnFirstUseAndAgainAfterEveryReset) {
    Make(SecondSetFiles());
    GamenHolder& g = Gamen(game, 9);
    EXPECT_EQ(Held(g.pUchu), colour["other/uchu.gif"]);
    EXPECT_EQ(Held(g.pGalUra), colour["other/gal_mask.gif"]);
    EXPECT_EQ(Held(g.pSongTitle[9]), colour["other/song9.gif"]);
    EXPECT_EQ(Held(g.pEazy[3]), colour["other/challenge.bmp"]);
    EXPECT_EQ(Held(g.pJanru[9]), colour["other/cla.gif"]);
    EXPECT_EQ(Held(g.pStar[2]), colour["other/star3.bmp"]);
    EXPECT_EQ(Held(g.pSujiMask[7]), colour["other/7_mask.bmp"]);
    EXPECT_EQ(Held(g.pSujiSmall[10]), colour["other/slash.bmp"]);
    EXPECT_EQ(Held(g.pSujiSmallMask[0]), colour["other/0s_mask.bmp"]);
    EXPECT_EQ(Held(g.pSetumei), colour["other/setumei.bmp"]);
    EXPECT_FALSE(g.pGamenUra.HasPicture());
    EXPECT_EQ(g.pGamenUra.WidthPx(), kFormWidthPx);
    // Only the song on show has its title and genre decoded; the next song's replace them.
    EXPECT_FALSE(g.pSongTitle[8].HasPicture());
    EXPECT_EQ(&Gamen(game, 8), &g);
    EXPECT_EQ(Held(g.pJanru[8]), colour["other/heavy.gif"]);
    EXPECT_FALSE(g.pSongTitle[9].HasPicture());
    EXPECT_FALSE(g.pJanru[9].HasPicture());

    // While loaded, the same pictures serve without reading the disk.
    testing::WriteBmp(dir.File("img/other/uchu.gif"), 8, 4, 0x00ABCDEF);
    EXPECT_EQ(&Gamen(game), &g);
    EXPECT_EQ(Held(Gamen(game).pUchu), colour["other/uchu.gif"]);

    AllEnable(game);
    EXPECT_FALSE(game.form.frmGamen);
    EXPECT_EQ(Held(Gamen(game).pUchu), 0x00ABCDEFu);
}

TEST_F(PictureSetsTest, MissingSecondSetFilesLeaveEmptySizedSurfaces) {
    Make({"other/gal.gif", "other/5.bmp"});
    GamenHolder& g = Gamen(game);
    EXPECT_EQ(Held(g.pGal), colour["other/gal.gif"]);
    EXPECT_EQ(Held(g.pSuji[5]), colour["other/5.bmp"]);
    EXPECT_FALSE(g.pUchu.HasPicture());
    EXPECT_FALSE(g.pSetumei.HasPicture());
    EXPECT_EQ(g.pSetumei.Dc().Width(), 603);  // the size the screen draws it at
    EXPECT_EQ(g.pStarMask.Dc().Height(), 38);
}

TEST(PictureSetsOfTheGame, EveryPictureBesideTheProgramLoads) {
    const std::string appDir = std::string(ZB_BINARY_DIR) + "/";
    if (!std::filesystem::exists(appDir + "img/note/don_s.bmp"))
        GTEST_SKIP() << "the pictures are not drawn yet";
    headless::HeadlessPlatform hp(appDir);
    Game game(hp.ports);
    EXPECT_TRUE(LoadFirstPictureSet(game));
    for (const std::string& f : SecondSetFiles())
        EXPECT_NO_THROW(LoadPictureFile(appDir + "img/" + f)) << f;
}

}  // namespace
}  // namespace zb
