// The best replay of each chart: the highest score among the kept replays of one song, difficulty,
// modifier and kind of course (a challenge score holds its points), the earliest of equal ones. A
// hand play of that chart races it as its ghost, and the kept number never removes it.
#pragma once

#include <optional>
#include <set>
#include <string>
#include <vector>

#include "core/game.hpp"
#include "core/play_request.hpp"
#include "play/play_history.hpp"

namespace zb {

// The history's name of the request's song: a built-in song's number, an own song's content id.
std::string HistorySongOf(const Game& game, ChartId chart);

// The file names (in replays/) of every chart's best replay in the history.
std::set<std::string> BestReplays(const std::vector<PlayRecord>& history);
// The best replay of the request's chart and modifier, of those whose files are still there.
std::optional<PlayRecord> BestReplayOf(const Game& game, const std::vector<PlayRecord>& history,
                                       const PlayRequest& request);

}  // namespace zb
