#include "art.hpp"

#include <cstdio>
#include <cstdlib>
#include <set>
#include <stdexcept>

#include "writers.hpp"

namespace artgen {

zb::Surface* ArtSet::Find(const std::string& name) {
    for (Picture& p : pictures_)
        if (p.name == name) return &p.pixels;
    return nullptr;
}

const zb::Surface& ArtSet::Get(const std::string& name) const {
    for (const Picture& p : pictures_)
        if (p.name == name) return p.pixels;
    throw std::logic_error("no picture " + name);
}

void ArtSet::Opaque(const std::string& name, zb::Surface pixels,
                    const std::vector<uint32_t>& keep) {
    if (Find(name)) throw std::logic_error("picture drawn twice: " + name);
    if (name.size() > 4 && name.substr(name.size() - 4) == ".gif") {
        if (std::getenv("ARTGEN_VERBOSE")) {
            std::set<uint32_t> colors(pixels.Pixels().begin(), pixels.Pixels().end());
            if (colors.size() > 256)
                std::fprintf(stderr, "%s: %zu colours reduced\n", name.c_str(), colors.size());
        }
        pixels = Reduce(pixels, keep);
    }
    pictures_.push_back({name, std::move(pixels)});
}

void ArtSet::Sprite(const std::string& sprite, const std::string& mask, const Canvas& c) {
    Sprite(sprite, mask, SplitSprite(c));
}

void ArtSet::Sprite(const std::string& sprite, const std::string& mask, SpritePair pair) {
    Opaque(sprite, std::move(pair.sprite));
    if (zb::Surface* shared = Find(mask)) {
        if (shared->Pixels() != pair.mask.Pixels())
            throw std::logic_error(sprite + " does not match the outline of " + mask);
        return;
    }
    pictures_.push_back({mask, std::move(pair.mask)});
}

ArtSet DrawEverything() {
    ArtSet art;
    DrawNotes(art);
    DrawJudgement(art);
    DrawDrummer(art);
    DrawScenes(art);
    DrawGauge(art);
    DrawSongSelect(art);
    DrawLogo(art);
    return art;
}

}  // namespace artgen
