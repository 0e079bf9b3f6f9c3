// The set-up of one play and one frame of the play loop up to its yield: clock and windows,
// the lane, the judgement display, keys or auto play, judgement, status, drummer.
#pragma once

#include "core/game.hpp"
#include "play/play_state.hpp"

namespace zb {

// Volume, windows, frame x, note flags, lane y and the score base for the loaded chart.
void SetUpPlay(Game& game, PlayState& st);

// Reads the music's position in whole centiseconds (from the replay while one plays; into the
// recording while one is made).
int32_t ReadMusic(Game& game, PlayState& st);

// One frame, from reading the music's position to the drummer's idle face.
void PlayFrame(Game& game, PlayState& st);

}  // namespace zb
