// A song's bars, for practice: counted from 1 over the whole music file from its tempo and
// time-signature changes (the parts of songs 5 and 6 are one file, so their bars run across the
// parts), each bar's start in seconds of the song's own timeline, and the beats the metronome
// clicks on; and a section of bars A to B with the one bar before A played as its lead-in.
#pragma once

#include <string>
#include <vector>

#include "core/midi_file.hpp"
#include "platform/ports.hpp"

namespace zb {

struct SongBars {
    std::vector<double> starts;  // starts[i]: bar i + 1, seconds
    double end = 0;              // the end of the last bar
    // Every beat of every bar (the metre's own unit: eighths in 6/8), a bar's first accented.
    std::vector<ClickBeat> beats;
    int Count() const { return int(starts.size()); }
    // Where bar `bar` (1-based) starts; Count() + 1 gives the end.
    double Start(int bar) const;
    // The bar that holds a moment of the song (1 before the first bar, Count() past the end).
    int BarAt(double seconds) const;
};

SongBars BarsOf(const MidiSong& song);
// Reads the MIDI file; false with the reason (the file's name and what is wrong) in `why`.
bool ReadSongBars(const std::string& path, SongBars& out, std::string& why);

struct Section {
    int fromBar = 1, toBar = 1;
    double leadIn = 0;  // where each pass starts: the bar before A (A itself when A is bar 1)
    double start = 0;   // the start of bar A: notes from here on are judged
    double end = 0;     // the end of bar B: the pass loops here
};
// Bars A to B, each kept within the song and B no earlier than A.
Section SectionOf(const SongBars& bars, int fromBar, int toBar);
// The whole song once from its start, with no lead-in.
Section WholeSong(const SongBars& bars);

}  // namespace zb
