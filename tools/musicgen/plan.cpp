#include "plan.hpp"

#include <algorithm>
#include <cmath>
#include <stdexcept>

#include "core/chart_data.hpp"
#include "core/songs.hpp"

namespace musicgen {

namespace {

// Free bars (an intro, a bridge between parts, the outro) fill [start, end) with `positions`
// positions per bar at about `posSeconds` each; a short bar stands first (a pickup) or last.
std::vector<Bar> FreeBars(double start, double end, double posSeconds, int barPositions,
                          int beatPositions, bool shortBarFirst, Section section) {
    std::vector<Bar> bars;
    const int total = std::max(1, int(std::lround((end - start) / posSeconds)));
    std::vector<int> sizes(size_t(total / barPositions), barPositions);
    if (total % barPositions) {
        if (shortBarFirst)
            sizes.insert(sizes.begin(), total % barPositions);
        else
            sizes.push_back(total % barPositions);
    }
    const double step = (end - start) / total;
    int done = 0;
    for (int size : sizes) {
        Bar b;
        b.positions = size;
        b.beatPositions = beatPositions;
        for (int j = 0; j <= size; ++j) b.times.push_back(start + step * (done + j));
        b.section = section;
        bars.push_back(b);
        done += size;
    }
    return bars;
}

int HardestDifficulty(int song) {
    for (int d = zb::kDifficultyCount - 1; d >= 0; --d)
        if (zb::HasChart({int16_t(song), int16_t(d)})) return d;
    throw std::logic_error("song without charts");
}

int BeatPositionsFor(int measureLength, int songMeasureLength) {
    if (measureLength == 24) return 6;
    if (measureLength == 16) return 4;
    if (measureLength == 12) return 3;
    return songMeasureLength == 24 ? 6 : songMeasureLength == 12 ? 3 : 4;
}

int NoteCount(const std::string& digits) {
    return int(
        std::count_if(digits.begin(), digits.end(), [](char c) { return c != '0' && c != '5'; }));
}

// Chart bars fall into phrases of four bars, started afresh where the bar length changes or a
// part begins; the busier a phrase, the fuller its section.
void MarkSections(std::vector<Bar>& bars) {
    std::vector<std::pair<size_t, size_t>> phrases;  // [first, last) indices of chart bars
    for (size_t i = 0; i < bars.size(); ++i) {
        if (bars[i].drums.empty()) continue;
        const bool fresh =
            phrases.empty() || phrases.back().second != i || i - phrases.back().first >= 4 ||
            bars[i].positions != bars[i - 1].positions || bars[i].part != bars[i - 1].part;
        if (fresh)
            phrases.emplace_back(i, i + 1);
        else
            phrases.back().second = i + 1;
    }
    std::vector<double> density;
    for (auto [a, b] : phrases) {
        int notes = 0, positions = 0;
        for (size_t i = a; i < b; ++i) {
            notes += NoteCount(bars[i].drums);
            positions += bars[i].positions;
        }
        density.push_back(double(notes) / positions);
    }
    std::vector<double> sorted = density;
    std::sort(sorted.begin(), sorted.end());
    const double calmBelow = sorted[sorted.size() * 3 / 10];
    const double climaxFrom = sorted[std::min(sorted.size() - 1, sorted.size() * 3 / 4)];
    for (size_t p = 0; p < phrases.size(); ++p) {
        Section s = Section::Main;
        if (density[p] == 0)
            s = Section::Break;
        else if (density[p] < calmBelow)
            s = Section::Calm;
        else if (density[p] >= climaxFrom && climaxFrom > calmBelow)
            s = Section::Climax;
        for (size_t i = phrases[p].first; i < phrases[p].second; ++i) {
            bars[i].section = s;
            bars[i].phraseBar = int(i - phrases[p].first);
        }
    }
    // The lead-in before the first bar line is the intro.
    for (Bar& b : bars) {
        if (!b.drums.empty() && b.drums[0] >= '5') break;
        if (!b.drums.empty()) b.section = Section::Intro;
    }
}

}  // namespace

std::vector<Bar> EvenBars(double start, int count, int positions, int beatPositions,
                          double barSeconds) {
    std::vector<Bar> bars;
    for (int i = 0; i < count; ++i) {
        Bar b;
        b.positions = positions;
        b.beatPositions = beatPositions;
        for (int j = 0; j <= positions; ++j)
            b.times.push_back(start + barSeconds * (i + double(j) / positions));
        bars.push_back(b);
    }
    return bars;
}

void AssignTicks(std::vector<Bar>& bars) {
    int64_t tick = 0;
    for (Bar& b : bars) {
        b.tick = tick;
        tick = b.EndTick();
    }
}

Plan SongPlan(int song) {
    const int hard = HardestDifficulty(song);
    const int light = std::min(1, hard);
    const int songMeasure = zb::MeasureLength(song);
    const int parts = zb::PartCount(song);
    Plan plan;
    std::vector<Bar> chartBars;
    double posSeconds = 0;
    const int mainBeat = BeatPositionsFor(songMeasure, songMeasure);
    for (int part = 0; part < parts; ++part) {
        const double start = zb::PartStartTime(song, part) / 100.0;
        const int length = zb::ChartLengthOf(song, part);
        posSeconds = zb::ChartSpanOf(song, part) / 100.0 / length;
        const double offset = zb::ChartOffsetOf({int16_t(song), int16_t(hard)}, part);
        const double spacing = zb::ChartConstantsOf({int16_t(song), int16_t(hard)}).NoteSpacing;
        // Position W sounds W positions after the part's start, later by -offset / spacing
        // positions; after song 4's speed-up the spacing in force is four times larger.
        auto timeOf = [&](int w) {
            double shift = -offset / spacing;
            if (zb::IsSpeedUpPosition(song, hard, w)) shift /= zb::kSpeedUpFactor;
            return start + (w + shift) * posSeconds;
        };
        std::string drums, rhythm;
        for (const auto& m : zb::ChartMeasures({int16_t(song), int16_t(hard)}, part)) drums += m;
        for (const auto& m : zb::ChartMeasures({int16_t(song), int16_t(light)}, part)) rhythm += m;
        if (int(drums.size()) != length || int(rhythm.size()) != length)
            throw std::runtime_error("chart length differs from the song table");

        std::vector<Bar> bars;
        int w = 1;
        for (const auto& m : zb::ChartMeasures({int16_t(song), int16_t(hard)}, part)) {
            Bar b;
            b.positions = int(m.size());
            b.beatPositions = BeatPositionsFor(b.positions, songMeasure);
            for (int j = 0; j <= b.positions; ++j) b.times.push_back(timeOf(w + j));
            b.drums = m;
            b.rhythm = rhythm.substr(size_t(w - 1), m.size());
            b.part = part;
            bars.push_back(b);
            w += b.positions;
        }
        const double first = bars.front().Start();
        const double beatSeconds = mainBeat * posSeconds;
        if (chartBars.empty()) {
            // Before the first chart position: an intro, or only a pickup rest.
            auto free = FreeBars(0.0, first, posSeconds, songMeasure, mainBeat, true,
                                 first < beatSeconds ? Section::Break : Section::Intro);
            chartBars.insert(chartBars.end(), free.begin(), free.end());
        } else if (first - chartBars.back().End() >= 0.25 * beatSeconds) {
            auto free = FreeBars(chartBars.back().End(), first, posSeconds, songMeasure, mainBeat,
                                 false, Section::Bridge);
            for (Bar& b : free) b.part = part;
            chartBars.insert(chartBars.end(), free.begin(), free.end());
        } else {
            chartBars.back().times.back() = first;  // the last slot of a part stretches
        }
        chartBars.insert(chartBars.end(), bars.begin(), bars.end());
    }
    MarkSections(chartBars);

    // The outro plays on past the end time; the last chord rings to the end of the file.
    const int last = parts - 1;
    plan.endTime = (zb::PartStartTime(song, last) + zb::PartEndTimeOf(song, last)) / 100.0;
    const double barSeconds = songMeasure * posSeconds;
    double t = chartBars.back().End();
    std::vector<Bar> tail;
    while (t < plan.endTime + 0.5) {
        auto more = EvenBars(t, 1, songMeasure, mainBeat, barSeconds);
        more[0].section = Section::Outro;
        tail.push_back(more[0]);
        t = more[0].End();
    }
    const int endingBars = int(std::ceil(3.0 / barSeconds));
    for (auto b : EvenBars(t, endingBars, songMeasure, mainBeat, barSeconds)) {
        b.section = Section::Ending;
        tail.push_back(b);
    }
    for (size_t i = 0; i < tail.size(); ++i) {
        tail[i].part = last;
        tail[i].phraseBar = int(i % 4);
    }
    chartBars.insert(chartBars.end(), tail.begin(), tail.end());

    int phrase = 0;
    for (size_t i = 0; i < chartBars.size(); ++i) {
        if (i > 0 &&
            (chartBars[i].phraseBar == 0 || chartBars[i].section != chartBars[i - 1].section))
            ++phrase;
        chartBars[i].phrase = phrase;
        const Section s = chartBars[i].section;
        chartBars[i].level = s == Section::Climax   ? 1.0
                             : s == Section::Main   ? 0.88
                             : s == Section::Calm   ? 0.75
                             : s == Section::Break  ? 0.6
                             : s == Section::Ending ? 0.9
                                                    : 0.8;
    }
    AssignTicks(chartBars);
    plan.bars = std::move(chartBars);
    return plan;
}

}  // namespace musicgen
