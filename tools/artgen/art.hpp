// The set of pictures the tool draws, by file name under img/, and the painters of each group.
#pragma once

#include <string>
#include <vector>

#include "canvas.hpp"
#include "platform/surface.hpp"

namespace artgen {

struct Picture {
    std::string name;  // relative to img/, e.g. "note/don_s.bmp"
    zb::Surface pixels;
};

class ArtSet {
  public:
    // GIF pictures are kept as the file will hold them (at most 256 colours); colours in keep
    // stay exact, so a picture cut from another one still matches it.
    void Opaque(const std::string& name, zb::Surface pixels,
                const std::vector<uint32_t>& keep = {});
    void Opaque(const std::string& name, const Canvas& c, const std::vector<uint32_t>& keep = {}) {
        Opaque(name, c.Opaque(), keep);
    }
    // A sprite and its mask. Sprites that share one mask must have the same outline.
    void Sprite(const std::string& sprite, const std::string& mask, const Canvas& c);
    void Sprite(const std::string& sprite, const std::string& mask, SpritePair pair);

    const zb::Surface& Get(const std::string& name) const;
    const std::vector<Picture>& All() const { return pictures_; }

  private:
    zb::Surface* Find(const std::string& name);
    std::vector<Picture> pictures_;
};

// Every picture of the game, drawn by all the painters below in order.
ArtSet DrawEverything();

// The painters, in the order DrawEverything() runs them.
void DrawNotes(ArtSet& art);       // note/: notes, judgement frame and its pulse, bar line
void DrawJudgement(ArtSet& art);   // hantei/: 良 可 不可 and the grand 良
void DrawDrummer(ArtSet& art);     // wan/: the drummer dog and its four strikes
void DrawScenes(ArtSet& art);      // haikei/: day and night scenes and the running characters
void DrawGauge(ArtSet& art);       // gage/
void DrawSongSelect(ArtSet& art);  // other/
void DrawLogo(ArtSet& art);        // logo.gif

// A note's face (as note/don_s.bmp and its kind show it) of radius r centred at (cx, cy).
void NoteFace(cairo_t* cr, double cx, double cy, double r, uint32_t face, uint32_t light,
              const char* glyph);

// The desktop icon at the hicolor sizes, as PNG files with transparency:
// DIR/<size>x<size>/apps/<name>.png. Not a game picture: the launcher's and the menu's.
inline constexpr int kIconSizes[] = {16, 22, 24, 32, 48, 64, 128, 256};
inline constexpr const char* kIconName = "jp.zubakko.Zubakko";  // the desktop entry's id
void WriteIcons(const std::string& dir, const std::string& name);

}  // namespace artgen
