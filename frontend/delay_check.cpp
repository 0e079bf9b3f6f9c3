#include "frontend/delay_check.hpp"

#include <cstdio>
#include <optional>
#include <string>

#include "core/chart_loader.hpp"
#include "core/delay_check_beat.hpp"
#include "core/helpers.hpp"
#include "core/menu_keys.hpp"
#include "core/screen_reset.hpp"
#include "frontend/delay_check_slots.hpp"
#include "play/hit_feedback.hpp"
#include "play/play_frame.hpp"
#include "play/timing_figures.hpp"

namespace zb {

namespace {

constexpr Color kLaneColor = Color::Rgb(24, 24, 40);
using namespace delay_check_slots;
constexpr int16_t kSpacing = int16_t(kCheckLanePixelsPerSecond * kCheckBeatSeconds);

// A chart of its own: a bar line on the first count-in beat, then a don on every beat (a bar
// line on every fourth), scrolled so that each arrives on the frame as its beat sounds.
void LoadCheckChart(Game& game) {
    Chart& c = game.chart;
    c = Chart{};
    std::string text(size_t(kCheckCountIn), '0');
    text[0] = '5';
    for (int k = 0; k < kCheckBeats; ++k) text += k % 4 == 0 ? '6' : '1';
    c.ChartText = text;
    c.NoteSpacing = kSpacing;
    const double pxPerCs = kSpacing / (kCheckBeatSeconds * 100.0);
    c.ChartSpan = int16_t(text.size() * kCheckBeatSeconds * 100.0);
    // Position W stands on the frame at beat W - 1.
    c.ChartOffset = int16_t(kSpacing - pxPerCs * kCheckFirstBeat * 100.0);
    c.ChartDelay = game.settings.DelaySetting;
    c.PartEndTime = int16_t((CheckBeatTime(kCheckCountIn + kCheckBeats - 1) + 1.0) * 100.0);
    c.GaugeUnit = 1;
    BuildNoteModel(c);
}

void SetUpLabel(LabelControl& l, int left, int top, int width, int height, Color color,
                double fontSize, std::string caption) {
    l.Left = left, l.Top = top, l.Width = width, l.Height = height;
    l.BackColor = colors::Black, l.ForeColor = color, l.FontSize = fontSize;
    l.Alignment = Align::Left;
    l.Caption = std::move(caption);
    l.Visible = true;
}

void LayOut(Game& game) {
    MainForm& f = game.form;
    f.BackColor = colors::Black;
    SetUpLabel(f.Label[kTitleLabel], 500, 150, 9000, 500, colors::Yellow, 24, "タイミング調整");
    SetUpLabel(f.Label[kHowLabel], 500, 3900, 9000, 700, colors::White, 15,
               "流れてくる「鈍」に合わせて、左足・右足のキーで" + std::to_string(kCheckBeats) +
                   "回叩いてください\r\nEscキーでやめる");
    SetUpLabel(f.Label[kFiguresLabel], 500, 4800, 9000, 1600, colors::Yellow, 18, "");
    char step[32];
    std::snprintf(step, sizeof step, "%.1f", 1000.0 / kCheckLanePixelsPerSecond);
    SetUpLabel(f.Label[kDistanceLabel], 500, 6700, 9000, 600, colors::White, 12,
               std::string(kDelayIsDistance) + "\r\n（ここでは毎秒" +
                   std::to_string(kCheckLanePixelsPerSecond) + "ピクセル、1あたり" + step +
                   " ms）");
    f.pFumen.Top = 700, f.pFumen.Left = 1750;
    f.pFumen.BackColor = kLaneColor;
    f.pFumen.SetWidthTwips(6500), f.pFumen.SetHeightTwips(3000);
    f.pFumen.Visible = true, f.pFumen.AutoRedraw = true;
    f.pFumenUra.BackColor = kLaneColor;
    f.pFumenUra.SetWidthTwips(6500), f.pFumenUra.SetHeightTwips(3000);
    f.pFumenUra.Visible = false;
    f.pHanteiMask.BackColor = kLaneColor;
}

// One run of the beat. Returns the strikes' figures, or nothing when the player left with Esc.
std::optional<TimingFigures> RunBeat(Game& game, MenuKeys& keys) {
    Platform& pf = game.platform;
    MainForm& f = game.form;
    LoadCheckChart(game);
    PlayState st;
    st.Chart = {.song = -1, .difficulty = -1};
    SetUpPlay(game, st);
    keys.ForgetEarlierPresses({vk::Escape});
    pf.music.SetAutoStart(true);
    pf.music.SetEnabled(true);
    pf.music.SetFileName(game.AppDir() + kCheckMusicFile);
    StrikeSounds sounds(game);
    const double period = 1.0 / 60.0;
    double nextFrame = pf.clock.Now() + period;
    int shown = -1;
    for (;;) {
        PlayFrame(game, st);
        const int left = kCheckBeats - (st.CurrentNote - 1);
        if (left != shown) {
            shown = left;
            f.Label[kFiguresLabel].Caption = "あと " + std::to_string(left) + " 拍";
        }
        pf.window.WaitUntil(nextFrame);
        pf.window.DoEvents();
        nextFrame += period;
        if (const double now = pf.clock.Now(); nextFrame < now) nextFrame = now;
        st.FrameCount = int16_t((st.FrameCount + 1) % 10000);
        st.Frames += 1;
        if (keys.Tapped(vk::Escape)) {
            pf.music.SetFileName("");
            return std::nullopt;
        }
        if (st.PlayTime >= game.chart.PartEndTime && st.JudgeAge == 0) break;
    }
    pf.music.SetFileName("");
    return SummarizeStrikes(st.Strikes);
}

std::string FiguresText(const TimingFigures& t, int16_t delay, int16_t suggested) {
    if (t.count < kCheckLeastStrikes)
        return "叩けた音符が少なすぎます（" + std::to_string(kCheckLeastStrikes) +
               "回以上）\r\nSpace：もう一度　Esc：戻る";
    return MeanOffsetText(t.meanMs) + "　" + SpreadText(t) + "　" + EarlyLateText(t) +
           "\r\nディレイ " + std::to_string(delay) + " → " + std::to_string(suggested) +
           "\r\nEnter：決定　Esc：そのまま　Space：もう一度";
}

}  // namespace

void DelayCheck(Game& game) {
    game.ScreenState = Screen::DelayCheck;
    AllEnable(game);
    LayOut(game);
    // The check plays no modifier; the course sets its own before each song.
    const Modifier mode = game.challenge.ChallengeMode;
    game.challenge.ChallengeMode = Modifier::None;
    // No cursor keys here: the settings screen's rule serves.
    MenuKeys keys(game.platform, kSettingsKeys);
    for (;;) {
        const std::optional<TimingFigures> t = RunBeat(game, keys);
        if (!t) break;
        const int16_t suggested = SuggestedDelay(game.settings.DelaySetting, *t);
        game.form.Label[kFiguresLabel].Caption =
            FiguresText(*t, game.settings.DelaySetting, suggested);
        keys.ForgetEarlierPresses({vk::Enter, vk::Escape, vk::Space});
        int chosen = 0;
        while (chosen == 0) {
            WaitMs(game, 20);
            for (int code : {vk::Enter, vk::Escape, vk::Space})
                if (chosen == 0 && keys.Tapped(code)) chosen = code;
        }
        // The key goes up before the check ends: the settings screen would take a held Enter.
        while (game.platform.keyboard.GetAsyncKeyState(chosen) & kKeyDown) WaitMs(game, 20);
        if (chosen == vk::Enter && t->count >= kCheckLeastStrikes)
            game.settings.DelaySetting = suggested;
        if (chosen != vk::Space) break;
    }
    game.challenge.ChallengeMode = mode;
}

}  // namespace zb
