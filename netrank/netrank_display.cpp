#include "netrank/netrank_display.hpp"

#include "core/helpers.hpp"
#include "core/screen_reset.hpp"
#include "netrank/netrank_page.hpp"

namespace zb {
namespace {

constexpr int32_t kStepMs = 200;  // a held key pages about this often

constexpr int kArrows[] = {vk::Left, vk::Right, vk::Up, vk::Down};  // tested in this order

// A key counts when it is down or was pressed since the last pass: a tap shorter than one pass
// (a quick player, a loaded machine) still pages once. Held, it pages once per 200 ms wait.
bool Pressed(Keyboard& keys, int code) {
    return keys.GetAsyncKeyState(code) != 0;
}

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
    Place(label[0], colors::Yellow, colors::Blue, 25, 0, 700);
    Place(label[1], colors::White, colors::Black, 19, 700, 5000);
    Place(label[2], colors::Black, colors::White, 19, 5700, 1800);
    label[0].Caption = NetRankPageTitle(page);
    label[1].Caption = NetRankPage(game, page, block);
    label[2].Caption = std::string("カーソルキー　←→　で曲移動\r\n") +
                       "カーソルキー　↑↓　で順位移動\r\n" +
                       (beforePlay ? "画面クリックで次の画面" : "画面クリックでタイトル画面");

    Keyboard& keys = game.platform.keyboard;
    for (int code : kArrows) keys.GetAsyncKeyState(code);  // presses made before the display
    game.ranking.RankDisplayWaiting = true;
    while (game.ranking.RankDisplayWaiting) {
        // At most one key a pass; the click that ends the wait comes through the window's events.
        int16_t pageStep = 0, blockStep = 0;
        if (Pressed(keys, vk::Left))
            pageStep = kRankPages - 1;
        else if (Pressed(keys, vk::Right))
            pageStep = 1;
        else if (Pressed(keys, vk::Up))
            blockStep = kRankBlocks - 1;
        else if (Pressed(keys, vk::Down))
            blockStep = 1;
        if (pageStep || blockStep) {
            WaitMs(game, kStepMs);
            page = int16_t((page + pageStep) % kRankPages);
            block = int16_t((block + blockStep) % kRankBlocks);
            label[0].Caption = NetRankPageTitle(page);
            label[1].Caption = NetRankPage(game, page, block);
        }
        WaitMs(game, 1);  // the yield, with a breath so that the loop never spins
    }
}

}  // namespace zb
