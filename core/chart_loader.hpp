// The chart loader: selects a song part's data, starts its music, applies the challenge modifier
// and builds the note model that the play loop scrolls and judges.
#pragma once

#include <cstdint>
#include <string>

#include "core/game.hpp"
#include "core/songs.hpp"

namespace zb {

// Loads `part` of a chart (songs 5 and 6 have parts 0-2; the part of any other song is taken as 0)
// under game.chart.Mode and game.settings.DelaySetting, replacing the whole note
// model and every per-chart constant, and stores the part in game.chart.SongPart. A chart that
// does not exist throws std::out_of_range before anything changes; an overflow in the challenge
// scaling or the note model throws OverflowError.
void LoadChart(Game& game, ChartId chart, int16_t part);

// What every chart's loading shares, own songs included: the chart's constants, the delay and the
// random state a replay starts from; then the modifier applied to the text and the lane values,
// and the note model built.
void SetChartConstants(Game& game, const ChartConstants& k, JudgeWindows w);
void ApplyModifierAndBuild(Game& game, std::string text, int32_t speedUpAfter = 0);

// Builds NoteCount, NotePos and NoteKinds from chart.ChartText and chart.NoteSpacing. Notes at
// positions after `speedUpAfter` (when it is non-zero) lie at four times the spacing.
void BuildNoteModel(Chart& chart, int32_t speedUpAfter = 0);

// Challenge modifiers applied at load time.
// Double and fourfold speed, and dense; other modifiers change nothing here.
void ScaleLaneValues(Chart& chart, Modifier mode);
std::string SwapDonKan(std::string text);               // 1↔2, 3↔4, 6↔7, 8↔9
std::string RandomKinds(Game& game, std::string text);  // each note's kind drawn within its size

}  // namespace zb
