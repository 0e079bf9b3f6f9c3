// The title logo, shown at the window's top left on the yellow title screen; the menu starts at
// x 367, so the logo keeps within 360 pixels.
#include <cmath>

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
    Canvas c(360, 330);
    cairo_t* cr = c.cr();
    SetColor(cr, 0xFFFF00);  // the title screen's yellow
    cairo_paint(cr);
    // A white burst behind the lettering.
    cairo_new_path(cr);
    for (int i = 0; i < 28; ++i) {
        const double r = (i % 2 == 0) ? 1.0 : 0.86;
        const double a = i * M_PI / 14;
        cairo_line_to(cr, 180 + 172 * r * std::cos(a), 100 + 92 * r * std::sin(a));
    }
    cairo_close_path(cr);
    FillStroke(cr, 0xFFF6C8, pal::Ink, 3);

    TextStyle top;
    top.size = 82;
    top.fill = pal::DonRed;
    top.strokes = {{pal::Ink, 13}, {pal::White, 7}};
    top.boldness = 2;
    top.maxWidth = 330;
    DrawTextCentered(cr, "ズバッコ", top, 180, 64);
    TextStyle bottom = top;
    bottom.size = 50;
    bottom.fill = pal::KanBlue;
    bottom.strokes = {{pal::Ink, 10}, {pal::White, 5.5}};
    bottom.maxWidth = 300;
    DrawTextCentered(cr, "ミュージック", bottom, 180, 140);

    // The mascot between its two drums.
    Stick(cr, 150, 300, 112, 228, 6);
    Stick(cr, 210, 300, 248, 228, 6);
    LogoNote(cr, 62, 262, 50, pal::DonRed, pal::DonLight, "鈍");
    LogoNote(cr, 298, 262, 50, pal::KanBlue, pal::KanLight, "感");
    DogHead(cr, 180, 268, 46, Mood::Cheer, 3.5);
    Paw(cr, 138, 300, 10, -0.4);
    Paw(cr, 222, 300, 10, 0.4);
    art.Opaque("logo.gif", c, {0xFFFF00});
}

}  // namespace artgen
