#include "netrank/netrank_display.hpp"

#include "core/click_latch.hpp"
#include "core/helpers.hpp"
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

void NetRankDisplay(Game& game, bool beforePlay) {
    AllEnable(game);
    game.form.BackColor = colors::Black;
    game.ScreenState = Screen::NetRankDisplay;
    int16_t page = 0, block = 0;

    auto& label = game.form.Label;
    LabelControl& title = label[rank_display_slots::kPageTitleLabel];
    LabelControl& places = label[rank_display_slots::kPageLabel];
    LabelControl& help = label[rank_display_slots::kHelpLabel];
    Place(title, colors::Yellow, colors::Blue, 25, 0, 700);
    Place(places, colors::White, colors::Black, 19, 700, 5000);
    Place(help, colors::Black, colors::White, 19, 5700, 1800);
    title.Caption = NetRankPageTitle(page);
    places.Caption = NetRankPage(game, page, block);
    help.Caption = std::string("カーソルキー　←→　で曲移動\r\n") +
                   "カーソルキー　↑↓　で順位移動\r\n" +
                   (beforePlay ? "画面クリックで次の画面" : "画面クリックでタイトル画面");

    MenuKeys keys(game.platform, kRankingDisplayKeys);
    keys.ForgetEarlierPresses({vk::Left, vk::Right, vk::Up, vk::Down});
    const int padOk = pad::MenuCode(vk::Enter);  // a pad's OK goes on, as a click does
    keys.Tapped(padOk);
    // The click that ends the display comes through the window's events, inside the waits.
    const ClickLatch clicked(game);
    while (!clicked.IsSet()) {
        if (keys.Tapped(padOk)) break;
        // At most one key a pass.
        const MenuPress press = keys.Pass({vk::Left, vk::Right, vk::Up, vk::Down});
        int16_t pageStep = 0, blockStep = 0;
        if (press.acts && press.key == vk::Left) pageStep = kRankPages - 1;
        if (press.acts && press.key == vk::Right) pageStep = 1;
        if (press.acts && press.key == vk::Up) blockStep = kRankBlocks - 1;
        if (press.acts && press.key == vk::Down) blockStep = 1;
        if (pageStep || blockStep) {
            WaitMs(game, kStepMs);
            page = int16_t((page + pageStep) % kRankPages);
            block = int16_t((block + blockStep) % kRankBlocks);
            title.Caption = NetRankPageTitle(page);
            places.Caption = NetRankPage(game, page, block);
        }
        WaitForInput(game, 1000);  // the yield: sleeps until a key or the click comes
    }
}

}  // namespace zb
