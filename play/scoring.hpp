// Combo, score, judgement counters and gauge: what every judgement and every auto-played note
// does to the play state, the per-frame gauge clamp and drawing, and the hit-rate text.
#pragma once

#include <cstdint>
#include <string>

#include "core/game.hpp"
#include "play/play_state.hpp"

namespace zb {

// The gauge level from which the norma is cleared: the gauge's segments from here on are the norma
// zone, and only a cleared play can set a song high score.
inline constexpr int16_t kNormaLevel = 33;

// Base points per note: a perfect auto play of a song with at least 99 notes sums to exactly
// SongLevel x 100000.
double NoteBaseOf(int16_t songLevel, int16_t comboBonusStep, double noteTotal);

// Combo bonus steps for a combo value: one per full ten, at most ten.
int16_t ComboBonus(int16_t combo);

// The note total the score base uses: the whole song for the three-part songs.
double NoteTotalOf(ChartId chart, int16_t noteCount);

// A hit judged 良 (big: shown as the big 良) or 可, with its score factor (1, 1/2, 2/3, 1/3).
void ScoreBest(const Chart& chart, PlayState& st, double factor, bool big);
void ScoreGood(const Chart& chart, PlayState& st, double factor);
// A press judged 不可.
void ScoreBad(const Chart& chart, PlayState& st);
// A note swept past without a hit.
void ScorePassed(const Chart& chart, PlayState& st);
// A note played by auto play; `played` is false for the silent catch-up.
void ScoreAutoNote(const Chart& chart, PlayState& st, bool played, bool big);

// The per-frame clamp and level of the gauge, and its drawing into pGage.
void GaugeFrame(Game& game, PlayState& st);
void DrawGauge(MainForm& form, int16_t gaugeLevel);

// " 95％": one space, the truncated whole percent of notes hit, and the percent sign.
std::string HitRateText(int16_t best, int16_t good, int16_t miss);

}  // namespace zb
