#include "netrank/netrank_entry.hpp"

#include "core/screen_reset.hpp"
#include "netrank/fetch_ranking.hpp"
#include "netrank/netrank_file.hpp"
#include "netrank/netrank_format.hpp"
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
    return NetRankEntryEnd::NameTaken;
}

RankingDownload::RankingDownload(Game& game)
    : bytes_(std::make_shared<std::optional<std::string>>()),
      exchange_(
          game.platform.ftp, RankServerInUse(), {},
          [bytes = bytes_, server = RankServerInUse()](RankLink& link, const RankExchange::Say&) {
              *bytes = FetchRanking(link, server);
          }) {}

std::optional<bool> RankingDownload::Look(Game& game) {
    ShowRankNews(game, exchange_, [](const std::string&) {});
    if (!exchange_.Over()) return std::nullopt;
    const bool fetched = !exchange_.Failed() && bytes_->has_value();
    if (fetched) ReadServerRanking(game.ranking, **bytes_);
    ClearNetRankFile(game);
    return fetched;
}

void NetRankCourseFailed(Game& game) {
    Tell(game, kRankServerFailed);
    AllEnable(game);
}

}  // namespace zb
