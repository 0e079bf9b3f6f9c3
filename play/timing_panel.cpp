#include "play/timing_panel.hpp"

#include <string>

#include "play/play_slots.hpp"
#include "play/timing_drawing.hpp"

namespace zb {

namespace {

// Everything stays left of x 2000, where the course total's text begins.
constexpr size_t kFiguresLabel = play_slots::kTimingFiguresLabel,
                 kDelayLabel = play_slots::kTimingDelayLabel,
                 kHistogramBox = play_slots::kTimingHistogramPicture;
constexpr int kLeft = 120, kWidth = 1860;
constexpr Color kInk = Color::Rgb(160, 230, 255);
constexpr const char* kAdviceEnd = "\r\n\r\n";  // the advice stands above the ディレイ's lines

void SetUp(LabelControl& l, int top, int height, double size, std::string caption) {
    l.Left = kLeft, l.Top = top, l.Width = kWidth, l.Height = height;
    l.BackColor = colors::Black, l.ForeColor = kInk, l.FontSize = size;
    l.Alignment = Align::Left;
    l.Caption = std::move(caption);
    l.Visible = true;
}

}  // namespace

void ShowTimingPanel(Game& game, const SongResult& r) {
    MainForm& f = game.form;
    const TimingFigures& t = r.Timing;
    const std::string br = "\r\n";
    std::string figures = "タイミング";
    // Gaps in the sound the player heard, which may have put the strikes off.
    if (r.Underruns > 0) figures += "　音切れ " + std::to_string(r.Underruns) + " 回";
    figures += br;
    if (t.count == 0)
        figures += "判定された打撃なし";
    else
        figures += MeanOffsetText(t.meanMs) + br + SpreadText(t) + br + EarlyLateText(t);
    SetUp(f.Label[kFiguresLabel], 4250, 1200, 9, figures);

    PictureBox& box = f.Picture1[kHistogramBox];
    box.Left = kLeft, box.Top = 5450;
    box.SetSizePx(kWidth / 15, 48);
    box.BackColor = colors::Black;
    box.Printed.clear();  // words a screen before printed on this box (記録, リプレイ)
    DrawStrikeHistogram(box.Dc(), r.Strikes, r.Windows);
    box.Visible = true;

    std::string delay;
    if (t.count > 0)
        delay = "この曲に合うディレイ" + br + std::to_string(r.SuggestedDelay) + "（いま " +
                std::to_string(game.settings.DelaySetting) + "）" + br;
    SetUp(f.Label[kDelayLabel], 6250, 1200, 8, delay + kDelayIsDistance);
}

void ShowOffsetAdvice(Game& game, const std::string& line) {
    std::string& caption = game.form.Label[kDelayLabel].Caption;
    const size_t said = caption.find(kAdviceEnd);
    caption = line + kAdviceEnd + (said == std::string::npos ? caption : caption.substr(said + 4));
}

}  // namespace zb
