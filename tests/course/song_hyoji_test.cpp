// The song select screen, composed from pictures of known colours so that every place can be
// checked pixel by pixel, and its music preview.
#include "course/song_hyoji.hpp"

#include <gtest/gtest.h>

#include "core/songs.hpp"
#include "platform/headless/headless.hpp"

namespace zb {
namespace {

// A distinct colour for picture `n` of the set.
Color Tone(int n) {
    return Color::Rgb(10 + n * 7 % 240, 200 - n * 3 % 190, 30 + n * 11 % 220);
}

void Solid(PictureBox& box, int w, int h, Color c) {
    box.SetPicture(Surface(w, h, c));
}

class SongHyojiTest : public ::testing::Test {
  protected:
    headless::HeadlessPlatform hp{"/game/"};
    Game game{hp.ports};
    static constexpr int kX0 = -15, kY0 = 0;

    void SetUp() override {
        auto g = std::make_unique<GamenHolder>();
        g->pGamenUra.SetWidthTwips(kFormWidthTwips);
        g->pGamenUra.SetHeightTwips(kFormHeightTwips);
        Solid(g->pUchu, 697, 499, Tone(1));
        Solid(g->pGal, 448, 311, Tone(2));
        g->pGalUra.SetPicture(Surface(448, 311, colors::White));
        for (int i = 0; i < 4; ++i) Solid(g->pEazy[i], 200, 35, Tone(10 + i));
        for (int i = 0; i < 10; ++i) Solid(g->pSongTitle[i], 394, 49, Tone(20 + i));
        for (int i = 0; i < 10; ++i) Solid(g->pJanru[i], 370, 32, Tone(30 + i));
        for (int i = 0; i < 3; ++i) Solid(g->pStar[i], 38, 38, Tone(40 + i));
        for (int i = 0; i < 10; ++i) {
            Solid(g->pSuji[i], 45, 60, Tone(50 + i));
            g->pSujiMask[i].SetPicture(Surface(45, 60, colors::White));
        }
        for (int i = 0; i < 11; ++i) {
            Solid(g->pSujiSmall[i], 18, 24, Tone(60 + i));
            g->pSujiSmallMask[i].SetPicture(Surface(18, 24, colors::White));
        }
        Solid(g->pSetumei, 603, 99, Tone(80));
        game.form.frmGamen = std::move(g);
        game.form.pGamen.SetWidthTwips(kFormWidthTwips);
        game.form.pGamen.SetHeightTwips(kFormHeightTwips);
    }

    Color At(int x, int y) { return game.form.pGamen.Dc().At(x, y); }
    // Slots overlap by three columns; probe past the overlap.
    Color Star(int slot) { return At(kX0 + 148 + 35 * slot + 5, kY0 + 156); }
    Color Digit(int fromRight) { return At(kX0 + 500 - 45 * fromRight + 2, kY0 + 206); }
    Color Small(int k) { return At(kX0 + 303 + 18 * k + 1, kY0 + 291); }
};

TEST_F(SongHyojiTest, OriginCentresThePictureOnTheWindow) {
    EXPECT_EQ(SongScreenX0(), kX0);
    EXPECT_EQ(SongScreenY0(), kY0);
}

TEST_F(SongHyojiTest, EasySongSixShowsEverythingInItsPlace) {
    SongHyoji(game, {6, 0}, 1, 123456, 10, 1);
    EXPECT_EQ(At(0, 0), Tone(1)) << "background from the left edge";
    EXPECT_EQ(At(666, 498), Tone(1));
    EXPECT_EQ(At(300, 499), colors::Black) << "the row below the picture";
    EXPECT_EQ(At(kX0 + 120, kY0 + 20), Tone(2)) << "character picture";
    EXPECT_EQ(At(kX0 + 120 + 447, kY0 + 20 + 310), Tone(2));
    EXPECT_EQ(At(kX0 + 243, kY0 + 21), Tone(10)) << "course badge かんたん";
    EXPECT_EQ(At(kX0 + 243 + 199, kY0 + 21 + 34), Tone(10));
    EXPECT_EQ(At(kX0 + 146, kY0 + 65), Tone(26)) << "title of song 6";
    EXPECT_EQ(At(kX0 + 146 + 393, kY0 + 65 + 48), Tone(26));
    EXPECT_EQ(At(kX0 + 158, kY0 + 114), Tone(36)) << "genre of song 6";
    EXPECT_EQ(At(kX0 + 158 + 369, kY0 + 114 + 31), Tone(36));

    // One filled star, three empty slots, nothing beyond the fourth slot.
    EXPECT_EQ(Star(0), Tone(40));
    for (int i = 1; i < 4; ++i) EXPECT_EQ(Star(i), Tone(41)) << "slot " << i;
    EXPECT_EQ(At(kX0 + 148 + 35 * 3 + 37, kY0 + 155), Tone(41)) << "last slot's right edge";
    EXPECT_EQ(At(kX0 + 148 + 35 * 3 + 38, kY0 + 156), Tone(2)) << "no fifth slot";

    // 123456 right-aligned to x0 + 500.
    const int digits[6] = {6, 5, 4, 3, 2, 1};
    for (int i = 1; i <= 6; ++i) EXPECT_EQ(Digit(i), Tone(50 + digits[i - 1])) << "digit " << i;
    EXPECT_EQ(At(kX0 + 499, kY0 + 264), Tone(56)) << "last digit ends at x0 + 500";
    EXPECT_EQ(At(kX0 + 500, kY0 + 206), Tone(2));
    EXPECT_EQ(Digit(7), Tone(2)) << "no seventh digit";

    // 01/10.
    const int glyphs[5] = {0, 1, 10, 1, 0};
    for (int k = 0; k < 5; ++k) EXPECT_EQ(Small(k), Tone(60 + glyphs[k])) << "glyph " << k;
    EXPECT_EQ(At(kX0 + 303 + 90, kY0 + 291), Tone(2)) << "nothing after the count";

    EXPECT_EQ(At(kX0 + 30, kY0 + 350), Tone(80)) << "instructions";
    EXPECT_EQ(At(kX0 + 30 + 602, kY0 + 350 + 98), Tone(80));
}

TEST_F(SongHyojiTest, StarSlotsFollowTheCourse) {
    SongHyoji(game, {0, 0}, 4, 0, 10, 10);  // four filled, no empty slot
    for (int i = 0; i < 4; ++i) EXPECT_EQ(Star(i), Tone(40));
    EXPECT_EQ(Star(4), Tone(2));

    SongHyoji(game, {7, 1}, 4, 0, 10, 3);
    for (int i = 0; i < 4; ++i) EXPECT_EQ(Star(i), Tone(40));
    for (int i = 4; i < 7; ++i) EXPECT_EQ(Star(i), Tone(41));
    EXPECT_EQ(Star(7), Tone(2));
    EXPECT_EQ(At(kX0 + 243, kY0 + 21), Tone(11)) << "badge むずかしい";

    SongHyoji(game, {4, 2}, 8, 0, 9, 2);
    for (int i = 0; i < 8; ++i) EXPECT_EQ(Star(i), Tone(40));
    for (int i = 8; i < 10; ++i) EXPECT_EQ(Star(i), Tone(41));
    EXPECT_EQ(Star(10), Tone(2));
}

TEST_F(SongHyojiTest, ChallengeShowsTenSlotsAndTheEleventhStar) {
    SongHyoji(game, {6, 0}, 1, 0, 31, 1, true);
    EXPECT_EQ(Star(0), Tone(40));
    for (int i = 1; i < 10; ++i) EXPECT_EQ(Star(i), Tone(41));
    EXPECT_EQ(At(kX0 + 243, kY0 + 21), Tone(10));

    SongHyoji(game, {8, 3}, 11, 1234567, 31, 31, true);
    for (int i = 0; i < 10; ++i) EXPECT_EQ(Star(i), Tone(40)) << "slot " << i;
    EXPECT_EQ(Star(10), Tone(42)) << "the eleventh-level star right of the ten slots";
    EXPECT_EQ(At(kX0 + 243, kY0 + 21), Tone(13)) << "badge チャレンジ";
    const int digits[7] = {7, 6, 5, 4, 3, 2, 1};
    for (int i = 1; i <= 7; ++i) EXPECT_EQ(Digit(i), Tone(50 + digits[i - 1]));
    const int glyphs[5] = {3, 1, 10, 3, 1};
    for (int k = 0; k < 5; ++k) EXPECT_EQ(Small(k), Tone(60 + glyphs[k]));
}

TEST_F(SongHyojiTest, ZeroScoreIsOneDigitAndEveryCallRestartsThePreview) {
    SongHyoji(game, {6, 0}, 1, 0, 10, 1);
    EXPECT_EQ(Digit(1), Tone(50));
    EXPECT_EQ(Digit(2), Tone(2));
    hp.clock.Advance(5);
    SongHyoji(game, {6, 0}, 1, 0, 10, 1);
    const std::vector<std::string> expect{"/game/" + SongMusicFile(6), "/game/" + SongMusicFile(6)};
    EXPECT_EQ(hp.music.History(), expect);
    EXPECT_NEAR(hp.music.CurrentPosition(), 0.0, 1e-9) << "the same song starts again";
    EXPECT_EQ(SongMusicFile(6).rfind("sound/", 0), 0u);
}

TEST_F(SongHyojiTest, RedrawLeavesNothingOfThePreviousSong) {
    SongHyoji(game, {8, 2}, 10, 9999999, 10, 8);
    SongHyoji(game, {4, 0}, 1, 5, 10, 2);
    EXPECT_EQ(Star(1), Tone(41));
    EXPECT_EQ(Digit(2), Tone(2));
    EXPECT_EQ(At(kX0 + 146, kY0 + 65), Tone(24));
}

TEST_F(SongHyojiTest, MissingPicturesDrawNothingAndDoNotFail) {
    game.form.frmGamen = std::make_unique<GamenHolder>();
    EXPECT_NO_THROW(SongHyoji(game, {6, 0}, 1, 42, 10, 1));
    EXPECT_EQ(hp.music.FileName(), "/game/" + SongMusicFile(6));
}

}  // namespace
}  // namespace zb
