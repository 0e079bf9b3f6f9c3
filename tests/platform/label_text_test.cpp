// Label text drawn with the real Japanese font into a headless window: colour, wrapping at the
// label's width, CR LF breaks, left and centred alignment, clipping to the label.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <memory>
#include <set>

#include "platform/headless/headless.hpp"
#include "platform/ttf_text.hpp"

namespace zb {

namespace {

struct Ink {
    int count = 0, exact = 0, left = 1 << 30, right = -1, top = 1 << 30, bottom = -1;
    std::set<int> rows;
    // The text lines with ink, for lines lineH pixels apart from y0. A glyph may reach a pixel
    // into the next line, so a line counts from three rows of ink.
    int Lines(int y0, int lineH) const {
        std::map<int, int> slots;
        for (int y : rows) ++slots[(y - y0) / lineH];
        return int(
            std::count_if(slots.begin(), slots.end(), [](auto& s) { return s.second >= 3; }));
    }
};

// Text pixels (anything but the label's black) inside a rectangle of the screen; counts the
// ones of the text's own colour on the whole screen outside it.
Ink InkOf(const Surface& s, int x0, int y0, int w, int h, int* outside = nullptr) {
    Ink ink;
    for (int y = 0; y < s.Height(); ++y)
        for (int x = 0; x < s.Width(); ++x) {
            const Color c = s.At(x, y);
            if (x < x0 || y < y0 || x >= x0 + w || y >= y0 + h) {
                if (outside && c == colors::Yellow) ++*outside;
                continue;
            }
            if (c == colors::Black) continue;
            ++ink.count;
            ink.exact += c == colors::Yellow;
            ink.rows.insert(y);
            ink.left = std::min(ink.left, x), ink.right = std::max(ink.right, x);
            ink.top = std::min(ink.top, y), ink.bottom = std::max(ink.bottom, y);
        }
    return ink;
}

class LabelText : public ::testing::Test {
  protected:
    void SetUp() override {
        try {
            text = std::make_unique<TtfText>();
        } catch (const std::exception& e) {
            FAIL() << "the Japanese gothic font is part of the game's packages: " << e.what();
        }
        hp = std::make_unique<headless::HeadlessPlatform>("/tmp/", text.get());
        form().BackColor = colors::Blue;
    }
    MainForm& form() { return hp->window.Form(); }
    LabelControl& Show(int i, const std::string& caption, int left, int top, int width,
                       int height) {
        LabelControl& l = form().Label[size_t(i)];
        l.Caption = caption;
        l.FontSize = 12;
        l.ForeColor = colors::Yellow;
        l.BackColor = colors::Black;
        l.Left = left, l.Top = top, l.Width = width, l.Height = height;
        l.Visible = true;
        return l;
    }
    int LineH(double points) { return text->Measure("ド", points, 1000).height; }
    const Surface& Screen() {
        hp->window.Present();
        return hp->window.Screen();
    }
    std::unique_ptr<TtfText> text;
    std::unique_ptr<headless::HeadlessPlatform> hp;
};

}  // namespace

TEST_F(LabelText, TextOfTheForeColourFillsTheLabelAndStaysInside) {
    Show(0, "かんたんコース", 1500, 1500, 4500, 600).FontSize = 24;
    int outside = 0;
    const Surface& s = Screen();
    const Ink ink = InkOf(s, 100, 100, 300, 40, &outside);
    EXPECT_GT(ink.exact, 200);
    EXPECT_EQ(outside, 0);
    EXPECT_EQ(ink.Lines(100, LineH(24)), 1);
    // 24 points are 32 pixels: seven characters take most of that width.
    EXPECT_GT(ink.right - ink.left, 7 * 32 * 3 / 4);
    EXPECT_EQ(s.At(399, 139), colors::Black) << "the label's back colour";
    EXPECT_EQ(s.At(400, 140), colors::Blue) << "the form outside it";
}

TEST_F(LabelText, WrapsAtTheLabelsWidthAndBreaksAtCrLf) {
    const int lh = LineH(12);
    const std::string line = "ドンとカンをたたこう";       // ten full-width characters
    Show(0, line, 0, 0, 6000, 1500);                       // wide: one line
    Show(1, line, 0, 1500, 1500, 3000);                    // 100 px at 16 px an em: two lines
    Show(2, "ドン\r\nカン\r\nドン", 0, 4500, 6000, 1500);  // three lines
    Show(3, "ドン\nカン", 4500, 6000, 3000, 1000);         // a bare LF breaks as well
    const Surface& s = Screen();
    EXPECT_EQ(InkOf(s, 0, 0, 400, 100).Lines(0, lh), 1);
    const Ink wrapped = InkOf(s, 0, 100, 100, 200);
    EXPECT_EQ(wrapped.Lines(100, lh), 2);
    EXPECT_LT(wrapped.right, 100);
    const Ink broken = InkOf(s, 0, 300, 400, 100);
    EXPECT_EQ(broken.Lines(300, lh), 3);
    EXPECT_LT(broken.right - broken.left, 40) << "two characters a line";
    EXPECT_EQ(InkOf(s, 300, 400, 200, 66).Lines(400, lh), 2);
    // Latin words move to the next line whole.
    form().Label[0].Caption = "drum drum drum";
    form().Label[0].Width = 900;  // 60 px: two words do not fit
    EXPECT_EQ(InkOf(Screen(), 0, 0, 60, 100).Lines(0, lh), 3);
}

TEST_F(LabelText, CentredTextSitsInTheMiddleAndLeftTextAtTheEdge) {
    Show(0, "ドン", 1500, 1500, 4500, 450);
    Show(1, "ドン", 1500, 3000, 4500, 450).Alignment = Align::Center;
    const Surface& s = Screen();
    const Ink left = InkOf(s, 100, 100, 300, 30);
    const Ink centre = InkOf(s, 100, 200, 300, 30);
    EXPECT_LE(left.left, 107);
    EXPECT_NEAR((centre.left + centre.right) / 2.0, 250, 3);
    EXPECT_EQ(centre.right - centre.left, left.right - left.left) << "the same glyphs, moved";
}

TEST_F(LabelText, TextBeyondTheLabelsHeightIsCut) {
    Show(0, "ドン\r\nカン\r\nドン\r\nカン", 1500, 1500, 3000, 400);  // room for one line and a bit
    int outside = 0;
    const Ink ink = InkOf(Screen(), 100, 100, 200, 27, &outside);
    EXPECT_EQ(outside, 0);
    EXPECT_GT(ink.count, 0);
}

TEST_F(LabelText, OneLineCaptionThatWouldWrapOutOfSightIsDrawnWholeOnOneLine) {
    form().BackColor = colors::Black;
    const std::string t = "「鈍」と「感」がランダム！";  // about 320 px at 24 points
    const int whole = text->Measure(t, 24, 1 << 20).width;
    Show(0, t, 1500, 1500, 3000, 700).FontSize = 24;  // 200 x 47 px: room for one line
    Show(1, t, 1500, 3000, 3000, 700).FontSize = 24;
    form().Label[1].Alignment = Align::Center;
    Show(2, t, 1500, 4500, 3000, 2500).FontSize = 24;  // tall enough for the wrapped lines
    const Surface& s = Screen();
    const Ink left = InkOf(s, 0, 100, 667, 47), centre = InkOf(s, 0, 200, 667, 47);
    EXPECT_EQ(left.Lines(100, LineH(24)), 1);
    EXPECT_LE(left.left, 110);  // 「 stands a little in
    EXPECT_GE(left.right - left.left, whole - 16) << "drawn whole, past the label's right edge";
    EXPECT_EQ(centre.Lines(200, LineH(24)), 1);
    EXPECT_GE(centre.right - centre.left, whole - 16);
    EXPECT_NEAR((centre.left + centre.right) / 2.0, 200, 3) << "past both edges alike";
    const Ink wrapped = InkOf(s, 0, 300, 667, 167);
    EXPECT_EQ(wrapped.Lines(300, LineH(24)), 2);
    EXPECT_LT(wrapped.right, 300);
}

TEST_F(LabelText, MeasureAgreesWithWhatIsDrawn) {
    const std::string t = "かんたんコース\r\nむずかしいコース";
    const TextExtent e = text->Measure(t, 12, 1000);
    Show(0, t, 0, 0, 1000 * 15, 100 * 15);
    const Ink ink = InkOf(Screen(), 0, 0, 667, 100);
    EXPECT_EQ(ink.Lines(0, LineH(12)), 2);
    EXPECT_EQ(e.height, 2 * LineH(12));
    EXPECT_GE(e.width, ink.right + 1);
    EXPECT_LE(e.width, ink.right + 4);
    EXPECT_EQ(text->Measure(t, 12, 70).height, 4 * LineH(12)) << "each line wrapped in two";
}

TEST_F(LabelText, ALineBelowKeepsTheDescendersOfTheLineAbove) {
    Show(0, "gjpqy", 0, 0, 3000, 1500);
    const Surface alone = Screen();
    form().Label[0].Caption = "gjpqy\r\n.";  // a full stop has no ink near the line's top
    const Surface& both = Screen();
    int lost = 0;
    for (int y = 0; y < 100; ++y)
        for (int x = 0; x < 200; ++x)
            lost += alone.At(x, y) != both.At(x, y) && both.At(x, y) == colors::Black;
    EXPECT_EQ(lost, 0);
}

}  // namespace zb
