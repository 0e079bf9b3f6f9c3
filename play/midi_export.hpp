// A play as a Standard MIDI File, for a DAW: the song's own music file, every event at its own
// time, with one more track on channel 10 holding the player's strokes at their stamps and
// velocities. A format-0 file becomes format 1; the resolution is multiplied by the least whole
// factor that makes a tick shorter than a millisecond, so every stroke lies within 1 ms of its
// stamp and the song's own events keep their times exactly.
#pragma once

#include <string>
#include <string_view>

#include "play/replay.hpp"

namespace zb {

struct PlayMidi {
    std::string bytes;
    int strokes = 0;
    // A replay recorded before presses kept their device, note and velocity: only the keys' and
    // pads' strikes are there, as the General MIDI note of their strike.
    bool strikesOnly = false;
};

// The General MIDI note a key's or pad's strike is written as (bass drum, hi-hat pedal, snare,
// closed hi-hat), at this velocity.
inline constexpr int kStrikeNotes[4] = {36, 44, 38, 42};
inline constexpr int kStrikeVelocity = 100;

// Throws std::runtime_error saying why the music file cannot be carried over.
PlayMidi ExportPlayMidi(std::string_view music, const Replay& replay);

// The replay's file with ".mid" for ".zbr", or with "-2", "-3", … before it when that is taken.
std::string MidiPathBeside(const std::string& replayPath);

// Writes a new file, never over one: false (with the reason in `why`) when `path` exists or the
// write fails. Crash-safe as a save: a half-written file never has the name.
bool WriteNewFile(const std::string& path, const std::string& bytes, std::string& why);

}  // namespace zb
