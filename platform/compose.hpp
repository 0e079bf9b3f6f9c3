// Draws the form model into one 667 x 500 picture: the background colour, then the images and
// labels, then the visible picture boxes on top. Both window adapters show exactly this picture.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "platform/form.hpp"

namespace zb {

// A rectangle in pixels.
struct Rect {
    int x = 0, y = 0, w = 0, h = 0;
    bool Contains(int px, int py) const { return px >= x && py >= y && px < x + w && py < y + h; }
};

struct TextExtent {
    int width = 0;   // the widest line
    int height = 0;  // every line's height together
};

// Draws label text. The real one uses the Japanese gothic font; tests may pass NullText.
class TextRenderer {
  public:
    virtual ~TextRenderer() = default;
    // Draws text into the rectangle (x, y, w, h) of dst, wrapped at w, breaking at CR LF.
    virtual void DrawText(Surface& dst, int x, int y, int w, int h, const std::string& utf8,
                          double points, Color color, Align align) = 0;
    // The size that DrawText gives the text when wrapped at maxWidth. This one estimates: a
    // full-width character is one em wide, an ASCII one half an em.
    virtual TextExtent Measure(const std::string& utf8, double points, int maxWidth);
};

// Pixels per em of a font size in points: 1 point = 20 twips, 15 twips make a pixel.
int PointsToPixels(double points);

class NullText : public TextRenderer {
  public:
    void DrawText(Surface&, int, int, int, int, const std::string&, double, Color, Align) override {
    }
};

void ComposeForm(const MainForm& form, TextRenderer& text, Surface& out);
// Composes again only `area` of a picture that ComposeForm made: afterwards it holds what
// ComposeForm would give now, as long as the rest of the form did not change.
void ComposeArea(const MainForm& form, TextRenderer& text, Surface& out, const Rect& area);

// Everything ComposeForm reads, remembered so that a window that waits for the player composes
// only when something was drawn or changed, and a window that plays composes and shows only the
// parts that changed.
class FormSnapshot {
  public:
    // Takes a new snapshot; true when it differs from the previous one. `changed` then gets the
    // parts of the form whose picture may have changed: where each changed control was and is
    // (rectangles that touch made one where that adds nothing), only the changed pixels of a
    // picture box drawn on in place, or the whole form for the first snapshot or a new back
    // colour.
    bool Update(const MainForm& form, std::vector<Rect>* changed = nullptr);
    // Whether the form differs from the last snapshot, which stays as it is.
    bool Differs(const MainForm& form) const;

  private:
    // One control (the first part: the back colour): all it is drawn from, and where it draws.
    // A picture box's pixels are kept apart from its key, so that a box drawn on in place shows
    // again only the pixels that changed.
    struct Part {
        std::string key;
        Rect place;
        Surface pixels;  // a picture box's drawing, shared until it is drawn on again
        uint64_t version = 0;
        Rect picture;  // where that drawing lies on the form
    };
    std::vector<Part> Parts(const MainForm& form,
                            std::vector<std::shared_ptr<const Surface>>* pictures) const;

    std::vector<Part> parts_;
    // The pictures of the visible images, held so that a new picture never reuses an address.
    std::vector<std::shared_ptr<const Surface>> pictures_;
};

}  // namespace zb
