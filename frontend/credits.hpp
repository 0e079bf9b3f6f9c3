// The credits page that ends the story: who and what made the game, and the player's course
// high scores.
#pragma once

#include <string>
#include <vector>

#include "core/game.hpp"

namespace zb {

// The page's lines, top to bottom: an empty first line, the makers, the music, the pictures and
// "AND YOUR PLAYING" with the course high scores: 23 lines, or 25 (the ワンだフル！ and challenge
// courses too) once the hard course has reached 1000000 points.
std::vector<std::string> CreditLines(const HighScoreTables& scores);

// Shows the credits on Label(0) over the whole window, centred, each line ended by CR LF.
void ShowCredits(Game& game);

}  // namespace zb
