// The form's stacking, drawn and clicked: picture boxes cover labels and images, hidden controls
// neither show nor take clicks, and the topmost visible control gets the click.
#include "platform/compose.hpp"

#include <gtest/gtest.h>

#include <functional>

namespace zb {

namespace {

void Place(LabelControl& l, int xPx, int yPx, int wPx, int hPx, Color back) {
    l.Left = xPx * kTwipsPerPixel, l.Top = yPx * kTwipsPerPixel;
    l.Width = wPx * kTwipsPerPixel, l.Height = hPx * kTwipsPerPixel;
    l.BackColor = back;
    l.Visible = true;
}

void Place(PictureBox& p, int xPx, int yPx, int wPx, int hPx, Color back) {
    p.Left = xPx * kTwipsPerPixel, p.Top = yPx * kTwipsPerPixel;
    p.BackColor = back;
    p.SetSizePx(wPx, hPx);
    p.Cls();
    p.Visible = true;
}

Surface Compose(const MainForm& form) {
    NullText text;
    Surface out;
    ComposeForm(form, text, out);
    return out;
}

}  // namespace

TEST(Compose, PictureBoxesCoverLabelsAndImagesInTheirOwnOrder) {
    MainForm form;
    form.BackColor = Color::Rgb(1, 2, 3);
    Place(form.Label[0], 10, 10, 100, 100, colors::Yellow);
    form.Image1[0].Picture = std::make_shared<const Surface>(50, 50, colors::Green);
    form.Image1[0].Left = 80 * kTwipsPerPixel, form.Image1[0].Top = 80 * kTwipsPerPixel;
    form.Image1[0].Visible = true;
    Place(form.pHaikei, 0, 0, 40, 40, colors::Red);
    Place(form.pGamen, 30, 30, 20, 20, colors::Blue);
    Place(form.Picture1[2], 45, 45, 10, 10, colors::White);
    Place(form.Picture1[3], 600, 400, 10, 10, colors::Black);
    form.Picture1[3].Visible = false;
    const Surface s = Compose(form);
    EXPECT_EQ(s.At(5, 5), colors::Red) << "pHaikei";
    EXPECT_EQ(s.At(20, 20), colors::Red) << "pHaikei over the label";
    EXPECT_EQ(s.At(35, 35), colors::Blue) << "pGamen over pHaikei";
    EXPECT_EQ(s.At(47, 47), colors::White) << "Picture1 over pGamen";
    EXPECT_EQ(s.At(80, 20), colors::Yellow) << "the label's back colour";
    EXPECT_EQ(s.At(90, 90), colors::Yellow) << "the label over the image";
    EXPECT_EQ(s.At(105, 105), colors::Yellow);
    EXPECT_EQ(s.At(115, 105), colors::Green) << "the image beyond the label";
    EXPECT_EQ(s.At(605, 405), Color::Rgb(1, 2, 3)) << "a hidden box is not drawn";
    EXPECT_EQ(s.At(666, 499), Color::Rgb(1, 2, 3));
    form.Label[0].Visible = false;
    EXPECT_EQ(Compose(form).At(90, 90), colors::Green);

    // Composed again into the same picture, as the window does each frame: where a control was
    // hidden since, the form's colour shows again.
    NullText text;
    Surface again;
    ComposeForm(form, text, again);
    EXPECT_EQ(again.At(47, 47), colors::White);
    form.pGamen.Visible = form.Picture1[2].Visible = false;
    ComposeForm(form, text, again);
    EXPECT_EQ(again.At(47, 47), Color::Rgb(1, 2, 3));
    EXPECT_EQ(again.At(35, 35), colors::Red) << "pHaikei under where pGamen was";
}

TEST(Compose, APictureBoxShowsItsDrawingClippedToItsSize) {
    MainForm form;
    PictureBox& p = form.pFumen;
    Place(p, 100, 100, 10, 10, colors::Blue);
    Surface big(30, 30, colors::Red);
    p.SetPicture(big);  // larger than the box: the surface grows, the box shows 10 x 10
    const Surface s = Compose(form);
    EXPECT_EQ(s.At(109, 109), colors::Red);
    EXPECT_EQ(s.At(110, 110), colors::Black);
    // A box reaching past the form's edge is clipped, not a fault.
    Place(form.pInu, 660, 495, 50, 50, colors::Green);
    EXPECT_EQ(Compose(form).At(666, 499), colors::Green);
}

TEST(Compose, OnlyTheChangedPartsComposedAgainGiveTheWholePicture) {
    MainForm form;
    form.BackColor = Color::Rgb(1, 2, 3);
    Place(form.Label[0], 10, 10, 100, 20, colors::Yellow);
    Place(form.Label[1], 200, 450, 100, 20, colors::White);
    Place(form.pFumen, 0, 100, 667, 80, colors::Blue);
    Place(form.pInu, 300, 300, 50, 50, colors::Green);
    form.Image1[0].Picture = std::make_shared<const Surface>(40, 40, colors::Red);
    form.Image1[0].Left = 500 * kTwipsPerPixel, form.Image1[0].Top = 400 * kTwipsPerPixel;
    form.Image1[0].Visible = true;
    // An image under the lane and past it: where the lane covers it, it is not drawn at all.
    form.Image1[1].Picture = std::make_shared<const Surface>(667, 100, colors::Green);
    form.Image1[1].Top = 90 * kTwipsPerPixel;
    form.Image1[1].Visible = true;
    NullText text;
    FormSnapshot snapshot;
    std::vector<Rect> changed;
    ASSERT_TRUE(snapshot.Update(form, &changed));
    ASSERT_EQ(changed.size(), 1u);
    EXPECT_EQ(changed[0].w * changed[0].h, kFormWidthPx * kFormHeightPx) << "first: everything";
    Surface shown;
    ComposeForm(form, text, shown);

    // One frame of play: the lane drawn on, the face moved onto the lane, the image hidden, a
    // label's colour changed; the other label stays.
    form.pFumen.Dc().FillRect(5, 5, 20, 20, colors::White);
    form.pInu.Top = 150 * kTwipsPerPixel;
    form.Image1[0].Visible = false;
    form.Label[0].BackColor = colors::Black;
    ASSERT_TRUE(snapshot.Update(form, &changed));
    int area = 0;
    for (const Rect& r : changed) {
        area += r.w * r.h;
        ComposeArea(form, text, shown, r);
    }
    EXPECT_LT(area, kFormWidthPx * kFormHeightPx / 2) << "not the whole picture";
    Surface whole;
    ComposeForm(form, text, whole);
    EXPECT_TRUE(shown.Pixels() == whole.Pixels());
    EXPECT_EQ(shown.At(320, 320), Color::Rgb(1, 2, 3)) << "where the face was";
    EXPECT_EQ(shown.At(5, 95), colors::Green) << "the image above the lane";
    EXPECT_FALSE(snapshot.Update(form, &changed)) << "nothing changed since";
}

// The name of the control a click lands on; empty when a picture box takes it.
std::string_view SourceAt(const MainForm& form, int x, int y) {
    const auto t = HitTest(form, x, y);
    return t ? ClickSourceName(t->source) : "";
}

TEST(HitTest, TopmostVisibleControlTakesTheClick) {
    MainForm form;
    Place(form.Label[2], 10, 10, 100, 100, colors::Black);
    Place(form.Label[5], 50, 50, 100, 100, colors::Black);
    form.Image1[4].Picture = std::make_shared<const Surface>(40, 40);
    form.Image1[4].Left = 300 * kTwipsPerPixel, form.Image1[4].Top = 0;
    form.Image1[4].Visible = true;
    form.Image1[6].Visible = true;  // without a picture it has no size
    EXPECT_EQ(SourceAt(form, 20, 20), "Label");
    EXPECT_EQ(HitTest(form, 20, 20).value().index, 2);
    EXPECT_EQ(HitTest(form, 60, 60).value().index, 5) << "the later label lies on top";
    EXPECT_EQ(HitTest(form, 149, 149).value().index, 5);
    EXPECT_EQ(SourceAt(form, 150, 150), "Form") << "one past the edge";
    EXPECT_EQ(SourceAt(form, 310, 10), "Image1");
    EXPECT_EQ(HitTest(form, 310, 10).value().index, 4);
    EXPECT_EQ(SourceAt(form, 0, 0), "Form");
    EXPECT_EQ(HitTest(form, 0, 0).value().index, 0);
    form.Label[5].Visible = false;
    EXPECT_EQ(HitTest(form, 60, 60).value().index, 2) << "hidden controls take no clicks";
    // A label drawn over an image also takes its clicks.
    Place(form.Label[0], 300, 0, 10, 10, colors::Black);
    EXPECT_EQ(SourceAt(form, 305, 5), "Label");
}

TEST(HitTest, VisiblePictureBoxesSwallowClicks) {
    MainForm form;
    Place(form.Label[0], 0, 0, 200, 200, colors::Black);
    Place(form.pHaikei, 0, 0, 100, 100, colors::Black);
    Place(form.Picture1[0], 150, 150, 20, 20, colors::Black);
    EXPECT_EQ(SourceAt(form, 50, 50), "");
    EXPECT_EQ(SourceAt(form, 160, 160), "");
    EXPECT_EQ(SourceAt(form, 120, 120), "Label");
    form.pHaikei.Visible = false;
    EXPECT_EQ(SourceAt(form, 50, 50), "Label");
}

TEST(Compose, TheSnapshotSeesEveryChangeThatShowsAndNothingElse) {
    MainForm form;
    Place(form.Label[0], 10, 10, 100, 20, colors::Yellow);
    Place(form.pGamen, 0, 0, 50, 50, colors::Black);
    FormSnapshot snap;
    EXPECT_TRUE(snap.Update(form));
    EXPECT_FALSE(snap.Update(form)) << "nothing changed";
    form.pFumenUra.SetSizePx(8, 8);  // a hidden surface
    form.pFumenUra.Dc().Fill(colors::Red);
    form.Label[1].Caption = "隠れたラベル";
    EXPECT_FALSE(snap.Update(form));
    const std::function<void()> changes[] = {
        [&] { form.Label[0].Caption = "かんたん"; },
        [&] { form.Label[0].Left += 15; },
        [&] { BlitCopy(form.pFumenUra.Dc(), 0, 0, 5, 5, form.pGamen.Dc(), 0, 0); },
        [&] { form.pGamen.Dc().FillRect(1, 1, 2, 2, colors::Green); },
        [&] { form.pGamen.Dc() = Surface(50, 50, colors::Blue); },
        [&] {
            form.Image1[2].Picture = std::make_shared<const Surface>(4, 4),
            form.Image1[2].Visible = true;
        },
        [&] { form.Image1[2].Picture = std::make_shared<const Surface>(4, 4); },
        [&] { form.Picture1[3].Visible = true; },
        [&] { form.BackColor = colors::White; },
    };
    for (size_t i = 0; i < std::size(changes); ++i) {
        changes[i]();
        EXPECT_TRUE(snap.Update(form)) << "change " << i;
        EXPECT_FALSE(snap.Update(form)) << "after change " << i;
    }
}

// The lane drawn anew every frame, its notes a few pixels further on: only what moved is composed
// again, and that gives the whole picture. Redrawn as it was, it changes nothing.
TEST(Compose, ALaneDrawnAnewShowsOnlyWhatMoved) {
    MainForm form;
    const Color lane = Color::Rgb(40, 24, 0), note = Color::Rgb(240, 64, 32);
    Place(form.pFumen, 200, 47, 433, 200, lane);
    Place(form.Label[0], 0, 100, 667, 20, colors::Yellow);  // a label row across the lane
    auto frame = [&](int scroll, int corner) {
        Surface next(433, 200, lane);
        for (int n = 0; n < 5; ++n) next.FillRect(60 + 80 * n - scroll, 70, 48, 48, note);
        next.SetPixel(432, 199, uint32_t(corner));
        form.pFumen.Dc() = next;
    };
    NullText text;
    FormSnapshot snap;
    frame(0, 0);
    snap.Update(form);
    Surface shown;
    ComposeForm(form, text, shown);
    frame(4, 0xFFFFFF);
    std::vector<Rect> changed;
    ASSERT_TRUE(snap.Update(form, &changed));
    int area = 0;
    for (const Rect& r : changed) {
        area += r.w * r.h;
        ComposeArea(form, text, shown, r);
    }
    EXPECT_LT(area, 433 * 200 / 8) << changed.size() << " rectangles";
    Surface whole;
    ComposeForm(form, text, whole);
    EXPECT_TRUE(shown.Pixels() == whole.Pixels());
    frame(4, 0xFFFFFF);
    EXPECT_TRUE(snap.Update(form, &changed));
    EXPECT_TRUE(changed.empty()) << "drawn again as it was";
}

}  // namespace zb
