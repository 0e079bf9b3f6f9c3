#include "characters.hpp"

#include <cmath>

#include "draw.hpp"

namespace artgen {

namespace {
constexpr uint32_t kEarPink = 0xFFB0B8;
constexpr uint32_t kMouth = 0xB3263A;
constexpr uint32_t kWood = 0xF7D48C;
}  // namespace

void DogHead(cairo_t* cr, double cx, double cy, double r, Mood mood, double ink) {
    cairo_save(cr);
    cairo_translate(cr, cx, cy);
    cairo_scale(cr, r, r);
    const double lw = ink / r;
    for (int side : {-1, 1}) {
        cairo_move_to(cr, side * 0.96, -0.12);
        cairo_line_to(cr, side * 0.80, -1.16);
        cairo_line_to(cr, side * 0.22, -0.80);
        cairo_close_path(cr);
        FillStroke(cr, pal::Fur, pal::Ink, lw);
        cairo_move_to(cr, side * 0.80, -0.36);
        cairo_line_to(cr, side * 0.76, -0.94);
        cairo_line_to(cr, side * 0.44, -0.74);
        cairo_close_path(cr);
        SetColor(cr, kEarPink);
        cairo_fill(cr);
    }
    EllipsePath(cr, 0, 0, 1.0, 0.86);
    SetColor(cr, pal::Fur);
    cairo_fill_preserve(cr);
    cairo_save(cr);
    cairo_clip(cr);
    EllipsePath(cr, 0, 0.46, 0.80, 0.52);
    SetColor(cr, pal::Muzzle);
    cairo_fill(cr);
    cairo_restore(cr);
    EllipsePath(cr, 0, 0, 1.0, 0.86);
    SetColor(cr, pal::Ink);
    cairo_set_line_width(cr, lw);
    cairo_stroke(cr);
    for (int side : {-1, 1}) {
        EllipsePath(cr, side * 0.34, -0.50, 0.12, 0.075);  // the dog's dotted brows
        SetColor(cr, pal::Muzzle);
        cairo_fill(cr);
        EllipsePath(cr, side * 0.64, 0.26, 0.15, 0.09);  // cheeks
        SetColor(cr, 0xFF8FA8);
        cairo_fill(cr);
        const double ex = side * 0.37;
        if (mood == Mood::Smile) {
            EllipsePath(cr, ex, -0.14, 0.11, 0.145);
            SetColor(cr, pal::Ink);
            cairo_fill(cr);
            CirclePath(cr, ex - 0.035, -0.19, 0.045);
            SetColor(cr, pal::White);
            cairo_fill(cr);
        } else {
            cairo_move_to(cr, ex - 0.14, -0.08);
            cairo_line_to(cr, ex, -0.22);
            cairo_line_to(cr, ex + 0.14, -0.08);
            SetColor(cr, pal::Ink);
            cairo_set_line_width(cr, lw * 1.2);
            cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
            cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
            cairo_stroke(cr);
        }
    }
    // Mouth first, nose over it.
    cairo_set_line_width(cr, lw * 0.9);
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    if (mood == Mood::Smile) {
        cairo_move_to(cr, 0, 0.22);
        cairo_line_to(cr, 0, 0.32);
        cairo_curve_to(cr, -0.06, 0.42, -0.2, 0.42, -0.24, 0.32);
        cairo_move_to(cr, 0, 0.32);
        cairo_curve_to(cr, 0.06, 0.42, 0.2, 0.42, 0.24, 0.32);
        SetColor(cr, pal::Ink);
        cairo_stroke(cr);
    } else {
        cairo_move_to(cr, -0.26, 0.30);
        cairo_curve_to(cr, -0.2, 0.78, 0.2, 0.78, 0.26, 0.30);
        cairo_close_path(cr);
        FillStroke(cr, kMouth, pal::Ink, lw * 0.9);
        EllipsePath(cr, 0, 0.56, 0.13, 0.08);
        SetColor(cr, 0xFF8FA8);
        cairo_fill(cr);
    }
    EllipsePath(cr, 0, 0.18, 0.14, 0.095);
    SetColor(cr, pal::Ink);
    cairo_fill(cr);
    cairo_restore(cr);
}

void Stick(cairo_t* cr, double x0, double y0, double x1, double y1, double width) {
    cairo_save(cr);
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    cairo_move_to(cr, x0, y0);
    cairo_line_to(cr, x1, y1);
    SetColor(cr, pal::Ink);
    cairo_set_line_width(cr, width + 3);
    cairo_stroke_preserve(cr);
    SetColor(cr, kWood);
    cairo_set_line_width(cr, width);
    cairo_stroke(cr);
    cairo_restore(cr);
}

void Paw(cairo_t* cr, double cx, double cy, double r, double angle) {
    cairo_save(cr);
    cairo_translate(cr, cx, cy);
    cairo_rotate(cr, angle);
    EllipsePath(cr, 0, 0, r, r * 0.85);
    FillStroke(cr, pal::Muzzle, pal::Ink, 2);
    SetColor(cr, pal::Ink);
    cairo_set_line_width(cr, 1.3);
    for (int i = -1; i <= 1; i += 2) {
        cairo_move_to(cr, i * r * 0.3, -r * 0.8);
        cairo_line_to(cr, i * r * 0.3, -r * 0.35);
    }
    cairo_stroke(cr);
    cairo_restore(cr);
}

namespace {
// One leg from the hip, swung by angle a (radians, 0 = straight down), with a round foot.
void Leg(cairo_t* cr, double hx, double hy, double len, double a, double w, uint32_t fill) {
    const double fx = hx + len * std::sin(a), fy = hy + len * std::cos(a);
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    cairo_move_to(cr, hx, hy);
    cairo_line_to(cr, fx, fy);
    SetColor(cr, pal::Ink);
    cairo_set_line_width(cr, w + 3);
    cairo_stroke_preserve(cr);
    SetColor(cr, fill);
    cairo_set_line_width(cr, w);
    cairo_stroke(cr);
}

double Phase(int frame) {
    return frame * 2 * M_PI / 5;
}
}  // namespace

void RunningDog(cairo_t* cr, double s, int frame) {
    cairo_save(cr);
    cairo_scale(cr, s / 65, s / 65);
    const double t = Phase(frame);
    const double bob = -2.5 * std::fabs(std::sin(t));
    // Far legs, darker, behind the body.
    Leg(cr, 21, 41 + bob, 15, 0.75 * std::sin(t + M_PI), 5, pal::FurDark);
    Leg(cr, 39, 41 + bob, 15, 0.75 * std::sin(t + M_PI / 2 + M_PI), 5, pal::FurDark);
    // Tail, curled over the back.
    cairo_move_to(cr, 15, 34 + bob);
    cairo_curve_to(cr, 6, 30 + bob, 6, 18 + bob, 14, 19 + bob + std::sin(t));
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    SetColor(cr, pal::Ink);
    cairo_set_line_width(cr, 8);
    cairo_stroke_preserve(cr);
    SetColor(cr, pal::Fur);
    cairo_set_line_width(cr, 5);
    cairo_stroke(cr);
    EllipsePath(cr, 30, 36 + bob, 17, 10.5);
    FillStroke(cr, pal::Fur, pal::Ink, 2.2);
    EllipsePath(cr, 32, 41 + bob, 11, 4.5);  // cream belly
    SetColor(cr, pal::Muzzle);
    cairo_fill(cr);
    Leg(cr, 23, 42 + bob, 15, 0.75 * std::sin(t), 5.5, pal::Fur);
    Leg(cr, 41, 42 + bob, 15, 0.75 * std::sin(t + M_PI / 2), 5.5, pal::Fur);
    // Head with ear, snout, eye and a red scarf.
    const double hy = 22 + bob;
    cairo_move_to(cr, 40, hy - 5);
    cairo_line_to(cr, 42, hy - 17);
    cairo_line_to(cr, 50, hy - 9);
    cairo_close_path(cr);
    FillStroke(cr, pal::Fur, pal::Ink, 2);
    CirclePath(cr, 47, hy, 11);
    FillStroke(cr, pal::Fur, pal::Ink, 2.2);
    EllipsePath(cr, 55.5, hy + 4.5, 7.5, 5.2);
    FillStroke(cr, pal::Muzzle, pal::Ink, 2);
    CirclePath(cr, 62, hy + 2, 2.3);
    SetColor(cr, pal::Ink);
    cairo_fill(cr);
    EllipsePath(cr, 50.5, hy - 2.5, 1.8, 2.4);
    cairo_fill(cr);
    cairo_move_to(cr, 38, hy + 8);
    cairo_line_to(cr, 48, hy + 10);
    cairo_line_to(cr, 40, hy + 17);
    cairo_close_path(cr);
    FillStroke(cr, pal::DonRed, pal::Ink, 1.8);
    cairo_restore(cr);
}

void RunningChick(cairo_t* cr, double s, int frame) {
    cairo_save(cr);
    cairo_scale(cr, s / 50, s / 50);
    const double t = Phase(frame);
    const double bob = -2.5 * std::fabs(std::sin(t));
    Leg(cr, 21, 38 + bob, 8, 0.8 * std::sin(t + M_PI), 2.2, pal::Orange);
    Leg(cr, 29, 38 + bob, 8, 0.8 * std::sin(t), 2.2, pal::Orange);
    // Tuft.
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    cairo_move_to(cr, 25, 14 + bob);
    cairo_curve_to(cr, 24, 8 + bob, 28, 6 + bob, 29, 9 + bob);
    SetColor(cr, pal::Ink);
    cairo_set_line_width(cr, 2);
    cairo_stroke(cr);
    CirclePath(cr, 25, 26 + bob, 13.5);
    FillStroke(cr, pal::Yellow, pal::Ink, 2.2);
    // Beak and eye.
    cairo_move_to(cr, 37, 21 + bob);
    cairo_line_to(cr, 45, 24 + bob);
    cairo_line_to(cr, 37, 27 + bob);
    cairo_close_path(cr);
    FillStroke(cr, pal::Orange, pal::Ink, 1.6);
    CirclePath(cr, 32, 20 + bob, 2);
    SetColor(cr, pal::Ink);
    cairo_fill(cr);
    EllipsePath(cr, 33, 27 + bob, 2.6, 1.6);
    SetColor(cr, 0xFF9DB0);
    cairo_fill(cr);
    // Flapping wing.
    EllipsePath(cr, 20, 28 + bob, 7, 4.5, -0.5 + 0.5 * std::sin(t));
    FillStroke(cr, 0xFFB627, pal::Ink, 1.6);
    cairo_restore(cr);
}

void RunningCat(cairo_t* cr, double s, int frame) {
    cairo_save(cr);
    cairo_scale(cr, s / 65, s / 65);
    const double t = Phase(frame) + 1.0;
    const double bob = -2.5 * std::fabs(std::sin(t));
    const uint32_t coat = 0xB9AEDA, dark = 0x8B7FB5;
    Leg(cr, 20, 41 + bob, 15, 0.8 * std::sin(t + M_PI), 4.5, dark);
    Leg(cr, 40, 41 + bob, 15, 0.8 * std::sin(t + M_PI / 2 + M_PI), 4.5, dark);
    // A long tail swinging up.
    cairo_move_to(cr, 14, 35 + bob);
    cairo_curve_to(cr, 2, 30 + bob, 10, 14 + bob, 4 + 2 * std::sin(t), 8 + bob);
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    SetColor(cr, pal::Ink);
    cairo_set_line_width(cr, 7);
    cairo_stroke_preserve(cr);
    SetColor(cr, coat);
    cairo_set_line_width(cr, 4);
    cairo_stroke(cr);
    EllipsePath(cr, 30, 36 + bob, 17.5, 9.5);
    FillStroke(cr, coat, pal::Ink, 2.2);
    // Stripes on the back.
    cairo_save(cr);
    EllipsePath(cr, 30, 36 + bob, 16.5, 8.5);
    cairo_clip(cr);
    SetColor(cr, dark);
    for (int i = 0; i < 3; ++i) {
        cairo_rectangle(cr, 20 + 7 * i, 24 + bob, 3, 7);
    }
    cairo_fill(cr);
    cairo_restore(cr);
    Leg(cr, 22, 42 + bob, 15, 0.8 * std::sin(t), 5, coat);
    Leg(cr, 42, 42 + bob, 15, 0.8 * std::sin(t + M_PI / 2), 5, coat);
    const double hy = 24 + bob;
    for (double ex : {40.0, 50.0}) {
        cairo_move_to(cr, ex - 4, hy - 6);
        cairo_line_to(cr, ex, hy - 17);
        cairo_line_to(cr, ex + 5, hy - 6);
        cairo_close_path(cr);
        FillStroke(cr, coat, pal::Ink, 2);
    }
    EllipsePath(cr, 47, hy, 11.5, 10);
    FillStroke(cr, coat, pal::Ink, 2.2);
    EllipsePath(cr, 54, hy + 4, 5, 3.5);
    SetColor(cr, pal::White);
    cairo_fill(cr);
    CirclePath(cr, 58, hy + 1.5, 1.8);
    SetColor(cr, pal::Pink);
    cairo_fill(cr);
    EllipsePath(cr, 51, hy - 2, 1.6, 2.6);
    SetColor(cr, pal::Ink);
    cairo_fill(cr);
    cairo_set_line_width(cr, 1);
    cairo_move_to(cr, 56, hy + 5);
    cairo_line_to(cr, 63, hy + 4);
    cairo_move_to(cr, 56, hy + 6.5);
    cairo_line_to(cr, 63, hy + 8);
    cairo_stroke(cr);
    cairo_restore(cr);
}

}  // namespace artgen
