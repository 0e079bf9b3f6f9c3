// The time plan of a piece: its bars, each with the exact time of every grid position, the
// chart digits that fall in it and the kind of section it belongs to. A song's plan follows its
// charts and the song table; the title and story music are planned from fixed phrase lengths.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace musicgen {

inline constexpr int kPpq = 3840;  // ticks per beat: divisible by 3, 4 and 6 grid positions

enum class Section { Intro, Calm, Main, Climax, Break, Bridge, Outro, Ending };

struct Bar {
    int64_t tick = 0;           // first tick
    int positions = 16;         // grid positions in the bar
    int beatPositions = 4;      // grid positions per beat
    std::vector<double> times;  // seconds of each position's onset, plus the bar's end
    std::string drums;          // the hardest chart's digits in this bar ("" outside the chart)
    std::string rhythm;         // the melody's rhythm: a lighter chart's digits, or made up
    Section section = Section::Main;
    int phraseBar = 0;   // index of the bar within its phrase
    int phrase = 0;      // phrase number within the piece
    int part = 0;        // part of a three-part song (style changes with it)
    double level = 1.0;  // loudness of the passage, 0..1

    int TicksPerPosition() const { return kPpq / beatPositions; }
    int64_t TickOf(int position) const { return tick + int64_t(position) * TicksPerPosition(); }
    int64_t EndTick() const { return TickOf(positions); }
    double Start() const { return times.front(); }
    double End() const { return times.back(); }
};

struct Plan {
    std::vector<Bar> bars;
    double endTime = 0;  // seconds: the music must sound at least until here
};

// The plan of song 0-9 from its charts and the song table.
Plan SongPlan(int song);

// Evenly timed bars: `count` bars of `positions` positions lasting `barSeconds` each, starting
// at `start` (used by the title and story music).
std::vector<Bar> EvenBars(double start, int count, int positions, int beatPositions,
                          double barSeconds);

// Gives each bar its tick from the bars before it.
void AssignTicks(std::vector<Bar>& bars);

}  // namespace musicgen
