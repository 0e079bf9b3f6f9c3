#include "frontend/pad_clicks.hpp"

#include "core/helpers.hpp"
#include "course/challenge_menu_slots.hpp"
#include "frontend/dispatch.hpp"
#include "platform/pad_inputs.hpp"

namespace zb {

namespace {

constexpr int kMenuKeys[] = {vk::Up,    vk::Down,  vk::Left,  vk::Right,
                             vk::Enter, vk::Space, pad::kBack};
constexpr Color kHighlight = Color::Rgb(0, 0, 128);

bool Tapped(Game& game, int key) {
    return (game.platform.keyboard.GetAsyncKeyState(pad::MenuCode(key)) & kKeyPressedSince) != 0;
}

void ChallengeCursor(Game& game) {
    int16_t& cursor = game.challenge.PadCursor;
    const int before = cursor;
    if (Tapped(game, vk::Up))
        cursor = int16_t(cursor < 0 ? 0 : (cursor + kModifierCount - 1) % kModifierCount);
    if (Tapped(game, vk::Down)) cursor = int16_t(cursor < 0 ? 0 : (cursor + 1) % kModifierCount);
    if (cursor != before) {
        for (int i = 0; i < kModifierCount; ++i)
            game.form.Label[challenge_menu_slots::kFirstTextLabel + size_t(i)].BackColor =
                i == cursor ? kHighlight : colors::Black;
    }
    // OK chooses the highlighted modifier (the first one before the d-pad moved).
    if (Tapped(game, vk::Enter))
        ClickDispatch(game, ClickSource::Label,
                      int(challenge_menu_slots::kFirstTextLabel) + (cursor < 0 ? 0 : cursor));
}

}  // namespace

void ForgetPadMenuPresses(Game& game) {
    for (int key : kMenuKeys) game.platform.keyboard.GetAsyncKeyState(pad::MenuCode(key));
}

void PadOnClickScreen(Game& game) {
    switch (game.ScreenState) {
        case Screen::Challenge:
            ChallengeCursor(game);
            break;
        case Screen::Notice:
        case Screen::OpeningSubtitle:
        case Screen::Story:
            if (Tapped(game, vk::Enter)) ClickDispatch(game, ClickSource::Form, 0);
            break;
        default:
            ForgetPadMenuPresses(game);  // presses on other screens are theirs
            break;
    }
}

void WaitForEvents(Game& game) {
    if (game.platform.keyboard.Pads().empty()) return WaitMs(game, 1000);
    WaitMs(game, 40);
    PadOnClickScreen(game);
}

}  // namespace zb
