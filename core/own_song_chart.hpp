// Charts from a MIDI file's rhythm. The drum part gives the notes (bass drums and low hand drums
// 鈍; snares, toms, claps, rims and high hand drums 感; small percussion 感 fillers; accents big),
// or, in a file without one, its lowest part gives 鈍 and its
// busiest upper part 感. Three charts thin that one rhythm to the spacing and density of the
// built-in charts of each course, and each gets its stars from its density on their scale.
//
// An own song's chart is timed in hundredths of a second: position W of the chart text falls due
// W centiseconds into the music (ChartSpan equals the text's length), so a note lies within 5 ms
// of the MIDI event it comes from through any tempo change, triplet or swing: the first of the
// drums that make it, never a filler sounding a few ms ahead of them.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "core/midi_file.hpp"
#include "core/songs.hpp"

namespace zb {

inline constexpr int kOwnDifficulties = 3;

// A note as the player meets it: its due time in ms from the start of the music and its kind,
// 1 don, 2 kan, 3 big don, 4 big kan.
struct DueNote {
    int32_t ms = 0;
    int kind = 0;
};

struct OwnChart {
    std::string text;  // one digit per centisecond
    int16_t level = 0;
    int16_t notes = 0;
    double maxErrorMs = 0;  // the largest distance of a note from its MIDI event
    std::vector<DueNote> due;
    std::vector<float> errorsMs;  // of each due note from its MIDI event (generated charts)
};

struct OwnSongCharts {
    bool playable = false;
    std::string reason;       // why not, in Japanese
    int32_t partEndTime = 0;  // centiseconds: the whole file, and a moment to let it ring out
    int16_t spacing = 4;      // lane pixels per centisecond: the scroll speed
    std::array<OwnChart, kOwnDifficulties> charts;
};

// Notes sooner than this after the music starts cannot be read in time and are left out.
inline constexpr double kOwnLeadInMs = 1500;
// Longer files are refused: the play loop's counts would not hold their charts.
inline constexpr double kOwnMaxMs = 20 * 60 * 1000.0;

OwnSongCharts BuildOwnCharts(const MidiSong& midi);
// Raised whenever BuildOwnCharts would chart a file differently: the library's cache keeps
// charts only of the version that built them.
inline constexpr int kOwnChartVersion = 3;

// The stars of a chart of a course's difficulty (0-2) from its notes per second, on the scale
// of the built-in charts; within the stars the course's screen has room for.
int16_t StarLevel(int difficulty, double notesPerSecond);
// Notes per second between the first and the last note of a chart text timed as an own song's.
double NotesPerSecond(const std::string& text);

// The chart constants of an own chart: gauge, combo step, judgement windows and spacing, scaled
// like the built-in charts' to its note count and scroll speed.
ChartConstants OwnChartConstants(int difficulty, int16_t level, int16_t notes, int16_t spacing);

// The due notes of a chart text timed as an own song's (what `zubakko-chart import` prints).
std::vector<DueNote> DueNotesOf(const std::string& text);

}  // namespace zb
