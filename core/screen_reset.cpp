#include "core/screen_reset.hpp"

#include "platform/heap.hpp"

namespace zb {

void AllEnable(Game& game) {
    MainForm& f = game.form;
    for (auto& l : f.Label) l.Visible = false;
    for (auto& im : f.Image1) im.Visible = false;
    for (auto& p : f.Picture1) p.Visible = false;
    for (PictureBox* p : {&f.pFumen, &f.pGage, &f.pInu, &f.pHaikei, &f.pGamen}) p->Visible = false;
    if (f.frmGamen) {
        f.frmGamen.reset();
        GiveBackFreeMemory();  // the song select pictures are megabytes
    }
    f.pGamen.RemovePicture();
    f.pGamen.Cls();
}

}  // namespace zb
