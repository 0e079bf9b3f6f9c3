// A chart's replays as song select's F7 lists them: the history's plays of this song and
// difficulty whose replay is still kept, newest first, each chart's best (the one a hand play
// races) marked. A replay that cannot be read, or one of another build that, played through
// unseen, no longer gives its own figures, is listed as such and cannot be watched.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "core/game.hpp"
#include "core/songs.hpp"
#include "play/play_history.hpp"
#include "play/replay.hpp"

namespace zb {

struct ReplayEntry {
    PlayRecord play;  // its history line
    std::string path;
    bool best = false;
    std::optional<double> meanMs;  // the mean offset of its judged strikes
    std::optional<Replay> replay;  // read whole, when it can be watched
    std::string refused;           // why it cannot ("" when it can)
};

// The chart's replays; an own song's are found by its content id.
std::vector<ReplayEntry> ReplaysOf(Game& game, ChartId chart);

// One line of the list: "2026-04-01 21:05  182300点  良 120 可 10 不可 3  +4.2 ms ★".
std::string ReplayLine(const ReplayEntry& e);

}  // namespace zb
