// The song select pictures. The screen is composed at fixed places: the space background, the
// panel with the dog (masked), and opaque plates on it (badge, title, genre, stars, the
// instructions). Each plate's own background is cut from the composed screen at its place, so
// the plates sit on the panel without visible rectangles.
#include <cmath>

#include "art.hpp"
#include "characters.hpp"
#include "core/songs.hpp"
#include "draw.hpp"
#include "writers.hpp"

namespace artgen {

namespace {
// Where the screen puts things: the window origin of the 697 x 499 background.
constexpr int kX0 = -15, kY0 = 0;
constexpr int kGalX = kX0 + 120, kGalY = kY0 + 20;

void Sparkle(cairo_t* cr, double x, double y, double r, uint32_t c) {
    cairo_new_path(cr);
    for (int i = 0; i < 8; ++i) {
        const double rr = (i % 2 == 0) ? r : r * 0.28;
        const double a = -M_PI / 2 + i * M_PI / 4;
        cairo_line_to(cr, x + rr * std::cos(a), y + rr * std::sin(a));
    }
    cairo_close_path(cr);
    SetColor(cr, c);
    cairo_fill(cr);
}

void MusicNote(cairo_t* cr, double x, double y, double s, uint32_t c) {
    EllipsePath(cr, x, y, 5 * s, 3.8 * s, -0.4);
    cairo_rectangle(cr, x + 3.4 * s, y - 17 * s, 1.8 * s, 17 * s);
    cairo_move_to(cr, x + 3.4 * s, y - 17 * s);
    cairo_curve_to(cr, x + 9 * s, y - 14 * s, x + 11 * s, y - 10 * s, x + 9 * s, y - 6 * s);
    cairo_curve_to(cr, x + 9 * s, y - 10 * s, x + 7 * s, y - 12 * s, x + 5.2 * s, y - 12 * s);
    cairo_close_path(cr);
    FillStroke(cr, c, pal::Ink, 1.6);
}

zb::Surface Uchu() {
    Canvas c(697, 499);
    cairo_t* cr = c.cr();
    cairo_pattern_t* g = cairo_pattern_create_linear(0, 0, 0, 499);
    cairo_pattern_add_color_stop_rgb(g, 0, 0x1A / 255.0, 0x16 / 255.0, 0x4E / 255.0);
    cairo_pattern_add_color_stop_rgb(g, 0.6, 0x3C / 255.0, 0x25 / 255.0, 0x7E / 255.0);
    cairo_pattern_add_color_stop_rgb(g, 1, 0x6A / 255.0, 0x2F / 255.0, 0x8E / 255.0);
    cairo_set_source(cr, g);
    cairo_paint(cr);
    cairo_pattern_destroy(g);
    // Scattered sparkles, a fixed pattern.
    const uint32_t tints[] = {pal::White, pal::Yellow, 0xFFC3E1, pal::KanLight};
    for (int i = 0; i < 90; ++i) {
        const double x = (i * 197 + 31) % 697, y = (i * 113 + 17) % 499;
        Sparkle(cr, x, y, i % 7 == 0 ? 6 : (i % 3 == 0 ? 3.5 : 2.2), tints[i % 4]);
    }
    // A ringed planet at the upper left (the ring's lower half passes in front), a blue moon.
    auto ring = [cr] {
        EllipsePath(cr, 62, 96, 48, 12, -0.35);
        SetColor(cr, pal::Ink);
        cairo_set_line_width(cr, 7);
        cairo_stroke_preserve(cr);
        SetColor(cr, pal::Yellow);
        cairo_set_line_width(cr, 3.5);
        cairo_stroke(cr);
    };
    ring();
    CirclePath(cr, 62, 96, 27);
    FillStroke(cr, pal::Orange, pal::Ink, 3);
    cairo_save(cr);
    cairo_rectangle(cr, 0, 96, 697, 403);
    cairo_clip(cr);
    ring();
    cairo_restore(cr);
    CirclePath(cr, 640, 250, 26);
    FillStroke(cr, pal::KanLight, pal::Ink, 3);
    CirclePath(cr, 632, 242, 6);
    SetColor(cr, 0x5FB6F0);
    cairo_fill(cr);
    CirclePath(cr, 648, 262, 4);
    cairo_fill(cr);
    // A shooting star with a rainbow tail at the upper right.
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    cairo_set_line_width(cr, 3.5);
    const uint32_t tail[] = {pal::Pink, pal::Yellow, pal::KanLight};
    for (int i = 0; i < 3; ++i) {
        cairo_move_to(cr, 628 + 4 * i, 42 - 4 * i);
        cairo_line_to(cr, 588 + 4 * i, 10 - 4 * i);
        SetColor(cr, tail[i]);
        cairo_stroke(cr);
    }
    StarPath(cr, 638, 46, 11, 5);
    FillStroke(cr, pal::Yellow, pal::Ink, 2);
    MusicNote(cr, 60, 220, 1.4, pal::Pink);
    MusicNote(cr, 640, 120, 1.2, pal::Green);
    MusicNote(cr, 92, 310, 1.0, pal::Yellow);
    MusicNote(cr, 655, 330, 1.1, pal::DonLight);
    // A little planet's hill at the bottom.
    cairo_new_path(cr);
    cairo_move_to(cr, 0, 499);
    cairo_curve_to(cr, 150, 452, 550, 452, 697, 499);
    cairo_close_path(cr);
    FillStroke(cr, 0x4CC2A0, pal::Ink, 3);
    return c.Opaque();
}

SpritePair Gal() {
    Canvas c(448, 311);
    cairo_t* cr = c.cr();
    // The panel: an orange drum-rim frame with golden tacks around a white card.
    RoundRectPath(cr, 5, 11, 438, 293, 26);
    FillStroke(cr, pal::Orange, pal::Ink, 3);
    for (double x = 40; x < 420; x += 28) {
        CirclePath(cr, x, 15.5, 2.2);
        CirclePath(cr, x, 299.5, 2.2);
    }
    for (double y = 48; y < 290; y += 28) {
        CirclePath(cr, 9.5, y, 2.2);
        CirclePath(cr, 438.5, y, 2.2);
    }
    FillStroke(cr, pal::Yellow, pal::Ink, 1);
    RoundRectPath(cr, 14, 20, 420, 276, 18);
    FillStroke(cr, pal::White, pal::Ink, 2.5);
    // Small captions for the score and the place in the course.
    // Small tags, like the genre strip's, name the score and the place in the course.
    auto tag = [cr](const char* text, double x, double cy, double w) {
        RoundRectPath(cr, x, cy - 9, w, 18, 9);
        FillStroke(cr, 0xF1EEF7, pal::Ink, 1.2);
        TextStyle st;
        st.size = 12;
        st.fill = pal::Ink;
        DrawTextCentered(cr, text, st, x + w / 2, cy);
    };
    tag("ハイスコア", 292, 257, 80);  // under the score, clear of seven digits
    tag("きょく", 124, 282, 54);
    // Two notes at the lower left and the dog at the lower right, cheering with a stick.
    struct Deco {
        double x;
        uint32_t color;
        const char* glyph;
    };
    for (const auto& [x, color, glyph] :
         {Deco{44, pal::DonRed, "鈍"}, Deco{84, pal::KanBlue, "感"}}) {
        CirclePath(cr, x, 270, 16);
        FillStroke(cr, pal::White, pal::Ink, 2);
        CirclePath(cr, x, 270, 12.5);
        FillStroke(cr, color, pal::Ink, 1.5);
        TextStyle st;
        st.size = 15;
        st.fill = pal::White;
        st.strokes = {{pal::Ink, 3}};
        DrawTextCentered(cr, glyph, st, x, 270.5);
    }
    Stick(cr, 430, 262, 441, 218, 4);
    DogHead(cr, 401, 268, 27, Mood::Cheer, 2.4);
    Paw(cr, 430, 262, 7, 0.4);
    Paw(cr, 376, 292, 7, -0.2);
    return SplitSprite(c);
}

// The screen as far as the plates see it: background and panel.
zb::Surface Backdrop(const zb::Surface& uchu, const SpritePair& gal) {
    zb::Surface screen(667, 500, zb::colors::Black);
    zb::BlitCopy(uchu, 0, 0, 697, 499, screen, kX0, kY0);
    zb::BlitMasked(gal.sprite, gal.mask, 0, 0, 448, 311, screen, kGalX, kGalY);
    return screen;
}

// A canvas of w x h whose background is the backdrop at (x, y).
void Cut(Canvas& c, const zb::Surface& backdrop, int x, int y) {
    PaintSurface(c.cr(), backdrop, -x, -y);
}

void Badge(ArtSet& art, const zb::Surface& bd, const char* file, const char* text, uint32_t color) {
    Canvas c(200, 35);
    Cut(c, bd, kX0 + 243, kY0 + 21);
    cairo_t* cr = c.cr();
    RoundRectPath(cr, 2, 2, 196, 31, 15.5);
    FillStroke(cr, color, pal::Ink, 2.5);
    TextStyle st;
    st.size = 21;
    st.fill = pal::White;
    st.strokes = {{pal::Ink, 4.5}};
    st.boldness = 0.8;
    st.maxWidth = 180;
    DrawTextCentered(cr, text, st, 100, 18);
    art.Opaque(file, c);
}

void Title(ArtSet& art, const zb::Surface& bd, int song) {
    static const uint32_t colors[] = {pal::KanBlue, pal::DonRed, pal::Purple, pal::Green,
                                      pal::Orange,  pal::DonRed, pal::Purple, pal::KanBlue,
                                      pal::Green,   pal::Pink};
    Canvas c(394, 49);
    Cut(c, bd, kX0 + 146, kY0 + 65);
    TextStyle st;
    st.size = 36;
    st.family = "IPAPGothic";
    st.fill = colors[song];
    st.strokes = {{pal::Ink, 6}};
    st.boldness = 1.2;
    st.maxWidth = 384;
    DrawTextCentered(c.cr(), zb::SongTitle(song), st, 197, 25);
    art.Opaque("other/song" + std::to_string(song) + ".gif", c);
}

void Genre(ArtSet& art, const zb::Surface& bd, const char* file, const char* text, uint32_t color) {
    Canvas c(370, 32);
    Cut(c, bd, kX0 + 158, kY0 + 114);
    cairo_t* cr = c.cr();
    RoundRectPath(cr, 2, 3, 366, 26, 13);
    FillStroke(cr, color, pal::Ink, 2);
    RoundRectPath(cr, 7, 7, 74, 18, 9);
    FillStroke(cr, pal::White, pal::Ink, 1.2);
    TextStyle tag;
    tag.size = 12;
    tag.fill = pal::Ink;
    DrawTextCentered(cr, "ジャンル", tag, 44, 16);
    TextStyle st;
    st.size = 19;
    st.fill = pal::White;
    st.strokes = {{pal::Ink, 4}};
    st.boldness = 0.6;
    st.maxWidth = 270;
    DrawTextCentered(cr, text, st, 225, 16.5);
    art.Opaque(file, c);
}

enum class Shine { None, Glint, Sparkle };

void Star(ArtSet& art, const char* file, uint32_t fill, uint32_t ink, Shine shine) {
    // Stars stand 35 pixels apart, so each keeps within 35 columns; white around them, like
    // the panel they stand on.
    Canvas c(38, 38);
    cairo_t* cr = c.cr();
    StarPath(cr, 18.5, 20, 16, 7);
    FillStroke(cr, fill, ink, 2.2);
    if (shine == Shine::Sparkle) {
        Sparkle(cr, 18.5, 20, 7, pal::White);
        Sparkle(cr, 12.5, 16, 3, pal::Yellow);
    } else if (shine == Shine::Glint) {
        EllipsePath(cr, 14, 15, 3, 2, -0.6);
        SetColor(cr, 0xFFF6C4);
        cairo_fill(cr);
    }
    art.Sprite(file, "other/star_mask.bmp", c);
}

void Digit(ArtSet& art, const std::string& name, const std::string& text, int w, int h, double size,
           uint32_t top, uint32_t bottom, double ink) {
    Canvas c(w, h);
    cairo_t* cr = c.cr();
    TextStyle st;
    st.size = size;
    st.family = "IPAPGothic";  // its zero has no slash
    st.strokes = {{pal::Ink, ink}};
    st.boldness = ink / 8;
    st.maxWidth = w - 1;
    // A two-colour fill, light above and deeper below.
    cairo_push_group(cr);
    st.fill = bottom;
    DrawTextCentered(cr, text, st, w / 2.0, h / 2.0 + 0.5);
    cairo_save(cr);
    cairo_rectangle(cr, 0, 0, w, h * 0.5);
    cairo_clip(cr);
    st.strokes.clear();
    st.fill = top;
    DrawTextCentered(cr, text, st, w / 2.0, h / 2.0 + 0.5);
    cairo_restore(cr);
    cairo_pop_group_to_source(cr);
    cairo_paint(cr);
    art.Sprite("other/" + name + ".bmp", "other/" + name + "_mask.bmp", c);
}

void KeyCap(cairo_t* cr, double x, double cy, const char* text, double w) {
    RoundRectPath(cr, x, cy - 12, w, 25, 6);
    FillStroke(cr, 0xD9D3E6, pal::Ink, 2);
    RoundRectPath(cr, x, cy - 12, w, 21, 6);
    FillStroke(cr, pal::White, pal::Ink, 2);
    TextStyle st;
    st.size = 15;
    st.family = "IPAPGothic";
    st.fill = pal::Ink;
    st.boldness = 0.5;
    DrawTextCentered(cr, text, st, x + w / 2, cy - 1.5);
}

double Words(cairo_t* cr, double x, double cy, const char* text, double size = 17) {
    TextStyle st;
    st.size = size;
    st.fill = pal::Ink;
    st.boldness = 0.5;
    DrawTextLeft(cr, text, st, x, cy);
    return x + MeasureText(cr, text, st).w;
}

void Setumei(ArtSet& art, const zb::Surface& bd) {
    Canvas c(603, 99);
    Cut(c, bd, kX0 + 30, kY0 + 350);
    cairo_t* cr = c.cr();
    RoundRectPath(cr, 2, 2, 599, 95, 18);
    FillStroke(cr, pal::Cream, pal::Ink, 3);
    cairo_move_to(cr, 18, 50);
    cairo_line_to(cr, 585, 50);
    SetColor(cr, 0xE8D9B8);
    cairo_set_line_width(cr, 1.5);
    cairo_stroke(cr);
    // How to choose and start.
    KeyCap(cr, 22, 27, "←", 26);
    KeyCap(cr, 52, 27, "→", 26);
    double x = Words(cr, 86, 27, "で選曲");
    KeyCap(cr, x + 30, 27, "Enter", 62);
    x = Words(cr, x + 100, 27, "でプレイ");
    KeyCap(cr, x + 30, 27, "Space", 62);
    Words(cr, x + 100, 27, "でオートプレイ");
    // The four drum keys: feet strike 鈍, hands strike 感.
    struct Key {
        const char *limb, *key;
        uint32_t color;
        const char* glyph;
    };
    const Key keys[] = {{"左足", "テンキー1", pal::DonRed, "鈍"},
                        {"右足", "テンキー2", pal::DonRed, "鈍"},
                        {"左手", "テンキー4", pal::KanBlue, "感"},
                        {"右手", "テンキー5", pal::KanBlue, "感"}};
    for (int i = 0; i < 4; ++i) {
        const double kx = 20 + 146 * i;
        CirclePath(cr, kx + 11, 73, 11);
        FillStroke(cr, keys[i].color, pal::Ink, 2);
        TextStyle g;
        g.size = 13;
        g.fill = pal::White;
        g.strokes = {{pal::Ink, 2.5}};
        DrawTextCentered(cr, keys[i].glyph, g, kx + 11, 73.5);
        const double after = Words(cr, kx + 27, 73, keys[i].limb, 16);
        Words(cr, after + 6, 73, keys[i].key, 16);
    }
    art.Opaque("other/setumei.bmp", c);
}
}  // namespace

void DrawSongSelect(ArtSet& art) {
    art.Opaque("other/uchu.gif", Uchu());
    art.Sprite("other/gal.gif", "other/gal_mask.gif", Gal());
    const SpritePair gal{art.Get("other/gal.gif"), art.Get("other/gal_mask.gif")};
    const zb::Surface bd = Backdrop(art.Get("other/uchu.gif"), gal);

    Badge(art, bd, "other/kantan.bmp", "かんたん", pal::Green);
    Badge(art, bd, "other/muzu.bmp", "むずかしい", pal::DonRed);
    Badge(art, bd, "other/wonder.bmp", "ワンだフル！", pal::Purple);
    Badge(art, bd, "other/challenge.bmp", "チャレンジ", pal::KanBlue);
    for (int song = 0; song < zb::kSongCount; ++song) Title(art, bd, song);
    Genre(art, bd, "other/game.gif", "ゲームミュージック", pal::Green);
    Genre(art, bd, "other/origin.gif", "オリジナル", pal::Pink);
    Genre(art, bd, "other/cla.gif", "クラシック", pal::Purple);
    Genre(art, bd, "other/heavy.gif", "ヘヴィ", 0x4A3A5E);
    Genre(art, bd, "other/own.gif", "じぶんの曲（MIDI）", pal::Orange);  // the players' own songs
    Star(art, "other/star1.bmp", pal::Yellow, pal::Ink, Shine::Glint);
    Star(art, "other/star2.bmp", 0xE9E5F0, 0xB9B2C8, Shine::None);      // an empty slot, pale
    Star(art, "other/star3.bmp", pal::Pink, pal::Ink, Shine::Sparkle);  // the eleventh level
    for (int d = 0; d <= 9; ++d) {
        const std::string s = std::to_string(d);
        Digit(art, s, s, 45, 60, 66, pal::Yellow, pal::Orange, 7);
        Digit(art, s + "s", s, 18, 24, 25, pal::KanLight, pal::KanBlue, 4.5);
    }
    Digit(art, "slash", "/", 18, 24, 24, pal::KanLight, pal::KanBlue, 4.5);
    Setumei(art, bd);
}

}  // namespace artgen
