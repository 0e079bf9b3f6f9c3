#include "writers.hpp"

#include <SDL.h>
#include <gif_lib.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <stdexcept>
#include <unordered_map>

namespace artgen {

namespace {
struct Entry {
    uint32_t rgb;
    uint32_t count;
};
int Ch(uint32_t c, int k) {
    return int((c >> (16 - 8 * k)) & 255);
}

// Perceptual-ish distance: green weighs most.
int Dist(uint32_t a, uint32_t b) {
    const int dr = Ch(a, 0) - Ch(b, 0), dg = Ch(a, 1) - Ch(b, 1), db = Ch(a, 2) - Ch(b, 2);
    return 3 * dr * dr + 4 * dg * dg + 2 * db * db;
}

std::vector<uint32_t> MedianCut(std::vector<Entry> colors, int boxes) {
    struct Box {
        size_t begin, end;
    };
    std::vector<Box> list{{0, colors.size()}};
    auto spread = [&](const Box& b, int& axis) {
        int best = -1;
        for (int k = 0; k < 3; ++k) {
            int lo = 255, hi = 0;
            for (size_t i = b.begin; i < b.end; ++i) {
                lo = std::min(lo, Ch(colors[i].rgb, k));
                hi = std::max(hi, Ch(colors[i].rgb, k));
            }
            if (hi - lo > best) best = hi - lo, axis = k;
        }
        return best;
    };
    while (int(list.size()) < boxes) {
        // Split the box with the largest spread weighted by its pixel count.
        int pick = -1, axis = 0;
        double score = 0;
        for (size_t i = 0; i < list.size(); ++i) {
            if (list[i].end - list[i].begin < 2) continue;
            int ax = 0;
            const int sp = spread(list[i], ax);
            uint64_t n = 0;
            for (size_t j = list[i].begin; j < list[i].end; ++j) n += colors[j].count;
            const double s = double(sp) * std::sqrt(double(n));
            if (s > score) score = s, pick = int(i), axis = ax;
        }
        if (pick < 0) break;
        Box b = list[size_t(pick)];
        std::sort(
            colors.begin() + long(b.begin), colors.begin() + long(b.end),
            [axis](const Entry& x, const Entry& y) { return Ch(x.rgb, axis) < Ch(y.rgb, axis); });
        uint64_t total = 0, acc = 0;
        for (size_t j = b.begin; j < b.end; ++j) total += colors[j].count;
        size_t mid = b.begin + 1;
        for (size_t j = b.begin; j < b.end - 1; ++j) {
            acc += colors[j].count;
            mid = j + 1;
            if (acc * 2 >= total) break;
        }
        list[size_t(pick)] = {b.begin, mid};
        list.push_back({mid, b.end});
    }
    std::vector<uint32_t> out;
    for (const Box& b : list) {
        double r = 0, g = 0, bl = 0, n = 0;
        for (size_t j = b.begin; j < b.end; ++j) {
            r += Ch(colors[j].rgb, 0) * double(colors[j].count);
            g += Ch(colors[j].rgb, 1) * double(colors[j].count);
            bl += Ch(colors[j].rgb, 2) * double(colors[j].count);
            n += colors[j].count;
        }
        out.push_back((uint32_t(r / n + 0.5) << 16) | (uint32_t(g / n + 0.5) << 8) |
                      uint32_t(bl / n + 0.5));
    }
    return out;
}

size_t Nearest(const std::vector<uint32_t>& pal, uint32_t c) {
    size_t best = 0;
    int bd = 1 << 30;
    for (size_t i = 0; i < pal.size(); ++i) {
        const int d = Dist(pal[i], c);
        if (d < bd) bd = d, best = i;
    }
    return best;
}
}  // namespace

Quantized Quantize(const zb::Surface& s, int maxColors, const std::vector<uint32_t>& keep) {
    std::unordered_map<uint32_t, uint32_t> counts;
    for (uint32_t p : s.Pixels()) ++counts[p & 0xFFFFFF];
    Quantized q;
    if (int(counts.size()) <= maxColors) {
        for (const auto& [rgb, n] : counts) q.palette.push_back(rgb);
        std::sort(q.palette.begin(), q.palette.end());
    } else {
        // Pure white, black and the colours asked for are kept exact; the rest is cut and refined.
        auto kept = [&keep](uint32_t rgb) {
            return rgb == 0xFFFFFF || rgb == 0 ||
                   std::find(keep.begin(), keep.end(), rgb) != keep.end();
        };
        std::vector<uint32_t> fixed;
        std::vector<Entry> rest;
        for (const auto& [rgb, n] : counts) {
            if (kept(rgb))
                fixed.push_back(rgb);
            else
                rest.push_back({rgb, n});
        }
        std::vector<uint32_t> pal = MedianCut(rest, maxColors - int(fixed.size()));
        for (int pass = 0; pass < 4; ++pass) {
            std::vector<std::array<double, 4>> sum(pal.size(), {0, 0, 0, 0});
            for (const Entry& e : rest) {
                auto& a = sum[Nearest(pal, e.rgb)];
                a[0] += Ch(e.rgb, 0) * double(e.count);
                a[1] += Ch(e.rgb, 1) * double(e.count);
                a[2] += Ch(e.rgb, 2) * double(e.count);
                a[3] += e.count;
            }
            for (size_t i = 0; i < pal.size(); ++i)
                if (sum[i][3] > 0)
                    pal[i] = (uint32_t(sum[i][0] / sum[i][3] + 0.5) << 16) |
                             (uint32_t(sum[i][1] / sum[i][3] + 0.5) << 8) |
                             uint32_t(sum[i][2] / sum[i][3] + 0.5);
        }
        // A refined colour must not turn into exact white or black by accident.
        for (uint32_t& c : pal)
            while (kept(c)) c ^= 1;
        q.palette = fixed;
        q.palette.insert(q.palette.end(), pal.begin(), pal.end());
    }
    std::unordered_map<uint32_t, uint8_t> lookup;
    for (const auto& [rgb, n] : counts) {
        size_t i = 0;
        auto exact = std::find(q.palette.begin(), q.palette.end(), rgb);
        if (exact != q.palette.end())
            i = size_t(exact - q.palette.begin());
        else {
            // Only the cut colours stand in for others: white stays for transparency alone.
            i = Nearest(q.palette, rgb);
            if (q.palette[i] == 0xFFFFFF || q.palette[i] == 0) {
                int bd = 1 << 30;
                for (size_t k = 0; k < q.palette.size(); ++k) {
                    if (q.palette[k] == 0xFFFFFF || q.palette[k] == 0) continue;
                    const int d = Dist(q.palette[k], rgb);
                    if (d < bd) bd = d, i = k;
                }
            }
        }
        lookup[rgb] = uint8_t(i);
    }
    q.index.reserve(s.Pixels().size());
    for (uint32_t p : s.Pixels()) q.index.push_back(lookup[p & 0xFFFFFF]);
    return q;
}

zb::Surface Reduce(const zb::Surface& s, const std::vector<uint32_t>& keep) {
    const Quantized q = Quantize(s, 256, keep);
    zb::Surface out(s.Width(), s.Height());
    for (int y = 0; y < s.Height(); ++y)
        for (int x = 0; x < s.Width(); ++x)
            out.SetPixel(x, y, q.palette[q.index[size_t(y) * size_t(s.Width()) + size_t(x)]]);
    return out;
}

std::vector<zb::Surface> ReduceTogether(const std::vector<zb::Surface>& pictures) {
    int w = 0, h = 0;
    for (const zb::Surface& p : pictures) w = std::max(w, p.Width()), h += p.Height();
    zb::Surface all(w, h, zb::colors::White);
    int y = 0;
    for (const zb::Surface& p : pictures) {
        zb::BlitCopy(p, 0, 0, p.Width(), p.Height(), all, 0, y);
        y += p.Height();
    }
    const zb::Surface reduced = Reduce(all);
    std::vector<zb::Surface> out;
    y = 0;
    for (const zb::Surface& p : pictures) {
        zb::Surface part(p.Width(), p.Height());
        zb::BlitCopy(reduced, 0, y, p.Width(), p.Height(), part, 0, 0);
        out.push_back(std::move(part));
        y += p.Height();
    }
    return out;
}

namespace {
void WriteGif(const std::string& path, const zb::Surface& s) {
    const Quantized q = Quantize(s);
    int bits = 1;
    while ((1 << bits) < int(q.palette.size())) ++bits;
    int err = 0;
    GifFileType* gif = EGifOpenFileName(path.c_str(), false, &err);
    if (!gif) throw std::runtime_error("cannot write " + path + ": " + GifErrorString(err));
    ColorMapObject* map = GifMakeMapObject(1 << bits, nullptr);
    for (int i = 0; i < map->ColorCount; ++i) {
        const uint32_t c = i < int(q.palette.size()) ? q.palette[size_t(i)] : 0;
        map->Colors[i] = GifColorType{GifByteType(c >> 16), GifByteType(c >> 8), GifByteType(c)};
    }
    bool ok = EGifPutScreenDesc(gif, s.Width(), s.Height(), bits, 0, map) == GIF_OK &&
              EGifPutImageDesc(gif, 0, 0, s.Width(), s.Height(), false, nullptr) == GIF_OK;
    std::vector<GifPixelType> line(size_t(s.Width()));
    for (int y = 0; ok && y < s.Height(); ++y) {
        for (int x = 0; x < s.Width(); ++x)
            line[size_t(x)] = q.index[size_t(y) * size_t(s.Width()) + size_t(x)];
        ok = EGifPutLine(gif, line.data(), s.Width()) == GIF_OK;
    }
    GifFreeMapObject(map);
    if (EGifCloseFile(gif, &err) != GIF_OK || !ok) throw std::runtime_error("cannot write " + path);
}

void WriteBmp(const std::string& path, const zb::Surface& s) {
    SDL_Surface* out =
        SDL_CreateRGBSurfaceWithFormat(0, s.Width(), s.Height(), 24, SDL_PIXELFORMAT_RGB24);
    if (!out) throw std::runtime_error(std::string("SDL surface: ") + SDL_GetError());
    for (int y = 0; y < s.Height(); ++y) {
        auto* row = static_cast<uint8_t*>(out->pixels) + size_t(y) * size_t(out->pitch);
        for (int x = 0; x < s.Width(); ++x) {
            const uint32_t c = s.Pixel(x, y);
            row[3 * x] = uint8_t(c >> 16);  // RGB24 is R, G, B in memory order
            row[3 * x + 1] = uint8_t(c >> 8);
            row[3 * x + 2] = uint8_t(c);
        }
    }
    const int rc = SDL_SaveBMP(out, path.c_str());
    SDL_FreeSurface(out);
    if (rc != 0) throw std::runtime_error("cannot write " + path + ": " + SDL_GetError());
}
}  // namespace

void WritePicture(const std::string& path, const zb::Surface& s) {
    const std::string ext = path.size() > 4 ? path.substr(path.size() - 4) : "";
    if (ext == ".gif")
        WriteGif(path, s);
    else if (ext == ".bmp")
        WriteBmp(path, s);
    else
        throw std::runtime_error("unknown picture type: " + path);
}

}  // namespace artgen
