#include "platform/compose.hpp"

namespace zb {

namespace {
void DrawBox(const PictureBox& p, Surface& out) {
    if (!p.Visible) return;
    BlitCopy(p.Dc(), 0, 0, p.WidthPx(), p.HeightPx(), out, TwipsToPx(p.Left), TwipsToPx(p.Top));
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
        const int x = TwipsToPx(l.Left), y = TwipsToPx(l.Top);
        const int w = TwipsToPx(l.Width), h = TwipsToPx(l.Height);
        out.FillRect(x, y, w, h, l.BackColor);
        if (!l.Caption.empty()) text.DrawText(out, x, y, w, h, l.Caption, l.FontSize, l.ForeColor, l.Alignment);
    }
    DrawBox(form.pHaikei, out);
    DrawBox(form.pFumen, out);
    DrawBox(form.pGage, out);
    DrawBox(form.pInu, out);
    DrawBox(form.pGamen, out);
    for (const PictureBox& p : form.Picture1) DrawBox(p, out);
}

}  // namespace zb
