// A run-time error (an overflow of the game's numbers, a value out of range) that stops a screen
// or a course. The program goes on: the boundary that catches it tells the player and shows the
// title; these say what happened.
#pragma once

#include <exception>

#include "core/game.hpp"

namespace zb {

// One line on standard error: the screen it stopped, the settings that shape every chart (delay,
// frame position, the challenge modifier) and the error's own text, which names the value.
void ReportRunError(const Game& game, const std::exception& e);

// The player's box: where the game stopped and why, in Japanese, and that the title follows.
void TellRunError(Game& game, const std::exception& e);

}  // namespace zb
