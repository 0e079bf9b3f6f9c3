#include "netrank/netrank_session.hpp"

#include <exception>
#include <optional>

#include "core/checked.hpp"
#include "core/helpers.hpp"
#include "netrank/fetch_ranking.hpp"
#include "netrank/netrank_display.hpp"
#include "netrank/netrank_file.hpp"
#include "netrank/netrank_format.hpp"
#include "netrank/netrank_transfer.hpp"
#include "play/results_panel.hpp"

namespace zb {
namespace {

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

enum class Exchange { Stored, DownloadFailed, NotStored };

// One pass of the session's steps: download, insert, tell the places, store. The local file
// ends up holding what was sent (or one empty line when nothing arrived).
Exchange SendCourse(Game& game, const RankServer& server, const NetRankCourseResult& result,
                    NetRankSessionView& view) {
    view.Say(kRankConnecting);
    view.Wait(1);
    const std::optional<std::string> base = FetchRanking(game, server);
    if (!base) {
        ClearNetRankFile(game);
        return Exchange::DownloadFailed;
    }
    view.Say(InsertCourse(game, result) + kRankConnecting);
    view.Wait(1);
    // Another player stored a ranking since the download: this course goes into that one,
    // once, and the player is told the places it reaches there.
    const auto remerge = [&](const std::string& fresh) {
        ReadServerRanking(game.ranking, fresh);
        view.Say(InsertCourse(game, result) + kRankConnecting);
        return FormatNetRankFile(game.ranking);
    };
    std::string problem;
    const bool stored =
        PublishNetRank(game, server, *base, FormatNetRankFile(game.ranking), remerge, &problem);
    WriteNetRankFile(game);
    view.Wait(2000);
    if (stored) return Exchange::Stored;
    ReportRankFailure(server, "the ranking was not stored", problem);
    return Exchange::NotStored;
}

// The session on the results screen: its messages go to the results panel.
class PanelView : public NetRankSessionView {
  public:
    explicit PanelView(Game& game) : game_(game), panel_(game.form) {}
    void Say(const std::string& caption) override { panel_.ShowRankingMessage(caption); }
    void Wait(int32_t ms) override { WaitMs(game_, ms); }
    // The display is a screen of its own: the session screen shows it once the session is over.
    void ShowRanking() override { shown = true; }
    bool AskRetry() override {
        return game_.platform.dialogs.MessageBox(kRankRetry, MsgButtons::YesNo, MsgIcon::Question,
                                                 kAppTitle) == MsgResult::Yes;
    }

    bool shown = false;

  private:
    Game& game_;
    ResultsPanel panel_;
};

}  // namespace

NetRankSessionEnd RunNetRankSession(Game& game, const RankServer& server,
                                    const NetRankCourseResult& result, NetRankSessionView& view) {
    try {
        for (;;) {
            const Exchange round = SendCourse(game, server, result, view);
            if (round == Exchange::Stored) break;
            // A finished course is not thrown away by one failed exchange: the player may send
            // the same result again.
            if (view.AskRetry()) continue;
            if (round == Exchange::DownloadFailed) {
                view.Say(kRankTransferError);
                view.Wait(3000);
                return NetRankSessionEnd::DownloadFailed;
            }
            view.Say(kRankNotSent);
            view.Wait(3000);
            return NetRankSessionEnd::NotStored;
        }
        view.Say(kRankStored);
        view.Wait(3000);
        view.ShowRanking();
        return NetRankSessionEnd::Stored;
    } catch (const std::exception& e) {
        // A run-time error anywhere in the session, the ranking display included.
        ReportRankFailure(server, "the ranking session stopped", e.what());
        view.Say(kRankTransferError);
        view.Wait(3000);
        return NetRankSessionEnd::Stopped;
    }
}

Step NetRankSessionScreen::Start(Game& game) {
    PanelView view(game);
    end = RunNetRankSession(game, RankServerInUse(), result_, view);
    if (view.shown) return Step::Push(std::make_unique<NetRankDisplayScreen>(false));
    return Step::ToTitle();
}

// The ranking display after play is part of the session: an error there ends it as an error of
// the exchange does.
bool NetRankSessionScreen::TellsRunError(Game& game, const std::exception& e) {
    ReportRankFailure(RankServerInUse(), "the ranking session stopped", e.what());
    ResultsPanel(game.form).ShowRankingMessage(kRankTransferError);
    WaitMs(game, 3000);
    return true;
}

}  // namespace zb
