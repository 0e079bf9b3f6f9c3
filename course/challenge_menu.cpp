#include "course/challenge_menu.hpp"

#include <string>

#include "core/screen_reset.hpp"
#include "course/challenge_menu_slots.hpp"
#include "platform/pad_inputs.hpp"

namespace zb {

void ChallengeMenu(Game& game, ChartId chart, bool autoPlay) {
    AllEnable(game);
    game.form.BackColor = colors::Black;
    game.ScreenState = Screen::Challenge;

    ChallengeState& c = game.challenge;
    c.ChallengeDifficulty = chart.difficulty;
    c.ChallengeSong = chart.song;
    c.ChallengeAuto = autoPlay;
    c.ChallengePoints = ModifierPoints();
    c.PadCursor = -1;
    // A pad's d-pad and OK act here from now on: presses made before are forgotten.
    for (int key : {vk::Up, vk::Down, vk::Enter})
        game.platform.keyboard.GetAsyncKeyState(pad::MenuCode(key));

    for (int i = 0; i < kModifierCount; ++i) {
        LabelControl& text = game.form.Label[challenge_menu_slots::kFirstTextLabel + size_t(i)];
        text.Caption = kModifiers[size_t(i)].text;
        text.Width = 5500;
        text.Height = 700;
        text.Top = i * 700 + 200;
        text.Left = 1000;
        text.BackColor = colors::Black;
        text.ForeColor = colors::White;
        text.FontSize = 24;
        text.Visible = true;

        LabelControl& points = game.form.Label[challenge_menu_slots::kFirstPointsLabel + size_t(i)];
        points.Width = 2000;
        points.Height = 700;
        points.Top = text.Top;
        points.Left = 6500;
        points.BackColor = colors::Black;
        points.ForeColor = colors::Yellow;
        points.FontSize = 24;
        points.Caption = std::to_string(c.ChallengePoints[i]);
        points.Visible = true;
    }
}

}  // namespace zb
