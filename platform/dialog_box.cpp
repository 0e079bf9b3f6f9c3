#include "platform/dialog_box.hpp"

#include <algorithm>

namespace zb {

namespace {

constexpr double kTextPt = 10.5, kTitlePt = 10, kButtonPt = 10;
constexpr int kTitleH = 26, kPad = 14, kButtonW = 86, kButtonH = 28, kButtonGap = 10;
constexpr int kIcon = 32, kFieldH = 28, kMaxMessageW = 440, kInputBoxW = 520, kMargin = 10;

constexpr Color kFace = Color::Rgb(240, 240, 240), kFrame = Color::Rgb(60, 60, 60);
constexpr Color kTitleBack = Color::Rgb(43, 76, 126), kButtonFace = Color::Rgb(225, 225, 225);
constexpr Color kButtonPressed = Color::Rgb(204, 228, 247), kButtonEdge = Color::Rgb(173, 173, 173);
constexpr Color kFocusEdge = Color::Rgb(0, 120, 215), kFieldEdge = Color::Rgb(122, 122, 122);

size_t CodePoints(const std::string& s) {
    return size_t(std::count_if(s.begin(), s.end(), [](char c) { return (c & 0xC0) != 0x80; }));
}

// Removes the last code point, whole, however many bytes it has.
void PopCodePoint(std::string& s) {
    while (!s.empty()) {
        const bool lead = (s.back() & 0xC0) != 0x80;
        s.pop_back();
        if (lead) break;
    }
}

void Frame(Surface& s, const Rect& r, Color edge, int thickness) {
    s.FillRect(r.x, r.y, r.w, thickness, edge);
    s.FillRect(r.x, r.y + r.h - thickness, r.w, thickness, edge);
    s.FillRect(r.x, r.y, thickness, r.h, edge);
    s.FillRect(r.x + r.w - thickness, r.y, thickness, r.h, edge);
}

// Halves the brightness of a rectangle: the box's shadow.
void Shade(Surface& s, const Rect& r) {
    for (int y = std::max(0, r.y); y < std::min(s.Height(), r.y + r.h); ++y)
        for (int x = std::max(0, r.x); x < std::min(s.Width(), r.x + r.w); ++x)
            s.SetPixel(x, y, (s.Pixel(x, y) >> 1) & 0x7F7F7F);
}

void Disc(Surface& s, const Rect& r, Color c) {
    const double cx = r.x + r.w / 2.0, cy = r.y + r.h / 2.0, rad = r.w / 2.0;
    for (int y = r.y; y < r.y + r.h; ++y)
        for (int x = r.x; x < r.x + r.w; ++x) {
            const double dx = x + 0.5 - cx, dy = y + 0.5 - cy;
            if (dx * dx + dy * dy <= rad * rad && x >= 0 && y >= 0 && x < s.Width() &&
                y < s.Height())
                s.SetPixel(x, y, c.rgb);
        }
}

// Text centred vertically in a rectangle.
void Caption(Surface& s, TextRenderer& text, const Rect& r, const std::string& t, double pt,
             Color c, Align align) {
    const int h = text.Measure(t, pt, r.w).height;
    text.DrawText(s, r.x, r.y + std::max(0, (r.h - h) / 2), r.w, std::min(r.h, h), t, pt, c, align);
}

}  // namespace

DialogBox DialogBox::Message(std::string text, MsgButtons buttons, MsgIcon icon,
                             std::string title) {
    DialogBox d;
    d.message_ = std::move(text);
    d.title_ = std::move(title);
    d.icon_ = icon;
    switch (buttons) {
        case MsgButtons::Ok:
            d.buttons_ = {{"OK", MsgResult::Ok, {}}};
            break;
        case MsgButtons::OkCancel:
            d.buttons_ = {{"OK", MsgResult::Ok, {}}, {"キャンセル", MsgResult::Cancel, {}}};
            break;
        case MsgButtons::YesNo:
            d.buttons_ = {{"はい", MsgResult::Yes, {}}, {"いいえ", MsgResult::No, {}}};
            break;
    }
    d.cancel_ = int(d.buttons_.size()) - 1;
    return d;
}

DialogBox DialogBox::Input(std::string prompt, std::string title, std::string defaultText) {
    DialogBox d = Message(std::move(prompt), MsgButtons::OkCancel, MsgIcon::None, std::move(title));
    d.input_ = true;
    d.TextInput(defaultText);
    return d;
}

void DialogBox::Layout(TextRenderer& text, int frameW, int frameH) {
    const int buttonsW = int(buttons_.size()) * kButtonW + (int(buttons_.size()) - 1) * kButtonGap;
    const int iconW = icon_ == MsgIcon::None || input_ ? 0 : kIcon + kPad;
    const int maxInnerW = std::max(kButtonW, frameW - 2 * kMargin - 2 * kPad);
    int innerW;
    if (input_) {
        innerW = std::min(kInputBoxW - 2 * kPad, maxInnerW);
    } else {
        const int textW = text.Measure(message_, kTextPt, std::min(kMaxMessageW, maxInnerW)).width;
        const int titleW = text.Measure(title_, kTitlePt, maxInnerW).width + 40;
        innerW = std::min(maxInnerW, std::max({iconW + textW, buttonsW, titleW, 200}));
    }
    const int textW = innerW - iconW;
    // The message gets the height that is left once the frame is full; the rest is cut off.
    const int fixedH = kTitleH + kPad + (input_ ? kFieldH + kPad : 0) + kPad + kButtonH + kPad;
    int textH = text.Measure(message_, kTextPt, textW).height;
    textH = std::max(std::min(textH, frameH - 2 * kMargin - fixedH), iconW ? kIcon : 0);

    box_ = {0, 0, innerW + 2 * kPad, fixedH + textH};
    box_.x = (frameW - box_.w) / 2;
    box_.y = std::max(0, (frameH - box_.h) / 2);
    titleBar_ = {box_.x + 1, box_.y + 1, box_.w - 2, kTitleH - 1};
    const int top = box_.y + kTitleH + kPad;
    iconRect_ = {box_.x + kPad, top, iconW ? kIcon : 0, iconW ? kIcon : 0};
    messageRect_ = {box_.x + kPad + iconW, top, textW, textH};
    field_ = input_ ? Rect{box_.x + kPad, top + textH + kPad, innerW, kFieldH} : Rect{};
    int bx = input_ ? box_.x + box_.w - kPad - buttonsW : box_.x + (box_.w - buttonsW) / 2;
    const int by = box_.y + box_.h - kPad - kButtonH;
    for (Button& b : buttons_) {
        b.rect = {bx, by, kButtonW, kButtonH};
        bx += kButtonW + kButtonGap;
    }
}

void DialogBox::Finish(MsgResult r) {
    done_ = true;
    result_ = r;
}

void DialogBox::KeyDown(Key key) {
    if (done_) return;
    // While the input method composes, its keys are its own.
    if (!composition_.empty()) return;
    const int n = int(buttons_.size());
    switch (key) {
        case Key::Enter:
            Finish(buttons_[size_t(input_ ? 0 : focus_)].result);
            break;
        case Key::Escape:
            Finish(buttons_[size_t(cancel_)].result);
            break;
        case Key::Space:
            if (!input_) Finish(buttons_[size_t(focus_)].result);
            break;
        case Key::Tab:
        case Key::Right:
            if (!input_) focus_ = (focus_ + 1) % n;
            break;
        case Key::Left:
            if (!input_) focus_ = (focus_ + n - 1) % n;
            break;
        case Key::Backspace:
            if (input_) PopCodePoint(text_);
            break;
    }
}

void DialogBox::TextInput(const std::string& utf8) {
    if (!input_ || done_) return;
    for (size_t i = 0; i < utf8.size();) {
        const auto c = static_cast<unsigned char>(utf8[i]);
        const size_t len = c < 0x80         ? 1
                           : (c >> 5) == 6  ? 2
                           : (c >> 4) == 14 ? 3
                           : (c >> 3) == 30 ? 4
                                            : 1;
        const std::string cp = utf8.substr(i, len);
        i += len;
        if (c < 0x20 || c == 0x7F) continue;  // line breaks and tabs of pasted text
        if (CodePoints(text_) >= kMaxInputCodePoints) break;
        text_ += cp;
    }
}

void DialogBox::Composition(const std::string& utf8) {
    if (input_ && !done_) composition_ = utf8;
}

void DialogBox::MouseDown(int x, int y) {
    pressed_ = -1;
    for (int i = 0; i < int(buttons_.size()); ++i)
        if (buttons_[size_t(i)].rect.Contains(x, y)) pressed_ = i;
}

void DialogBox::MouseUp(int x, int y) {
    // A button is pressed by a click that starts and ends on it.
    if (!done_ && pressed_ >= 0 && buttons_[size_t(pressed_)].rect.Contains(x, y))
        Finish(buttons_[size_t(pressed_)].result);
    pressed_ = -1;
}

void DialogBox::Draw(Surface& frame, TextRenderer& text, bool caretOn) const {
    Shade(frame, {box_.x + 4, box_.y + 4, box_.w, box_.h});
    frame.FillRect(box_.x, box_.y, box_.w, box_.h, kFace);
    Frame(frame, box_, kFrame, 1);
    frame.FillRect(titleBar_.x, titleBar_.y, titleBar_.w, titleBar_.h, kTitleBack);
    Caption(frame, text, {titleBar_.x + 10, titleBar_.y, titleBar_.w - 20, titleBar_.h}, title_,
            kTitlePt, colors::White, Align::Left);
    if (iconRect_.w > 0) {
        const bool warn = icon_ == MsgIcon::Warning, error = icon_ == MsgIcon::Error;
        Disc(frame, iconRect_,
             error  ? Color::Rgb(200, 40, 40)
             : warn ? Color::Rgb(230, 170, 0)
                    : kFocusEdge);
        const char* mark = error ? "×" : warn ? "！" : icon_ == MsgIcon::Question ? "？" : "ｉ";
        Caption(frame, text, iconRect_, mark, 15, colors::White, Align::Center);
    }
    text.DrawText(frame, messageRect_.x, messageRect_.y, messageRect_.w, messageRect_.h, message_,
                  kTextPt, colors::Black, Align::Left);
    if (input_) DrawField(frame, text, caretOn);
    for (int i = 0; i < int(buttons_.size()); ++i) {
        const Button& b = buttons_[size_t(i)];
        const bool focused = i == (input_ ? 0 : focus_);
        frame.FillRect(b.rect.x, b.rect.y, b.rect.w, b.rect.h,
                       i == pressed_ ? kButtonPressed : kButtonFace);
        Frame(frame, b.rect, focused ? kFocusEdge : kButtonEdge, focused ? 2 : 1);
        Caption(frame, text, b.rect, b.caption, kButtonPt, colors::Black, Align::Center);
    }
}

void DialogBox::DrawField(Surface& frame, TextRenderer& text, bool caretOn) const {
    frame.FillRect(field_.x, field_.y, field_.w, field_.h, colors::White);
    Frame(frame, field_, kFieldEdge, 1);
    // The text is drawn on its own strip, then the strip's end is shown, so the caret is always
    // in view however long the text grows.
    const std::string all = text_ + composition_;
    const int lineH = text.Measure("あ", kTextPt, 1 << 20).height;
    const int typedW = text.Measure(text_, kTextPt, 1 << 20).width;
    const int allW = text.Measure(all, kTextPt, 1 << 20).width;
    Surface strip(allW + 2, lineH, colors::White);
    text.DrawText(strip, 0, 0, strip.Width(), lineH, all, kTextPt, colors::Black, Align::Left);
    if (!composition_.empty()) strip.FillRect(typedW, lineH - 2, allW - typedW, 1, colors::Black);
    if (caretOn) strip.FillRect(allW, 1, 1, lineH - 2, colors::Black);
    const int viewW = field_.w - 8;
    const int from = std::max(0, strip.Width() - viewW);
    BlitCopy(strip, from, 0, std::min(viewW, strip.Width()), lineH, frame, field_.x + 4,
             field_.y + (field_.h - lineH) / 2);
}

}  // namespace zb
