#include "frontend/delay_check.hpp"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <optional>
#include <string>

#include "core/chart_loader.hpp"
#include "core/delay_check_beat.hpp"
#include "core/devices_file.hpp"
#include "core/menu_keys.hpp"
#include "core/screen_reset.hpp"
#include "frontend/delay_check_slots.hpp"
#include "play/hit_feedback.hpp"
#include "play/play_frame.hpp"
#include "play/play_screen_setup.hpp"
#include "play/timing_figures.hpp"

namespace zb {

namespace {

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

std::string SignedMs(int ms) {
    return (ms > 0 ? "+" : ms < 0 ? "-" : "±") + std::to_string(ms < 0 ? -ms : ms) + " ms";
}

std::string FiguresText(const TimingFigures& t, int16_t delay, int16_t suggested,
                        const std::string& device, int offset, int deviceOffset) {
    if (t.count < kCheckLeastStrikes)
        return "叩けた音符が少なすぎます（" + std::to_string(kCheckLeastStrikes) +
               "回以上）\r\nSpace：もう一度　Esc：戻る";
    return MeanOffsetText(t.meanMs) + "　" + SpreadText(t) + "　" + EarlyLateText(t) +
           "\r\nディレイ " + std::to_string(delay) + " → " + std::to_string(suggested) + "　（" +
           DeviceLabel(device) + "だけ：入力オフセット " + SignedMs(offset) + " → " +
           SignedMs(deviceOffset) +
           "）\r\nEnter：決定　F5：この機器だけ　Esc：そのまま　Space：もう一度";
}

}  // namespace

// One run of the beat: the chart, the music and the strikes' sounds.
void DelayCheckScreen::StartBeat(Game& game) {
    Platform& pf = game.platform;
    LoadCheckChart(game);
    st_ = PlayState{};
    st_.Chart = {.song = -1, .difficulty = -1};
    SetUpPlay(game, st_);
    keys_->ReadFrom(pf.clock.Now());  // a run again leaves on an Esc struck in it
    pf.music.SetAutoStart(true);
    pf.music.SetEnabled(true);
    pf.music.SetFileName(game.AppDir() + kCheckMusicFile);
    sounds_.emplace(game);
    frames_.Begin(pf.clock.Now());
    shown_ = -1;
    phase_ = Phase::Beat;
}

Step DelayCheckScreen::Start(Game& game) {
    AllEnable(game);
    LayOut(game);
    // The check plays no modifier: its chart is loaded plain.
    game.chart.Mode = Modifier::None;
    // No cursor keys here: the settings screen's rule serves.
    keys_.emplace(game, kSettingsKeys);
    StartBeat(game);
    return Step::Stay();
}

Step DelayCheckScreen::Leave(Game& game) {
    game.platform.music.SetFileName("");
    sounds_.reset();
    return Step::Pop();
}

Step DelayCheckScreen::Pass(Game& game) {
    Platform& pf = game.platform;
    MainForm& f = game.form;
    switch (phase_) {
        case Phase::Beat: {
            if (keys_->Tapped(vk::Escape)) return Leave(game);
            if (!frames_.Due(pf.clock.Now())) return Step::Stay();
            PlayFrame(game, st_);
            frames_.Ran(pf.clock.Now());
            const int left = kCheckBeats - (st_.CurrentNote - 1);
            if (left != shown_) {
                shown_ = left;
                f.Label[kFiguresLabel].Caption = "あと " + std::to_string(left) + " 拍";
            }
            st_.FrameCount = int16_t((st_.FrameCount + 1) % 10000);
            st_.Frames += 1;
            if (st_.PlayTime >= game.chart.PartEndTime && st_.JudgeAge == 0) {
                pf.music.SetFileName("");
                sounds_.reset();
                figures_ = SummarizeStrikes(st_.Strikes);
                suggested_ = SuggestedDelay(game.settings.DelaySetting, figures_);
                // The device struck most keeps what its strikes were off by.
                device_ = KeyboardDevice();
                int most = 0;
                for (const auto& [device, t] : SummarizeByDevice(st_.Strikes))
                    if (t.count > most) most = t.count, device_ = device;
                const int offset = game.devices.OffsetOf(device_);
                deviceOffset_ = std::clamp(offset + int(std::lround(figures_.meanMs)),
                                           -kDeviceOffsetLimit, kDeviceOffsetLimit);
                f.Label[kFiguresLabel].Caption =
                    FiguresText(figures_, game.settings.DelaySetting, suggested_, device_, offset,
                                deviceOffset_);
                keys_->ReadFrom(pf.clock.Now());  // the choice takes keys struck once offered
                phase_ = Phase::Choice;
            }
            return Step::Stay();
        }
        case Phase::Choice:
            for (int code : {vk::Enter, vk::Escape, vk::Space, vk::F5})
                if (chosen_ == 0 && keys_->Tapped(code)) chosen_ = code;
            if (chosen_ != 0) phase_ = Phase::Release;
            [[fallthrough]];
        case Phase::Release:
            // The key goes up before the check ends: the settings screen would take a held
            // Enter.
            if (phase_ != Phase::Release || game.input.Down(chosen_)) return Step::Stay();
            if (chosen_ == vk::Enter && figures_.count >= kCheckLeastStrikes)
                game.settings.DelaySetting = suggested_;
            if (chosen_ == vk::F5 && figures_.count >= kCheckLeastStrikes)
                game.devices.SetOffset(device_, deviceOffset_);
            if (chosen_ != vk::Space) return Leave(game);
            chosen_ = 0;
            StartBeat(game);
            return Step::Stay();
    }
    return Step::Stay();
}

double DelayCheckScreen::WakeAt(Game& game) {
    if (phase_ == Phase::Beat) return frames_.Next();
    // The choice waits for a key like any menu; the chosen key's release is looked at every 20 ms.
    if (phase_ == Phase::Choice) return MenuWakeAt(game);
    return game.platform.clock.Now() + 0.02;
}

}  // namespace zb
