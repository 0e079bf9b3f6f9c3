#include "platform/form.hpp"

#include <algorithm>
#include <cmath>

namespace zb {

int TwipsToPx(int twips) {
    return static_cast<int>(std::nearbyint(static_cast<double>(twips) / kTwipsPerPixel));
}

void ImageControl::LoadPicture(const std::string& path) {
    Picture = std::make_shared<const Surface>(LoadPictureFile(path));
}

void PictureBox::SetWidthTwips(int twips) {
    widthTwips_ = std::max(0, twips);
    Fit();
}

void PictureBox::SetHeightTwips(int twips) {
    heightTwips_ = std::max(0, twips);
    Fit();
}

void PictureBox::Fit() {
    int w = WidthPx(), h = HeightPx();
    if (hasPicture_) w = std::max(w, picture_.Width()), h = std::max(h, picture_.Height());
    dc_.Resize(w, h, BackColor);
}

void PictureBox::LoadPicture(const std::string& path) {
    SetPicture(LoadPictureFile(path));
}

void PictureBox::SetPicture(Surface picture) {
    picture_ = std::move(picture);
    hasPicture_ = true;
    Fit();
    ShowPicture();
}

void PictureBox::ShowPicture() {
    // A drawing as large as the picture is the picture: it shares its pixels until drawn on.
    if (dc_.Width() == picture_.Width() && dc_.Height() == picture_.Height())
        dc_ = picture_;
    else
        BlitCopy(picture_, 0, 0, picture_.Width(), picture_.Height(), dc_, 0, 0);
}

void PictureBox::RemovePicture() {
    hasPicture_ = false;
    picture_ = Surface();
}

void PictureBox::Cls() {
    Printed.clear();
    if (hasPicture_ && dc_.Width() == picture_.Width() && dc_.Height() == picture_.Height()) {
        dc_ = picture_;
        return;
    }
    dc_.Fill(BackColor);
    if (hasPicture_) ShowPicture();
}

MainForm::MainForm() {
    for (int i = 0; i < int(Label.size()); ++i) Label[i].TabIndex = i;
    pHanteiMask.SetSizePx(64, 64);
}

namespace {
bool Inside(int x, int y, int leftTw, int topTw, int wPx, int hPx) {
    const int l = TwipsToPx(leftTw), t = TwipsToPx(topTw);
    return x >= l && y >= t && x < l + wPx && y < t + hPx;
}
}  // namespace

std::optional<ClickTarget> HitTest(const MainForm& form, int x, int y) {
    // Picture boxes lie above the lightweight controls and take no clicks of their own.
    for (int i = int(form.Picture1.size()) - 1; i >= 0; --i) {
        const PictureBox& p = form.Picture1[size_t(i)];
        if (p.Visible && Inside(x, y, p.Left, p.Top, p.WidthPx(), p.HeightPx()))
            return std::nullopt;
    }
    for (const PictureBox* p : {&form.pGamen, &form.pInu, &form.pGage, &form.pFumen, &form.pHaikei})
        if (p->Visible && Inside(x, y, p->Left, p->Top, p->WidthPx(), p->HeightPx()))
            return std::nullopt;
    for (int i = int(form.Label.size()) - 1; i >= 0; --i) {
        const LabelControl& l = form.Label[size_t(i)];
        if (l.Visible && Inside(x, y, l.Left, l.Top, TwipsToPx(l.Width), TwipsToPx(l.Height)))
            return ClickTarget{ClickSource::Label, i};
    }
    for (int i = int(form.Image1.size()) - 1; i >= 0; --i) {
        const ImageControl& im = form.Image1[size_t(i)];
        if (im.Visible && im.Picture &&
            Inside(x, y, im.Left, im.Top, im.Picture->Width(), im.Picture->Height()))
            return ClickTarget{ClickSource::Image, i};
    }
    return ClickTarget{ClickSource::Form, 0};
}

}  // namespace zb
