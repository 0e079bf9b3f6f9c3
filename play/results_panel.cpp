#include "play/results_panel.hpp"

#include "play/play_slots.hpp"

namespace zb {

namespace {
constexpr double kResultsSize = 18;
}  // namespace

ResultsPanel::ResultsPanel(MainForm& form) : label_(form.Label[play_slots::kResultsLabel]) {}

void ResultsPanel::ShowSongResults(const std::string& text) {
    label_.BackColor = colors::Black;
    label_.Top = 4500;
    label_.Left = 3000;
    label_.Height = 5000;
    label_.Width = 7000;
    label_.FontSize = kResultsSize;
    label_.ForeColor = Color::FromBgr(0xFFFF);
    label_.Caption = text;
    label_.Visible = true;
}

void ResultsPanel::LeaveBlankLines() {
    label_.Caption = std::string(kBreak) + kBreak + kBreak;
}

void ResultsPanel::Append(const std::string& text) {
    label_.Caption += text;
}

void ResultsPanel::ShowCourseTotal(const std::string& text) {
    label_.Left = 2000;
    label_.Caption = text;
    label_.FontSize = 32;
}

void ResultsPanel::ShowRankingMessage(const std::string& text) {
    label_.FontSize = kResultsSize;
    label_.Caption = text;
    label_.Visible = true;  // also over a ranking display that a run-time error stopped
}

const std::string& ResultsPanel::Text() const {
    return label_.Caption;
}

}  // namespace zb
