#include "course/song_hyoji.hpp"

#include <cstdlib>

#include "core/checked.hpp"
#include "core/helpers.hpp"
#include "core/picture_sets.hpp"
#include "core/songs.hpp"
#include "course/setumei_strikes.hpp"

namespace zb {

namespace {

constexpr int kPictureWidth = 697, kPictureHeight = 499;

// Copies the top-left w x h of a picture box's drawing.
void Copy(PictureBox& src, int w, int h, Surface& dst, int x, int y) {
    BlitCopy(src.Dc(), 0, 0, w, h, dst, x, y);
}

void Masked(PictureBox& sprite, PictureBox& mask, int w, int h, Surface& dst, int x, int y) {
    BlitMasked(sprite.Dc(), mask.Dc(), 0, 0, w, h, dst, x, y);
}

}  // namespace

int16_t SongScreenX0() {
    return Round16((kFormWidthTwips / double(kTwipsPerPixel) - kPictureWidth) / 2);
}
int16_t SongScreenY0() {
    return Round16((kFormHeightTwips / double(kTwipsPerPixel) - kPictureHeight) / 2);
}

void SongHyoji(Game& game, ChartId chart, int16_t level, int32_t highScore, int16_t count,
               int16_t position) {
    const int16_t song = chart.song, difficulty = chart.difficulty;
    GamenHolder& g = Gamen(game);
    const int x0 = SongScreenX0(), y0 = SongScreenY0();
    Surface& ura = g.pGamenUra.Dc();

    // The picture leaves the window's bottom row uncovered: clear to the screen's black.
    g.pGamenUra.BackColor = colors::Black;
    g.pGamenUra.Cls();
    Copy(g.pUchu, kPictureWidth, kPictureHeight, ura, x0, y0);
    Masked(g.pGal, g.pGalUra, 448, 311, ura, x0 + 120, y0 + 20);
    Copy(g.pEazy.at(difficulty), 200, 35, ura, x0 + 243, y0 + 21);
    Copy(g.pSongTitle.at(song), 394, 49, ura, x0 + 146, y0 + 65);
    Copy(g.pJanru.at(song), 370, 32, ura, x0 + 158, y0 + 114);

    // Star slots for the course's highest level, then the song's stars over them; a level past
    // ten gets the eleventh-level star over its filled one.
    const int slots = game.course.ChallengeCourse ? 10
                      : difficulty == 0           ? 4
                      : difficulty == 1           ? 7
                                                  : 10;
    for (int i = 0; i < slots; ++i) Copy(g.pStar[1], 38, 38, ura, x0 + 148 + 35 * i, y0 + 155);
    for (int i = 0; i < level; ++i) {
        Copy(g.pStar[0], 38, 38, ura, x0 + 148 + 35 * i, y0 + 155);
        if (i > 9) Copy(g.pStar[2], 38, 38, ura, x0 + 148 + 35 * i, y0 + 155);
    }

    // The high score, right-aligned with its last digit ending at x0 + 500. A corrupt negative
    // score shows its digits without a sign.
    int64_t rest = std::llabs(int64_t{highScore});
    for (int i = 1;; ++i) {
        const int digit = int(rest % 10);
        Masked(g.pSuji[digit], g.pSujiMask[digit], 45, 60, ura, x0 + 500 - 45 * i, y0 + 205);
        rest /= 10;
        if (rest == 0) break;
    }

    // Position and count with leading zeros: "03/10".
    const int glyphs[5] = {position / 10 % 10, position % 10, 10, count / 10 % 10, count % 10};
    for (int k = 0; k < 5; ++k) {
        const int gl = glyphs[k] < 0 ? 0 : glyphs[k];
        Masked(g.pSujiSmall[gl], g.pSujiSmallMask[gl], 18, 24, ura, x0 + 303 + 18 * k, y0 + 290);
    }

    Copy(g.pSetumei, 603, 99, ura, x0 + 30, y0 + 350);

    PictureBox& gamen = game.form.pGamen;
    BlitCopy(ura, 0, 0, kFormWidthPx, kFormHeightPx, gamen.Dc(), 0, 0);
    DrawBoundStrikes(game, x0 + 30, y0 + 350);

    if (song >= 0 && song < kSongCount)
        game.platform.music.SetFileName(game.AppDir() + SongMusicFile(song));
}

}  // namespace zb
