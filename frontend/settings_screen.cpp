#include "frontend/settings_screen.hpp"

#include <string>
#include <vector>

#include "core/helpers.hpp"
#include "core/menu_keys.hpp"
#include "core/options_file.hpp"
#include "core/screen_reset.hpp"
#include "core/strike_inputs.hpp"
#include "frontend/config_file.hpp"
#include "frontend/delay_check.hpp"
#include "frontend/kit_binding.hpp"
#include "frontend/kit_file.hpp"
#include "frontend/pad_binding.hpp"
#include "frontend/pad_file.hpp"
#include "frontend/settings_items.hpp"
#include "frontend/settings_slots.hpp"
#include "frontend/title.hpp"
#include "platform/pad_inputs.hpp"

namespace zb {

namespace {

using namespace settings_slots;

struct Layout {
    size_t label;
    int left, top, width, height;
    Color color;
    const char* caption;  // nullptr: a value, filled by the first pass
};

// In the order the screen sets them up: the cursor, the item names, the values.
constexpr Layout kLayout[] = {
    {kCursorLabel, 500, 500, 500, 500, colors::Yellow, "→"},
    {kNameLabel[kLeftFoot], 1000, 500, 2000, 500, colors::Red, "左足"},
    {kNameLabel[kRightFoot], 1000, 1000, 2000, 500, colors::Red, "右足"},
    {kNameLabel[kLeftHand], 1000, 1500, 2000, 500, colors::Red, "左手"},
    {kNameLabel[kRightHand], 1000, 2000, 2000, 500, colors::Red, "右手"},
    {kNameLabel[kDelay], 1000, 2500, 2000, 500, colors::Red, "ディレイ"},
    {kNameLabel[kFrame], 1000, 3000, 3500, 500, colors::Red, "枠の位置"},
    {kNameLabel[kVolume], 1000, 3500, 3500, 500, colors::Red, "BGM音量"},
    {kNameLabel[kEffect], 1000, 4000, 3500, 500, colors::Red, "判定エフェクト"},
    {kNameLabel[kBigNote], 1000, 4500, 3500, 500, colors::Red, "大音譜判定"},
    {kValueLabel[kLeftFoot], 3000, 500, 2000, 500, colors::Red, nullptr},
    {kValueLabel[kRightFoot], 3000, 1000, 2000, 500, colors::Red, nullptr},
    {kValueLabel[kLeftHand], 3000, 1500, 2000, 500, colors::Red, nullptr},
    {kValueLabel[kRightHand], 3000, 2000, 2000, 500, colors::Red, nullptr},
    {kValueLabel[kDelay], 4500, 2500, 2000, 500, colors::Red, nullptr},
    {kValueLabel[kFrame], 4500, 3000, 2000, 500, colors::Red, nullptr},
    {kValueLabel[kVolume], 4500, 3500, 2000, 500, colors::Red, nullptr},
    {kValueLabel[kEffect], 4500, 4000, 2000, 500, colors::Red, nullptr},
    {kValueLabel[kBigNote], 4500, 4500, 5000, 500, colors::Red, nullptr},
};

constexpr int32_t kPassMs = 40;

void SetUpLabel(LabelControl& l, int left, int top, int width, int height, Color color,
                std::string caption, double fontSize) {
    l.Left = left;
    l.Top = top;
    l.BackColor = colors::Black;
    l.ForeColor = color;
    l.Width = width;
    l.Height = height;
    l.Caption = std::move(caption);
    l.FontSize = fontSize;
    l.Alignment = Align::Left;
    l.Visible = true;
}

void LayOut(MainForm& f) {
    for (const Layout& s : kLayout)
        SetUpLabel(f.Label[s.label], s.left, s.top, s.width, s.height, s.color,
                   s.caption ? s.caption : "", 24);
    SetUpLabel(f.Label[kHelpLabel], 1000, 6000, 8000, 1500, colors::White,
               "カーソルキー↑↓で項目選択、Enterキーでセーブして終了\r\n"
               "左足、右足、左手、右手は任意のキーでキー設定変更可能\r\n"
               "ディレイ値、枠の位置はカーソルキー←→で調整可能\r\n",
               15);
    SetUpLabel(f.Label[kExtrasLabel], 1000, 5100, 8000, 900, colors::White, "", 15);
}

// `pad`: the pad whose inputs are shown beside the keys, if any.
void Redraw(MainForm& f, const Settings& s, const GameOptions& o, size_t cursor,
            const PadInfo* pad) {
    f.Label[kExtrasLabel].Caption = std::string("F2：ヒットエラーバー　") +
                                    (o.HitErrorBar ? "あり" : "なし") +
                                    "\r\nF3：タイミング調整（ディレイを測る）";
    f.Label[kCursorLabel].Top = int(cursor + 1) * 500;
    for (size_t k = kLeftFoot; k <= kRightHand; ++k)
        f.Label[kValueLabel[k]].Caption = StrikeLabel(KeyLabel(s.KeyCodes[k]), s, pad, int(k));
    f.Label[kValueLabel[kDelay]].Caption = std::to_string(s.DelaySetting);
    f.Label[kValueLabel[kFrame]].Caption = std::to_string(s.FramePosition);
    if (const std::string word = VolumeWord(s.BgmVolume); !word.empty())
        f.Label[kValueLabel[kVolume]].Caption = word;
    f.Label[kValueLabel[kEffect]].Caption = s.JudgeEffect ? "あり" : "なし";
    f.Label[kValueLabel[kBigNote]].Caption =
        s.BigNoteWait ? "押して暫く入力待" : "押した瞬間に判定";
}

void Change(Settings& s, size_t cursor, int dir) {
    switch (cursor) {
        case kDelay:
            s.DelaySetting = StepDelay(s.DelaySetting, dir);
            break;
        case kFrame:
            s.FramePosition = StepFrame(s.FramePosition, dir);
            break;
        case kVolume:
            s.BgmVolume = StepVolume(s.BgmVolume, dir);
            break;
        case kEffect:
            s.JudgeEffect = !s.JudgeEffect;
            break;
        case kBigNote:
            s.BigNoteWait = !s.BigNoteWait;
            break;
        default:
            break;  // the play keys change only by binding
    }
}

// The highest code pressed since the last pass, or 0. Every bindable key is read on every pass,
// so a press binds once, to the item the cursor was on when it was made.
int NewlyPressedKey(MenuKeys& keys) {
    int bound = 0;
    for (int code = kFirstBindableKey; code <= kLastBindableKey; ++code)
        if (keys.Tapped(code)) bound = code;
    return bound;
}

}  // namespace

void SettingsScreen(Game& game) {
    game.ScreenState = Screen::Settings;
    AllEnable(game);
    MainForm& f = game.form;
    f.BackColor = colors::Black;
    LayOut(f);
    size_t cursor = kLeftFoot;

    Settings& s = game.settings;
    MenuKeys keys(game.platform, kSettingsKeys);
    // Presses made before the screen opened (keys typed on the title screen, which reads none)
    // must not bind or step.
    KitSettings kits(game.platform.keyboard);
    auto forget = [&] {
        keys.ForgetEarlierPresses(
            {vk::Up, vk::Down, vk::Right, vk::Left, vk::Enter, vk::F2, vk::F3, vk::F4});
        keys.ForgetEarlierPresses(kFirstBindableKey, kLastBindableKey);
        TappedPadInput(game.platform.keyboard);
        kits.Forget();
    };
    forget();
    std::string shownPad;  // the GUID of the pad last pressed here
    std::vector<PadInfo> pads = game.platform.keyboard.Pads();  // as of padsSeen
    uint64_t padsSeen = game.platform.keyboard.PadChanges();
    for (;;) {
        // The first arrow found down acts; Enter only when no arrow is down. On a play key's item
        // a pad's inputs bind, but for the d-pad's up and down, which move the cursor.
        const bool keyItem = cursor <= kRightHand;
        const MenuPress press =
            keyItem
                ? keys.Pass({vk::Up, vk::Down, vk::Right, vk::Left, vk::Enter}, {vk::Up, vk::Down})
                : keys.Pass({vk::Up, vk::Down, vk::Right, vk::Left, vk::Enter});
        if (keyItem)  // the pad's other menu inputs bind below, and must not act later
            for (int key : {vk::Right, vk::Left, vk::Enter})
                game.platform.keyboard.GetAsyncKeyState(pad::MenuCode(key));
        if (press.key == vk::Enter) break;
        if (press.acts) {
            if (press.key == vk::Up) cursor = (cursor + kItemCount - 1) % kItemCount;
            if (press.key == vk::Down) cursor = (cursor + 1) % kItemCount;
            if (press.key == vk::Right) Change(s, cursor, +1);
            if (press.key == vk::Left) Change(s, cursor, -1);
        }

        if (const int code = NewlyPressedKey(keys); code != 0 && keyItem)
            s.KeyCodes[cursor] = int16_t(code);
        if (const auto tap = TappedPadInput(game.platform.keyboard)) {
            shownPad = tap->pad.guid;
            if (keyItem) BindPadInput(s, tap->pad, int(cursor), tap->input);
        }

        kits.Pass(s, keyItem ? int(cursor) : -1, keys.Tapped(vk::F4));
        if (keys.Tapped(vk::F2)) game.options.HitErrorBar = !game.options.HitErrorBar;
        if (keys.Tapped(vk::F3)) {
            DelayCheck(game);
            game.ScreenState = Screen::Settings;
            AllEnable(game);
            f.BackColor = colors::Black;
            LayOut(f);
            forget();
        }

        if (const uint64_t changes = game.platform.keyboard.PadChanges(); changes != padsSeen) {
            padsSeen = changes;
            pads = game.platform.keyboard.Pads();
        }
        const PadInfo* pad = pads.empty() ? nullptr : &pads.front();
        for (const PadInfo& p : pads)
            if (p.guid == shownPad) pad = &p;
        Redraw(f, s, game.options, cursor, pad);
        for (size_t k = kLeftFoot; k <= kRightHand; ++k)
            f.Label[kValueLabel[k]].Caption += kits.NoteText(s, int(k));
        f.Label[kExtrasLabel].Caption += "\r\n" + kits.BigVelocityLine(s);
        // While a key is down the passes come every 40 ms, and a held arrow repeats on them;
        // otherwise the screen sleeps until a key, a pad, a click or the timer comes.
        if (game.platform.keyboard.AnyKeyDown())
            WaitMs(game, kPassMs);
        else
            WaitForInput(game, 1000);
        game.platform.window.DoEvents();
    }
    SaveConfig(game);
    SavePadBindings(game);
    SaveKitBindings(game);
    SaveOptions(game);
    game.ScreenState = Screen::Title;
    TitleHyoji(game);
}

}  // namespace zb
