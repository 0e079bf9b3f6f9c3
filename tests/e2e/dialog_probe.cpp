// Shows one dialog of the real window over a form with a label, then prints the answer and the
// state the keyboard was left in. The end-to-end tests drive it with xdotool.
//   dialog_probe ok|okcancel|yesno|input [title]
#include <cstdio>
#include <cstring>
#include <exception>
#include <string>

#include "app/real_platform.hpp"
#include "core/helpers.hpp"

namespace {
const char* Name(zb::MsgResult r) {
    switch (r) {
        case zb::MsgResult::Ok:
            return "Ok";
        case zb::MsgResult::Cancel:
            return "Cancel";
        case zb::MsgResult::Yes:
            return "Yes";
        case zb::MsgResult::No:
            return "No";
    }
    return "?";
}
}  // namespace

int main(int argc, char** argv) {
    const std::string kind = argc > 1 ? argv[1] : "ok";
    const std::string title = argc > 2 ? argv[2] : "ズバッコミュージック";
    try {
        zb::RealPlatform real;
        zb::MainForm& form = real.window.Form();
        form.BackColor = zb::Color::Rgb(0, 0, 128);
        zb::LabelControl& l = form.Label[0];
        l.Caption = "うしろのラベル";
        l.FontSize = 18;
        l.ForeColor = zb::colors::Yellow;
        l.BackColor = form.BackColor;
        l.Left = 300, l.Top = 300, l.Width = 6000, l.Height = 600;
        l.Visible = true;
        // Stays down across the dialog if the keyboard were not reset afterwards.
        real.keyboard.OnKey(zb::vk::Space, true, real.clock.Now());
        zb::WaitMs(real.ports, 300);
        std::string answer;
        if (kind == "input") {
            answer =
                "input:" + real.dialogs.InputBox("名前を入力してください。\r\n（１２文字以内）",
                                                 title, argc > 3 ? argv[3] : "");
        } else {
            const auto buttons = kind == "okcancel" ? zb::MsgButtons::OkCancel
                                 : kind == "yesno"  ? zb::MsgButtons::YesNo
                                                    : zb::MsgButtons::Ok;
            answer = Name(
                real.dialogs.MessageBox("終了しますか？", buttons, zb::MsgIcon::Question, title));
        }
        std::printf("%s\nspace=%04x\n", answer.c_str(),
                    unsigned(real.keyboard.GetAsyncKeyState(zb::vk::Space)));
        std::fflush(stdout);
        zb::WaitMs(real.ports, 200);
        return 0;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "dialog_probe: %s\n", e.what());
        return 1;
    }
}
