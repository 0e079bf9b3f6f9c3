// The after-play ranking session: the course's result goes into the server's ranking, the
// player is told which places it reached, and the ranking is shown. The game runs it on the
// results screen; zubakko-rank submit runs the same steps without a window.
#pragma once

#include <cstdint>
#include <string>

#include "core/game.hpp"
#include "core/screen_stack.hpp"
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

// The game's session on the results screen, against the server in use; the ranking display
// follows a stored result, and then the title.
class NetRankSessionScreen : public GameScreen {
  public:
    explicit NetRankSessionScreen(NetRankCourseResult result) : result_(result) {}
    Screen Id() const override { return Screen::NetRank; }
    Step Start(Game& game) override;
    Step Resumed(Game&, GameScreen&) override { return Step::ToTitle(); }
    bool TellsRunError(Game& game, const std::exception& e) override;

    NetRankSessionEnd end = NetRankSessionEnd::Stopped;

  private:
    NetRankCourseResult result_;
};

}  // namespace zb
