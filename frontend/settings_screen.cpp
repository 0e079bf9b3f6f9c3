#include "frontend/settings_screen.hpp"

#include <string>
#include <vector>

#include "core/devices_file.hpp"
#include "core/menu_keys.hpp"
#include "core/options_file.hpp"
#include "core/screen_reset.hpp"
#include "core/strike_inputs.hpp"
#include "frontend/audio_period.hpp"
#include "frontend/config_file.hpp"
#include "frontend/delay_check.hpp"
#include "frontend/kit_binding.hpp"
#include "frontend/kit_file.hpp"
#include "frontend/kit_page.hpp"
#include "frontend/pad_binding.hpp"
#include "frontend/pad_file.hpp"
#include "frontend/settings_items.hpp"
#include "frontend/settings_slots.hpp"
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
    SetUpLabel(f.Label[kHelpLabel], 1000, 6300, 8000, 1200, colors::White,
               "カーソルキー↑↓で項目選択、Enterキーでセーブして終了\r\n"
               "左足、右足、左手、右手は任意のキーでキー設定変更可能\r\n"
               "ディレイ値、枠の位置はカーソルキー←→で調整可能\r\n",
               15);
    SetUpLabel(f.Label[kExtrasLabel], 1000, 5100, 8000, 1200, colors::White, "", 15);
}

// "キーボード +20 ms" after `to` (a space between two), for a device whose offset is set.
void AddOffsetText(std::string& to, const DeviceOptions& d, const std::string& device) {
    const int ms = d.OffsetOf(device);
    if (ms == 0) return;
    to += (to.empty() ? "" : "　") + DeviceLabel(device) + (ms > 0 ? " +" : " -") +
          std::to_string(ms < 0 ? -ms : ms) + " ms";
}

// `pad`: the pad whose inputs are shown beside the keys, if any; `offsets`: the input offsets of
// the devices shown, when any is set (the F3 line is shorter then, to hold them).
void Redraw(MainForm& f, const Settings& s, const GameOptions& o, size_t cursor, const PadInfo* pad,
            const std::string& offsets, bool padSounds) {
    // The pad shown beside the keys can have its hit sounds off (F7), as a kit on its page.
    const std::string padLine =
        pad ? std::string("　F7：パッドの叩いた音　") + (padSounds ? "あり" : "なし") : "";
    f.Label[kExtrasLabel].Caption =
        std::string("F2：ヒットエラーバー　") + (o.HitErrorBar ? "あり" : "なし") + padLine +
        (offsets.empty() ? "\r\nF3：タイミング調整（ディレイを測る）"
                         : "\r\nF3：タイミング調整　入力オフセット " + offsets);
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

Step SettingsScreen::Start(Game& game) {
    AllEnable(game);
    game.form.BackColor = colors::Black;
    LayOut(game.form);
    keys_.emplace(game, kSettingsKeys);
    kits_.emplace(game.input);
    pads_ = game.platform.keyboard.Pads();
    padsSeen_ = game.platform.keyboard.PadChanges();
    return Pass(game);
}

Step SettingsScreen::Resumed(Game& game, GameScreen&) {
    // Back from the delay check or the キット page.
    AllEnable(game);
    game.form.BackColor = colors::Black;
    LayOut(game.form);
    return Pass(game);
}

Step SettingsScreen::Pass(Game& game) {
    MainForm& f = game.form;
    Settings& s = game.settings;
    MenuKeys& keys = *keys_;
    // The first arrow found down acts; Enter only when no arrow is down. On a play key's item a
    // pad's inputs bind, but for the d-pad's up and down, which move the cursor.
    const bool keyItem = cursor_ <= kRightHand;
    const MenuPress press =
        keyItem ? keys.Pass({vk::Up, vk::Down, vk::Right, vk::Left, vk::Enter}, {vk::Up, vk::Down})
                : keys.Pass({vk::Up, vk::Down, vk::Right, vk::Left, vk::Enter});
    if (keyItem)  // the pad's other menu inputs bind below, and must not act later
        for (int key : {vk::Right, vk::Left, vk::Enter})
            game.input.GetAsyncKeyState(pad::MenuCode(key));
    if (press.key == vk::Enter) {
        SaveConfig(game);
        SavePadBindings(game);
        SaveKitBindings(game);
        SaveOptions(game);
        SaveDevices(game);
        return Step::Pop();
    }
    if (press.acts) {
        if (press.key == vk::Up) cursor_ = (cursor_ + kItemCount - 1) % kItemCount;
        if (press.key == vk::Down) cursor_ = (cursor_ + 1) % kItemCount;
        if (press.key == vk::Right) Change(s, cursor_, +1);
        if (press.key == vk::Left) Change(s, cursor_, -1);
    }

    if (const int code = NewlyPressedKey(keys); code != 0 && keyItem)
        s.KeyCodes[cursor_] = int16_t(code);
    if (const auto tap = TappedPadInput(game.input)) {
        shownPad_ = tap->pad.guid;
        if (keyItem) BindPadInput(s, tap->pad, int(cursor_), tap->input);
    }

    kits_->Pass(s, keyItem ? int(cursor_) : -1, keys.Tapped(vk::F4));
    if (keys.Tapped(vk::F2)) game.options.HitErrorBar = !game.options.HitErrorBar;
    if (keys.Tapped(vk::F5)) StepAudioPeriod(game);
    const bool f7 = keys.Tapped(vk::F7);
    if (keys.Tapped(vk::F3)) return Step::Push(std::make_unique<DelayCheckScreen>());
    if (keys.Tapped(vk::F6)) return Step::Push(std::make_unique<KitPageScreen>());

    if (const uint64_t changes = game.platform.keyboard.PadChanges(); changes != padsSeen_) {
        padsSeen_ = changes;
        pads_ = game.platform.keyboard.Pads();
    }
    const PadInfo* pad = pads_.empty() ? nullptr : &pads_.front();
    for (const PadInfo& p : pads_)
        if (p.guid == shownPad_) pad = &p;
    std::string offsets;
    AddOffsetText(offsets, game.devices, KeyboardDevice());
    if (pad) AddOffsetText(offsets, game.devices, PadDevice(*pad));
    if (const KitInfo* kit = kits_->Shown()) AddOffsetText(offsets, game.devices, KitDevice(*kit));
    if (pad && f7) game.devices.SetSounds(PadDevice(*pad), !game.devices.Sounds(PadDevice(*pad)));
    Redraw(f, s, game.options, cursor_, pad, offsets, pad && game.devices.Sounds(PadDevice(*pad)));
    for (size_t k = kLeftFoot; k <= kRightHand; ++k)
        f.Label[kValueLabel[k]].Caption += kits_->NoteText(s, int(k));
    f.Label[kExtrasLabel].Caption += "\r\n" + kits_->BigVelocityLine(s);
    f.Label[kExtrasLabel].Caption += "\r\n" + AudioPeriodLine(game);
    return Step::Stay();
}

// While a key is down the passes come every 40 ms, and a held arrow repeats on them; otherwise
// the screen sleeps until a key, a pad, a click or the timer comes.
double SettingsScreen::WakeAt(Game& game) {
    Platform& p = game.platform;
    return game.input.AnyKeyDown() ? p.clock.Now() + kPassMs / 1000.0 : kNoWake;
}

}  // namespace zb
