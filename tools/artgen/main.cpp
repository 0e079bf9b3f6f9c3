// artgen: draws every picture of the game into assets/img, and on request a contact sheet and
// mock screens for review. See README.md.
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>

#include "art.hpp"
#include "draw.hpp"
#include "sheet.hpp"
#include "writers.hpp"

namespace {
void Usage() {
    std::fprintf(
        stderr,
        "usage: artgen [--out DIR] [--icons DIR] [--sheet FILE.png] [--mock DIR]\n"
        "  --out DIR         where the pictures go (default: the source tree's assets/img)\n"
        "  --icons DIR       where the desktop icons go (default: the source tree's "
        "assets/icons)\n"
        "  --sheet FILE.png  also draw a labelled contact sheet of every picture\n"
        "  --mock DIR        also draw the title, song select and play screens\n");
}
}  // namespace

int main(int argc, char** argv) {
    std::string out = ARTGEN_DEFAULT_OUT, icons = ARTGEN_DEFAULT_ICONS, sheet, mock;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        if ((a == "--out" || a == "--icons" || a == "--sheet" || a == "--mock") && i + 1 < argc) {
            (a == "--out"     ? out
             : a == "--icons" ? icons
             : a == "--sheet" ? sheet
                              : mock) = argv[++i];
        } else {
            Usage();
            return 2;
        }
    }
    try {
        artgen::RequireFonts();
        const artgen::ArtSet art = artgen::DrawEverything();
        for (const artgen::Picture& p : art.All()) {
            const std::filesystem::path path = std::filesystem::path(out) / p.name;
            std::filesystem::create_directories(path.parent_path());
            artgen::WritePicture(path.string(), p.pixels);
        }
        std::printf("artgen: %zu pictures written to %s\n", art.All().size(), out.c_str());
        artgen::WriteIcons(icons, artgen::kIconName);
        std::printf("artgen: the desktop icons written to %s\n", icons.c_str());
        // The reviews read the files back, as the game does.
        if (!sheet.empty()) artgen::WriteContactSheet(art, out, sheet);
        if (!mock.empty()) artgen::WriteMocks(out, mock);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "artgen: %s\n", e.what());
        return 1;
    }
    return 0;
}
