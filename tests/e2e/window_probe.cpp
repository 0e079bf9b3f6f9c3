// The real window with a known form, for the end-to-end tests to drive with xdotool.
//   window_probe label
//     a yellow "かんたんコース" caption (Label 0) on black that turns cyan when clicked; every
//     click reaching the game is printed; a close request ends the probe
//   window_probe ok|okcancel|yesno|input [title] [default text]
//     one dialog over the form, then the answer and the state the keyboard was left in
#include <chrono>
#include <cstdio>
#include <cstring>
#include <exception>
#include <string>
#include <thread>

#include "app/real_platform.hpp"
#include "core/helpers.hpp"
#include "platform/input_queue.hpp"

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
// Counts and prints the clicks that reach the game.
struct CountingEvents : zb::FormEvents {
    explicit CountingEvents(zb::MainForm& f) : form(f) {}
    zb::MainForm& form;
    int clicks = 0;
    bool closeEnds = false;
    void ClickDispatch(zb::ClickSource source, int index) override {
        ++clicks;
        std::printf("click %s %d\n", std::string(zb::ClickSourceName(source)).c_str(), index);
        std::fflush(stdout);
        if (source == zb::ClickSource::Label && index == 0)
            form.Label[0].ForeColor = zb::Color::Rgb(0, 255, 255);
    }
    void TimerTick() override {}
    void CloseRequested() override {
        if (closeEnds) throw zb::ProgramEnd{};
    }
};

}  // namespace

int main(int argc, char** argv) {
    const std::string kind = argc > 1 ? argv[1] : "ok";
    const std::string title = argc > 2 ? argv[2] : "ズバッコミュージック";
    try {
        zb::RealPlatform real;
        zb::MainForm& form = real.window.Form();
        CountingEvents events(form);
        real.window.SetEvents(&events);
        form.BackColor = zb::colors::Black;
        zb::LabelControl& l = form.Label[0];
        l.Caption = "かんたんコース";
        l.FontSize = 24;
        l.ForeColor = zb::colors::Yellow;
        l.BackColor = zb::colors::Black;
        l.Left = 3000, l.Top = 2700, l.Width = 4000, l.Height = 600;
        l.Alignment = zb::Align::Center;
        l.Visible = true;
        if (kind == "label") {
            events.closeEnds = true;
            for (;;) {
                real.window.DoEvents();
                std::this_thread::sleep_for(std::chrono::milliseconds(4));
            }
        }
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
        const unsigned space = zb::InputQueue(real.keyboard).GetAsyncKeyState(zb::vk::Space);
        zb::WaitMs(real.ports, 300);  // a click the dialog let through would arrive now
        std::printf("%s\nspace=%04x\nclicks=%d\n", answer.c_str(), space, events.clicks);
        return 0;
    } catch (const zb::ProgramEnd&) {
        return 0;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "window_probe: %s\n", e.what());
        return 1;
    }
}
