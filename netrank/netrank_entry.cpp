#include "netrank/netrank_entry.hpp"

#include <cstdio>
#include <exception>

#include "core/file_replace.hpp"
#include "core/helpers.hpp"
#include "core/screen_reset.hpp"
#include "netrank/netrank_display.hpp"
#include "netrank/netrank_file.hpp"
#include "netrank/netrank_format.hpp"
#include "netrank/netrank_transfer.hpp"
#include "netrank/rank_entry_slots.hpp"
#include "netrank/rank_name.hpp"

namespace zb {
namespace {

void Tell(Game& game, const char* text) {
    game.platform.dialogs.MessageBox(text, MsgButtons::Ok, MsgIcon::None, kAppTitle);
}

// Downloads and reads the ranking; false when no whole ranking arrived.
bool FetchRanking(Game& game, const RankServer& server) {
    std::string problem;
    try {
        ClearNetRankFile(game);
        const bool downloaded = DownloadNetRank(game, server, &problem);
        std::string bytes;
        ReadWholeFile(NetRankPath(game), bytes);
        if (downloaded && FirstLine(bytes).size() >= 3) {
            ReadNetRankFile(game);
            ClearNetRankFile(game);
            return true;
        }
    } catch (const std::exception& e) {
        problem = e.what();
    }
    std::fprintf(stderr, "zubakko: ranking server %s: the download failed%s%s\n",
                 server.Where().c_str(), problem.empty() ? "" : ": ", problem.c_str());
    return false;
}

}  // namespace

NetRankEntryEnd NetRankNameEntry(Game& game) {
    game.challenge.ChallengeMode = Modifier::None;
    game.course.NetRankCourse = true;
    game.course.ChallengeCourse = false;
    std::string& name = game.ranking.NetPlayerName;
    name = game.platform.dialogs.InputBox(kRankNamePrompt, "名前の入力", "");
    if (!ValidRankName(name)) {
        name.clear();
        Tell(game, "名前入力が不正です。");
        return NetRankEntryEnd::NameRefused;
    }

    game.ScreenState = Screen::NetRank;
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

    if (!FetchRanking(game, RankServerInUse())) {
        Tell(game, "サーバーの接続に失敗しました。");
        AllEnable(game);
        game.course.NetRankCourse = false;
        return NetRankEntryEnd::ServerFailed;
    }
    NetRankDisplay(game, true);
    return NetRankEntryEnd::ShowedRanking;
}

}  // namespace zb
