// The game's entry point: opens the real platform and runs the first screen.
#include <chrono>
#include <cstdio>
#include <exception>
#include <thread>

#include "app/real_platform.hpp"

namespace {

// A stand-in first screen until the title comes: a yellow course caption that turns cyan when
// clicked, and a closing window ends the program.
class PlaceholderEvents : public zb::FormEvents {
  public:
    explicit PlaceholderEvents(zb::MainForm& form) : form_(form) {}
    void ClickDispatch(const std::string& source, int index) override {
        if (source == "Label" && index == 0) form_.Label[0].ForeColor = zb::Color::Rgb(0, 255, 255);
    }
    void TimerTick() override {}
    void CloseRequested() override { throw zb::ProgramEnd{}; }

  private:
    zb::MainForm& form_;
};

void ShowPlaceholder(zb::MainForm& form) {
    form.BackColor = zb::colors::Black;
    zb::LabelControl& course = form.Label[0];
    course.Caption = "かんたんコース";
    course.FontSize = 24;
    course.ForeColor = zb::colors::Yellow;
    course.BackColor = zb::colors::Black;
    course.Left = 3000, course.Top = 2700, course.Width = 4000, course.Height = 600;
    course.Alignment = zb::Align::Center;
    course.Visible = true;
    zb::LabelControl& note = form.Label[1];
    note.Caption = "ズバッコミュージック";
    note.FontSize = 12;
    note.ForeColor = zb::colors::White;
    note.BackColor = zb::colors::Black;
    note.Left = 3000, note.Top = 3600, note.Width = 4000, note.Height = 400;
    note.Alignment = zb::Align::Center;
    note.Visible = true;
}

}  // namespace

int main() {
    try {
        zb::RealPlatform real;
        PlaceholderEvents events(real.window.Form());
        real.window.SetEvents(&events);
        ShowPlaceholder(real.window.Form());
        for (;;) {
            real.window.DoEvents();
            std::this_thread::sleep_for(std::chrono::milliseconds(4));
        }
    } catch (const zb::ProgramEnd&) {
        return 0;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "zubakko: %s\n", e.what());
        return 1;
    }
}
