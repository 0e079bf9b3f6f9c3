// Label text in the proportional Japanese gothic font IPA P Gothic (found through fontconfig),
// drawn with SDL_ttf.
#pragma once

#include <list>
#include <map>
#include <memory>
#include <string>
#include <tuple>

#include "platform/compose.hpp"

typedef struct _TTF_Font TTF_Font;

namespace zb {

class TtfText : public TextRenderer {
  public:
    // Throws std::runtime_error when no Japanese gothic font or SDL_ttf is available.
    TtfText();
    ~TtfText() override;
    TtfText(const TtfText&) = delete;
    TtfText& operator=(const TtfText&) = delete;

    void DrawText(Surface& dst, int x, int y, int w, int h, const std::string& utf8, double points,
                  Color color, Align align) override;
    TextExtent Measure(const std::string& utf8, double points, int maxWidth) override;

    const std::string& FontFile() const { return fontFile_; }

    // The file of the font that labels use, or empty when none is installed.
    static std::string FindFontFile();

  private:
    // A label's text, rendered once as coverage (0..255 per pixel) and kept while it is shown.
    struct Rendered {
        int w = 0, h = 0;
        std::vector<uint8_t> alpha;
    };
    using Key = std::tuple<std::string, int, int, int, int>;  // text, pixel size, w, h, align
    const Rendered& Render(const Key& key);
    TTF_Font* Font(int pixelSize);

    std::string fontFile_;
    std::map<int, TTF_Font*> fonts_;
    std::map<Key, Rendered> cache_;
    // Labels are measured on every repaint (see ComposeForm): the extents are kept too.
    std::map<std::tuple<std::string, int, int>, TextExtent> extents_;
    std::list<Key> order_;  // oldest first, for a bounded cache
};

}  // namespace zb
