#include "netrank/rank_link.hpp"

#include "core/helpers.hpp"

namespace zb {

RankLink GameLink(Game& game) {
    Platform& p = game.platform;
    RankLink link;
    link.connect = p.ftp;
    link.idle = [&p] { p.window.DoEvents(); };
    link.box = [&p](int32_t number, const std::string& text) {
        p.dialogs.MessageBox(std::to_string(number) + "\r\n" + text, MsgButtons::Ok, MsgIcon::Error,
                             kAppTitle);
    };
    link.nowMs = [&p] { return p.clock.TickMs(); };
    link.sleepMs = [&p](int32_t ms) { WaitMs(p, ms); };
    return link;
}

}  // namespace zb
