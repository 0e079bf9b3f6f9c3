#include "netrank/netrank_display.hpp"

#include "core/menu_keys.hpp"
#include "core/screen_reset.hpp"
#include "netrank/netrank_page.hpp"
#include "netrank/rank_display_slots.hpp"
#include "platform/pad_inputs.hpp"

namespace zb {
namespace {

// The display waits this long before it turns a page, so a held key pages about this often.
constexpr int32_t kStepMs = 200;

void Place(LabelControl& l, Color back, Color fore, double size, int top, int height) {
    l.BackColor = back;
    l.ForeColor = fore;
    l.FontSize = size;
    l.Top = top;
    l.Left = 0;
    l.Width = kFormWidthTwips;
    l.Height = height;
    l.Visible = true;
}

}  // namespace

Step NetRankDisplayScreen::Start(Game& game) {
    AllEnable(game);
    game.form.BackColor = colors::Black;
    auto& label = game.form.Label;
    LabelControl& title = label[rank_display_slots::kPageTitleLabel];
    LabelControl& places = label[rank_display_slots::kPageLabel];
    LabelControl& help = label[rank_display_slots::kHelpLabel];
    Place(title, colors::Yellow, colors::Blue, 25, 0, 700);
    Place(places, colors::White, colors::Black, 19, 700, 5000);
    Place(help, colors::Black, colors::White, 19, 5700, 1800);
    title.Caption = NetRankPageTitle(page_);
    places.Caption = NetRankPage(game, page_, block_);
    help.Caption = std::string("カーソルキー　←→　で曲移動\r\n") +
                   "カーソルキー　↑↓　で順位移動\r\n" +
                   (beforePlay_ ? "画面クリックで次の画面" : "画面クリックでタイトル画面");

    keys_.emplace(game, kRankingDisplayKeys);
    return Step::Stay();
}

Step NetRankDisplayScreen::Pass(Game& game) {
    const double now = game.platform.clock.Now();
    if (pageStep_ || blockStep_) {
        if (now < stepAt_) return Step::Stay();
        page_ = int16_t((page_ + pageStep_) % kRankPages);
        block_ = int16_t((block_ + blockStep_) % kRankBlocks);
        pageStep_ = blockStep_ = 0;
        game.form.Label[rank_display_slots::kPageTitleLabel].Caption = NetRankPageTitle(page_);
        game.form.Label[rank_display_slots::kPageLabel].Caption = NetRankPage(game, page_, block_);
    }
    // Enter or a pad's OK goes on as a click does, once it is up: the ranking course's song
    // select that follows would take a held Enter as its pick.
    InputQueue& input = game.input;
    if (TappedWithPad(input, vk::Enter)) going_ = true;
    if (going_)
        return input.Down(vk::Enter) || input.Down(pad::MenuCode(vk::Enter)) ? Step::Stay()
                                                                             : Step::Pop();
    // At most one key a pass.
    const MenuPress press = keys_->Pass({vk::Left, vk::Right, vk::Up, vk::Down});
    if (press.acts && press.key == vk::Left) pageStep_ = kRankPages - 1;
    if (press.acts && press.key == vk::Right) pageStep_ = 1;
    if (press.acts && press.key == vk::Up) blockStep_ = kRankBlocks - 1;
    if (press.acts && press.key == vk::Down) blockStep_ = 1;
    if (pageStep_ || blockStep_) stepAt_ = now + kStepMs / 1000.0;
    return Step::Stay();
}

double NetRankDisplayScreen::WakeAt(Game& game) {
    return pageStep_ || blockStep_ ? stepAt_ : MenuWakeAt(game);
}

}  // namespace zb
