// The timing of the player's strikes: each judged strike's offset from its note's due time, and
// what the results, the hit-error bar and zubakko-play show of them: the mean and the spread, the
// early and late counts, a histogram over the judgement windows, and the ディレイ that would
// cancel the mean.
#pragma once

#include <array>
#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace zb {

struct StrikeTiming {
    double offsetMs = 0;     // from the note's due time: + late, - early
    double delayStepMs = 0;  // how far one step of the ディレイ setting moved the notes then
    int32_t frame = 0;       // the frame that judged it
    char judgement = '0';    // '4' big 良, '3' 良, '2' 可, '1' 不可
    std::string device;      // the device that struck (core/devices_file.hpp), when known
    int32_t lane = 0;        // the lane position it was judged at: a watch draws it there
};

// The half widths of the judgement windows in ms: 良, 可 (0 when 可 counts as 不可), and the
// outermost, inside which a strike is judged at all.
struct WindowsMs {
    double best = 0, good = 0, outer = 0;
};

struct TimingFigures {
    int count = 0;
    double meanMs = 0;
    double spreadMs = 0;  // the standard deviation over the strikes
    int early = 0, late = 0;
    double meanSteps = 0;  // the mean in steps of the ディレイ setting
};

TimingFigures SummarizeStrikes(const std::vector<StrikeTiming>& strikes);
// The figures of each device's strikes, by device (strikes of no known device are left out).
std::map<std::string, TimingFigures> SummarizeByDevice(const std::vector<StrikeTiming>& strikes);

// The ディレイ that would have put the mean on the notes: the current one moved by the mean in
// steps (a late player needs a larger one), within the setting's 0 to 640.
int16_t SuggestedDelay(int16_t current, const TimingFigures& f);

// "平均 +12 ms（遅め）", "平均 -8 ms（早め）", "平均 ±0 ms（ぴったり）".
std::string MeanOffsetText(double meanMs);
// "ばらつき 9 ms".
std::string SpreadText(const TimingFigures& f);
// "早め 12　遅め 30".
std::string EarlyLateText(const TimingFigures& f);
// The one line that tells what the ディレイ is.
inline constexpr const char* kDelayIsDistance =
    "ディレイはレーン上の距離：時間にすると曲のレーン速度で変わります";

// Strikes counted into `bins` equal bins across the outermost window (from -outer to +outer);
// offsets beyond it go to the end bins.
inline constexpr int kHistogramBins = 15;
std::array<int, kHistogramBins> StrikeHistogram(const std::vector<StrikeTiming>& strikes,
                                                const WindowsMs& w);

}  // namespace zb
