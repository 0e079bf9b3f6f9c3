// The day and night scenes behind the play field and the three running friends. The friends
// are copied opaque at fixed places, so both scenes share one sandy track band (y 78 to 152)
// and every friend's picture is that band with the friend drawn on it.
#include <cmath>
#include <stdexcept>

#include "art.hpp"
#include "characters.hpp"
#include "draw.hpp"
#include "writers.hpp"

namespace artgen {

namespace {
constexpr int kW = 650, kH = 176;
constexpr double kBandTop = 78, kBandBottom = 152;
constexpr uint32_t kSand = 0xF7E0AB, kLane = 0xE8C47E;

void Gradient(cairo_t* cr, double y0, double y1, uint32_t top, uint32_t bottom) {
    cairo_pattern_t* g = cairo_pattern_create_linear(0, y0, 0, y1);
    auto stop = [g](double at, uint32_t c) {
        cairo_pattern_add_color_stop_rgb(g, at, ((c >> 16) & 255) / 255.0, ((c >> 8) & 255) / 255.0,
                                         (c & 255) / 255.0);
    };
    stop(0, top);
    stop(1, bottom);
    cairo_rectangle(cr, 0, y0, kW, y1 - y0);
    cairo_set_source(cr, g);
    cairo_fill(cr);
    cairo_pattern_destroy(g);
}

void Hills(cairo_t* cr, double base, double height, double period, double shift, uint32_t fill) {
    cairo_new_path(cr);
    cairo_move_to(cr, 0, kBandTop);
    for (int x = 0; x <= kW; x += 5)
        cairo_line_to(cr, x, base - height * (0.5 + 0.5 * std::sin(x / period + shift)));
    cairo_line_to(cr, kW, kBandTop);
    cairo_close_path(cr);
    FillStroke(cr, fill, pal::Ink, 2);
}

// The string of pennants (day) or lanterns (night) across the sky.
void Garland(cairo_t* cr, bool night) {
    // The string hangs between posts every 216 pixels.
    auto sag = [](double x) { return 8 + 14 * std::sin(std::fmod(x, 216.0) / 216 * M_PI); };
    cairo_new_path(cr);
    for (int x = 0; x <= kW; x += 4) cairo_line_to(cr, x, sag(x));
    SetColor(cr, pal::Ink);
    cairo_set_line_width(cr, 1.5);
    cairo_stroke(cr);
    const uint32_t colors[] = {pal::DonRed, pal::Yellow, pal::KanBlue, pal::Green, pal::Pink};
    int i = 0;
    for (double x = 14; x < kW; x += 27, ++i) {
        const double y = sag(x);
        if (night) {
            cairo_move_to(cr, x, y);
            cairo_line_to(cr, x, y + 4);
            SetColor(cr, pal::Ink);
            cairo_stroke(cr);
            EllipsePath(cr, x, y + 11, 6, 7.5);
            FillStroke(cr, i % 2 ? 0xFF7A45 : 0xFFB347, pal::Ink, 1.5);
            EllipsePath(cr, x, y + 11, 2.5, 5);
            SetColor(cr, 0xFFE08A);
            cairo_fill(cr);
        } else {
            cairo_move_to(cr, x - 7, y);
            cairo_line_to(cr, x + 7, y);
            cairo_line_to(cr, x, y + 15);
            cairo_close_path(cr);
            FillStroke(cr, colors[i % 5], pal::Ink, 1.5);
        }
    }
}

void Cloud(cairo_t* cr, double x, double y, double s) {
    cairo_new_path(cr);
    CirclePath(cr, x, y, 9 * s);
    CirclePath(cr, x + 11 * s, y - 5 * s, 11 * s);
    CirclePath(cr, x + 23 * s, y, 9 * s);
    cairo_rectangle(cr, x, y, 23 * s, 9 * s);
    SetColor(cr, 0x9CCBEA);
    cairo_set_line_width(cr, 3);
    cairo_stroke_preserve(cr);
    SetColor(cr, pal::White);
    cairo_fill(cr);
}

void Band(cairo_t* cr, bool night) {
    // Grass below the track differs by time of day; the track itself never does.
    cairo_rectangle(cr, 0, kBandBottom, kW, kH - kBandBottom);
    SetColor(cr, night ? 0x2E6B4A : 0x6CCB5F);
    cairo_fill(cr);
    SetColor(cr, night ? 0x245A3D : 0x4EAF4B);
    cairo_set_line_width(cr, 2);
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    for (int x = 9; x < kW; x += 23) {
        const double y = 160 + (x * 7 % 11);
        cairo_move_to(cr, x - 3, y + 4);
        cairo_line_to(cr, x, y - 2);
        cairo_line_to(cr, x + 3, y + 4);
    }
    cairo_stroke(cr);
    cairo_rectangle(cr, 0, kBandTop, kW, kBandBottom - kBandTop);
    SetColor(cr, kSand);
    cairo_fill(cr);
    SetColor(cr, kLane);
    for (double y : {101.0, 127.0}) {
        cairo_rectangle(cr, 0, y, kW, 2);
        cairo_fill(cr);
    }
    SetColor(cr, pal::Ink);
    cairo_rectangle(cr, 0, kBandTop, kW, 2);
    cairo_rectangle(cr, 0, kBandBottom - 2, kW, 2);
    cairo_fill(cr);
}

zb::Surface Scene(bool night) {
    Canvas c(kW, kH);
    cairo_t* cr = c.cr();
    if (night) {
        Gradient(cr, 0, kBandTop, 0x141A4A, 0x3D3C8C);
        for (int i = 0; i < 40; ++i) {
            const double x = (i * 137) % kW + 5, y = 6 + (i * 53) % 50;
            StarPath(cr, x, y, i % 3 == 0 ? 3.2 : 2, 1);
            SetColor(cr, i % 4 == 0 ? pal::Yellow : pal::White);
            cairo_fill(cr);
        }
        // A crescent moon: the disc minus an offset disc, outlined on both edges.
        cairo_save(cr);
        cairo_rectangle(cr, 0, 0, kW, kH);
        CirclePath(cr, 595, 27, 14);
        cairo_set_fill_rule(cr, CAIRO_FILL_RULE_EVEN_ODD);
        cairo_clip(cr);
        CirclePath(cr, 585, 34, 17);
        FillStroke(cr, 0xFFF1A8, pal::Ink, 2);
        cairo_restore(cr);
        cairo_save(cr);
        CirclePath(cr, 585, 34, 18);
        cairo_clip(cr);
        CirclePath(cr, 595, 27, 14);
        SetColor(cr, pal::Ink);
        cairo_set_line_width(cr, 2);
        cairo_stroke(cr);
        cairo_restore(cr);
        Hills(cr, 76, 22, 70, 1.0, 0x274D66);
        Hills(cr, 78, 12, 40, 2.5, 0x1F3F52);
    } else {
        Gradient(cr, 0, kBandTop, 0x6EC8FF, 0xCDEFFF);
        cairo_new_path(cr);
        for (int i = 0; i < 12; ++i) {
            const double a = i * M_PI / 6;
            cairo_move_to(cr, 590 + 24 * std::cos(a), 34 + 24 * std::sin(a));
            cairo_line_to(cr, 590 + 32 * std::cos(a), 34 + 32 * std::sin(a));
        }
        SetColor(cr, pal::Orange);
        cairo_set_line_width(cr, 3);
        cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
        cairo_stroke(cr);
        CirclePath(cr, 590, 34, 19);
        FillStroke(cr, pal::Yellow, pal::Ink, 2);
        Cloud(cr, 60, 40, 1.0);
        Cloud(cr, 250, 30, 0.8);
        Cloud(cr, 420, 46, 1.1);
        Hills(cr, 76, 22, 70, 1.0, 0x8BD97A);
        Hills(cr, 78, 12, 40, 2.5, 0x5DBB63);
    }
    Garland(cr, night);
    Band(cr, night);
    return c.Opaque();
}

struct Runner {
    int first;  // picture number of frame 0
    int x, y, size;
    void (*draw)(cairo_t*, double, int);
};
}  // namespace

void DrawScenes(ArtSet& art) {
    // The track's three colours stay exact in every picture, so the friends' pictures match both
    // scenes to the pixel.
    const std::vector<uint32_t> track = {kSand, kLane, pal::Ink};
    const zb::Surface day = Reduce(Scene(false), track), night = Reduce(Scene(true), track);
    const Runner runners[] = {{0, 280, 90, 50, RunningChick},
                              {5, 100, 80, 65, RunningDog},
                              {10, 460, 80, 65, RunningCat}};
    for (const Runner& r : runners) {
        for (int y = r.y; y < r.y + r.size; ++y)
            for (int x = r.x; x < r.x + r.size; ++x)
                if (day.Pixel(x, y) != night.Pixel(x, y))
                    throw std::logic_error("the scenes differ behind a running friend");
        for (int f = 0; f < 5; ++f) {
            Canvas c(r.size, r.size);
            PaintSurface(c.cr(), day, -r.x, -r.y);
            r.draw(c.cr(), r.size, f);
            art.Opaque("haikei/" + std::to_string(r.first + f) + ".gif", c, track);
        }
    }
    art.Opaque("haikei/hiru.gif", day);
    art.Opaque("haikei/yoru.gif", night);
}

}  // namespace artgen
