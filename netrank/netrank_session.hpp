// The after-play ranking session: the course's result goes into the server's ranking, the
// player is told which places it reached, and the ranking is shown. The game runs it on the
// results screen, its exchange on a worker thread; zubakko-rank submit runs the same steps in
// place, without a window.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "core/game.hpp"
#include "core/screen_stack.hpp"
#include "netrank/rank_exchange.hpp"
#include "netrank/rank_server.hpp"

namespace zb {

struct NetRankCourseResult {
    int32_t firstScore = 0, secondScore = 0;
    int16_t firstSong = 0, secondSong = 0;
};

// What the player sees of the session.
class NetRankSessionView {
  public:
    virtual ~NetRankSessionView() = default;
    virtual void Say(const std::string& caption) = 0;  // on the results panel
    virtual void Wait(int32_t ms) = 0;
    virtual void ShowRanking() = 0;  // the ranking display after play
    // After a failed download or store: true to send the same result again.
    virtual bool AskRetry() = 0;
};

enum class NetRankSessionEnd {
    Stored,          // the result is on the server and the ranking was shown
    DownloadFailed,  // nothing was recorded
    NotStored,       // the result could not be stored; nothing was shown
    Stopped,         // a run-time error stopped the session; the player was told
};

inline constexpr const char* kRankConnecting = "サーバーに接続中…";
inline constexpr const char* kRankStored =
    "サーバーとの接続に成功しました。\r\n現在のネットランキングを表示します。";
inline constexpr const char* kRankTransferError =
    "通信中にエラーが発生しました。\r\nタイトル画面へ戻ります。";
inline constexpr const char* kRankRetry = "もう一度送信しますか？";
inline constexpr const char* kRankNotSent =
    "ランキングを送信できませんでした。\r\nタイトル画面へ戻ります。";

// Download, insert the total and both songs under NetPlayerName, upload without losing anyone
// else's entry, and tell the player. After a failed download or store the player is asked
// whether to send again; what failed is also written to standard error.
NetRankSessionEnd RunNetRankSession(Game& game, const RankServer& server,
                                    const NetRankCourseResult& result, NetRankSessionView& view);

struct CourseSend;

// The game's session on the results screen, against the server in use; the ranking display
// follows a stored result, and then the title. The exchange runs on a worker while the screen
// shows its messages; the message after the store stays 2 s, the last one 3 s, each a timed
// phase of the screen. A close request is asked at once throughout; leaving the screen (the
// exit's OK) stops the worker, which gives back the lock and its temporary file.
class NetRankSessionScreen : public GameScreen {
  public:
    explicit NetRankSessionScreen(NetRankCourseResult result, RankLockTimes lock = {});
    ~NetRankSessionScreen() override;
    Screen Id() const override { return Screen::NetRank; }
    Step Start(Game& game) override;
    Step Pass(Game& game) override;
    double WakeAt(Game& game) override;
    Step Resumed(Game&, GameScreen&) override { return Step::ToTitle(); }
    bool TellsRunError(Game& game, const std::exception& e) override;

    NetRankSessionEnd end = NetRankSessionEnd::Stopped;

  private:
    enum class Phase { Exchanging, Told, Ending };
    void Send(Game& game);
    Step AfterExchange(Game& game);
    Step Finish(Game& game, const char* caption, NetRankSessionEnd how);
    Step Retry(Game& game, const char* declined, NetRankSessionEnd how);

    NetRankCourseResult result_;
    RankLockTimes lock_;
    RankServer server_;
    std::shared_ptr<CourseSend> send_;
    std::unique_ptr<RankExchange> exchange_;
    Phase phase_ = Phase::Exchanging;
    double until_ = 0;  // the end of a timed phase (clock seconds)
};

}  // namespace zb
