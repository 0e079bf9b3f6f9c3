// When the notes of a chart fall due, computed as the play loop scrolls (frame at position 0), and
// whether a perfect player can strike each of them before its part ends. The chart tools and the
// tests use it; the music of a song is written to these times.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace zb {

// Centiseconds since the start of the part.
struct NoteTiming {
    double due;    // the note stands on the judgement frame
    double early;  // it enters its outermost window
    double late;   // it leaves its outermost window
};

// The scroll formula: `playTime` centiseconds into a part, the lane has scrolled
// playTime × length × spacing / span pixels, for a chart of `length` positions `spacing` pixels
// apart that spans `span` centiseconds. The play loop's scroll position is that, rounded, less
// the delay, plus the chart's offset.
inline double ScrolledPixels(double playTime, double length, double spacing, double span) {
    return playTime / 100.0 * (length * spacing) / (span / 100.0);
}
// The same formula the other way: the centiseconds one pixel of scrolling takes.
inline double CentisecondsPerPixel(double length, double spacing, double span) {
    return span / (length * spacing);
}

inline constexpr int16_t kDefaultDelay = 9;
// Room kept between a note's window and the moments its part is loaded or ends: a couple of
// frames plus the scroll position's rounding.
inline constexpr double kPlayableMargin = 4.0;

// Timing of chart position W (1-based) of a song part at a difficulty.
NoteTiming PositionTiming(int song, int difficulty, int part, int position,
                          int16_t delay = kDefaultDelay);

// Centiseconds into the song's music at which position W sounds: its due time without any delay,
// shifted by the part's start.
double PositionMusicTime(int song, int difficulty, int part, int position);

// Whether a note at position W can be judged in full: its window opens after the play loop has
// loaded the part and closes before the part ends.
bool PositionPlayable(int song, int difficulty, int part, int position);

// Every reason a chart text of that song part is not fully playable (empty when it is): notes at
// unplayable positions, and for song 4 at difficulty 2 a first fast note that falls due before
// the last slow one has left its window.
std::vector<std::string> PlayabilityProblems(int song, int difficulty, int part,
                                             const std::string& chartText);

}  // namespace zb
