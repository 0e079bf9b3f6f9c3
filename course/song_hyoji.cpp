#include "course/song_hyoji.hpp"

#include <algorithm>
#include <cstdlib>
#include <string>
#include <tuple>
#include <vector>

#include "core/checked.hpp"
#include "core/helpers.hpp"
#include "core/own_songs.hpp"
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

constexpr Color kInk = Color::Rgb(0x2A, 0x1A, 0x3E);  // the pictures' outline colour

// Text with a dark outline, centred in (x, y, w, h), as the title pictures letter theirs.
void OutlinedText(TextRenderer& text, Surface& dst, int x, int y, int w, int h,
                  const std::string& s, double points, Color fill) {
    for (int dy = -2; dy <= 2; dy += 2)
        for (int dx = -2; dx <= 2; dx += 2)
            if (dx || dy) text.DrawText(dst, x + dx, y + dy, w, h, s, points, kInk, Align::Center);
    text.DrawText(dst, x, y, w, h, s, points, fill, Align::Center);
}

// The largest size, down to a floor, at which the title fits on one line; a title too long even
// then loses its end to an ellipsis.
std::pair<std::string, double> FitTitle(TextRenderer& text, std::string title, int width) {
    double points = 24;
    while (points > 12 && text.Measure(title, points, 1 << 20).width > width) points -= 1;
    while (title.size() > 3 && text.Measure(title + "…", points, 1 << 20).width > width) {
        size_t n = title.size() - 1;  // the last character's first byte
        while (n > 0 && (static_cast<unsigned char>(title[n]) & 0xC0) == 0x80) --n;
        title.erase(n);
    }
    return {title, points};
}

// An own song's title picture, drawn for the song on show only (there may be hundreds): its
// name lettered on the panel where a built-in song's picture stands.
void DrawOwnTitle(Game& game, const OwnSong& song, Surface& ura, int x, int y) {
    TextRenderer& text = game.platform.window.Text();
    const int w = 394, h = 49;
    std::string title = song.title;
    double points = 24;
    if (text.Measure(title, points, 1 << 20).width > w - 10) {
        std::tie(title, points) = FitTitle(text, title, w - 10);
        if (title != song.title) title += "…";
    }
    OutlinedText(text, ura, x, y + (h - PointsToPixels(points)) / 2 - 2, w,
                 PointsToPixels(points) + 8, title, points, Color::Rgb(0xFF, 0x9F, 0x1C));
}

// A song in a folder of songs/ has the folder as its genre, lettered over the panel's words.
void DrawOwnGenre(Game& game, const OwnSong& song, Surface& ura, int x, int y) {
    const std::string folder = OwnSongFolder(game, song);
    if (folder.empty()) return;
    const Color panel = ura.At(std::clamp(x + 100, 0, ura.Width() - 1), y + 4);
    ura.FillRect(x + 84, y + 3, 280, 26, panel);
    TextRenderer& text = game.platform.window.Text();
    auto [name, points] = FitTitle(text, folder, 270);
    if (name != folder) name += "…";
    text.DrawText(ura, x + 84, y + 3, 280, 26, name, std::min(points, 15.0), kInk, Align::Center);
}

// Draws the glyphs of "position/count" centred where the course's "03/10" stands, with as many
// digits as the count needs.
void DrawPlace(GamenHolder& g, Surface& ura, int x0, int y0, int position, int count) {
    int digits = 2;
    for (int c = count; c >= 100; c /= 10) ++digits;
    std::vector<int> glyphs;
    auto put = [&](int v) {
        for (int k = digits - 1; k >= 0; --k) {
            int p = 1;
            for (int i = 0; i < k; ++i) p *= 10;
            glyphs.push_back(v < 0 ? 0 : v / p % 10);
        }
    };
    put(position);
    glyphs.push_back(10);
    put(count);
    const int x = x0 + 303 - 9 * (int(glyphs.size()) - 5);
    for (size_t k = 0; k < glyphs.size(); ++k) {
        const int gl = glyphs[k];
        Masked(g.pSujiSmall[gl], g.pSujiSmallMask[gl], 18, 24, ura, x + 18 * int(k), y0 + 290);
    }
}

}  // namespace

int16_t SongScreenX0() {
    return Round16((kFormWidthTwips / double(kTwipsPerPixel) - kPictureWidth) / 2);
}
int16_t SongScreenY0() {
    return Round16((kFormHeightTwips / double(kTwipsPerPixel) - kPictureHeight) / 2);
}

void SongHyoji(Game& game, ChartId chart, int16_t level, int32_t highScore, int32_t count,
               int32_t position, bool challengeCourse, Preview preview) {
    const int16_t song = chart.song, difficulty = chart.difficulty;
    GamenHolder& g = Gamen(game, song);
    const int x0 = SongScreenX0(), y0 = SongScreenY0();
    Surface& ura = g.pGamenUra.Dc();

    // The picture leaves the window's bottom row uncovered: clear to the screen's black.
    g.pGamenUra.BackColor = colors::Black;
    g.pGamenUra.Cls();
    Copy(g.pUchu, kPictureWidth, kPictureHeight, ura, x0, y0);
    Masked(g.pGal, g.pGalUra, 448, 311, ura, x0 + 120, y0 + 20);
    Copy(g.pEazy.at(difficulty), 200, 35, ura, x0 + 243, y0 + 21);
    const OwnSong* own = FindOwnSong(game, song);
    if (own) {
        DrawOwnTitle(game, *own, ura, x0 + 146, y0 + 65);
        Copy(g.pOwnJanru, 370, 32, ura, x0 + 158, y0 + 114);
        DrawOwnGenre(game, *own, ura, x0 + 158, y0 + 114);
    } else {
        Copy(g.pSongTitle.at(song), 394, 49, ura, x0 + 146, y0 + 65);
        Copy(g.pJanru.at(song), 370, 32, ura, x0 + 158, y0 + 114);
    }

    if (own && !own->playable) {
        // A file the game cannot play says why, where the stars and the score would be.
        TextRenderer& text = game.platform.window.Text();
        OutlinedText(text, ura, x0 + 120, y0 + 160, 450, 40, "この曲は遊べません", 20,
                     Color::Rgb(0xFF, 0x6F, 0xA5));
        OutlinedText(text, ura, x0 + 120, y0 + 210, 450, 60, own->reason, 16, colors::White);
    } else {
        // Star slots for the course's highest level, then the song's stars over them; a level
        // past ten gets the eleventh-level star over its filled one.
        const int slots = challengeCourse ? 10 : difficulty == 0 ? 4 : difficulty == 1 ? 7 : 10;
        for (int i = 0; i < slots; ++i) Copy(g.pStar[1], 38, 38, ura, x0 + 148 + 35 * i, y0 + 155);
        for (int i = 0; i < level; ++i) {
            Copy(g.pStar[0], 38, 38, ura, x0 + 148 + 35 * i, y0 + 155);
            if (i > 9) Copy(g.pStar[2], 38, 38, ura, x0 + 148 + 35 * i, y0 + 155);
        }

        // The high score, right-aligned with its last digit ending at x0 + 500. A corrupt
        // negative score shows its digits without a sign.
        int64_t rest = std::llabs(int64_t{highScore});
        for (int i = 1;; ++i) {
            const int digit = int(rest % 10);
            Masked(g.pSuji[digit], g.pSujiMask[digit], 45, 60, ura, x0 + 500 - 45 * i, y0 + 205);
            rest /= 10;
            if (rest == 0) break;
        }
    }

    // Position and count with leading zeros: "03/10", or "003/250" with hundreds of songs.
    DrawPlace(g, ura, x0, y0, position, count);

    Copy(g.pSetumei, 603, 99, ura, x0 + 30, y0 + 350);

    PictureBox& gamen = game.form.pGamen;
    BlitCopy(ura, 0, 0, kFormWidthPx, kFormHeightPx, gamen.Dc(), 0, 0);
    DrawBoundStrikes(game, x0 + 30, y0 + 350);

    if (preview == Preview::Keep) return;
    if (own)  // the MIDI file is its own preview; a file the game cannot play stays silent
        game.platform.music.SetFileName(own->playable ? own->path : std::string());
    else if (song >= 0 && song < kSongCount)
        game.platform.music.SetFileName(game.AppDir() + SongMusicFile(song));
}

}  // namespace zb
