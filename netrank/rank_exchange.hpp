// An exchange with the ranking server on a worker thread of its own, so that no screen waits
// inside a handler: the screen starts it, looks at it on its passes (RankExchange::kLookEvery)
// and shows on the game thread what it reported: the transfer's error boxes and the session's
// messages, in the order they came. The worker never touches the game: what it needs is copied
// in before it starts, what it made is read once it is over (Over), under the exchange's mutex.
#pragma once

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <thread>

#include "core/game.hpp"
#include "netrank/rank_link.hpp"
#include "netrank/rank_server.hpp"

namespace zb {

class RankExchange {
  public:
    // The worker's body: exchanges through `link`, tells the player through `say`.
    using Say = std::function<void(const std::string&)>;
    using Work = std::function<void(RankLink& link, const Say& say)>;

    // One thing the worker reported for the game thread.
    struct News {
        bool box = false;  // an error box (number and text), else a message for the screen
        int32_t number = 0;
        std::string text;
    };

    // How often a screen looks while the worker runs (seconds).
    static constexpr double kLookEvery = 0.02;
    // How long a stopped worker may still take to give back its lock and its temporary file.
    static constexpr auto kCleanUpFor = std::chrono::seconds(3);

    // Starts the worker. A run-time error in `work` is caught there and written as one line on
    // standard error naming the server; the exchange is then over and Failed.
    RankExchange(const FtpConnector& connect, const RankServer& server, RankLockTimes lock,
                 Work work);
    ~RankExchange();  // stops the worker (Stop)
    RankExchange(const RankExchange&) = delete;
    RankExchange& operator=(const RankExchange&) = delete;

    // Game thread: the next thing reported, if any.
    std::optional<News> Take();
    // The body has ended and everything it reported was taken.
    bool Over();
    // The body ended with a run-time error.
    bool Failed();
    // Asks the worker to stop and waits for it: its operation ends within a few milliseconds,
    // then it gives back the folder's lock and removes the file it stored (kCleanUpFor at most).
    void Stop();

  private:
    struct Stopped {};  // unwinds the worker's exchange; not a run-time error
    void Body(const Work& work);
    void Push(News news);
    void ThrowIfStopped(std::unique_lock<std::mutex>& lock);

    RankServer server_;
    RankLink link_;
    std::mutex mutex_;
    std::condition_variable stopWait_;
    std::deque<News> news_;
    bool done_ = false, failed_ = false, stop_ = false, cleaning_ = false;
    std::chrono::steady_clock::time_point cleanUpUntil_{};
    std::thread thread_;  // last: it starts once everything above is there
};

// Game thread: shows what the exchange reported: each box in turn (modal), each message through
// `say`.
void ShowRankNews(Game& game, RankExchange& exchange, const RankExchange::Say& say);

}  // namespace zb
