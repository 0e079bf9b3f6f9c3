// Drawing of the play field: the lane with bar lines and notes (hit notes fly off), the
// judgement frame with its pulse, the judgement word, the drummer's idle face and the scrolling
// day/night background with its running characters.
#pragma once

#include "core/game.hpp"
#include "play/play_state.hpp"

namespace zb {

// Clears the lane back buffer and draws the bar lines and notes in view.
void DrawLane(Game& game, const PlayState& st);
// Ages the judgement on display, draws the frame (pulsing after a judgement when the effect is
// on) and the judgement word, and copies the lane to the visible picture.
void DrawJudgement(Game& game, PlayState& st);
// Every fourth frame the drummer's face is restored while any key is up.
void DrawIdleFace(Game& game, const PlayState& st);
// Restores the face unconditionally (the start of a song).
void ShowIdleFace(MainForm& form);
// Every tenth frame: day or night background by the local hour, and the running characters.
void DrawBackground(Game& game, PlayState& st);

}  // namespace zb
