// The timing of a song played by hand on its results: the mean offset, the spread, the early and
// late counts, the histogram over the judgement windows and the ディレイ that would have suited
// the song. It stands at the left of the results, clear of every caption the course shows there
// afterwards (the course total and the ranking messages start further left than the results but
// not this far), and stays until the next screen resets the form.
#pragma once

#include "core/game.hpp"
#include "play/play_song.hpp"

namespace zb {

void ShowTimingPanel(Game& game, const SongResult& r);
// One line over the panel's ディレイ: the input offset the last plays ask for, and then what F5
// made of it.
void ShowOffsetAdvice(Game& game, const std::string& line);

}  // namespace zb
