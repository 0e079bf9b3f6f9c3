// Pictures of the player's timing: the hit-error bar at the foot of the lane, where each recent
// strike's offset stands as a tick that fades, and the results' histogram of the song's strikes.
// Both lay time out across the judgement windows, with the 良 and 可 bands marked.
#pragma once

#include <vector>

#include "core/game.hpp"
#include "platform/surface.hpp"
#include "play/play_state.hpp"
#include "play/timing_figures.hpp"

namespace zb {

// The bar's place on the lane surface, in lane pixels: below the notes and bar lines.
inline constexpr int kHitBarX = 116, kHitBarY = 182, kHitBarWidth = 200, kHitBarHeight = 8;
// How long a strike's tick takes to fade away, in frames.
inline constexpr int kHitTickFrames = 120;

// Draws the bar over the visible lane (after the frame's lane was copied to it).
void DrawHitErrorBar(Game& game, const PlayState& st);

// The bands across a rectangle whose width spans -w.outer to +w.outer: 不可 outside, 可, and 良
// in the middle, and the due time as a line.
void DrawTimingBands(Surface& s, int x, int y, int width, int height, const WindowsMs& w);

// The histogram of a song's strikes (StrikeHistogram) over the bands, into a surface of its own
// size; the tallest bin fills the height.
void DrawStrikeHistogram(Surface& s, const std::vector<StrikeTiming>& strikes, const WindowsMs& w);

}  // namespace zb
