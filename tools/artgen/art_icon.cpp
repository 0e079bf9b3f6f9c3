// The desktop icon: a big 鈍 note with a small 感 note before it, drawn at each hicolor size
// from one 64-unit design (small sizes keep the notes and drop nothing but detail).
#include <filesystem>
#include <stdexcept>

#include "art.hpp"
#include "draw.hpp"

namespace artgen {

void WriteIcons(const std::string& dir, const std::string& name) {
    for (int size : kIconSizes) {
        Canvas c(size, size);
        cairo_t* cr = c.cr();
        cairo_scale(cr, size / 64.0, size / 64.0);
        NoteFace(cr, 28, 28, 27, pal::DonRed, pal::DonLight, "鈍");
        NoteFace(cr, 47, 47, 16, pal::KanBlue, pal::KanLight, "感");
        const std::string sub = std::to_string(size) + "x" + std::to_string(size) + "/apps";
        const std::filesystem::path path = std::filesystem::path(dir) / sub / (name + ".png");
        std::filesystem::create_directories(path.parent_path());
        cairo_surface_flush(c.surface());
        if (cairo_surface_write_to_png(c.surface(), path.c_str()) != CAIRO_STATUS_SUCCESS)
            throw std::runtime_error("cannot write " + path.string());
    }
}

}  // namespace artgen
