// The chart loader: selects a song part's data, starts its music, applies the challenge modifier
// and builds the note model that the play loop scrolls and judges.
#pragma once

#include <cstdint>
#include <string>

#include "core/game.hpp"

namespace zb {

// Loads the chart of `song` at `difficulty` (part game.chart.SongPart of songs 5 and 6) under
// game.challenge.ChallengeMode and game.settings.DelaySetting, replacing the whole note model and
// every per-chart constant. A chart that does not exist throws std::out_of_range before anything
// changes; an overflow in the challenge scaling or the note model throws OverflowError.
void LoadChart(Game& game, int16_t difficulty, int16_t song);

// Builds NoteCount, NotePos and NoteKinds from chart.ChartText and chart.NoteSpacing. Notes at
// positions after `speedUpAfter` (when it is non-zero) lie at four times the spacing.
void BuildNoteModel(Chart& chart, int32_t speedUpAfter = 0);

// Challenge modifiers applied at load time.
void ScaleLaneValues(Chart& chart, int16_t mode);  // 1: ×2, 2: ×4, 9: halved; others: nothing
std::string SwapDonKan(std::string text);          // 1↔2, 3↔4, 6↔7, 8↔9
std::string RandomKinds(Game& game, std::string text);  // each note's kind drawn within its size

}  // namespace zb
