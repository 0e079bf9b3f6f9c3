// The art tool's writers and sprite cutting: what it writes is what the game reads back.
#include <gtest/gtest.h>

#include <filesystem>
#include <set>

#include "art.hpp"
#include "canvas.hpp"
#include "draw.hpp"
#include "platform/form.hpp"
#include "sheet.hpp"
#include "tests/common/temp_dir.hpp"
#include "writers.hpp"

namespace artgen {

namespace {
// A smooth two-axis gradient: far more than 256 colours.
zb::Surface Gradient(int w, int h) {
    zb::Surface s(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            s.SetPixel(
                x, y,
                (uint32_t(x * 255 / (w - 1)) << 16) | (uint32_t(y * 255 / (h - 1)) << 8) | 0x40);
    return s;
}

size_t Colours(const zb::Surface& s) {
    return std::set<uint32_t>(s.Pixels().begin(), s.Pixels().end()).size();
}
}  // namespace

TEST(ArtWriters, GifKeepsFewColoursExactlyAndReadsBackAsWritten) {
    zb::testing::TempDir dir;
    zb::Surface s(37, 23, zb::Color::Rgb(12, 34, 56));
    s.FillRect(3, 4, 10, 5, zb::colors::White);
    s.FillRect(20, 0, 17, 23, zb::Color::Rgb(250, 1, 128));
    s.SetPixel(36, 22, 0);
    WritePicture(dir.File("few.gif"), s);
    const zb::Surface back = zb::LoadPictureFile(dir.File("few.gif"));
    ASSERT_EQ(back.Width(), 37);
    ASSERT_EQ(back.Height(), 23);
    EXPECT_EQ(back.Pixels(), s.Pixels());
}

TEST(ArtWriters, BmpIsExactForAnyColours) {
    zb::testing::TempDir dir;
    const zb::Surface s = Gradient(45, 60);
    WritePicture(dir.File("g.bmp"), s);
    EXPECT_EQ(zb::LoadPictureFile(dir.File("g.bmp")).Pixels(), s.Pixels());
    EXPECT_THROW(WritePicture(dir.File("g.png"), s), std::runtime_error);
}

TEST(ArtWriters, ManyColoursAreReducedCloselyKeepingWhiteBlackAndAskedColours) {
    zb::Surface s = Gradient(300, 200);
    s.FillRect(0, 0, 20, 20, zb::colors::White);
    s.FillRect(20, 0, 20, 20, zb::colors::Black);
    s.FillRect(40, 0, 20, 20, zb::Color::Rgb(0xF7, 0xE0, 0xAB));
    const zb::Surface r = Reduce(s, {0xF7E0AB});
    EXPECT_LE(Colours(r), 256u);
    EXPECT_EQ(r.Pixel(5, 5), 0xFFFFFFu);
    EXPECT_EQ(r.Pixel(25, 5), 0u);
    EXPECT_EQ(r.Pixel(45, 5), 0xF7E0ABu);
    // Nothing else turns white or black (a sprite's white means transparent), and every pixel
    // stays near its colour.
    int worst = 0;
    for (int y = 20; y < 200; ++y)
        for (int x = 0; x < 300; ++x) {
            const uint32_t a = s.Pixel(x, y), b = r.Pixel(x, y);
            ASSERT_NE(b, 0xFFFFFFu);
            ASSERT_NE(b, 0u);
            for (int sh : {0, 8, 16})
                worst = std::max(worst, std::abs(int((a >> sh) & 255) - int((b >> sh) & 255)));
        }
    EXPECT_LE(worst, 24);
    // Written as a GIF, it reads back as reduced.
    zb::testing::TempDir dir;
    WritePicture(dir.File("r.gif"), s);
    EXPECT_EQ(zb::LoadPictureFile(dir.File("r.gif")).Pixels(), Reduce(s).Pixels());
}

TEST(ArtWriters, PicturesReducedTogetherShareTheirColours) {
    zb::Surface a = Gradient(200, 100), b = Gradient(150, 120);
    b.FillRect(0, 0, 150, 20, zb::Color::Rgb(1, 2, 3));
    const std::vector<zb::Surface> r = ReduceTogether({a, b});
    ASSERT_EQ(r.size(), 2u);
    EXPECT_EQ(r[1].Width(), 150);
    EXPECT_EQ(r[1].Height(), 120);
    // The same source colour becomes the same colour in both.
    for (int y = 20; y < 100; ++y)
        for (int x = 0; x < 150; ++x)
            if (a.Pixel(x, y) == b.Pixel(x, y)) {
                ASSERT_EQ(r[0].Pixel(x, y), r[1].Pixel(x, y));
            }
    EXPECT_LE(Colours(r[0]) + Colours(r[1]), 512u);
}

TEST(ArtSprites, HalfCoveredPixelsAreOpaqueAndTheRestPureWhite) {
    Canvas c(20, 10);
    cairo_t* cr = c.cr();
    // Column 2 fully covered, column 5 at 60 %, column 8 at 40 %, dark grey.
    SetColor(cr, 0x303030);
    cairo_rectangle(cr, 2, 0, 1, 10);
    cairo_fill(cr);
    cairo_rectangle(cr, 5, 0, 0.6, 10);
    cairo_fill(cr);
    cairo_rectangle(cr, 8, 0, 0.4, 10);
    cairo_fill(cr);
    const SpritePair p = SplitSprite(c);
    EXPECT_EQ(p.mask.Pixel(2, 3), 0xFFFFFFu);
    EXPECT_EQ(p.sprite.Pixel(2, 3), 0x303030u);
    EXPECT_EQ(p.mask.Pixel(5, 3), 0xFFFFFFu);
    EXPECT_EQ(p.sprite.Pixel(5, 3), 0x303030u);  // the colour itself, not a blend with white
    EXPECT_EQ(p.mask.Pixel(8, 3), 0u);
    EXPECT_EQ(p.sprite.Pixel(8, 3), 0xFFFFFFu);
    EXPECT_EQ(p.mask.Pixel(0, 0), 0u);
    EXPECT_EQ(p.sprite.Pixel(0, 0), 0xFFFFFFu);
}

TEST(ArtSprites, SpritesSharingAMaskMustShareTheirOutline) {
    ArtSet art;
    Canvas round(16, 16), square(16, 16);
    CirclePath(round.cr(), 8, 8, 6);
    FillStroke(round.cr(), pal::DonRed, pal::Ink, 1.5);
    art.Sprite("a.bmp", "m.bmp", round);
    Canvas round2(16, 16);
    CirclePath(round2.cr(), 8, 8, 6);
    FillStroke(round2.cr(), pal::KanBlue, pal::Ink, 1.5);
    EXPECT_NO_THROW(art.Sprite("b.bmp", "m.bmp", round2));
    cairo_rectangle(square.cr(), 2, 2, 12, 12);
    FillStroke(square.cr(), pal::KanBlue, pal::Ink, 1.5);
    EXPECT_THROW(art.Sprite("c.bmp", "m.bmp", square), std::logic_error);
    EXPECT_THROW(art.Opaque("a.bmp", zb::Surface(4, 4)), std::logic_error);
    EXPECT_EQ(art.Get("m.bmp").Width(), 16);
}

TEST(ArtText, LetteringIsSqueezedToItsWidth) {
    Canvas c(100, 40);
    TextStyle st;
    st.size = 30;
    const TextBox wide = MeasureText(c.cr(), "ラクダに揺られて", st);
    EXPECT_GT(wide.w, 150);
    st.maxWidth = 96;
    EXPECT_LE(MeasureText(c.cr(), "ラクダに揺られて", st).w, 96);
    // Drawn centred in the canvas, the squeezed text stays inside it.
    DrawTextCentered(c.cr(), "ラクダに揺られて", st, 50, 20);
    for (int y = 0; y < 40; ++y) {
        EXPECT_EQ(c.Alpha(0, y), 0);
        EXPECT_EQ(c.Alpha(99, y), 0);
    }
}

}  // namespace artgen

namespace artgen {

TEST(ArtSet, TheCommittedPicturesAreExactlyWhatTheToolDraws) {
    // A change to the painters without regenerating (build/tools/artgen) fails here, as does a
    // stray or missing file under assets/img.
    RequireFonts();
    const ArtSet art = DrawEverything();
    const std::string img = std::string(ZB_SOURCE_DIR) + "/assets/img/";
    std::set<std::string> drawn, committed;
    for (const Picture& p : art.All()) {
        drawn.insert(p.name);
        SCOPED_TRACE(p.name + " differs from what artgen draws: run build/tools/artgen");
        zb::Surface file;
        ASSERT_NO_THROW(file = zb::LoadPictureFile(img + p.name));
        ASSERT_EQ(file.Width(), p.pixels.Width());
        ASSERT_EQ(file.Height(), p.pixels.Height());
        EXPECT_TRUE(file.Pixels() == p.pixels.Pixels());
    }
    for (const auto& e : std::filesystem::recursive_directory_iterator(img))
        if (e.is_regular_file())
            committed.insert(std::filesystem::relative(e.path(), img).generic_string());
    EXPECT_EQ(drawn, committed);
}

TEST(ArtSet, ReviewSheetAndMocksAreWritten) {
    zb::testing::TempDir dir;
    const ArtSet art = DrawEverything();
    for (const Picture& p : art.All()) {
        std::filesystem::create_directories(std::filesystem::path(dir.File(p.name)).parent_path());
        WritePicture(dir.File(p.name), p.pixels);
    }
    WriteContactSheet(art, dir.File(""), dir.File("sheet.png"));
    WriteMocks(dir.File(""), dir.File("mock"));
    // The sheet holds every picture, so it is larger than all of them side by side would need.
    cairo_surface_t* sheet = cairo_image_surface_create_from_png(dir.File("sheet.png").c_str());
    ASSERT_EQ(cairo_surface_status(sheet), CAIRO_STATUS_SUCCESS);
    EXPECT_EQ(cairo_image_surface_get_width(sheet), 1420);
    EXPECT_GT(cairo_image_surface_get_height(sheet), 1500);
    cairo_surface_destroy(sheet);
    for (const char* m : {"title.png", "song_select.png", "play.png", "drummer.png"}) {
        cairo_surface_t* s =
            cairo_image_surface_create_from_png(dir.File(std::string("mock/") + m).c_str());
        EXPECT_EQ(cairo_surface_status(s), CAIRO_STATUS_SUCCESS) << m;
        cairo_surface_destroy(s);
    }
}

}  // namespace artgen
