// The replays/ folder beside the scores: every song played by hand leaves its replay there,
// written crash-safely; the newest 200 are kept, and beside them each chart's best (a ghost).
#pragma once

#include <set>
#include <string>

#include "core/game.hpp"
#include "play/replay.hpp"

namespace zb {

inline constexpr int kKeptReplays = 200;

// The folder, with a trailing separator.
std::string ReplayFolder(const Game& game);

// Writes the replay as the folder's newest, named by number ("000123_s4_d2.zbr"), and removes the
// oldest beyond the kept number but those named in `spared`. A failure is written to standard error
// and the play goes on; returns the file written, or the empty string.
std::string KeepReplay(const Game& game, const Replay& replay,
                       const std::set<std::string>& spared = {});

// Writes the play of `replay` (of `song`, a built-in or own song's number) as a MIDI file beside
// the replays, named as its replay will be, never over a file (play/midi_export.hpp). Returns
// the line the results show: the file written, or why none was.
std::string SavePlayMidi(const Game& game, const Replay& replay, int song);

}  // namespace zb
