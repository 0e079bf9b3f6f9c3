// The results of one song: the text on the results panel, the wait, and the song high score.
#pragma once

#include <cstdint>
#include <string>

#include "core/game.hpp"
#include "play/play_state.hpp"

namespace zb {

// The results text for the final state (and, in the challenge course, the valid score).
struct ResultsText {
    std::string caption;
    int32_t validScore = 0;
};
ResultsText BuildResultsText(const Game& game, const PlayState& st);

// Shows the results for 6000 ms, records a new song high score of a cleared manual play, then
// leaves the results panel with three empty lines. Returns the text shown and the valid score.
ResultsText ShowResults(Game& game, const PlayState& st);

}  // namespace zb
