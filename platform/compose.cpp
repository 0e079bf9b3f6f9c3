#include "platform/compose.hpp"

#include <algorithm>
#include <cmath>

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
void DrawBox(const PictureBox& p, TextRenderer& text, Surface& out) {
    if (!p.Visible) return;
    const int x = TwipsToPx(p.Left), y = TwipsToPx(p.Top);
    BlitCopy(p.Dc(), 0, 0, p.WidthPx(), p.HeightPx(), out, x, y);
    for (const PrintedText& t : p.Printed)
        text.DrawText(out, x + t.x, y + t.y, t.w, t.h, t.text, t.points, t.color, t.align);
}

// A caption of one line that is wider than its label would wrap below the label's bottom and be
// cut; it is drawn whole on one line instead, past the label's side (both sides when centred).
void DrawCaption(const LabelControl& l, TextRenderer& text, Surface& out) {
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
    text.DrawText(out, x, y, w, h, l.Caption, l.FontSize, l.ForeColor, l.Alignment);
}
}  // namespace

void ComposeForm(const MainForm& form, TextRenderer& text, Surface& out) {
    if (out.Width() != kFormWidthPx || out.Height() != kFormHeightPx)
        out = Surface(kFormWidthPx, kFormHeightPx);
    out.Fill(form.BackColor);
    for (const ImageControl& im : form.Image1) {
        if (!im.Visible || !im.Picture) continue;
        BlitCopy(*im.Picture, 0, 0, im.Picture->Width(), im.Picture->Height(), out,
                 TwipsToPx(im.Left), TwipsToPx(im.Top));
    }
    for (const LabelControl& l : form.Label) {
        if (!l.Visible) continue;
        out.FillRect(TwipsToPx(l.Left), TwipsToPx(l.Top), TwipsToPx(l.Width), TwipsToPx(l.Height),
                     l.BackColor);
        if (!l.Caption.empty()) DrawCaption(l, text, out);
    }
    DrawBox(form.pHaikei, text, out);
    DrawBox(form.pFumen, text, out);
    DrawBox(form.pGage, text, out);
    DrawBox(form.pInu, text, out);
    DrawBox(form.pGamen, text, out);
    for (const PictureBox& p : form.Picture1) DrawBox(p, text, out);
}

namespace {

template <typename T>
void Put(std::string& key, const T& v) {
    key.append(reinterpret_cast<const char*>(&v), sizeof v);
}

void PutBox(std::string& key, const PictureBox& p) {
    Put(key, p.Visible);
    if (!p.Visible) return;
    Put(key, p.Left), Put(key, p.Top), Put(key, p.WidthTwips()), Put(key, p.HeightTwips());
    Put(key, &p.Dc()), Put(key, p.Dc().Version());
    for (const PrintedText& t : p.Printed) {
        Put(key, t.x), Put(key, t.y), Put(key, t.w), Put(key, t.h), Put(key, t.points);
        Put(key, t.color.rgb), Put(key, t.align), Put(key, t.text.size());
        key += t.text;
    }
}

}  // namespace

std::string FormSnapshot::Key(const MainForm& form,
                              std::vector<std::shared_ptr<const Surface>>* pictures) const {
    std::string key;
    key.reserve(key_.size());
    Put(key, form.BackColor.rgb);
    for (const ImageControl& im : form.Image1) {
        const bool shown = im.Visible && im.Picture;
        Put(key, shown);
        if (!shown) continue;
        Put(key, im.Left), Put(key, im.Top), Put(key, im.Picture.get());
        Put(key, im.Picture->Version());
        if (pictures) pictures->push_back(im.Picture);
    }
    for (const LabelControl& l : form.Label) {
        Put(key, l.Visible);
        if (!l.Visible) continue;
        Put(key, l.FontSize), Put(key, l.ForeColor.rgb), Put(key, l.BackColor.rgb);
        Put(key, l.Left), Put(key, l.Top), Put(key, l.Width), Put(key, l.Height);
        Put(key, l.Alignment), Put(key, l.Caption.size());
        key += l.Caption;
    }
    for (const PictureBox* p : {&form.pHaikei, &form.pFumen, &form.pGage, &form.pInu, &form.pGamen})
        PutBox(key, *p);
    for (const PictureBox& p : form.Picture1) PutBox(key, p);
    return key;
}

bool FormSnapshot::Differs(const MainForm& form) const {
    return Key(form, nullptr) != key_;
}

bool FormSnapshot::Update(const MainForm& form) {
    std::vector<std::shared_ptr<const Surface>> pictures;
    std::string key = Key(form, &pictures);
    if (key == key_) return false;
    key_ = std::move(key);
    pictures_ = std::move(pictures);
    return true;
}

}  // namespace zb
