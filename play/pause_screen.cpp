#include "play/pause_screen.hpp"

#include "platform/pad_inputs.hpp"
#include "play/play_slots.hpp"

namespace zb {

namespace {

constexpr Color kHighlight = Color::Rgb(0, 0, 128);

const char* Caption(PauseChoice c) {
    switch (c) {
        case PauseChoice::Continue:
            return "つづける";
        case PauseChoice::Retry:
            return "やりなおす";
        case PauseChoice::Practice:
            return "練習";
        case PauseChoice::Leave:
            return "やめる";
    }
    return "";
}

void SetUp(LabelControl& l, int top, int size, Color fore, const std::string& caption) {
    l.Left = 3000;
    l.Top = top;
    l.Width = 4000;
    l.Height = size * 20 + 200;
    l.FontSize = size;
    l.ForeColor = fore;
    l.BackColor = colors::Black;
    l.Alignment = Align::Center;
    l.Caption = caption;
    l.Visible = true;
}

// Enter or its pad twin (A, START) is down.
bool EnterDown(Game& game) {
    return game.input.Down(vk::Enter) || game.input.Down(pad::MenuCode(vk::Enter));
}

}  // namespace

Step PauseScreen::Start(Game& game) {
    items_ = {PauseChoice::Continue};
    if (retryOffered_) items_.push_back(PauseChoice::Retry);
    if (practiceOffered_) items_.push_back(PauseChoice::Practice);
    items_.push_back(PauseChoice::Leave);
    // The menu takes the background's place under the lane, as the results do.
    game.form.pHaikei.Visible = false;
    SetUp(game.form.Label[play_slots::kPauseTitleLabel], 4600, 22, colors::Yellow, "一時停止");
    for (size_t i = 0; i < play_slots::kPauseItemLabels.size(); ++i) {
        LabelControl& l = game.form.Label[play_slots::kPauseItemLabels[i]];
        if (i < items_.size())
            SetUp(l, 5300 + int(i) * (items_.size() > 3 ? 520 : 560), 18, colors::White,
                  Caption(items_[i]));
        else
            l.Visible = false;
    }
    keys_.emplace(game, kSettingsKeys);
    enterHeld_ = EnterDown(game);
    Draw(game);
    return Step::Stay();
}

void PauseScreen::Draw(Game& game) {
    for (size_t i = 0; i < items_.size(); ++i)
        game.form.Label[play_slots::kPauseItemLabels[i]].BackColor =
            i == cursor_ ? kHighlight : colors::Black;
}

Step PauseScreen::Choose(Game& game, PauseChoice c) {
    choice = c;
    game.form.Label[play_slots::kPauseTitleLabel].Visible = false;
    for (size_t label : play_slots::kPauseItemLabels) game.form.Label[label].Visible = false;
    game.form.pHaikei.Visible = true;
    return Step::Pop();
}

Step PauseScreen::Pass(Game& game) {
    // The key that chose goes up before the menu goes: the screen after it would take it.
    if (chosen_) return EnterDown(game) ? Step::Stay() : Choose(game, *chosen_);
    // Esc goes on only when struck here: the press that paused may still be down.
    if (keys_->Tapped(vk::Escape) || keys_->Tapped(pad::MenuCode(pad::kBack)))
        return Choose(game, PauseChoice::Continue);
    if (enterHeld_) enterHeld_ = EnterDown(game);
    const MenuPress press =
        enterHeld_ ? keys_->Pass({vk::Up, vk::Down}) : keys_->Pass({vk::Up, vk::Down, vk::Enter});
    if (press.key == vk::Enter) {
        chosen_ = items_[cursor_];
        return Pass(game);
    }
    if (press.acts && (press.key == vk::Up || press.key == vk::Down)) {
        const size_t n = items_.size();
        cursor_ = press.key == vk::Up ? (cursor_ + n - 1) % n : (cursor_ + 1) % n;
        Draw(game);
    }
    return Step::Stay();
}

Step PauseScreen::Click(Game& game, ClickSource source, int index) {
    if (source != ClickSource::Label) return Step::Stay();
    for (size_t i = 0; i < items_.size(); ++i)
        if (index == int(play_slots::kPauseItemLabels[i])) return Choose(game, items_[i]);
    return Step::Stay();
}

double PauseScreen::WakeAt(Game& game) {
    return MenuWakeAt(game);
}

}  // namespace zb
