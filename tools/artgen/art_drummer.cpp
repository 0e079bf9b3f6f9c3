// The drummer dog: its idle picture behind the bass drum with two blue toms, and the four
// strikes. Each strike is drawn as the whole scene in that pose; its sprite is the pose's
// rectangle and its mask the pixels that differ from the idle picture, so the masked copy over
// the idle picture gives exactly the posed scene.
#include <cmath>

#include "art.hpp"
#include "characters.hpp"
#include "draw.hpp"
#include "writers.hpp"

namespace artgen {

namespace {
constexpr int kSize = 174;

struct Pose {
    bool hand[2] = {false, false};  // 0 left, 1 right
    bool foot[2] = {false, false};
};

// Mirrors x for the right side.
double Mx(int side, double x) {
    return side == 0 ? x : kSize - x;
}

void Tom(cairo_t* cr, int side) {
    const double cx = Mx(side, 22), top = 56;
    cairo_set_line_width(cr, 4);
    SetColor(cr, pal::Ink);
    cairo_move_to(cr, cx, top + 18);
    cairo_line_to(cr, cx, 150);
    cairo_stroke(cr);
    cairo_set_line_width(cr, 2);
    SetColor(cr, 0xB9B2C8);
    cairo_move_to(cr, cx, top + 18);
    cairo_line_to(cr, cx, 150);
    cairo_stroke(cr);
    cairo_new_path(cr);
    cairo_move_to(cr, cx - 18, top);
    cairo_line_to(cr, cx - 18, top + 16);
    cairo_curve_to(cr, cx - 18, top + 24, cx + 18, top + 24, cx + 18, top + 16);
    cairo_line_to(cr, cx + 18, top);
    cairo_close_path(cr);
    FillStroke(cr, pal::KanBlue, pal::Ink, 2.2);
    EllipsePath(cr, cx, top, 18, 6);
    FillStroke(cr, pal::Cream, pal::Ink, 2.2);
    cairo_set_line_width(cr, 2);
    SetColor(cr, pal::KanLight);
    cairo_move_to(cr, cx - 13, top + 9);
    cairo_line_to(cr, cx - 13, top + 17);
    cairo_stroke(cr);
}

void BassDrum(cairo_t* cr) {
    const double cx = 87, cy = 121;
    CirclePath(cr, cx, cy, 41);
    FillStroke(cr, pal::DonRed, pal::Ink, 2.5);
    CirclePath(cr, cx, cy, 33);
    FillStroke(cr, pal::Cream, pal::Ink, 2);
    for (int i = 0; i < 10; ++i) {
        const double a = i * M_PI / 5 + M_PI / 10;
        CirclePath(cr, cx + 37 * std::cos(a), cy + 37 * std::sin(a), 2.3);
        FillStroke(cr, pal::Yellow, pal::Ink, 1);
    }
    TextStyle st;
    st.size = 36;
    st.fill = pal::DonRed;
    st.strokes = {{pal::Ink, 5}};
    st.boldness = 1;
    DrawTextCentered(cr, "鈍", st, cx, cy + 1);
}

void Burst(cairo_t* cr, double cx, double cy, double outer, double inner, int points,
           uint32_t fill) {
    cairo_new_path(cr);
    for (int i = 0; i < 2 * points; ++i) {
        const double r = (i % 2 == 0) ? outer : inner;
        const double a = -M_PI / 2 + i * M_PI / points;
        cairo_line_to(cr, cx + r * std::cos(a), cy + r * std::sin(a));
    }
    cairo_close_path(cr);
    FillStroke(cr, fill, pal::Ink, 2);
}

void Word(cairo_t* cr, const char* text, uint32_t fill, double size, double cx, double cy) {
    TextStyle st;
    st.size = size;
    st.fill = fill;
    st.strokes = {{pal::Ink, 5}, {pal::White, 2.5}};
    st.boldness = 1;
    DrawTextCentered(cr, text, st, cx, cy);
}

void Arm(cairo_t* cr, int side, bool strike) {
    // Upper arm is the same in both poses; only the forearm (inside the strike's rectangle) moves.
    const double sx = Mx(side, 56), sy = 100, ex = Mx(side, 47), ey = 78;
    const double px = Mx(side, strike ? 34 : 44), py = strike ? 66 : 62;
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
    cairo_move_to(cr, sx, sy);
    cairo_line_to(cr, ex, ey);
    cairo_line_to(cr, px, py);
    SetColor(cr, pal::Ink);
    cairo_set_line_width(cr, 13);
    cairo_stroke_preserve(cr);
    SetColor(cr, pal::Fur);
    cairo_set_line_width(cr, 9);
    cairo_stroke(cr);
    if (strike) {
        // Stick down on the tom's rim, a blue spark and the sound.
        Stick(cr, px, py, Mx(side, 8), 52, 4);
        Burst(cr, Mx(side, 13), 47, 10, 4.5, 6, pal::KanLight);
        Paw(cr, px, py, 7, side == 0 ? -0.6 : 0.6);
        Word(cr, "カッ", pal::KanBlue, 19, Mx(side, 36), 14);
    } else {
        Stick(cr, px, py, Mx(side, 30), 22, 4);  // raised and ready
        Paw(cr, px, py, 7, side == 0 ? -0.3 : 0.3);
    }
}

// Behind the drum: the idle foot peeking out, or the strike's burst and its sound.
void FootBehind(cairo_t* cr, int side, bool strike) {
    if (!strike) {
        Paw(cr, Mx(side, 56), 154, 8, 0);
        return;
    }
    Burst(cr, Mx(side, 30), 124, 19, 10, 8, pal::Yellow);
    Word(cr, "ドン", pal::DonRed, 21, Mx(side, 30), 100);
}

// In front of the drum: the kicking foot with motion lines.
void FootFront(cairo_t* cr, int side, bool strike) {
    if (!strike) return;
    cairo_save(cr);
    cairo_set_line_width(cr, 2.5);
    SetColor(cr, pal::Ink);
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    for (int i = 0; i < 3; ++i) {
        const double y = 146 + 6 * i;
        cairo_move_to(cr, Mx(side, 8 + 2 * i), y);
        cairo_line_to(cr, Mx(side, 18 + 2 * i), y);
    }
    cairo_stroke(cr);
    cairo_restore(cr);
    Paw(cr, Mx(side, 40), 150, 10, side == 0 ? 0.9 : -0.9);
}

void Scene(cairo_t* cr, const Pose& pose) {
    SetColor(cr, 0xCFEFFF);
    cairo_paint(cr);
    CirclePath(cr, 87, 62, 64);
    SetColor(cr, 0xE6F7FF);
    cairo_fill(cr);
    for (auto [x, y] : {std::pair{70.0, 10.0}, {140.0, 12.0}, {10.0, 96.0}, {160.0, 100.0}}) {
        StarPath(cr, x, y, 4, 1.8);
        SetColor(cr, pal::White);
        cairo_fill(cr);
    }
    cairo_rectangle(cr, 0, 150, kSize, kSize - 150);
    SetColor(cr, 0xFFDFA6);
    cairo_fill(cr);
    cairo_set_line_width(cr, 2);
    SetColor(cr, pal::Ink);
    cairo_move_to(cr, 0, 150);
    cairo_line_to(cr, kSize, 150);
    cairo_stroke(cr);
    Tom(cr, 0);
    Tom(cr, 1);
    EllipsePath(cr, 87, 112, 44, 32);  // body behind the drum
    FillStroke(cr, pal::Fur, pal::Ink, 2.5);
    EllipsePath(cr, 87, 104, 20, 14);
    SetColor(cr, pal::Muzzle);
    cairo_fill(cr);
    DogHead(cr, 87, 55, 34, Mood::Smile, 2.6);
    for (int side : {0, 1}) FootBehind(cr, side, pose.foot[side]);
    BassDrum(cr);
    for (int side : {0, 1}) FootFront(cr, side, pose.foot[side]);
    for (int side : {0, 1}) Arm(cr, side, pose.hand[side]);
}

zb::Surface Render(const Pose& pose) {
    Canvas c(kSize, kSize);
    Scene(c.cr(), pose);
    return c.Opaque();
}

// The strike's rectangle of the posed scene as a sprite, masked where it differs from idle.
SpritePair Strike(const zb::Surface& idle, const zb::Surface& posed, int x0, int y0, int w, int h,
                  int minY) {
    SpritePair p{zb::Surface(w, h, zb::colors::White), zb::Surface(w, h, zb::colors::Black)};
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const int sx = x0 + x, sy = y0 + y;
            if (sx >= kSize || sy >= kSize || sy < minY) continue;
            if (posed.Pixel(sx, sy) == idle.Pixel(sx, sy)) continue;
            p.sprite.SetPixel(x, y, posed.Pixel(sx, sy));
            p.mask.SetPixel(x, y, 0xFFFFFF);
        }
    return p;
}
}  // namespace

void DrawDrummer(ArtSet& art) {
    Pose lf, rf, lh, rh;
    lf.foot[0] = rf.foot[1] = lh.hand[0] = rh.hand[1] = true;
    // One palette for the idle picture and every pose, so a strike matches the idle picture it
    // is drawn over to the pixel.
    const std::vector<zb::Surface> s =
        ReduceTogether({Render(Pose{}), Render(lf), Render(rf), Render(lh), Render(rh)});
    const zb::Surface& idle = s[0];
    art.Opaque("wan/inu.gif", idle);
    // Feet change nothing above y 87, so a hand and a foot struck together both show whole.
    art.Sprite("wan/asi1.gif", "wan/asi1_mask.gif", Strike(idle, s[1], 0, 60, 75, 103, 87));
    art.Sprite("wan/asi2.gif", "wan/asi2_mask.gif", Strike(idle, s[2], 100, 60, 75, 103, 87));
    art.Sprite("wan/te1.gif", "wan/te1_mask.gif", Strike(idle, s[3], 0, 0, 71, 86, 0));
    art.Sprite("wan/te2.gif", "wan/te2_mask.gif", Strike(idle, s[4], 100, 0, 71, 86, 0));
}

}  // namespace artgen
