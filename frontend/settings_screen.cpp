#include "frontend/settings_screen.hpp"

#include <string>

#include "core/helpers.hpp"
#include "core/screen_reset.hpp"
#include "course/arrow_repeat.hpp"
#include "frontend/config_file.hpp"
#include "frontend/settings_items.hpp"
#include "frontend/title.hpp"

namespace zb {

namespace {

struct Layout {
    int label, left, top, width, height;
    Color color;
    const char* caption;  // nullptr: a value, filled by the first pass
};

// In the order the screen sets them up: the cursor, the item names, the values.
constexpr Layout kLayout[] = {
    {0, 500, 500, 500, 500, colors::Yellow, "→"},
    {1, 1000, 500, 2000, 500, colors::Red, "左足"},
    {2, 1000, 1000, 2000, 500, colors::Red, "右足"},
    {3, 1000, 1500, 2000, 500, colors::Red, "左手"},
    {4, 1000, 2000, 2000, 500, colors::Red, "右手"},
    {5, 1000, 2500, 2000, 500, colors::Red, "ディレイ"},
    {6, 1000, 3000, 3500, 500, colors::Red, "枠の位置"},
    {14, 1000, 3500, 3500, 500, colors::Red, "BGM音量"},
    {15, 1000, 4000, 3500, 500, colors::Red, "判定エフェクト"},
    {18, 1000, 4500, 3500, 500, colors::Red, "大音譜判定"},
    {7, 3000, 500, 2000, 500, colors::Red, nullptr},
    {8, 3000, 1000, 2000, 500, colors::Red, nullptr},
    {9, 3000, 1500, 2000, 500, colors::Red, nullptr},
    {10, 3000, 2000, 2000, 500, colors::Red, nullptr},
    {11, 4500, 2500, 2000, 500, colors::Red, nullptr},
    {12, 4500, 3000, 2000, 500, colors::Red, nullptr},
    {16, 4500, 3500, 2000, 500, colors::Red, nullptr},
    {17, 4500, 4000, 2000, 500, colors::Red, nullptr},
    {19, 4500, 4500, 5000, 500, colors::Red, nullptr},
};
constexpr int kCursorLabel = 0, kFirstKeyLabel = 7, kDelayLabel = 11, kFrameLabel = 12,
              kVolumeLabel = 16, kEffectLabel = 17, kBigNoteLabel = 19, kHelpLabel = 13;

constexpr int kItems = 9;
constexpr int kDelayItem = 4, kFrameItem = 5, kVolumeItem = 6, kEffectItem = 7, kBigNoteItem = 8;
constexpr int kFirstBindable = 48, kLastBindable = 105;
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
        SetUpLabel(f.Label[size_t(s.label)], s.left, s.top, s.width, s.height, s.color,
                   s.caption ? s.caption : "", 24);
    SetUpLabel(f.Label[kHelpLabel], 1000, 6000, 8000, 1500, colors::White,
               "カーソルキー↑↓で項目選択、Enterキーでセーブして終了\r\n"
               "左足、右足、左手、右手は任意のキーでキー設定変更可能\r\n"
               "ディレイ値、枠の位置はカーソルキー←→で調整可能\r\n",
               15);
}

void Redraw(MainForm& f, const Settings& s, int cursor) {
    f.Label[kCursorLabel].Top = (cursor + 1) * 500;
    for (size_t k = 0; k < 4; ++k) f.Label[kFirstKeyLabel + k].Caption = KeyLabel(s.KeyCodes[k]);
    f.Label[kDelayLabel].Caption = std::to_string(s.DelaySetting);
    f.Label[kFrameLabel].Caption = std::to_string(s.FramePosition);
    if (const std::string word = VolumeWord(s.BgmVolume); !word.empty())
        f.Label[kVolumeLabel].Caption = word;
    f.Label[kEffectLabel].Caption = s.JudgeEffect ? "あり" : "なし";
    f.Label[kBigNoteLabel].Caption = s.BigNoteWait ? "押して暫く入力待" : "押した瞬間に判定";
}

void Change(Settings& s, int cursor, int dir) {
    switch (cursor) {
        case kDelayItem:
            s.DelaySetting = StepDelay(s.DelaySetting, dir);
            break;
        case kFrameItem:
            s.FramePosition = StepFrame(s.FramePosition, dir);
            break;
        case kVolumeItem:
            s.BgmVolume = StepVolume(s.BgmVolume, dir);
            break;
        case kEffectItem:
            s.JudgeEffect = !s.JudgeEffect;
            break;
        case kBigNoteItem:
            s.BigNoteWait = !s.BigNoteWait;
            break;
        default:
            break;  // the play keys change only by binding
    }
}

// A press counts from the first pass that sees it, also when the key went down and up again
// between two passes: a 40 ms pass would otherwise miss a quick tap.
struct Press {
    bool down = false;   // down now, or pressed and released since the last pass
    bool fresh = false;  // went down since the last pass
};

Press Query(Keyboard& keys, int code) {
    const uint16_t v = keys.GetAsyncKeyState(code);
    return {(v & (kKeyDown | kKeyPressedSince)) != 0, (v & kKeyPressedSince) != 0};
}

constexpr int kArrows[] = {vk::Up, vk::Down, vk::Right, vk::Left};

// Presses made before the screen opened (keys typed on the title screen, which reads none) must
// not bind or step: one query of each key the screen reads clears their marks.
void ForgetEarlierPresses(Keyboard& keys) {
    for (int code : kArrows) keys.GetAsyncKeyState(code);
    keys.GetAsyncKeyState(vk::Enter);
    for (int code = kFirstBindable; code <= kLastBindable; ++code) keys.GetAsyncKeyState(code);
}

// The highest code pressed since the last pass, or 0. Every bindable key is read on every pass,
// so a press binds once, to the item the cursor was on when it was made.
int NewlyPressedKey(Keyboard& keys) {
    int bound = 0;
    for (int code = kFirstBindable; code <= kLastBindable; ++code)
        if (Query(keys, code).fresh) bound = code;
    return bound;
}

}  // namespace

void SettingsScreen(Game& game) {
    game.ScreenState = Screen::Settings;
    AllEnable(game);
    MainForm& f = game.form;
    f.BackColor = colors::Black;
    LayOut(f);
    int cursor = 0;

    Keyboard& keys = game.platform.keyboard;
    Settings& s = game.settings;
    ForgetEarlierPresses(keys);
    // The loop's 40 ms passes pace a held arrow once its first repeat is due.
    ArrowRepeat arrows(0.0);
    for (;;) {
        // The first arrow found down acts; Enter only when no arrow is down.
        int arrow = 0;
        for (int code : kArrows) {
            const Press p = Query(keys, code);
            if (!p.down) continue;
            const double now = game.platform.clock.Now();
            if (p.fresh) arrows.Step(0, now);  // a new press, even of the arrow held before
            arrow = code;
            if (arrows.Step(arrow, now)) {
                if (code == vk::Up) cursor = (cursor + kItems - 1) % kItems;
                if (code == vk::Down) cursor = (cursor + 1) % kItems;
                if (code == vk::Right) Change(s, cursor, +1);
                if (code == vk::Left) Change(s, cursor, -1);
            }
            break;
        }
        if (arrow == 0) {
            arrows.Step(0, game.platform.clock.Now());
            if (Query(keys, vk::Enter).down) break;
        }

        if (const int code = NewlyPressedKey(keys); code != 0 && cursor < 4)
            s.KeyCodes[size_t(cursor)] = int16_t(code);

        Redraw(f, s, cursor);
        WaitMs(game, kPassMs);
        game.platform.window.DoEvents();
    }
    SaveConfig(game);
    game.ScreenState = Screen::Title;
    TitleHyoji(game);
}

}  // namespace zb
