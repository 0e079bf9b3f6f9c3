#include "platform/compose.hpp"

#include <algorithm>
#include <cmath>

#include "platform/changed_pixels.hpp"

namespace zb {

int PointsToPixels(double points) {
    return std::max(1, static_cast<int>(std::lround(points * 20.0 / kTwipsPerPixel)));
}

TextExtent TextRenderer::Measure(const std::string& utf8, double points, int maxWidth) {
    const int em = PointsToPixels(points);
    TextExtent e;
    int lines = 1, x = 0;
    for (size_t i = 0; i < utf8.size(); ++i) {
        const auto c = static_cast<unsigned char>(utf8[i]);
        if (c == '\n' || (c == '\r' && i + 1 < utf8.size() && utf8[i + 1] == '\n')) {
            if (c == '\r') ++i;
            ++lines, x = 0;
            continue;
        }
        if ((c & 0xC0) == 0x80) continue;  // continuation byte
        const int adv = c < 0x80 ? em / 2 : em;
        if (x > 0 && x + adv > maxWidth) ++lines, x = 0;
        x += adv;
        e.width = std::max(e.width, x);
    }
    e.height = lines * em;
    return e;
}

namespace {
Rect Intersection(const Rect& a, const Rect& b) {
    const int x0 = std::max(a.x, b.x), y0 = std::max(a.y, b.y);
    const int x1 = std::min(a.x + a.w, b.x + b.w), y1 = std::min(a.y + a.h, b.y + b.h);
    return {x0, y0, std::max(0, x1 - x0), std::max(0, y1 - y0)};
}

bool Inside(const Rect& inner, const Rect& outer) {
    return inner.x >= outer.x && inner.y >= outer.y && inner.x + inner.w <= outer.x + outer.w &&
           inner.y + inner.h <= outer.y + outer.h;
}

// Every control is drawn into the form's picture cut at `clip`: nothing outside it changes.
void CopyClipped(const Surface& src, int w, int h, Surface& out, int x, int y, const Rect& clip) {
    const Rect r = Intersection({x, y, std::min(w, src.Width()), std::min(h, src.Height())}, clip);
    if (r.w > 0 && r.h > 0) BlitCopy(src, r.x - x, r.y - y, r.w, r.h, out, r.x, r.y);
}

void TextClipped(TextRenderer& text, Surface& out, const Rect& clip, int x, int y, int w, int h,
                 const std::string& utf8, double points, Color color, Align align) {
    const Rect box{x, y, w, h};
    if (Inside(box, clip)) return text.DrawText(out, x, y, w, h, utf8, points, color, align);
    // Text that crosses the edge is drawn on a copy of the part inside, then copied back.
    const Rect r = Intersection(box, clip);
    if (r.w <= 0 || r.h <= 0) return;
    Surface part(r.w, r.h);
    BlitCopy(out, r.x, r.y, r.w, r.h, part, 0, 0);
    text.DrawText(part, x - r.x, y - r.y, w, h, utf8, points, color, align);
    BlitCopy(part, 0, 0, r.w, r.h, out, r.x, r.y);
}

void DrawBox(const PictureBox& p, TextRenderer& text, Surface& out, const Rect& clip) {
    if (!p.Visible) return;
    const int x = TwipsToPx(p.Left), y = TwipsToPx(p.Top);
    CopyClipped(p.Dc(), p.WidthPx(), p.HeightPx(), out, x, y, clip);
    for (const PrintedText& t : p.Printed)
        TextClipped(text, out, clip, x + t.x, y + t.y, t.w, t.h, t.text, t.points, t.color,
                    t.align);
}

// A caption of one line that is wider than its label would wrap below the label's bottom and be
// cut; it is drawn whole on one line instead, past the label's side (both sides when centred).
void DrawCaption(const LabelControl& l, TextRenderer& text, Surface& out, const Rect& clip) {
    int x = TwipsToPx(l.Left), w = TwipsToPx(l.Width);
    const int y = TwipsToPx(l.Top), h = TwipsToPx(l.Height);
    if (l.Caption.find('\n') == std::string::npos) {
        const TextExtent whole = text.Measure(l.Caption, l.FontSize, 1 << 20);
        const TextExtent wrapped = whole.width > w ? text.Measure(l.Caption, l.FontSize, w) : whole;
        if (wrapped.height > whole.height && wrapped.height > h) {
            if (l.Alignment == Align::Center) x -= (whole.width - w + 1) / 2;
            w = whole.width;
        }
    }
    TextClipped(text, out, clip, x, y, w, h, l.Caption, l.FontSize, l.ForeColor, l.Alignment);
}

// A visible control in drawing order, and the rectangle it paints over whatever lies below.
struct Layer {
    Rect solid;
    const ImageControl* image = nullptr;
    const LabelControl* label = nullptr;
    const PictureBox* box = nullptr;
};

std::vector<Layer> Layers(const MainForm& form) {
    std::vector<Layer> layers;
    layers.reserve(form.Image1.size() + form.Label.size() + form.Picture1.size() + 5);
    for (const ImageControl& im : form.Image1)
        if (im.Visible && im.Picture)
            layers.push_back(
                {{TwipsToPx(im.Left), TwipsToPx(im.Top), im.Picture->Width(), im.Picture->Height()},
                 &im});
    for (const LabelControl& l : form.Label)
        if (l.Visible)
            layers.push_back(
                {{TwipsToPx(l.Left), TwipsToPx(l.Top), TwipsToPx(l.Width), TwipsToPx(l.Height)},
                 nullptr,
                 &l});
    auto addBox = [&](const PictureBox& p) {
        if (p.Visible)
            layers.push_back(
                {{TwipsToPx(p.Left), TwipsToPx(p.Top), std::min(p.WidthPx(), p.Dc().Width()),
                  std::min(p.HeightPx(), p.Dc().Height())},
                 nullptr,
                 nullptr,
                 &p});
    };
    for (const PictureBox* p : {&form.pHaikei, &form.pFumen, &form.pGage, &form.pInu, &form.pGamen})
        addBox(*p);
    for (const PictureBox& p : form.Picture1) addBox(p);
    return layers;
}

// Composes the `clip` part of the form's picture: the back colour, then every control in order,
// but nothing below the topmost control that paints all of the part.
void ComposeAt(const MainForm& form, TextRenderer& text, Surface& out, const Rect& clip) {
    const std::vector<Layer> layers = Layers(form);
    size_t first = layers.size();
    while (first > 0 && !Inside(clip, layers[first - 1].solid)) --first;
    if (first == 0)
        out.FillRect(clip.x, clip.y, clip.w, clip.h, form.BackColor);
    else
        --first;  // the covering control is drawn, what lies below it is not
    for (size_t i = first; i < layers.size(); ++i) {
        const Layer& layer = layers[i];
        if (layer.image) {
            CopyClipped(*layer.image->Picture, layer.solid.w, layer.solid.h, out, layer.solid.x,
                        layer.solid.y, clip);
        } else if (layer.label) {
            const Rect fill = Intersection(layer.solid, clip);
            // A caption keeps to its label's rows: a label whose rows miss the part is skipped.
            if (layer.solid.y >= clip.y + clip.h || layer.solid.y + layer.solid.h <= clip.y)
                continue;
            out.FillRect(fill.x, fill.y, fill.w, fill.h, layer.label->BackColor);
            if (!layer.label->Caption.empty()) DrawCaption(*layer.label, text, out, clip);
        } else {
            DrawBox(*layer.box, text, out, clip);
        }
    }
}

Rect Union(const Rect& a, const Rect& b) {
    const int x0 = std::min(a.x, b.x), y0 = std::min(a.y, b.y);
    const int x1 = std::max(a.x + a.w, b.x + b.w), y1 = std::max(a.y + a.h, b.y + b.h);
    return {x0, y0, x1 - x0, y1 - y0};
}

int64_t Size(const Rect& r) {
    return int64_t{r.w} * r.h;
}

bool Empty(const Rect& r) {
    return r.w <= 0 || r.h <= 0;
}

bool Touch(const Rect& a, const Rect& b) {
    return a.x <= b.x + b.w && b.x <= a.x + a.w && a.y <= b.y + b.h && b.y <= a.y + a.h;
}

Rect OnTheForm(const Rect& r) {
    return Intersection(r, {0, 0, kFormWidthPx, kFormHeightPx});
}

template <typename T>
void Put(std::string& key, const T& v) {
    key.append(reinterpret_cast<const char*>(&v), sizeof v);
}

// A picture box's key, its drawing and where it draws: the drawing (no larger than the box) and
// its printed text.
template <typename BoxPart>
void PutBox(BoxPart& part, const PictureBox& p) {
    std::string& key = part.key;
    Rect& place = part.place;
    Put(key, p.Visible);
    if (!p.Visible) return;
    Put(key, p.Left), Put(key, p.Top), Put(key, p.WidthTwips()), Put(key, p.HeightTwips());
    Put(key, &p.Dc()), Put(key, p.Dc().Width()), Put(key, p.Dc().Height());
    part.pixels = p.Dc();
    part.version = p.Dc().Version();
    const int x = TwipsToPx(p.Left), y = TwipsToPx(p.Top);
    place = {x, y, std::min(p.WidthPx(), p.Dc().Width()), std::min(p.HeightPx(), p.Dc().Height())};
    part.picture = place;
    for (const PrintedText& t : p.Printed) {
        Put(key, t.x), Put(key, t.y), Put(key, t.w), Put(key, t.h), Put(key, t.points);
        Put(key, t.color.rgb), Put(key, t.align), Put(key, t.text.size());
        key += t.text;
        const Rect text{x + t.x, y + t.y, t.w, t.h};
        if (!Empty(text)) place = Empty(place) ? text : Union(place, text);
    }
}

}  // namespace

void ComposeForm(const MainForm& form, TextRenderer& text, Surface& out) {
    if (out.Width() != kFormWidthPx || out.Height() != kFormHeightPx)
        out = Surface(kFormWidthPx, kFormHeightPx);
    ComposeAt(form, text, out, {0, 0, kFormWidthPx, kFormHeightPx});
}

void ComposeArea(const MainForm& form, TextRenderer& text, Surface& out, const Rect& area) {
    if (out.Width() != kFormWidthPx || out.Height() != kFormHeightPx)
        return ComposeForm(form, text, out);
    const Rect a = OnTheForm(area);
    if (!Empty(a)) ComposeAt(form, text, out, a);
}

std::vector<FormSnapshot::Part> FormSnapshot::Parts(
    const MainForm& form, std::vector<std::shared_ptr<const Surface>>* pictures) const {
    std::vector<Part> parts;
    parts.reserve(parts_.size());
    Part back;
    Put(back.key, form.BackColor.rgb);
    back.place = {0, 0, kFormWidthPx, kFormHeightPx};
    parts.push_back(std::move(back));
    for (const ImageControl& im : form.Image1) {
        Part& part = parts.emplace_back();
        const bool shown = im.Visible && im.Picture;
        Put(part.key, shown);
        if (!shown) continue;
        Put(part.key, im.Left), Put(part.key, im.Top), Put(part.key, im.Picture.get());
        Put(part.key, im.Picture->Version());
        part.place = {TwipsToPx(im.Left), TwipsToPx(im.Top), im.Picture->Width(),
                      im.Picture->Height()};
        if (pictures) pictures->push_back(im.Picture);
    }
    for (const LabelControl& l : form.Label) {
        Part& part = parts.emplace_back();
        Put(part.key, l.Visible);
        if (!l.Visible) continue;
        Put(part.key, l.FontSize), Put(part.key, l.ForeColor.rgb), Put(part.key, l.BackColor.rgb);
        Put(part.key, l.Left), Put(part.key, l.Top), Put(part.key, l.Width),
            Put(part.key, l.Height);
        Put(part.key, l.Alignment), Put(part.key, l.Caption.size());
        part.key += l.Caption;
        // The caption may run past the label's sides (see DrawCaption), never past its rows.
        part.place = {0, TwipsToPx(l.Top), kFormWidthPx, TwipsToPx(l.Height)};
    }
    for (const PictureBox* p :
         {&form.pHaikei, &form.pFumen, &form.pGage, &form.pInu, &form.pGamen}) {
        PutBox(parts.emplace_back(), *p);
    }
    for (const PictureBox& p : form.Picture1) {
        PutBox(parts.emplace_back(), p);
    }
    return parts;
}

bool FormSnapshot::Differs(const MainForm& form) const {
    const std::vector<Part> parts = Parts(form, nullptr);
    if (parts.size() != parts_.size()) return true;
    for (size_t i = 0; i < parts.size(); ++i)
        if (parts[i].key != parts_[i].key || parts[i].version != parts_[i].version) return true;
    return false;
}

bool FormSnapshot::Update(const MainForm& form, std::vector<Rect>* changed) {
    std::vector<std::shared_ptr<const Surface>> pictures;
    std::vector<Part> parts = Parts(form, &pictures);
    // The first snapshot or a new back colour changes everything; otherwise each control that
    // changed, where it was and where it is.
    const bool everything = parts.size() != parts_.size() || parts[0].key != parts_[0].key;
    bool differs = everything;
    std::vector<Rect> areas;
    if (everything) areas.push_back(parts[0].place);
    for (size_t i = 1; !everything && i < parts.size(); ++i) {
        const Part &now = parts[i], &was = parts_[i];
        if (now.key == was.key && now.version == was.version) continue;
        differs = true;
        if (now.key == was.key && !now.pixels.Empty()) {
            // Only the box's drawing changed, at the same place and size.
            const Rect inBox{0, 0, now.picture.w, now.picture.h};
            for (Rect r : ChangedPixels(now.pixels, was.pixels, inBox)) {
                r.x += now.picture.x, r.y += now.picture.y;
                if (!Empty(OnTheForm(r))) areas.push_back(OnTheForm(r));
            }
            continue;
        }
        for (const Rect& r : {was.place, now.place})
            if (!Empty(OnTheForm(r))) areas.push_back(OnTheForm(r));
    }
    parts_ = std::move(parts);
    pictures_ = std::move(pictures);
    if (!differs) return false;
    if (changed) {
        // Areas that touch become one where the one is no larger than the two, until none do.
        for (bool merged = true; merged;) {
            merged = false;
            for (size_t a = 0; a < areas.size() && !merged; ++a)
                for (size_t b = a + 1; b < areas.size() && !merged; ++b)
                    if (Touch(areas[a], areas[b]) &&
                        Size(Union(areas[a], areas[b])) <= Size(areas[a]) + Size(areas[b])) {
                        areas[a] = Union(areas[a], areas[b]);
                        areas.erase(areas.begin() + std::ptrdiff_t(b));
                        merged = true;
                    }
        }
        *changed = std::move(areas);
    }
    return true;
}

}  // namespace zb
