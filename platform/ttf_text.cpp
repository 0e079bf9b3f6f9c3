#include "platform/ttf_text.hpp"

#include <SDL.h>
#include <SDL_ttf.h>
#include <fontconfig/fontconfig.h>

#include <algorithm>
#include <cmath>
#include <stdexcept>
#include <vector>

namespace zb {

namespace {

constexpr size_t kCacheLimit = 512;

// Splits UTF-8 text into code points, each kept as its own UTF-8 string.
std::vector<std::string> Glyphs(const std::string& s) {
    std::vector<std::string> out;
    for (size_t i = 0; i < s.size();) {
        const auto c = static_cast<unsigned char>(s[i]);
        size_t n = c < 0x80 ? 1 : (c >> 5) == 6 ? 2 : (c >> 4) == 14 ? 3 : (c >> 3) == 30 ? 4 : 1;
        n = std::min(n, s.size() - i);
        out.push_back(s.substr(i, n));
        i += n;
    }
    return out;
}

int TextWidth(TTF_Font* font, const std::string& s) {
    int w = 0, h = 0;
    if (s.empty() || TTF_SizeUTF8(font, s.c_str(), &w, &h) != 0) return 0;
    return w;
}

// Breaks one paragraph into lines no wider than width: Latin words stay whole where they can,
// Japanese text breaks between any two characters.
std::vector<std::string> Wrap(TTF_Font* font, const std::string& para, int width) {
    if (TextWidth(font, para) <= width) return {para};
    std::vector<std::string> lines;
    const auto glyphs = Glyphs(para);
    std::string line;
    size_t lastSpace = std::string::npos;  // byte index in line after a space
    for (const std::string& g : glyphs) {
        std::string next = line + g;
        if (!line.empty() && TextWidth(font, next) > width) {
            if (g == " ") {
                lines.push_back(line);
                line.clear();
                lastSpace = std::string::npos;
                continue;
            }
            if (lastSpace != std::string::npos && lastSpace < line.size() &&
                (unsigned char)g[0] < 0x80) {
                lines.push_back(line.substr(0, lastSpace));
                line = line.substr(lastSpace) + g;
            } else {
                lines.push_back(line);
                line = g;
            }
            lastSpace = std::string::npos;
            continue;
        }
        line = std::move(next);
        if (g == " ") lastSpace = line.size();
    }
    lines.push_back(line);
    return lines;
}

std::vector<std::string> Paragraphs(const std::string& text) {
    std::vector<std::string> out;
    std::string cur;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') {
            out.push_back(cur);
            cur.clear();
            ++i;
        } else if (text[i] == '\n') {
            out.push_back(cur);
            cur.clear();
        } else {
            cur += text[i];
        }
    }
    out.push_back(cur);
    return out;
}

}  // namespace

std::string TtfText::FindFontFile() {
    std::string file;
    if (!FcInit()) return file;
    // The proportional IPA P Gothic, for which the screens' layouts were made; fontconfig
    // offers another Japanese face when it is missing.
    FcPattern* pat = FcNameParse(reinterpret_cast<const FcChar8*>("IPAPGothic:lang=ja"));
    FcConfigSubstitute(nullptr, pat, FcMatchPattern);
    FcDefaultSubstitute(pat);
    FcResult result;
    FcPattern* match = FcFontMatch(nullptr, pat, &result);
    if (match) {
        FcChar8* f = nullptr;
        if (FcPatternGetString(match, FC_FILE, 0, &f) == FcResultMatch)
            file = reinterpret_cast<char*>(f);
        // Only a font that covers Japanese will do.
        FcLangSet* ls = nullptr;
        if (FcPatternGetLangSet(match, FC_LANG, 0, &ls) != FcResultMatch ||
            FcLangSetHasLang(ls, reinterpret_cast<const FcChar8*>("ja")) == FcLangDifferentLang)
            file.clear();
        FcPatternDestroy(match);
    }
    FcPatternDestroy(pat);
    return file;
}

TtfText::TtfText() : fontFile_(FindFontFile()) {
    if (fontFile_.empty()) throw std::runtime_error("no Japanese gothic font installed");
    if (!TTF_WasInit() && TTF_Init() != 0) throw std::runtime_error(TTF_GetError());
}

TtfText::~TtfText() {
    for (auto& [size, font] : fonts_) TTF_CloseFont(font);
}

TTF_Font* TtfText::Font(int pixelSize) {
    auto it = fonts_.find(pixelSize);
    if (it != fonts_.end()) return it->second;
    // TTF point sizes are taken at 72 dpi, so a point size of n gives n-pixel glyphs.
    TTF_Font* f = TTF_OpenFont(fontFile_.c_str(), pixelSize);
    if (!f) throw std::runtime_error(TTF_GetError());
    fonts_[pixelSize] = f;
    return f;
}

const TtfText::Rendered& TtfText::Render(const Key& key) {
    auto it = cache_.find(key);
    if (it != cache_.end()) return it->second;
    const auto& [text, px, w, h, align] = key;
    Rendered r;
    r.w = w;
    r.h = h;
    r.alpha.assign(size_t(w) * size_t(h), 0);
    TTF_Font* font = Font(px);
    const int lineSkip = TTF_FontLineSkip(font);
    int y = 0;
    const SDL_Color white{255, 255, 255, 255};
    for (const std::string& para : Paragraphs(text)) {
        for (const std::string& line : Wrap(font, para, w)) {
            if (y >= h) break;
            if (!line.empty()) {
                SDL_Surface* s = TTF_RenderUTF8_Blended(font, line.c_str(), white);
                if (s) {
                    SDL_Surface* c = SDL_ConvertSurfaceFormat(s, SDL_PIXELFORMAT_ARGB8888, 0);
                    SDL_FreeSurface(s);
                    if (c) {
                        const int x0 = align == int(Align::Center) ? (w - c->w) / 2 : 0;
                        SDL_LockSurface(c);
                        for (int yy = 0; yy < c->h && y + yy < h; ++yy) {
                            const auto* row = reinterpret_cast<const uint32_t*>(
                                static_cast<const uint8_t*>(c->pixels) +
                                size_t(yy) * size_t(c->pitch));
                            for (int xx = 0; xx < c->w; ++xx) {
                                const int tx = x0 + xx;
                                if (tx < 0 || tx >= w) continue;
                                // Rows overlap where a line's glyphs reach below the line
                                // skip: keep the descenders of the row above.
                                uint8_t& a = r.alpha[size_t(y + yy) * size_t(w) + size_t(tx)];
                                a = std::max(a, uint8_t(row[xx] >> 24));
                            }
                        }
                        SDL_UnlockSurface(c);
                        SDL_FreeSurface(c);
                    }
                }
            }
            y += lineSkip;
        }
    }
    if (cache_.size() >= kCacheLimit) {
        cache_.erase(order_.front());
        order_.pop_front();
    }
    order_.push_back(key);
    return cache_.emplace(key, std::move(r)).first->second;
}

TextExtent TtfText::Measure(const std::string& utf8, double points, int maxWidth) {
    const int px = PointsToPixels(points);
    auto key = std::make_tuple(utf8, px, maxWidth);
    if (auto it = extents_.find(key); it != extents_.end()) return it->second;
    if (extents_.size() >= kCacheLimit) extents_.clear();
    TTF_Font* font = Font(px);
    TextExtent e;
    int lines = 0;
    for (const std::string& para : Paragraphs(utf8)) {
        for (const std::string& line : Wrap(font, para, maxWidth)) {
            e.width = std::max(e.width, TextWidth(font, line));
            ++lines;
        }
    }
    e.height = lines * TTF_FontLineSkip(font);
    return extents_[std::move(key)] = e;
}

void TtfText::DrawText(Surface& dst, int x, int y, int w, int h, const std::string& utf8,
                       double points, Color color, Align align) {
    if (w <= 0 || h <= 0 || utf8.empty()) return;
    const Rendered& r = Render(Key{utf8, PointsToPixels(points), w, h, int(align)});
    for (int yy = 0; yy < r.h; ++yy) {
        const int ty = y + yy;
        if (ty < 0 || ty >= dst.Height()) continue;
        uint32_t* row = dst.Row(ty);
        for (int xx = 0; xx < r.w; ++xx) {
            const int tx = x + xx;
            if (tx < 0 || tx >= dst.Width()) continue;
            const unsigned a = r.alpha[size_t(yy) * size_t(r.w) + size_t(xx)];
            if (a == 0) continue;
            const uint32_t d = row[tx];
            auto mix = [&](int shift, int src) {
                const unsigned dc = (d >> shift) & 255;
                return ((unsigned(src) * a + dc * (255 - a) + 127) / 255) << shift;
            };
            row[tx] = mix(16, color.R()) | mix(8, color.G()) | mix(0, color.B());
        }
    }
}

}  // namespace zb
