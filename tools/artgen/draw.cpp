#include "draw.hpp"

#include <fontconfig/fontconfig.h>
#include <pango/pangocairo.h>

#include <algorithm>
#include <cmath>
#include <stdexcept>
#include <string>

namespace artgen {

void SetColor(cairo_t* cr, uint32_t rgb, double alpha) {
    cairo_set_source_rgba(cr, ((rgb >> 16) & 255) / 255.0, ((rgb >> 8) & 255) / 255.0,
                          (rgb & 255) / 255.0, alpha);
}

void FillStroke(cairo_t* cr, uint32_t fill, uint32_t ink, double width) {
    SetColor(cr, fill);
    cairo_fill_preserve(cr);
    SetColor(cr, ink);
    cairo_set_line_width(cr, width);
    cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
    cairo_stroke(cr);
}

void RoundRectPath(cairo_t* cr, double x, double y, double w, double h, double r) {
    r = std::min({r, w / 2, h / 2});
    cairo_new_sub_path(cr);
    cairo_arc(cr, x + w - r, y + r, r, -M_PI / 2, 0);
    cairo_arc(cr, x + w - r, y + h - r, r, 0, M_PI / 2);
    cairo_arc(cr, x + r, y + h - r, r, M_PI / 2, M_PI);
    cairo_arc(cr, x + r, y + r, r, M_PI, 3 * M_PI / 2);
    cairo_close_path(cr);
}

void CirclePath(cairo_t* cr, double cx, double cy, double r) {
    cairo_new_sub_path(cr);
    cairo_arc(cr, cx, cy, r, 0, 2 * M_PI);
    cairo_close_path(cr);
}

void EllipsePath(cairo_t* cr, double cx, double cy, double rx, double ry, double angle) {
    cairo_save(cr);
    cairo_translate(cr, cx, cy);
    cairo_rotate(cr, angle);
    cairo_scale(cr, rx, ry);
    cairo_new_sub_path(cr);
    cairo_arc(cr, 0, 0, 1, 0, 2 * M_PI);
    cairo_close_path(cr);
    cairo_restore(cr);
}

void StarPath(cairo_t* cr, double cx, double cy, double outer, double inner) {
    cairo_new_sub_path(cr);
    for (int i = 0; i < 10; ++i) {
        const double r = (i % 2 == 0) ? outer : inner;
        const double a = -M_PI / 2 + i * M_PI / 5;
        const double x = cx + r * std::cos(a), y = cy + r * std::sin(a);
        if (i == 0)
            cairo_move_to(cr, x, y);
        else
            cairo_line_to(cr, x, y);
    }
    cairo_close_path(cr);
}

namespace {
PangoLayout* MakeLayout(cairo_t* cr, const std::string& text, double size, const char* family) {
    PangoLayout* layout = pango_cairo_create_layout(cr);
    PangoFontDescription* desc = pango_font_description_from_string(family);
    pango_font_description_set_absolute_size(desc, size * PANGO_SCALE);
    pango_layout_set_font_description(layout, desc);
    pango_font_description_free(desc);
    // Glyph outlines are used as paths; hinting would only shift them.
    cairo_font_options_t* fo = cairo_font_options_create();
    cairo_font_options_set_hint_style(fo, CAIRO_HINT_STYLE_NONE);
    cairo_font_options_set_hint_metrics(fo, CAIRO_HINT_METRICS_OFF);
    pango_cairo_context_set_font_options(pango_layout_get_context(layout), fo);
    cairo_font_options_destroy(fo);
    pango_layout_context_changed(layout);
    pango_layout_set_text(layout, text.c_str(), -1);
    return layout;
}

double Squeeze(const TextBox& ink, const TextStyle& st) {
    double extra = st.boldness;
    for (const Stroke& s : st.strokes) extra = std::max(extra, s.width);
    if (st.maxWidth <= 0 || ink.w + extra <= st.maxWidth) return 1.0;
    return std::max(0.3, (st.maxWidth - extra) / ink.w);
}

void DrawAt(cairo_t* cr, const std::string& text, const TextStyle& st, double left, double cy) {
    PangoLayout* layout = MakeLayout(cr, text, st.size, st.family);
    PangoRectangle ink, logical;
    pango_layout_get_pixel_extents(layout, &ink, &logical);
    const TextBox box{double(ink.x), double(ink.y), double(ink.width), double(ink.height)};
    const double sx = Squeeze(box, st);
    cairo_save(cr);
    cairo_translate(cr, left, cy);
    cairo_scale(cr, sx, 1.0);
    cairo_translate(cr, -box.x, -(box.y + box.h / 2));
    cairo_new_path(cr);
    pango_cairo_layout_path(cr, layout);
    cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    for (const Stroke& s : st.strokes) {
        SetColor(cr, s.color);
        cairo_set_line_width(cr, s.width);
        cairo_stroke_preserve(cr);
    }
    SetColor(cr, st.fill);
    if (st.boldness > 0) {
        cairo_set_line_width(cr, st.boldness);
        cairo_stroke_preserve(cr);
    }
    cairo_fill(cr);
    cairo_restore(cr);
    g_object_unref(layout);
}
}  // namespace

void RequireFonts() {
    for (const char* family : {"IPAGothic", "IPAPGothic"}) {
        FcPattern* pat = FcNameParse(reinterpret_cast<const FcChar8*>(family));
        FcConfigSubstitute(nullptr, pat, FcMatchPattern);
        FcDefaultSubstitute(pat);
        FcResult result;
        FcPattern* match = FcFontMatch(nullptr, pat, &result);
        bool found = false;
        FcChar8* name = nullptr;
        for (int i = 0; match && FcPatternGetString(match, FC_FAMILY, i, &name) == FcResultMatch;
             ++i)
            found = found || std::string(reinterpret_cast<const char*>(name)) == family;
        if (match) FcPatternDestroy(match);
        FcPatternDestroy(pat);
        if (!found)
            throw std::runtime_error(std::string("font ") + family +
                                     " is not installed (Debian package fonts-ipafont-gothic)");
    }
}

TextBox MeasureText(cairo_t* cr, const std::string& text, const TextStyle& st) {
    PangoLayout* layout = MakeLayout(cr, text, st.size, st.family);
    PangoRectangle ink, logical;
    pango_layout_get_pixel_extents(layout, &ink, &logical);
    g_object_unref(layout);
    TextBox box{double(ink.x), double(ink.y), double(ink.width), double(ink.height)};
    box.w *= Squeeze(box, st);
    return box;
}

void DrawTextCentered(cairo_t* cr, const std::string& text, const TextStyle& st, double cx,
                      double cy) {
    const TextBox box = MeasureText(cr, text, st);
    DrawAt(cr, text, st, cx - box.w / 2, cy);
}

void DrawTextLeft(cairo_t* cr, const std::string& text, const TextStyle& st, double x, double cy) {
    DrawAt(cr, text, st, x, cy);
}

}  // namespace artgen
