// Picture files: good BMP and GIF files decode exactly; missing, broken, cut-short and absurd
// ones raise PictureError, and a failed load leaves the control as it was.
#include <SDL.h>
#include <gtest/gtest.h>

#include "platform/form.hpp"
#include "tests/common/temp_dir.hpp"

namespace zb {

namespace {

// A 1 x 1 GIF whose only pixel is colour 0 of a red/blue palette.
const std::string kGif(
    "GIF89a\x01\x00\x01\x00\x80\x00\x00\xFF\x00\x00\x00\x00\xFF"
    "\x2C\x00\x00\x00\x00\x01\x00\x01\x00\x00\x02\x02\x44\x01\x00\x3B",
    35);

// A 24-bit BMP with a distinct colour in each corner, as SDL writes it.
std::string MakeBmp(const testing::TempDir& dir, int w, int h) {
    SDL_Surface* s = SDL_CreateRGBSurfaceWithFormat(0, w, h, 24, SDL_PIXELFORMAT_RGB24);
    SDL_FillRect(s, nullptr, SDL_MapRGB(s->format, 10, 200, 30));
    SDL_Rect corner{w - 1, h - 1, 1, 1};
    SDL_FillRect(s, &corner, SDL_MapRGB(s->format, 250, 5, 128));
    const std::string path = dir.File("pic.bmp");
    SDL_SaveBMP(s, path.c_str());
    SDL_FreeSurface(s);
    return dir.Read("pic.bmp");
}

}  // namespace

TEST(PictureFile, DecodesBmpAndGifExactly) {
    testing::TempDir dir;
    MakeBmp(dir, 40, 30);
    const Surface bmp = LoadPictureFile(dir.File("pic.bmp"));
    ASSERT_EQ(bmp.Width(), 40);
    ASSERT_EQ(bmp.Height(), 30);
    EXPECT_EQ(bmp.At(0, 0), Color::Rgb(10, 200, 30));
    EXPECT_EQ(bmp.At(39, 29), Color::Rgb(250, 5, 128));
    // The loader goes by the contents, not the name.
    dir.Write("looks_like.bmp", kGif);
    const Surface gif = LoadPictureFile(dir.File("looks_like.bmp"));
    ASSERT_EQ(gif.Width(), 1);
    EXPECT_EQ(gif.At(0, 0), colors::Red);
}

TEST(PictureFile, BadFilesRaisePictureError) {
    testing::TempDir dir;
    const std::string bmp = MakeBmp(dir, 40, 30);
    dir.Write("half.bmp", bmp.substr(0, bmp.size() / 2));
    dir.Write("header.bmp", bmp.substr(0, 20));
    dir.Write("empty.gif", "");
    dir.Write("words.bmp", "not a picture, only words that happen to fill a file");
    for (size_t cut : {6u, 12u, 20u, 30u, 33u})
        dir.Write("cut" + std::to_string(cut) + ".gif", kGif.substr(0, cut));
    std::string huge = kGif;
    huge[6] = huge[7] = huge[8] = huge[9] = '\xFF';  // 65535 x 65535
    dir.Write("huge.gif", huge);
    std::string wide = bmp;
    wide[18] = wide[19] = wide[20] = '\xFF', wide[21] = '\x7F';  // two billion pixels wide
    dir.Write("wide.bmp", wide);
    for (const char* name :
         {"missing.bmp", "half.bmp", "header.bmp", "empty.gif", "words.bmp", "cut6.gif",
          "cut12.gif", "cut20.gif", "cut30.gif", "cut33.gif", "huge.gif", "wide.bmp"})
        EXPECT_THROW(LoadPictureFile(dir.File(name)), PictureError) << name;
    EXPECT_THROW(LoadPictureFile(dir.Dir()), PictureError) << "a folder";
}

TEST(PictureFile, FailedLoadLeavesControlsUnchanged) {
    testing::TempDir dir;
    dir.Write("one.gif", kGif);
    dir.Write("bad.gif", kGif.substr(0, 25));
    ImageControl image;
    image.LoadPicture(dir.File("one.gif"));
    const auto before = image.Picture;
    EXPECT_THROW(image.LoadPicture(dir.File("bad.gif")), PictureError);
    EXPECT_EQ(image.Picture, before);

    PictureBox box;
    box.SetSizePx(4, 3);
    box.BackColor = colors::Blue;
    box.LoadPicture(dir.File("one.gif"));
    EXPECT_THROW(box.LoadPicture(dir.File("nothing.gif")), PictureError);
    EXPECT_TRUE(box.HasPicture());
    EXPECT_EQ(box.Dc().At(0, 0), colors::Red);
}

}  // namespace zb
