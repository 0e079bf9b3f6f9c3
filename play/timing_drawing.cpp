#include "play/timing_drawing.hpp"

#include <algorithm>
#include <cmath>

#include "play/judgement.hpp"

namespace zb {

namespace {

constexpr Color kOuterBand = Color::Rgb(110, 40, 40);  // 不可
constexpr Color kGoodBand = Color::Rgb(50, 130, 70);   // 可
constexpr Color kBestBand = Color::Rgb(200, 160, 40);  // 良
constexpr Color kDueLine = colors::White;

// The x of an offset on a span of `width` pixels from -outer to +outer, kept on the span.
int XOf(double offsetMs, double outer, int x, int width) {
    const double at = (offsetMs / outer + 1.0) / 2.0 * (width - 1);
    return x + std::clamp(int(std::lround(at)), 0, width - 1);
}

void Band(Surface& s, int x, int y, int width, int height, double halfMs, double outer, Color c) {
    if (halfMs <= 0) return;
    const int from = XOf(-halfMs, outer, x, width), to = XOf(halfMs, outer, x, width);
    s.FillRect(from, y, to - from + 1, height, c);
}

// Mixes white into the pixel by `share` (0 to 1).
uint32_t Lighten(uint32_t px, double share) {
    const Color c{px};
    auto mix = [&](int v) { return int(v + (255 - v) * share); };
    return Color::Rgb(mix(c.R()), mix(c.G()), mix(c.B())).rgb;
}

}  // namespace

void DrawTimingBands(Surface& s, int x, int y, int width, int height, const WindowsMs& w) {
    if (w.outer <= 0) return;
    s.FillRect(x, y, width, height, kOuterBand);
    Band(s, x, y, width, height, w.good, w.outer, kGoodBand);
    Band(s, x, y, width, height, w.best, w.outer, kBestBand);
    s.FillRect(XOf(0, w.outer, x, width), y, 1, height, kDueLine);
}

void DrawHitErrorBar(Game& game, const PlayState& st) {
    Surface& lane = game.form.pFumen.Dc();
    const WindowsMs w = WindowsInMs(game, st);
    if (w.outer <= 0 || lane.Width() < kHitBarX + kHitBarWidth ||
        lane.Height() < kHitBarY + kHitBarHeight + 3)
        return;
    DrawTimingBands(lane, kHitBarX, kHitBarY, kHitBarWidth, kHitBarHeight, w);
    // The newest strikes, each a tick that stands out above and below the bar and fades.
    for (auto it = st.Strikes.rbegin(); it != st.Strikes.rend(); ++it) {
        const int age = st.Frames - it->frame;
        if (age >= kHitTickFrames) break;
        const double share = 1.0 - double(age) / kHitTickFrames;
        const int x = XOf(it->offsetMs, w.outer, kHitBarX, kHitBarWidth);
        for (int y = kHitBarY - 3; y < kHitBarY + kHitBarHeight + 3; ++y) {
            uint32_t* row = lane.Row(y);
            for (int dx = 0; dx < 2 && x + dx < kHitBarX + kHitBarWidth; ++dx)
                row[x + dx] = Lighten(row[x + dx], share);
        }
    }
}

void DrawStrikeHistogram(Surface& s, const std::vector<StrikeTiming>& strikes, const WindowsMs& w) {
    const int width = s.Width(), height = s.Height();
    s.Fill(colors::Black);
    if (w.outer <= 0 || width < kHistogramBins || height < 8) return;
    // The bands run along the foot; the bins stand on them.
    const int foot = 4;
    DrawTimingBands(s, 0, height - foot, width, foot, w);
    const auto bins = StrikeHistogram(strikes, w);
    const int tallest = *std::max_element(bins.begin(), bins.end());
    if (tallest == 0) return;
    const int room = height - foot - 1;
    for (int i = 0; i < kHistogramBins; ++i) {
        const int from = i * width / kHistogramBins, to = (i + 1) * width / kHistogramBins;
        const int h = (bins[size_t(i)] * room + tallest - 1) / tallest;
        // Each bin takes the colour of the band its middle lies in.
        const double mid = (double(from + to) / 2.0 / width * 2.0 - 1.0) * w.outer;
        const double a = std::abs(mid);
        const Color c = a <= w.best ? kBestBand : a <= w.good ? kGoodBand : kOuterBand;
        s.FillRect(from, height - foot - 1 - h, std::max(1, to - from - 1), h, c);
    }
}

}  // namespace zb
