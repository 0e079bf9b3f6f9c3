// What an exchange with the ranking server needs of the machine, without the game: a way to
// connect, what to do while an operation waits, where an error box goes, and a clock to wait on.
// The game's screens hand a worker thread a link of its own (netrank/rank_exchange.hpp); the
// command-line tool and the transfer tests use the game's own (GameLink), which waits in place.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "core/game.hpp"
#include "platform/ftp/ftp_port.hpp"

namespace zb {

inline constexpr int kRankLockAbandonedMs = 30000;  // a lock unchanged this long is abandoned
inline constexpr int kRankLockGiveUpMs = 40000;     // a player waits this long for the lock

// How long the folder's lock is waited for; shorter only in tests.
struct RankLockTimes {
    int abandonedMs = kRankLockAbandonedMs;
    int giveUpMs = kRankLockGiveUpMs;
};

struct RankLink {
    FtpConnector connect;
    // Called many times a second while an operation waits; throwing ends the exchange.
    std::function<void()> idle;
    // An error box for the player: its number and text.
    std::function<void(int32_t number, const std::string& text)> box;
    std::function<int64_t()> nowMs;
    std::function<void(int32_t ms)> sleepMs;
    // The exchange gives back its lock and removes what it left (true), and is done with it
    // (false): a worker being stopped lets that run, for a few seconds at most.
    std::function<void(bool)> cleaning = [](bool) {};
    RankLockTimes lock{};
};

// The game's own link: boxes through its dialogs, waits that pump its window. For the tool and
// the tests that exchange in place.
RankLink GameLink(Game& game);

}  // namespace zb
