#include "course/setumei_strikes.hpp"

#include "core/options_file.hpp"
#include "core/picture_sets.hpp"
#include "core/strike_inputs.hpp"
#include "platform/pad_inputs.hpp"

namespace zb {

namespace {
// The picture's places: strike i's key name runs from 86 + 146 i to 152 + 146 i, before the next
// strike's circle; the row's middle is at 73.
constexpr int kFirstX = 83, kStep = 146, kWidth = 76, kTop = 60, kHeight = 27;
constexpr Color kCream = Color::Rgb(0xFF, 0xF4, 0xDC), kInk = Color::Rgb(0x2A, 0x1A, 0x3E);
}  // namespace

std::string StrikeKeyName(int vkCode) {
    if (vkCode >= vk::Numpad0 && vkCode <= vk::Numpad0 + 9)
        return "テンキー" + std::to_string(vkCode - vk::Numpad0);
    if (vkCode >= vk::Digit0 && vkCode <= vk::Digit0 + 9)
        return std::to_string(vkCode - vk::Digit0);
    if (vkCode >= vk::A && vkCode <= vk::A + 25) return std::string(1, char('A' + vkCode - vk::A));
    return "■";
}

void DrawBoundStrikes(Game& game, int x, int y) {
    PictureBox& gamen = game.form.pGamen;
    gamen.Printed.clear();
    // The instructions as composed, without the names drawn over them before.
    BlitCopy(Gamen(game).pGamenUra.Dc(), x, y, 603, 99, gamen.Dc(), x, y);
    const std::vector<PadInfo> pads = game.platform.keyboard.Pads();
    const PadInfo* pad = pads.empty() ? nullptr : &pads.front();
    for (int k = 0; k < 4; ++k) {
        const int code = game.settings.KeyCodes[size_t(k)];
        const int input = pad ? PadInputsOf(game.settings, *pad)[size_t(k)] : -1;
        if (input < 0 && code == kDefaultKeyCodes[size_t(k)]) continue;  // as the picture says
        const int left = x + kFirstX + kStep * k, top = y + kTop;
        gamen.Dc().FillRect(left, top, kWidth, kHeight, kCream);
        const std::string key = StrikeKeyName(code);
        if (input < 0)
            gamen.Printed.push_back({left + 2, top + 4, kWidth - 2, 18, key, 12, kInk});
        else
            gamen.Printed.push_back({left + 2, top, kWidth - 2, kHeight,
                                     key + "\r\n" + pad::InputLabel(input), 10, kInk});
    }
}

void DrawPracticeKey(Game& game, int x, int y) {
    // The first row's words end at 514; the rest of the row is the picture's cream.
    game.form.pGamen.Printed.push_back({x + 526, y + 15, 72, 18, "Pで練習", 12, kInk});
}

void DrawDrumChoice(Game& game, int x, int y) {
    const std::string line = std::string("F5 ドラム：") + DrumPartCaption(game.options.Drums);
    // Right in the ground's stripe, where the finder's line (from the left) never reaches.
    game.form.pGamen.Printed.push_back({x + 510, y + 463, 150, 18, line, 11, colors::White});
}

void DrawGhostChoice(Game& game, int x, int y) {
    const std::string line =
        std::string("F6 ゴースト：") + (game.options.Ghost ? "あり" : "なし") + "　F7 リプレイ";
    game.form.pGamen.Printed.push_back({x + 420, y + 445, 240, 18, line, 11, colors::White});
}

}  // namespace zb
