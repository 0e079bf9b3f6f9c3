#include "netrank/netrank_session.hpp"

#include <cstdio>
#include <exception>

#include "core/checked.hpp"
#include "core/file_replace.hpp"
#include "core/helpers.hpp"
#include "netrank/netrank_display.hpp"
#include "netrank/netrank_file.hpp"
#include "netrank/netrank_format.hpp"
#include "netrank/netrank_transfer.hpp"
#include "play/results_panel.hpp"

namespace zb {
namespace {

constexpr const char* kBreak = "\r\n";

// Inserts the course into the tables and says which places it reached.
std::string InsertCourse(Game& game, const NetRankCourseResult& r) {
    const std::string& name = game.ranking.NetPlayerName;
    std::string text;
    const int total = InsertTotalEntry(game, Add<int32_t>(r.firstScore, r.secondScore), name,
                                       r.firstSong, r.secondSong);
    if (total >= 0)
        text += "総合" + std::to_string(total + 1) + "位にランクインしました。" + kBreak;
    else
        text += std::string("総合ランクインできませんでした。") + kBreak;
    for (const auto& [song, score] :
         {std::pair{r.firstSong, r.firstScore}, std::pair{r.secondSong, r.secondScore}}) {
        const std::string& title = game.SongTitles.at(song);
        const int place = InsertSongEntry(game, song, score, name);
        if (place >= 0)
            text += title + " の" + std::to_string(place + 1) + "位にランクインしました。" + kBreak;
        else
            text += title + "にランクインできませんでした。" + kBreak;
    }
    return text;
}

void Complain(const RankServer& server, const std::string& what, const std::string& problem) {
    std::fprintf(stderr, "zubakko: ranking server %s: %s%s%s\n", server.Where().c_str(),
                 what.c_str(), problem.empty() ? "" : ": ", problem.c_str());
}

NetRankSessionEnd TransferError(const RankServer& server, NetRankSessionView& view,
                                const std::string& problem) {
    Complain(server, "the download failed", problem);
    view.Say(kRankTransferError);
    view.Wait(3000);
    return NetRankSessionEnd::DownloadFailed;
}

// The session on the results screen: its messages go to the results panel.
class PanelView : public NetRankSessionView {
  public:
    explicit PanelView(Game& game) : game_(game), panel_(game.form) {}
    void Say(const std::string& caption) override { panel_.ShowRankingMessage(caption); }
    void Wait(int32_t ms) override { WaitMs(game_, ms); }
    void ShowRanking() override { NetRankDisplay(game_, false); }

  private:
    Game& game_;
    ResultsPanel panel_;
};

}  // namespace

NetRankSessionEnd RunNetRankSession(Game& game, const RankServer& server,
                                    const NetRankCourseResult& result, NetRankSessionView& view) {
    view.Say(kRankConnecting);
    view.Wait(1);
    std::string problem;
    try {
        ClearNetRankFile(game);
        const bool downloaded = DownloadNetRank(game, server, &problem);
        std::string base;
        ReadWholeFile(NetRankPath(game), base);
        if (!downloaded || FirstLine(base).size() < 3) return TransferError(server, view, problem);
        ReadNetRankFile(game);
        ClearNetRankFile(game);

        view.Say(InsertCourse(game, result) + kRankConnecting);
        view.Wait(1);
        WriteNetRankFile(game);
        // Another player stored a ranking since the download: this course goes into that one,
        // once, and the player is told the places it reaches there.
        const auto remerge = [&](const std::string& fresh) {
            ParseNetRankLine(game.ranking, FirstLine(fresh));
            view.Say(InsertCourse(game, result) + kRankConnecting);
            WriteNetRankFile(game);
        };
        const bool stored = PublishNetRank(game, server, base, remerge, &problem);
        view.Wait(2000);
        if (!stored) {
            Complain(server, "the ranking was not stored", problem);
            view.Say(kRankNotSent);
            view.Wait(3000);
            return NetRankSessionEnd::NotStored;
        }
    } catch (const std::exception& e) {
        return TransferError(server, view, e.what());
    }
    view.Say(kRankStored);
    view.Wait(3000);
    view.ShowRanking();
    return NetRankSessionEnd::Stored;
}

NetRankSessionEnd NetRankSession(Game& game, const NetRankCourseResult& result) {
    PanelView view(game);
    return RunNetRankSession(game, RankServerInUse(), result, view);
}

}  // namespace zb
