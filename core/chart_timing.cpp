#include "core/chart_timing.hpp"

#include "core/chart_digits.hpp"
#include "core/songs.hpp"

namespace zb {

NoteTiming PositionTiming(int song, int difficulty, int part, int position, int16_t delay) {
    const ChartId chart{int16_t(song), int16_t(difficulty)};
    const double span = ChartSpanOf(song, part);
    const double length = ChartLengthOf(song, part);
    const double spacing = ChartConstantsOf(chart).NoteSpacing *
                           (IsSpeedUpPosition(song, difficulty, position) ? kSpeedUpFactor : 1);
    const double offset = ChartOffsetOf(chart, part);
    // The scroll position reaches spacing × W.
    const double perPixel = CentisecondsPerPixel(length, spacing, span);
    const double due = (spacing * position + delay - offset) * perPixel;
    // The windows grow with the spacing in the fast section, so their length in time stays.
    const double window = JudgeWindowsOf(chart, part).w3 *
                          CentisecondsPerPixel(length, ChartConstantsOf(chart).NoteSpacing, span);
    return {due, due - window, due + window};
}

double PositionMusicTime(int song, int difficulty, int part, int position) {
    return PartStartTime(song, part) + PositionTiming(song, difficulty, part, position, 0).due;
}

bool PositionPlayable(int song, int difficulty, int part, int position) {
    const NoteTiming t = PositionTiming(song, difficulty, part, position);
    return t.early >= PartLoadTime(song, part) + kPlayableMargin &&
           t.late + kPlayableMargin <= PartEndTimeOf(song, part);
}

std::vector<std::string> PlayabilityProblems(int song, int difficulty, int part,
                                             const std::string& chartText) {
    std::vector<std::string> problems;
    int notes = 0;
    double lastSlowLate = -1e9;
    bool firstFastSeen = false;
    for (size_t i = 0; i < chartText.size(); ++i) {
        const char c = chartText[i];
        if (!IsNoteDigit(c)) continue;
        ++notes;
        const int w = static_cast<int>(i) + 1;
        if (!PositionPlayable(song, difficulty, part, w))
            problems.push_back("note " + std::to_string(notes) + " at position " +
                               std::to_string(w) + " cannot be judged before its part " +
                               (PositionTiming(song, difficulty, part, w).early <
                                        PartLoadTime(song, part) + kPlayableMargin
                                    ? "is loaded"
                                    : "ends"));
        if (SpeedsUp(song, difficulty)) {
            const NoteTiming t = PositionTiming(song, difficulty, part, w);
            if (w <= kSpeedUpLastPosition) {
                lastSlowLate = t.late;
            } else if (!firstFastSeen) {
                firstFastSeen = true;
                if (t.early < lastSlowLate + kPlayableMargin)
                    problems.push_back("the first fast note at position " + std::to_string(w) +
                                       " falls due before the last slow note is judged");
            }
        }
    }
    return problems;
}

}  // namespace zb
