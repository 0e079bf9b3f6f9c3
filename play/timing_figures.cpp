#include "play/timing_figures.hpp"

#include <algorithm>
#include <cmath>

namespace zb {

namespace {
constexpr int16_t kDelayMin = 0, kDelayMax = 640;
}

TimingFigures SummarizeStrikes(const std::vector<StrikeTiming>& strikes) {
    TimingFigures f;
    if (strikes.empty()) return f;
    double sum = 0, steps = 0;
    for (const StrikeTiming& s : strikes) {
        sum += s.offsetMs;
        if (s.delayStepMs > 0) steps += s.offsetMs / s.delayStepMs;
        if (s.offsetMs < 0) ++f.early;
        if (s.offsetMs > 0) ++f.late;
    }
    f.count = int(strikes.size());
    f.meanMs = sum / f.count;
    f.meanSteps = steps / f.count;
    double square = 0;
    for (const StrikeTiming& s : strikes)
        square += (s.offsetMs - f.meanMs) * (s.offsetMs - f.meanMs);
    f.spreadMs = std::sqrt(square / f.count);
    return f;
}

std::map<std::string, TimingFigures> SummarizeByDevice(const std::vector<StrikeTiming>& strikes) {
    std::map<std::string, std::vector<StrikeTiming>> byDevice;
    for (const StrikeTiming& s : strikes)
        if (!s.device.empty()) byDevice[s.device].push_back(s);
    std::map<std::string, TimingFigures> figures;
    for (const auto& [device, its] : byDevice) figures[device] = SummarizeStrikes(its);
    return figures;
}

int16_t SuggestedDelay(int16_t current, const TimingFigures& f) {
    const double d = std::round(double(current) + f.meanSteps);
    return int16_t(std::clamp(d, double(kDelayMin), double(kDelayMax)));
}

std::string MeanOffsetText(double meanMs) {
    const long ms = std::lround(meanMs);
    if (ms == 0) return "平均 ±0 ms（ぴったり）";
    return "平均 " + std::string(ms > 0 ? "+" : "-") + std::to_string(std::labs(ms)) + " ms" +
           (ms > 0 ? "（遅め）" : "（早め）");
}

std::string SpreadText(const TimingFigures& f) {
    return "ばらつき " + std::to_string(std::lround(f.spreadMs)) + " ms";
}

std::string EarlyLateText(const TimingFigures& f) {
    return "早め " + std::to_string(f.early) + "　遅め " + std::to_string(f.late);
}

std::array<int, kHistogramBins> StrikeHistogram(const std::vector<StrikeTiming>& strikes,
                                                const WindowsMs& w) {
    std::array<int, kHistogramBins> bins{};
    if (w.outer <= 0) return bins;
    for (const StrikeTiming& s : strikes) {
        const double at = (s.offsetMs + w.outer) / (2 * w.outer) * kHistogramBins;
        const int i = std::clamp(int(std::floor(at)), 0, kHistogramBins - 1);
        ++bins[size_t(i)];
    }
    return bins;
}

}  // namespace zb
