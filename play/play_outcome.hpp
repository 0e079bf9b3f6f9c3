// What a play leaves behind, decided in one place. A finished hand play keeps its song high score
// (score.dat, or ownscore.dat for an own song) when the norma was cleared, its replay, its line in
// the play history (play/play_history), an own
// song's last play and, in a course, its part of the course (the total). A play that was left,
// retried, watched (a replay played back) or played automatically keeps nothing.
#pragma once

#include <functional>

#include "core/game.hpp"
#include "core/play_request.hpp"
#include "play/play_song.hpp"

namespace zb {

struct Replay;

// How a play ended.
enum class PlayEnd {
    Finished,  // its results were shown for their wait
    Left,      // やめる on the pause menu, or the song could not be loaded
    Retried,   // やりなおす: the same request starts again
};

struct PlayOutcome {
    PlayEnd end = PlayEnd::Finished;
    PlayRequest request;
    bool watched = false;                // a replay played back
    const SongResult* result = nullptr;  // a finished play's
    const Replay* replay = nullptr;      // a hand play's record, when it keeps one
};

// What a course does with a play that counts: it takes the play's score for its total.
using CourseKeeper = std::function<void(Game&, const PlayOutcome&)>;

// Whether a play counts: finished, by hand, not watched.
bool PlayCounts(const PlayOutcome& outcome);

// Writes what the play leaves behind, once (see above); `course` is told of a play that counts.
void KeepPlayOutcome(Game& game, const PlayOutcome& outcome, const CourseKeeper& course = nullptr);

}  // namespace zb
