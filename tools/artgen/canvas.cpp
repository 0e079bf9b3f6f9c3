#include "canvas.hpp"

namespace artgen {

Canvas::Canvas(int w, int h) : w_(w), h_(h) {
    surface_ = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, w, h);
    cr_ = cairo_create(surface_);
}

Canvas::~Canvas() {
    cairo_destroy(cr_);
    cairo_surface_destroy(surface_);
}

int Canvas::Alpha(int x, int y) const {
    cairo_surface_flush(surface_);
    const auto* data = cairo_image_surface_get_data(surface_);
    const int stride = cairo_image_surface_get_stride(surface_);
    const uint32_t p = reinterpret_cast<const uint32_t*>(data + size_t(y) * size_t(stride))[x];
    return int(p >> 24);
}

uint32_t Canvas::Straight(int x, int y) const {
    cairo_surface_flush(surface_);
    const auto* data = cairo_image_surface_get_data(surface_);
    const int stride = cairo_image_surface_get_stride(surface_);
    const uint32_t p = reinterpret_cast<const uint32_t*>(data + size_t(y) * size_t(stride))[x];
    const uint32_t a = p >> 24;
    if (a == 0) return 0xFFFFFF;
    auto un = [a](uint32_t c) { return std::min<uint32_t>(255, (c * 255 + a / 2) / a); };
    return (un((p >> 16) & 255) << 16) | (un((p >> 8) & 255) << 8) | un(p & 255);
}

zb::Surface Canvas::Opaque() const {
    zb::Surface out(w_, h_);
    for (int y = 0; y < h_; ++y)
        for (int x = 0; x < w_; ++x) {
            const int a = Alpha(x, y);
            const uint32_t c = Straight(x, y);
            auto mix = [a](uint32_t v) {
                return (v * uint32_t(a) + 255u * uint32_t(255 - a) + 127) / 255;
            };
            out.SetPixel(x, y,
                         (mix((c >> 16) & 255) << 16) | (mix((c >> 8) & 255) << 8) | mix(c & 255));
        }
    return out;
}

SpritePair SplitSprite(const Canvas& c) {
    SpritePair p{zb::Surface(c.w(), c.h(), zb::colors::White),
                 zb::Surface(c.w(), c.h(), zb::colors::Black)};
    for (int y = 0; y < c.h(); ++y)
        for (int x = 0; x < c.w(); ++x) {
            if (c.Alpha(x, y) < 128) continue;
            p.sprite.SetPixel(x, y, c.Straight(x, y));
            p.mask.SetPixel(x, y, 0xFFFFFF);
        }
    return p;
}

void PaintSurface(cairo_t* cr, const zb::Surface& s, double x, double y) {
    cairo_surface_t* img = cairo_image_surface_create(CAIRO_FORMAT_RGB24, s.Width(), s.Height());
    cairo_surface_flush(img);
    auto* data = cairo_image_surface_get_data(img);
    const int stride = cairo_image_surface_get_stride(img);
    for (int row = 0; row < s.Height(); ++row) {
        auto* dst = reinterpret_cast<uint32_t*>(data + size_t(row) * size_t(stride));
        for (int col = 0; col < s.Width(); ++col) dst[col] = s.Pixel(col, row) | 0xFF000000u;
    }
    cairo_surface_mark_dirty(img);
    cairo_save(cr);
    cairo_set_source_surface(cr, img, x, y);
    cairo_pattern_set_filter(cairo_get_source(cr), CAIRO_FILTER_NEAREST);
    cairo_paint(cr);
    cairo_restore(cr);
    cairo_surface_destroy(img);
}

}  // namespace artgen
