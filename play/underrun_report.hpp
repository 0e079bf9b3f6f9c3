// The sound output's underruns (buffers it played empty: a gap or a click the player heard)
// after a song: said in one line on standard error, and under the automatic period (自動) two
// or more raise this run's period a step for the next song.
#pragma once

#include <cstdint>

#include "core/game.hpp"

namespace zb {

void ReportUnderruns(Game& game, uint64_t count);

}  // namespace zb
