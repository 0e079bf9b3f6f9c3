// The gauge: an empty bar with forty slots (slot k at x = 8k + 24), the norma zone from slot 33
// marked in gold, and the two segment pictures that fill the slots.
#include "art.hpp"
#include "draw.hpp"

namespace artgen {

namespace {
constexpr int kSlotTop = 5, kSlotBottom = 27;  // rows of a slot's colour; the rest is frame
constexpr int kNorma = 288;                    // left edge of slot 33

// One slot: frame rows top and bottom, a one-pixel gap on its right, colour with a highlight.
void Slot(cairo_t* cr, double x, uint32_t fill, uint32_t light) {
    cairo_rectangle(cr, x, kSlotTop, 7, kSlotBottom - kSlotTop);
    SetColor(cr, fill);
    cairo_fill(cr);
    cairo_rectangle(cr, x, kSlotTop, 7, 3);
    SetColor(cr, light);
    cairo_fill(cr);
}

void Frame(cairo_t* cr, double w) {
    cairo_rectangle(cr, 0, 0, w, 32);
    SetColor(cr, pal::Ink);
    cairo_fill(cr);
}
}  // namespace

void DrawGauge(ArtSet& art) {
    {
        Canvas c(384, 32);
        cairo_t* cr = c.cr();
        Frame(cr, 384);
        for (int k = 1; k <= 40; ++k) {
            const int x = 8 * k + 24;
            if (x < kNorma)
                Slot(cr, x, 0x4B3F63, 0x5E5178);
            else
                Slot(cr, x, 0x6E5A2A, 0x85703A);
        }
        // Norma mark: a yellow post between slots 32 and 33 with a tick above and below.
        cairo_rectangle(cr, kNorma - 1, 0, 2, 32);
        SetColor(cr, pal::Yellow);
        cairo_fill(cr);
        // A heart at the left end, a star at the goal.
        cairo_save(cr);
        cairo_translate(cr, 15.5, 16.5);
        cairo_move_to(cr, 0, 8);
        cairo_curve_to(cr, -13, -1, -7, -11, 0, -4);
        cairo_curve_to(cr, 7, -11, 13, -1, 0, 8);
        cairo_close_path(cr);
        FillStroke(cr, pal::DonRed, pal::White, 1.5);
        cairo_restore(cr);
        StarPath(cr, 368, 16.5, 12, 5.2);
        FillStroke(cr, pal::Yellow, pal::White, 1.5);
        art.Opaque("gage/gage2.gif", c);
    }
    {
        Canvas c(8, 32);
        Frame(c.cr(), 8);
        Slot(c.cr(), 0, pal::DonRed, pal::DonLight);
        art.Opaque("gage/gage1.gif", c);
    }
    {
        Canvas c(8, 32);
        Frame(c.cr(), 8);
        Slot(c.cr(), 0, pal::Yellow, 0xFFF3A6);
        art.Opaque("gage/gage3.gif", c);
    }
}

}  // namespace artgen
