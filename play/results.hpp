// The results of one song: the text on the results panel and its wait (what the play leaves
// behind is play/play_outcome's).
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

// The results are shown for this long before the high score is kept and the course goes on.
inline constexpr double kResultsSeconds = 6.0;

// Shows the results on the results panel. Returns the text shown and the valid score.
ResultsText ShowResults(Game& game, const PlayState& st);

}  // namespace zb
