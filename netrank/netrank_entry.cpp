#include "netrank/netrank_entry.hpp"

#include "core/helpers.hpp"
#include "core/screen_reset.hpp"
#include "netrank/fetch_ranking.hpp"
#include "netrank/netrank_file.hpp"
#include "netrank/rank_entry_slots.hpp"
#include "netrank/rank_name.hpp"

namespace zb {
namespace {

void Tell(Game& game, const char* text) {
    game.platform.dialogs.MessageBox(text, MsgButtons::Ok, MsgIcon::None, kAppTitle);
}

}  // namespace

NetRankEntryEnd NetRankNameEntry(Game& game) {
    std::string& name = game.ranking.NetPlayerName;
    name = game.platform.dialogs.InputBox(kRankNamePrompt, "名前の入力", "");
    if (!ValidRankName(name)) {
        name.clear();
        Tell(game, "名前入力が不正です。");
        return NetRankEntryEnd::NameRefused;
    }

    AllEnable(game);
    game.form.BackColor = colors::Black;
    LabelControl& l = game.form.Label[rank_entry_slots::kConnectingLabel];
    l.Caption = "サーバー接続中です…";
    l.Top = 2000;
    l.Left = 0;
    l.Width = kFormWidthTwips;
    l.Height = 3500;
    l.BackColor = colors::Black;
    l.ForeColor = colors::White;
    l.Visible = true;
    WaitMs(game, 100);  // so that the label is painted

    const bool fetched = FetchRanking(game, RankServerInUse()).has_value();
    // Between exchanges the local file holds no ranking.
    ClearNetRankFile(game);
    if (!fetched) {
        NetRankCourseFailed(game);
        return NetRankEntryEnd::ServerFailed;
    }
    return NetRankEntryEnd::Fetched;
}

void NetRankCourseFailed(Game& game) {
    Tell(game, kRankServerFailed);
    AllEnable(game);
}

}  // namespace zb
