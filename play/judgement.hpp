// Turning the four keys into hits: key polling, the judgement of the current note in both
// big-note modes, the sweep of passed notes, and auto play.
#pragma once

#include <cstdint>

#include "core/game.hpp"
#include "play/play_state.hpp"

namespace zb {

// The kind (1 don, 2 kan, 3 big don, 4 big kan) of note i; 0 past the last note.
int NoteKindOf(const Chart& chart, int16_t note);
// The lane position of note i; 0 in the spare entries past the last note.
int32_t NotePosOf(const Chart& chart, int16_t note);

// The lane position at the left edge of the lane for a play time in centiseconds.
int32_t ScrollPosAt(const Chart& chart, int32_t playTime);
// The play time of the current song part for a position of the music in seconds.
int32_t PlayTimeOf(const Chart& chart, int16_t song, double musicSeconds);

// The length in ms of one lane pixel at the loaded chart's scroll speed.
double MsPerLanePixel(const Chart& chart);
// The music's position (seconds since the start of its file) at which a note at lane position
// notePos stands on the judgement frame: the note's due time, as the play loop scrolls.
double DueMusicSeconds(const Game& game, const PlayState& st, int32_t notePos);
// How far in ms one step of the ディレイ setting moves the notes of the loaded chart.
double DelayStepMs(const Game& game);
// The judgement windows in force, in ms.
WindowsMs WindowsInMs(const Game& game, const PlayState& st);

// The song's strikes count from now: presses waiting from before it are not its own.
void StrikesFromNow(Game& game, PlayState& st);

// Polls the keys: registers every press (each time a play key went down) in the first frame after
// it, with the scroll position where its key went down, shows its pose, and ends the presses of
// keys that are up.
void PollKeys(Game& game, PlayState& st);

// Judges at most one note, then sweeps the notes that have passed.
void JudgeNotes(Game& game, PlayState& st);

// Auto play: plays the current note when it reaches the frame, then counts notes that have
// already scrolled past without a sound.
void AutoPlayStep(Game& game, PlayState& st);

}  // namespace zb
