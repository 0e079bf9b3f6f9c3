// Shows one dialog of the real window over a form with a label, then prints the answer and the
// state the keyboard was left in. The end-to-end tests drive it with xdotool.
//   dialog_probe ok|okcancel|yesno|input [title] [default text]
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
// Counts the clicks that reach the game: a dialog must keep them all.
struct CountingEvents : zb::FormEvents {
    int clicks = 0;
    void ClickDispatch(const std::string&, int) override { ++clicks; }
    void TimerTick() override {}
    void CloseRequested() override {}
};

}  // namespace

int main(int argc, char** argv) {
    const std::string kind = argc > 1 ? argv[1] : "ok";
    const std::string title = argc > 2 ? argv[2] : "ズバッコミュージック";
    try {
        zb::RealPlatform real;
        CountingEvents events;
        real.window.SetEvents(&events);
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
        const unsigned space = real.keyboard.GetAsyncKeyState(zb::vk::Space);
        zb::WaitMs(real.ports, 300);  // a click the dialog let through would arrive now
        std::printf("%s\nspace=%04x\nclicks=%d\n", answer.c_str(), space, events.clicks);
        return 0;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "dialog_probe: %s\n", e.what());
        return 1;
    }
}
