// The title logo, shown at the window's top left on the yellow title screen; the menu starts at
// x 367, so the logo keeps within 360 pixels.
#include <cmath>
#include <tuple>

#include "art.hpp"
#include "characters.hpp"
#include "draw.hpp"

namespace artgen {

namespace {
void LogoNote(cairo_t* cr, double cx, double cy, double r, uint32_t face, uint32_t light,
              const char* glyph) {
    CirclePath(cr, cx, cy, r);
    FillStroke(cr, pal::White, pal::Ink, 3.5);
    CirclePath(cr, cx, cy, r * 0.8);
    FillStroke(cr, face, pal::Ink, 2.5);
    cairo_save(cr);
    CirclePath(cr, cx, cy, r * 0.8 - 1);
    cairo_clip(cr);
    EllipsePath(cr, cx - r * 0.22, cy - r * 0.42, r * 0.55, r * 0.28, -0.35);
    SetColor(cr, light);
    cairo_fill(cr);
    cairo_restore(cr);
    TextStyle st;
    st.size = r;
    st.fill = pal::White;
    st.strokes = {{pal::Ink, r * 0.16}};
    st.boldness = r * 0.03;
    DrawTextCentered(cr, glyph, st, cx, cy + 1);
}
}  // namespace

void DrawLogo(ArtSet& art) {
    // 360 wide (the menu starts at 367) and tall enough to fill the title's left column.
    Canvas c(360, 460);
    cairo_t* cr = c.cr();
    SetColor(cr, 0xFFFF00);  // the title screen's yellow
    cairo_paint(cr);
    // A halo with rays behind the mascot, kept clear of the picture's edges.
    CirclePath(cr, 180, 352, 104);
    SetColor(cr, 0xFFF59A);
    cairo_fill_preserve(cr);
    cairo_save(cr);
    cairo_clip(cr);
    for (int i = 0; i < 16; ++i) {
        const double a0 = i * M_PI / 8, a1 = a0 + M_PI / 16;
        cairo_move_to(cr, 180, 352);
        cairo_line_to(cr, 180 + 120 * std::cos(a0), 352 + 120 * std::sin(a0));
        cairo_line_to(cr, 180 + 120 * std::cos(a1), 352 + 120 * std::sin(a1));
        cairo_close_path(cr);
    }
    SetColor(cr, 0xFFFFD6);
    cairo_fill(cr);
    cairo_restore(cr);
    // A white burst behind the lettering.
    cairo_new_path(cr);
    for (int i = 0; i < 28; ++i) {
        const double r = (i % 2 == 0) ? 1.0 : 0.86;
        const double a = i * M_PI / 14;
        cairo_line_to(cr, 180 + 174 * r * std::cos(a), 104 + 98 * r * std::sin(a));
    }
    cairo_close_path(cr);
    FillStroke(cr, 0xFFF6C8, pal::Ink, 3.5);

    TextStyle top;
    top.size = 84;
    top.fill = pal::DonRed;
    top.strokes = {{pal::Ink, 14}, {pal::White, 7.5}};
    top.boldness = 2;
    top.maxWidth = 334;
    DrawTextCentered(cr, "ズバッコ", top, 180, 66);
    TextStyle bottom = top;
    bottom.size = 52;
    bottom.fill = pal::KanBlue;
    bottom.strokes = {{pal::Ink, 11}, {pal::White, 6}};
    bottom.maxWidth = 306;
    DrawTextCentered(cr, "ミュージック", bottom, 180, 146);

    // The mascot between its two drums, sticks raised.
    Stick(cr, 136, 372, 84, 236, 8);
    Stick(cr, 224, 372, 276, 236, 8);
    LogoNote(cr, 64, 376, 56, pal::DonRed, pal::DonLight, "鈍");
    LogoNote(cr, 296, 376, 56, pal::KanBlue, pal::KanLight, "感");
    DogHead(cr, 180, 360, 62, Mood::Cheer, 4);
    Paw(cr, 130, 386, 13, -0.4);
    Paw(cr, 230, 386, 13, 0.4);
    for (auto [x, y, r] : {std::tuple{40.0, 250.0, 9.0},
                           {322.0, 258.0, 8.0},
                           {180.0, 440.0, 7.0},
                           {100.0, 448.0, 5.0},
                           {262.0, 446.0, 6.0}}) {
        StarPath(cr, x, y, r, r * 0.45);
        FillStroke(cr, pal::White, pal::Ink, 2);
    }
    art.Opaque("logo.gif", c, {0xFFFF00});
}

}  // namespace artgen
