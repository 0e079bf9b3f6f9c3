#include "frontend/opening.hpp"

#include "core/checked.hpp"
#include "core/screen_reset.hpp"
#include "frontend/credits.hpp"
#include "frontend/opening_slots.hpp"
#include "frontend/story.hpp"

namespace zb {

namespace {

constexpr float kCreditsAfter = 85;

// A colour step of a sweep: 0..255 over the four seconds from `from`, or 0 outside them.
int SweepStep(float t, float from) {
    const int v = Round16((t - from) / 4 * 255);
    return v >= 0 && v <= 255 ? v : 0;
}

// The caption slides from Left 10000 to Left -6000 over the four seconds before `until`.
int SlideLeft(float t, float until) {
    return Round32((until - t) * 4000 - 6000);
}

void SetBackground(Game& game, Color c) {
    game.form.BackColor = c;
    game.form.Label[opening_slots::kWordLabel].BackColor = c;
}

void ShowWord(LabelControl& l, const char* caption, Color back, Color fore) {
    l.Caption = caption;
    l.FontSize = 72;
    l.BackColor = back;
    l.ForeColor = fore;
    l.Visible = true;
}

void StartStory(Game& game) {
    game.ScreenState = Screen::Story;
    game.platform.music.SetFileName(game.AppDir() + "sound/kibohika.mid");
    AllEnable(game);
    game.form.BackColor = colors::Black;
    LabelControl& l = game.form.Label[opening_slots::kWordLabel];
    l.Height = 3000;
    l.Width = 5000;
    l.Top = 2250;
    l.Left = 2500;
    l.ForeColor = colors::White;
    l.BackColor = colors::Black;
    l.Caption.clear();
    l.FontSize = 20;
    l.Visible = true;
}

// The steps in their order, so a tick that jumps over a boundary performs every step that has
// come due: the subtitle over a black-to-white sweep, 鈍 over white to red, 感 over red to blue,
// the title card, and at 16 s the story.
void OpeningStep(Game& game, float t) {
    auto& done = game.opening.StepDone;
    LabelControl& l = game.form.Label[opening_slots::kWordLabel];
    if (!done[0]) {
        ShowWord(l, "▼・ｗ・▼", colors::Black, Color::FromBgr(0x00FFFF));
        done[0] = true;
    }
    if (t < 4) {
        const int v = Round16(t / 4 * 255);
        l.Left = SlideLeft(t, 4);
        SetBackground(game, Color::Rgb(v, v, v));
    }
    if (t >= 4 && !done[1]) {
        l.Alignment = Align::Center;
        ShowWord(l, "鈍", Color::FromBgr(0xFFFFFF), Color::FromBgr(0xFF0000));
        done[1] = true;
    }
    if (t >= 4 && t < 8) {
        const int v = SweepStep(t, 4);
        l.Left = SlideLeft(t, 8);
        SetBackground(game, Color::Rgb(255, 255 - v, 255 - v));
    }
    if (t >= 8 && !done[2]) {
        ShowWord(l, "感", Color::FromBgr(0x0000FF), Color::FromBgr(0x00FF00));
        done[2] = true;
    }
    if (t >= 8 && t < 12) {
        const int v = SweepStep(t, 8);
        l.Left = SlideLeft(t, 12);
        SetBackground(game, Color::Rgb(255 - v, 0, v));
    }
    if (t >= 12 && !done[3]) {
        // The window keeps the sweep's last colour around the card.
        ShowWord(l, "ズバッコ\r\nミュージック", Color::FromBgr(0x0000FF), Color::FromBgr(0x00FFFF));
        l.Width = 8000;
        l.Height = 4000;
        l.Left = 1000;
        l.Top = 1750;
        done[3] = true;
    }
    if (t >= 16 && done[3]) StartStory(game);
}

// One line per 4.28 s of the story music; once it passes 85 s the credits replace the last line
// and the timer stops, so they are built once.
void StoryStep(Game& game, float t) {
    LabelControl& l = game.form.Label[opening_slots::kWordLabel];
    l.Alignment = Align::Center;
    const int line = StoryLineAt(t);
    if (line >= 0) l.Caption = StoryLine(line);
    if (t > kCreditsAfter) {
        ShowCredits(game);
        game.form.Timer1[opening_slots::kTimer].Enabled = false;
    }
}

}  // namespace

void Timer1_Timer(Game& game) {
    const float t = static_cast<float>(game.platform.music.CurrentPosition());
    if (game.ScreenState == Screen::OpeningSubtitle)
        OpeningStep(game, t);
    else if (game.ScreenState == Screen::Story)
        StoryStep(game, t);
    // The window repaints after every event it handles, so the tick needs no yield of its own.
}

}  // namespace zb
