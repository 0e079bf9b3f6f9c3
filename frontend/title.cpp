#include "frontend/title.hpp"

#include "core/screen_reset.hpp"
#include "frontend/title_menu.hpp"

namespace zb {

void ShowLogo(Game& game) {
    ImageControl& logo = game.form.Image1[kLogoImage];
    try {
        logo.LoadPicture(game.AppDir() + "img/logo.gif");
    } catch (const PictureError&) {
        // Without the logo the menu still works.
    }
    logo.Visible = true;
    logo.Top = 0;
    logo.Left = 0;
}

void TitleHyoji(Game& game) {
    MainForm& f = game.form;
    AllEnable(game);
    ShowLogo(game);
    f.BackColor = colors::Yellow;

    const bool full = game.scores.FullMenu();
    for (const TitleMenuEntry& item : kTitleMenu) {
        LabelControl& l = f.Label[item.label];
        l.Caption = item.caption;
        l.FontSize = 30;
        l.ForeColor = colors::Blue;
        l.BackColor = colors::Yellow;
        l.Left = 5500;
        l.TabIndex = int(item.label);
        l.Width = 3500;
        l.Height = 550;
        l.Alignment = Align::Left;
        if (full) {
            l.Top = item.fullTop;
            l.Visible = true;
        } else if (item.shortTop != 0) {
            l.Top = item.shortTop;
            l.Visible = true;
        }
    }
}

void StartOpening(Game& game) {
    game.platform.music.SetFileName(game.AppDir() + "sound/title.mid");
    Timer& t = game.form.Timer1[0];
    t.Enabled = true;
    t.Interval = 75;
}

}  // namespace zb
