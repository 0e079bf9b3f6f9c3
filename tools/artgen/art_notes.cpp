// Notes (鈍 red, 感 blue; small about two thirds of the square, big all of it), the judgement
// frame with its five pulse pictures, and the bar line.
#include <cmath>

#include "art.hpp"
#include "draw.hpp"

namespace artgen {

void NoteFace(cairo_t* cr, double cx, double cy, double r, uint32_t face, uint32_t light,
              const char* glyph) {
    // Ink rim, white ring, coloured face with a soft highlight, the glyph in white.
    CirclePath(cr, cx, cy, r - 1.25);
    FillStroke(cr, pal::White, pal::Ink, 2.5);
    CirclePath(cr, cx, cy, r * 0.80);
    FillStroke(cr, face, pal::Ink, 1.6);
    cairo_save(cr);
    CirclePath(cr, cx, cy, r * 0.80 - 1);
    cairo_clip(cr);
    EllipsePath(cr, cx - r * 0.22, cy - r * 0.42, r * 0.55, r * 0.28, -0.35);
    SetColor(cr, light);
    cairo_fill(cr);
    cairo_restore(cr);
    TextStyle st;
    st.size = r * 1.0;
    st.fill = pal::White;
    st.strokes = {{pal::Ink, r * 0.16}};
    st.boldness = r * 0.03;
    DrawTextCentered(cr, glyph, st, cx, cy + 0.5);
}

namespace {
constexpr double kC = 32;  // centre of every 64 x 64 sprite

void Note(Canvas& c, double r, uint32_t face, uint32_t light, const char* glyph) {
    NoteFace(c.cr(), kC, kC, r, face, light, glyph);
}

void Ring(cairo_t* cr) {
    // The frame: an outer ring the size of a big note and an inner one the size of a small note,
    // light lines in ink so they show on the dark lane and on white alike.
    cairo_set_line_width(cr, 5);
    SetColor(cr, pal::Ink);
    CirclePath(cr, kC, kC, 29.2);
    cairo_stroke(cr);
    CirclePath(cr, kC, kC, 21.5);
    cairo_stroke(cr);
    cairo_set_line_width(cr, 2.4);
    SetColor(cr, 0xE4DEF0);
    CirclePath(cr, kC, kC, 29.2);
    cairo_stroke(cr);
    SetColor(cr, pal::Yellow);
    CirclePath(cr, kC, kC, 21.5);
    cairo_stroke(cr);
}

void Pulse(Canvas& c, int step) {
    // step 0 (waku-1) to 4 (waku3): a golden burst ring that grows and thins out.
    cairo_t* cr = c.cr();
    Ring(cr);
    const double r = 18.0 + 2.6 * step;  // the ink stays inside the square
    const double w = 7.0 - 1.0 * step;
    cairo_set_line_width(cr, w + 3);
    SetColor(cr, pal::Ink);
    CirclePath(cr, kC, kC, r);
    cairo_stroke(cr);
    cairo_set_line_width(cr, w);
    SetColor(cr, step < 2 ? pal::Yellow : pal::Orange);
    CirclePath(cr, kC, kC, r);
    cairo_stroke(cr);
    // Eight sparks just outside the ring.
    for (int i = 0; i < 8; ++i) {
        const double a = i * M_PI / 4 + (step % 2) * M_PI / 8;
        const double d = std::min(29.0, r + 4 + step);
        const double x = kC + d * std::cos(a), y = kC + d * std::sin(a);
        if (x < 3 || y < 3 || x > 61 || y > 61) continue;
        StarPath(cr, x, y, 2.8 + 0.2 * step, 1.3);
        FillStroke(cr, pal::White, pal::Ink, 1.2);
    }
}
}  // namespace

void DrawNotes(ArtSet& art) {
    struct NoteKind {
        const char *name, *mask, *glyph;
        double r;
        uint32_t face, light;
    };
    const NoteKind kinds[] = {
        {"note/don_s.bmp", "note/s_mask.bmp", "鈍", 21.5, pal::DonRed, pal::DonLight},
        {"note/kan_s.bmp", "note/s_mask.bmp", "感", 21.5, pal::KanBlue, pal::KanLight},
        {"note/don_b.bmp", "note/b_mask.bmp", "鈍", 32, pal::DonRed, pal::DonLight},
        {"note/kan_b.bmp", "note/b_mask.bmp", "感", 32, pal::KanBlue, pal::KanLight},
    };
    for (const NoteKind& k : kinds) {
        Canvas c(64, 64);
        Note(c, k.r, k.face, k.light, k.glyph);
        art.Sprite(k.name, k.mask, c);
    }
    {
        Canvas c(64, 64);
        Ring(c.cr());
        art.Sprite("note/waku.gif", "note/waku_mask.gif", c);
    }
    const char* pulses[] = {"waku-1", "waku0", "waku1", "waku2", "waku3"};
    for (int i = 0; i < 5; ++i) {
        Canvas c(64, 64);
        Pulse(c, i);
        const std::string base = std::string("note/") + pulses[i];
        art.Sprite(base + ".gif", base + "_mask.gif", c);
    }
    {
        // The bar line stands on the note's centre line, from above the note row to below it.
        Canvas c(64, 91);
        cairo_t* cr = c.cr();
        RoundRectPath(cr, 30, 3, 4, 85, 2);
        FillStroke(cr, 0xC9C1DC, pal::Ink, 2);  // light, for the dark lane
        CirclePath(cr, 32, 5, 3.5);
        FillStroke(cr, pal::Yellow, pal::Ink, 1.5);
        art.Sprite("note/line.gif", "note/line_mask.gif", c);
    }
}

}  // namespace artgen
