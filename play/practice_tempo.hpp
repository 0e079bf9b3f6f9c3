// Practice's tempo: 50 % to 150 % of the song's own in 5 % steps, and the ramp that raises it a
// step after a pass without a miss and lowers it a step after a pass with one.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace zb {

inline constexpr double kPracticeSlowest = 0.5, kPracticeFastest = 1.5, kPracticeStep = 0.05;

// One pass over a section (or the whole song) and how it went.
struct PracticePass {
    double rate = 1.0;
    int fromBar = 0, toBar = 0;  // its section (0: the whole song)
    int16_t best = 0, good = 0, miss = 0;
    // The mean offset of its strikes in the player's milliseconds; none without a strike.
    std::optional<double> meanOffsetMs;
    // Under 待つ: the notes the song waited for, and how long it stood in all (player's ms).
    int16_t waited = 0;
    double waitedMs = 0;
    // Each note of the section judged, in order: '.' struck in time, 'w' after a wait.
    std::string marks;
};

// The nearest step within the range.
double SnapRate(double rate);
// `steps` steps faster (negative: slower), kept within the range.
double StepRate(double rate, int steps);
// The next pass's tempo under the ramp: a step up after a pass without a miss, up to `ceiling`
// (a tempo already above it stays); a step down after one with a miss.
double RampedRate(double rate, const PracticePass& pass, double ceiling);
// Whether `a` is a better pass than `b`: fewer misses, then more 良, then faster.
bool BetterPass(const PracticePass& a, const PracticePass& b);

}  // namespace zb
