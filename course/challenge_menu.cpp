#include "course/challenge_menu.hpp"

#include <string>

#include "core/menu_keys.hpp"
#include "core/screen_reset.hpp"
#include "course/challenge_menu_slots.hpp"

namespace zb {

namespace {

constexpr Color kHighlight = Color::Rgb(0, 0, 128);

}  // namespace

Step ChallengeMenuScreen::Start(Game& game) {
    AllEnable(game);
    game.form.BackColor = colors::Black;
    const auto table = ModifierPoints();
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

        LabelControl& pts = game.form.Label[challenge_menu_slots::kFirstPointsLabel + size_t(i)];
        pts.Width = 2000;
        pts.Height = 700;
        pts.Top = text.Top;
        pts.Left = 6500;
        pts.BackColor = colors::Black;
        pts.ForeColor = colors::Yellow;
        pts.FontSize = 24;
        pts.Caption = std::to_string(table[size_t(i)]);
        pts.Visible = true;
    }
    return Step::Stay();
}

Step ChallengeMenuScreen::Choose(int index) {
    chosen = kModifiers[size_t(index)].modifier;
    points = kModifiers[size_t(index)].points;
    return Step::Pop();
}

Step ChallengeMenuScreen::Pass(Game& game) {
    const int before = cursor_;
    InputQueue& keys = game.input;
    if (TappedWithPad(keys, vk::Up)) cursor_ = StepHighlight(cursor_, kModifierCount, -1);
    if (TappedWithPad(keys, vk::Down)) cursor_ = StepHighlight(cursor_, kModifierCount, +1);
    const bool enter = TappedWithPad(keys, vk::Enter);
    // Enter takes only a highlight the player has seen: an Enter tapped twice on song select
    // must not start the song unmodified. Before that it shows the highlight on the first item.
    if (enter && before >= 0) return Choose(cursor_);
    if (enter && cursor_ < 0) cursor_ = 0;
    if (cursor_ != before)
        for (int i = 0; i < kModifierCount; ++i)
            game.form.Label[challenge_menu_slots::kFirstTextLabel + size_t(i)].BackColor =
                i == cursor_ ? kHighlight : colors::Black;
    return Step::Stay();
}

Step ChallengeMenuScreen::Click(Game&, ClickSource source, int index) {
    if (source == ClickSource::Label && index >= 0 && index < kModifierCount) return Choose(index);
    return Step::Stay();
}

}  // namespace zb
