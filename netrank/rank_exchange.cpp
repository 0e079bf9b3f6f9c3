#include "netrank/rank_exchange.hpp"

#include <exception>

namespace zb {

RankExchange::RankExchange(const FtpConnector& connect, const RankServer& server,
                           RankLockTimes lock, Work work)
    : server_(server) {
    link_.connect = connect;
    link_.lock = lock;
    link_.idle = [this] {
        std::unique_lock<std::mutex> l(mutex_);
        ThrowIfStopped(l);
    };
    link_.box = [this](int32_t number, const std::string& text) { Push({true, number, text}); };
    link_.nowMs = [] {
        return std::chrono::duration_cast<std::chrono::milliseconds>(
                   std::chrono::steady_clock::now().time_since_epoch())
            .count();
    };
    link_.sleepMs = [this](int32_t ms) {
        std::unique_lock<std::mutex> l(mutex_);
        stopWait_.wait_for(l, std::chrono::milliseconds(ms), [this] { return stop_; });
        ThrowIfStopped(l);
    };
    link_.cleaning = [this](bool on) {
        std::lock_guard<std::mutex> l(mutex_);
        cleaning_ = on;
        if (on) cleanUpUntil_ = std::chrono::steady_clock::now() + kCleanUpFor;
    };
    thread_ = std::thread([this, work = std::move(work)] { Body(work); });
}

RankExchange::~RankExchange() {
    Stop();
}

// While the exchange tidies up after a stop, its operations go on until kCleanUpFor has passed.
void RankExchange::ThrowIfStopped(std::unique_lock<std::mutex>&) {
    if (stop_ && (!cleaning_ || std::chrono::steady_clock::now() >= cleanUpUntil_)) throw Stopped{};
}

void RankExchange::Body(const Work& work) {
    const Say say = [this](const std::string& text) { Push({false, 0, text}); };
    bool failed = false;
    try {
        work(link_, say);
    } catch (const Stopped&) {
    } catch (const std::exception& e) {
        ReportRankFailure(server_, "the ranking exchange stopped", e.what());
        failed = true;
    } catch (...) {
        ReportRankFailure(server_, "the ranking exchange stopped");
        failed = true;
    }
    std::lock_guard<std::mutex> l(mutex_);
    failed_ = failed;
    done_ = true;
}

void RankExchange::Push(News news) {
    std::lock_guard<std::mutex> l(mutex_);
    news_.push_back(std::move(news));
}

std::optional<RankExchange::News> RankExchange::Take() {
    std::lock_guard<std::mutex> l(mutex_);
    if (news_.empty()) return std::nullopt;
    News n = std::move(news_.front());
    news_.pop_front();
    return n;
}

bool RankExchange::Over() {
    std::lock_guard<std::mutex> l(mutex_);
    return done_ && news_.empty();
}

bool RankExchange::Failed() {
    std::lock_guard<std::mutex> l(mutex_);
    return failed_;
}

void RankExchange::Stop() {
    {
        std::lock_guard<std::mutex> l(mutex_);
        stop_ = true;
    }
    stopWait_.notify_all();
    if (thread_.joinable()) thread_.join();
}

void ShowRankNews(Game& game, RankExchange& exchange, const RankExchange::Say& say) {
    while (std::optional<RankExchange::News> n = exchange.Take()) {
        if (!n->box) {
            say(n->text);
            continue;
        }
        game.platform.dialogs.MessageBox(std::to_string(n->number) + "\r\n" + n->text,
                                         MsgButtons::Ok, MsgIcon::Error, kAppTitle);
    }
}

}  // namespace zb
