// Drawing helpers shared by every picture: the game's palette, shapes and outlined lettering.
#pragma once

#include <cairo.h>

#include <string>
#include <vector>

namespace artgen {

// The palette: a few bright colours and one dark ink for every outline.
namespace pal {
inline constexpr uint32_t Ink = 0x2A1A3E;  // outlines and dark lettering
inline constexpr uint32_t White = 0xFFFFFF;
inline constexpr uint32_t Cream = 0xFFF4DC;
inline constexpr uint32_t DonRed = 0xF2492E;  // 鈍
inline constexpr uint32_t DonLight = 0xFF9A5C;
inline constexpr uint32_t KanBlue = 0x2F8FEF;  // 感
inline constexpr uint32_t KanLight = 0x8CD2FF;
inline constexpr uint32_t Yellow = 0xFFD93B;
inline constexpr uint32_t Orange = 0xFF9F1C;
inline constexpr uint32_t Green = 0x4CC26A;
inline constexpr uint32_t Pink = 0xFF6FA5;
inline constexpr uint32_t Purple = 0x8E5CE6;
inline constexpr uint32_t Fur = 0xF2A24E;  // the dog's coat
inline constexpr uint32_t FurDark = 0xC56F2A;
inline constexpr uint32_t Muzzle = 0xFFF0D6;
inline constexpr uint32_t Grey = 0x8A8597;
}  // namespace pal

void SetColor(cairo_t* cr, uint32_t rgb, double alpha = 1.0);
// Fills the current path with fill, then strokes it with ink of the given width (keeps nothing).
void FillStroke(cairo_t* cr, uint32_t fill, uint32_t ink, double width);

void RoundRectPath(cairo_t* cr, double x, double y, double w, double h, double r);
void CirclePath(cairo_t* cr, double cx, double cy, double r);
void EllipsePath(cairo_t* cr, double cx, double cy, double rx, double ry, double angle = 0);
// A five-pointed star, first point up.
void StarPath(cairo_t* cr, double cx, double cy, double outer, double inner);

// Outlined lettering in the IPA gothic font. Strokes are drawn widest first, then the fill.
struct Stroke {
    uint32_t color;
    double width;
};
struct TextStyle {
    double size = 20;  // pixels (em size)
    uint32_t fill = pal::Ink;
    std::vector<Stroke> strokes;       // e.g. {{Ink, 6}, {White, 3}}
    double maxWidth = 0;               // squeeze horizontally to fit, 0 = no limit
    double boldness = 0;               // a stroke of the fill colour that thickens the strokes
    const char* family = "IPAGothic";  // "IPAPGothic" where Latin letters should be proportional
};

// Throws std::runtime_error unless both IPA gothic faces are installed: without them the
// lettering would silently come out in another font.
void RequireFonts();

struct TextBox {
    double x, y, w, h;  // ink extents
};
// Extents of the text's ink when drawn with its origin at (0, 0).
TextBox MeasureText(cairo_t* cr, const std::string& text, const TextStyle& st);
// Draws text with the centre of its ink at (cx, cy).
void DrawTextCentered(cairo_t* cr, const std::string& text, const TextStyle& st, double cx,
                      double cy);
// Draws text with the left of its ink at x and its vertical ink centre at cy.
void DrawTextLeft(cairo_t* cr, const std::string& text, const TextStyle& st, double x, double cy);

}  // namespace artgen
