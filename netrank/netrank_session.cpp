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

enum class Exchange { Stored, DownloadFailed, NotStored };

// One pass of the session's exchange: what it starts from (copied from the game, so that a
// worker can run it) and what it leaves.
struct CourseSend {
    RankingTables tables;
    std::array<std::string, 21> titles;
    std::string name;
    NetRankCourseResult result;
    Exchange outcome = Exchange::DownloadFailed;
};

namespace {

// Inserts the course into the tables and says which places it reached.
std::string InsertCourse(CourseSend& s) {
    const NetRankCourseResult& r = s.result;
    std::string text;
    const int total = InsertTotalEntry(s.tables, Add<int32_t>(r.firstScore, r.secondScore), s.name,
                                       r.firstSong, r.secondSong);
    if (total >= 0)
        text += "総合" + std::to_string(total + 1) + "位にランクインしました。" + kBreak;
    else
        text += std::string("総合ランクインできませんでした。") + kBreak;
    for (const auto& [song, score] :
         {std::pair{r.firstSong, r.firstScore}, std::pair{r.secondSong, r.secondScore}}) {
        const std::string& title = s.titles.at(size_t(song));
        const int place = InsertSongEntry(s.tables, song, score, s.name);
        if (place >= 0)
            text += title + " の" + std::to_string(place + 1) + "位にランクインしました。" + kBreak;
        else
            text += title + "にランクインできませんでした。" + kBreak;
    }
    return text;
}

// Download, insert, tell the places, store. Touches nothing but `s`.
void SendCourse(RankLink& link, const RankServer& server, CourseSend& s,
                const RankExchange::Say& say) {
    const std::optional<std::string> base = FetchRanking(link, server);
    if (!base) {
        s.outcome = Exchange::DownloadFailed;
        return;
    }
    ReadServerRanking(s.tables, *base);
    say(InsertCourse(s) + kRankConnecting);
    // Another player stored a ranking since the download: this course goes into that one,
    // once, and the player is told the places it reaches there.
    const auto remerge = [&](const std::string& fresh) {
        ReadServerRanking(s.tables, fresh);
        say(InsertCourse(s) + kRankConnecting);
        return FormatNetRankFile(s.tables);
    };
    std::string problem;
    const bool stored =
        PublishNetRank(link, server, *base, FormatNetRankFile(s.tables), remerge, &problem);
    if (!stored) ReportRankFailure(server, "the ranking was not stored", problem);
    s.outcome = stored ? Exchange::Stored : Exchange::NotStored;
}

CourseSend CourseFrom(const Game& game, const NetRankCourseResult& result) {
    return {game.ranking, game.SongTitles, game.ranking.NetPlayerName, result};
}

// What the session leaves in the game after an exchange: the tables it sent, and the local file
// holding what was sent (or one empty line when nothing arrived).
void KeepSent(Game& game, const CourseSend& s) {
    if (s.outcome == Exchange::DownloadFailed) {
        ClearNetRankFile(game);
        return;
    }
    game.ranking = s.tables;
    WriteNetRankFile(game);
}

bool AskRetry(Game& game) {
    return game.platform.dialogs.MessageBox(kRankRetry, MsgButtons::YesNo, MsgIcon::Question,
                                            kAppTitle) == MsgResult::Yes;
}

void ShowMessage(Game& game, const std::string& text) {
    ResultsPanel(game.form).ShowRankingMessage(text);
}

}  // namespace

NetRankSessionEnd RunNetRankSession(Game& game, const RankServer& server,
                                    const NetRankCourseResult& result, NetRankSessionView& view) {
    try {
        RankLink link = GameLink(game);
        const RankExchange::Say say = [&view](const std::string& text) { view.Say(text); };
        for (;;) {
            view.Say(kRankConnecting);
            view.Wait(1);
            CourseSend s = CourseFrom(game, result);
            SendCourse(link, server, s, say);
            KeepSent(game, s);
            if (s.outcome != Exchange::DownloadFailed) view.Wait(2000);
            if (s.outcome == Exchange::Stored) break;
            // A finished course is not thrown away by one failed exchange: the player may send
            // the same result again.
            if (view.AskRetry()) continue;
            view.Say(s.outcome == Exchange::DownloadFailed ? kRankTransferError : kRankNotSent);
            view.Wait(3000);
            return s.outcome == Exchange::DownloadFailed ? NetRankSessionEnd::DownloadFailed
                                                         : NetRankSessionEnd::NotStored;
        }
        view.Say(kRankStored);
        view.Wait(3000);
        view.ShowRanking();
        return NetRankSessionEnd::Stored;
    } catch (const std::exception& e) {
        ReportRankFailure(server, "the ranking session stopped", e.what());
        view.Say(kRankTransferError);
        view.Wait(3000);
        return NetRankSessionEnd::Stopped;
    }
}

NetRankSessionScreen::NetRankSessionScreen(NetRankCourseResult result, RankLockTimes lock)
    : result_(result), lock_(lock) {}

// Leaving, however it happens, stops the worker first.
NetRankSessionScreen::~NetRankSessionScreen() = default;

Step NetRankSessionScreen::Start(Game& game) {
    server_ = RankServerInUse();
    Send(game);
    return Step::Stay();
}

void NetRankSessionScreen::Send(Game& game) {
    ShowMessage(game, kRankConnecting);
    exchange_.reset();
    send_ = std::make_shared<CourseSend>(CourseFrom(game, result_));
    phase_ = Phase::Exchanging;
    exchange_ = std::make_unique<RankExchange>(
        game.platform.ftp, server_, lock_,
        [send = send_, server = server_](RankLink& link, const RankExchange::Say& say) {
            SendCourse(link, server, *send, say);
        });
}

double NetRankSessionScreen::WakeAt(Game& game) {
    return phase_ == Phase::Exchanging ? game.platform.clock.Now() + RankExchange::kLookEvery
                                       : until_;
}

Step NetRankSessionScreen::Pass(Game& game) {
    switch (phase_) {
        case Phase::Exchanging:
            ShowRankNews(game, *exchange_, [&game](const std::string& t) { ShowMessage(game, t); });
            return exchange_->Over() ? AfterExchange(game) : Step::Stay();
        case Phase::Told:
            if (game.platform.clock.Now() < until_) return Step::Stay();
            if (send_->outcome == Exchange::Stored)
                return Finish(game, kRankStored, NetRankSessionEnd::Stored);
            return Retry(game, kRankNotSent, NetRankSessionEnd::NotStored);
        case Phase::Ending:
            if (game.platform.clock.Now() < until_) return Step::Stay();
            if (end == NetRankSessionEnd::Stored)
                return Step::Push(std::make_unique<NetRankDisplayScreen>(false));
            return Step::ToTitle();
    }
    return Step::Stay();
}

Step NetRankSessionScreen::AfterExchange(Game& game) {
    const bool failed = exchange_->Failed();
    exchange_.reset();
    // A run-time error in the exchange (its line is written) ends the session as a failed
    // download does, without asking again.
    if (failed) return Finish(game, kRankTransferError, NetRankSessionEnd::Stopped);
    KeepSent(game, *send_);
    if (send_->outcome == Exchange::DownloadFailed)
        return Retry(game, kRankTransferError, NetRankSessionEnd::DownloadFailed);
    phase_ = Phase::Told;
    until_ = game.platform.clock.Now() + 2.0;
    return Step::Stay();
}

// After a failed download or store the player may send the same result again.
Step NetRankSessionScreen::Retry(Game& game, const char* declined, NetRankSessionEnd how) {
    if (AskRetry(game)) {
        Send(game);
        return Step::Stay();
    }
    return Finish(game, declined, how);
}

Step NetRankSessionScreen::Finish(Game& game, const char* caption, NetRankSessionEnd how) {
    ShowMessage(game, caption);
    end = how;
    phase_ = Phase::Ending;
    until_ = game.platform.clock.Now() + 3.0;
    return Step::Stay();
}

// The ranking display after play is part of the session: an error there ends it as an error of
// the exchange does.
bool NetRankSessionScreen::TellsRunError(Game& game, const std::exception& e) {
    exchange_.reset();
    ReportRankFailure(RankServerInUse(), "the ranking session stopped", e.what());
    ShowMessage(game, kRankTransferError);
    WaitMs(game, 3000);
    return true;
}

}  // namespace zb
