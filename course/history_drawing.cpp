#include "course/history_drawing.hpp"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "platform/compose.hpp"

namespace zb {

namespace {

constexpr Color kBack = Color::Rgb(8, 12, 32), kAxis = Color::Rgb(150, 150, 170),
                kGrid = Color::Rgb(36, 40, 70), kText = Color::Rgb(230, 230, 240),
                kScore = Color::Rgb(255, 220, 60), kRate = Color::Rgb(90, 220, 255),
                kBest = Color::Rgb(255, 90, 90), kOffset = Color::Rgb(140, 255, 140),
                kBand = Color::Rgb(40, 90, 50), kBar = Color::Rgb(255, 170, 60);
// The plots' frames, in pixels of the 667 x 500 box.
constexpr int kLeft = 70, kRight = 600;
constexpr int kUpperTop = 52, kUpperBottom = 222, kLowerTop = 282, kLowerBottom = 420;
constexpr int kBarsTop = 52, kBarsBottom = 262;
constexpr const char* kKeys = "← → 曲　↑ ↓ むずかしさ　Tab この曲／全曲　Esc もどる";

void Print(PictureBox& b, int x, int y, int w, const std::string& text, double points, Color c,
           Align align = Align::Left) {
    b.Printed.push_back({x, y, w, PointsToPixels(points) + 6, text, points, c, align});
}

// Text right-aligned at x: the form's text aligns left or centred, so the width is measured as
// the renderer's estimate does (a full-width character one em, an ASCII one half).
void PrintRight(PictureBox& b, int x, int y, const std::string& text, double points, Color c) {
    int halves = 0;
    for (size_t i = 0; i < text.size(); ++i)
        if ((text[i] & 0xC0) != 0x80) halves += (text[i] & 0x80) ? 2 : 1;
    const int w = halves * PointsToPixels(points) * 5 / 8 + 4;  // the real font runs wider
    Print(b, x - w, y, w + 2, text, points, c);
}

void Line(Surface& s, int x0, int y0, int x1, int y1, Color c) {
    const int dx = std::abs(x1 - x0), dy = -std::abs(y1 - y0);
    const int sx = x0 < x1 ? 1 : -1, sy = y0 < y1 ? 1 : -1;
    for (int err = dx + dy;;) {
        if (x0 >= 0 && y0 >= 0 && x0 < s.Width() && y0 < s.Height()) s.SetPixel(x0, y0, c.rgb);
        if (x0 == x1 && y0 == y1) return;
        const int e2 = 2 * err;
        if (e2 >= dy) err += dy, x0 += sx;
        if (e2 <= dx) err += dx, y0 += sy;
    }
}

void Dot(Surface& s, int x, int y, int r, Color c) {
    s.FillRect(x - r, y - r, 2 * r + 1, 2 * r + 1, c);
}

void Ring(Surface& s, int x, int y, int r, Color c) {
    Line(s, x - r, y - r, x + r, y - r, c), Line(s, x + r, y - r, x + r, y + r, c);
    Line(s, x + r, y + r, x - r, y + r, c), Line(s, x - r, y + r, x - r, y - r, c);
}

// A round top for an axis, at least `v`: a step of a power of ten whose half is round too.
double RoundUp(double v) {
    if (v <= 0) return 1;
    const double p = std::pow(10, std::floor(std::log10(v)));
    for (const double m : {1.0, 1.2, 1.6, 2.0, 3.0, 4.0, 5.0, 6.0, 8.0, 10.0})
        if (m * p >= v) return m * p;
    return 10 * p;
}

std::string Number(double v, const char* format = "%.0f") {
    char b[32];
    std::snprintf(b, sizeof b, format, v);
    return b;
}

std::string MonthDay(CalendarDate d) {
    char b[16];
    std::snprintf(b, sizeof b, "%d/%d", d.month, d.day);
    return b;
}

void Frame(Surface& s, int top, int bottom) {
    for (int i = 1; i < 4; ++i) {
        const int y = top + (bottom - top) * i / 4;
        Line(s, kLeft + 1, y, kRight - 1, y, kGrid);
    }
    Line(s, kLeft, top, kLeft, bottom, kAxis), Line(s, kRight, top, kRight, bottom, kAxis);
    Line(s, kLeft, bottom, kRight, bottom, kAxis);
}

void Begin(PictureBox& box, const std::string& heading) {
    box.BackColor = kBack;
    box.Cls();
    Print(box, 16, 10, 640, heading, 13, kText);
    Print(box, 16, 476, 640, kKeys, 9, kAxis);
}

}  // namespace

void LayHistoryBox(PictureBox& box) {
    box.Left = 0, box.Top = 0;
    box.SetSizePx(kFormWidthPx, kFormHeightPx);
    box.Visible = true;
}

HistoryDrawing DrawChartHistory(PictureBox& box, const std::string& heading,
                                const ChartHistory& h) {
    HistoryDrawing d;
    Begin(box, heading);
    Surface& s = box.Dc();
    const size_t n = h.plays.size();
    // Across: the play's date, or its number when the dates do not tell the plays apart.
    const bool byDate = SpreadOverDays(h.plays);
    std::vector<double> at(n);
    for (size_t i = 0; i < n; ++i) at[i] = byDate ? *PlayDay(h.plays[i].when) : double(i);
    const double from = at.front(), span = at.back() - at.front();
    const auto X = [&](size_t i) {
        return span > 0
                   ? kLeft + 12 + int(std::lround((at[i] - from) / span * (kRight - kLeft - 24)))
                   : (kLeft + kRight) / 2;
    };
    const auto XLabels = [&](int y) {
        const auto label = [&](size_t i) {
            return byDate ? h.plays[i].when.substr(5, 5) : std::to_string(i + 1);
        };
        Print(box, X(0) - 30, y, 60, label(0), 9, kAxis, Align::Center);
        if (n > 1) Print(box, X(n - 1) - 30, y, 60, label(n - 1), 9, kAxis, Align::Center);
        Print(box, (kLeft + kRight) / 2 - 60, y, 120, byDate ? "日付" : "プレイ", 9, kAxis,
              Align::Center);
    };

    // Score (left axis) and 良 rate (right axis, 0-100 %).
    Frame(s, kUpperTop, kUpperBottom);
    const double top = RoundUp(std::max(h.BestScore(), 1));
    const auto Y = [](double v, double max, int t, int b) {
        return b - int(std::lround(std::clamp(v / max, 0.0, 1.0) * (b - t)));
    };
    PrintRight(box, kLeft - 4, kUpperTop - 6, Number(top), 9, kScore);
    PrintRight(box, kLeft - 4, (kUpperTop + kUpperBottom) / 2 - 6, Number(top / 2), 9, kScore);
    PrintRight(box, kLeft - 4, kUpperBottom - 8, "0", 9, kScore);
    Print(box, kLeft, kUpperTop - 22, 200, "スコア", 10, kScore);
    Print(box, kRight + 4, kUpperTop - 6, 60, "100%", 9, kRate);
    Print(box, kRight + 4, (kUpperTop + kUpperBottom) / 2 - 6, 60, "50%", 9, kRate);
    Print(box, kRight + 4, kUpperBottom - 8, 60, "0%", 9, kRate);
    PrintRight(box, kRight, kUpperTop - 22, "良の割合", 10, kRate);
    for (size_t i = 0; i < n; ++i) {
        const PlayPoint& p = h.plays[i];
        d.scores.push_back({X(i), Y(p.score, top, kUpperTop, kUpperBottom), double(p.score)});
        d.rates.push_back({X(i), Y(p.bestRate, 100, kUpperTop, kUpperBottom), p.bestRate});
    }
    for (const auto* series : {&d.rates, &d.scores}) {
        const Color c = series == &d.scores ? kScore : kRate;
        for (size_t i = 1; i < n; ++i)
            Line(s, (*series)[i - 1].x, (*series)[i - 1].y, (*series)[i].x, (*series)[i].y, c);
        for (const PlotMark& m : *series) Dot(s, m.x, m.y, 2, c);
    }
    d.highScore = d.scores[h.bestPlay];
    Ring(s, d.highScore->x, d.highScore->y, 5, kBest);
    Print(box, std::clamp(d.highScore->x - 40, kLeft, kRight - 80), d.highScore->y - 22, 80, "最高",
          9, kBest, Align::Center);
    XLabels(kUpperBottom + 4);

    // The mean offset, + late, with its spread as a band around it.
    Frame(s, kLowerTop, kLowerBottom);
    double reach = 20;
    for (const PlayPoint& p : h.plays)
        if (p.meanMs) reach = std::max(reach, std::abs(*p.meanMs) + *p.spreadMs);
    reach = RoundUp(reach);
    const auto YMs = [&](double ms) { return Y(ms + reach, 2 * reach, kLowerTop, kLowerBottom); };
    Line(s, kLeft + 1, YMs(0), kRight - 1, YMs(0), kAxis);
    PrintRight(box, kLeft - 4, kLowerTop - 6, "+" + Number(reach) + " 遅", 9, kOffset);
    PrintRight(box, kLeft - 4, YMs(0) - 7, "0 ms", 9, kOffset);
    PrintRight(box, kLeft - 4, kLowerBottom - 8, "-" + Number(reach) + " 早", 9, kOffset);
    Print(box, kLeft, kLowerTop - 22, 400, "ずれの平均（帯はばらつき）", 10, kOffset);
    std::vector<size_t> timed;
    for (size_t i = 0; i < n; ++i)
        if (h.plays[i].meanMs) {
            const PlayPoint& p = h.plays[i];
            timed.push_back(i);
            d.offsets.push_back({X(i), YMs(*p.meanMs), *p.meanMs});
            d.bands.push_back({YMs(*p.meanMs + *p.spreadMs), YMs(*p.meanMs - *p.spreadMs)});
        }
    // The band: each column between two plays spans the spreads' rows, drawn between them.
    for (size_t k = 0; k < d.bands.size(); ++k) {
        const int x0 = d.offsets[k].x;
        const int x1 = k + 1 < d.bands.size() ? d.offsets[k + 1].x : x0;
        for (int x = std::max(x0 - 3, kLeft + 1);
             x <= std::min(x1 + (x1 == x0 ? 3 : 0), kRight - 1); ++x) {
            const double f = x1 > x0 ? std::clamp(double(x - x0) / (x1 - x0), 0.0, 1.0) : 0;
            const auto [t1, b1] = k + 1 < d.bands.size() ? d.bands[k + 1] : d.bands[k];
            const int t = int(std::lround(d.bands[k].first + f * (t1 - d.bands[k].first)));
            const int b = int(std::lround(d.bands[k].second + f * (b1 - d.bands[k].second)));
            s.FillRect(x, t, 1, b - t + 1, kBand);
        }
    }
    Line(s, kLeft + 1, YMs(0), kRight - 1, YMs(0), kAxis);
    for (size_t k = 1; k < d.offsets.size(); ++k)
        Line(s, d.offsets[k - 1].x, d.offsets[k - 1].y, d.offsets[k].x, d.offsets[k].y, kOffset);
    for (const PlotMark& m : d.offsets) Dot(s, m.x, m.y, 2, kOffset);
    if (d.offsets.empty())
        Print(box, kLeft, (kLowerTop + kLowerBottom) / 2 - 8, kRight - kLeft, "判定された打撃なし",
              9, kAxis, Align::Center);
    XLabels(kLowerBottom + 4);

    Print(box, 16, 446, 640,
          "プレイ " + std::to_string(n) + "回　最高 " + std::to_string(h.BestScore()) +
              "点　良の割合 最新 " + Number(h.lastRate, "%.1f") + "%　平均 " +
              Number(h.meanRate, "%.1f") + "%",
          10, kText);
    return d;
}

HistoryDrawing DrawAllSongs(PictureBox& box, const std::vector<DayMinutes>& days,
                            const std::vector<std::pair<std::string, SongPlays>>& most) {
    HistoryDrawing d;
    Begin(box, "記録　全曲");
    Surface& s = box.Dc();
    Frame(s, kBarsTop, kBarsBottom);
    double longest = 0;
    for (const DayMinutes& m : days) longest = std::max(longest, m.minutes);
    const double top = RoundUp(std::max(longest, 5.0));
    Print(box, kLeft, kBarsTop - 22, 400,
          "1日にプレイした分（この" + std::to_string(days.size()) + "日）", 10, kBar);
    PrintRight(box, kLeft - 4, kBarsTop - 6, Number(top) + " 分", 9, kBar);
    PrintRight(box, kLeft - 4, (kBarsTop + kBarsBottom) / 2 - 6, Number(top / 2), 9, kBar);
    PrintRight(box, kLeft - 4, kBarsBottom - 8, "0", 9, kBar);
    const int n = int(days.size()), pitch = n > 0 ? (kRight - kLeft) / n : 1;
    for (int i = 0; i < n; ++i) {
        const int x = kLeft + 2 + i * pitch,
                  h = int(std::lround(days[size_t(i)].minutes / top * (kBarsBottom - kBarsTop)));
        if (h > 0) s.FillRect(x, kBarsBottom - h, pitch - 3, h, kBar);
        d.days.push_back({x + (pitch - 3) / 2, kBarsBottom - h, days[size_t(i)].minutes});
        if (i % 7 == n % 7 || i == n - 1)
            Print(box, x + pitch / 2 - 25, kBarsBottom + 4, 50,
                  i == n - 1 ? "今日" : MonthDay(days[size_t(i)].day), 9, kAxis, Align::Center);
    }

    Print(box, kLeft, 300, 400, "よくプレイした曲", 10, kScore);
    const int plays = most.empty() ? 1 : most.front().second.plays;
    for (size_t i = 0; i < most.size(); ++i) {
        const auto& [name, p] = most[i];
        const int y = 326 + int(i) * 26;
        const std::string line = std::to_string(i + 1) + ". " + name;
        Print(box, kLeft, y, 330, line, 10, kText);
        s.FillRect(410, y + 3, std::max(2, 120 * p.plays / plays), 12, kScore);
        Print(box, 536, y, 120, std::to_string(p.plays) + "回 " + Number(p.minutes) + "分", 10,
              kText);
        d.mostPlayed.push_back(line + "　" + std::to_string(p.plays) + "回");
    }
    return d;
}

HistoryDrawing DrawNoHistory(PictureBox& box, const std::string& heading, const std::string& line) {
    HistoryDrawing d;
    Begin(box, heading);
    Print(box, 16, 230, 635, line, 12, kText, Align::Center);
    d.message = line;
    return d;
}

}  // namespace zb
