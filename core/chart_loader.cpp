#include "core/chart_loader.hpp"

#include <stdexcept>

#include "core/chart_data.hpp"
#include "core/chart_digits.hpp"
#include "core/checked.hpp"
#include "core/own_songs.hpp"
#include "core/random.hpp"
#include "core/songs.hpp"

namespace zb {
void BuildNoteModel(Chart& chart, int32_t speedUpAfter) {
    int32_t count = 0;
    for (char c : chart.ChartText)
        if (IsNoteDigit(c)) count = Add<int32_t>(count, 1);
    chart.NoteCount = Narrow<int16_t>(count);
    const int16_t slots = Add<int16_t>(chart.NoteCount, 100);
    chart.NotePos.assign(static_cast<size_t>(slots) + 1, 0);
    chart.NoteKinds.clear();
    chart.NoteKinds.reserve(static_cast<size_t>(count));
    const int32_t spacing = chart.NoteSpacing;
    const int32_t fastSpacing = Mul<int32_t>(kSpeedUpFactor, spacing);
    int32_t w = 0;
    size_t i = 0;
    for (char c : chart.ChartText) {
        w = Add<int32_t>(w, 1);
        if (!IsNoteDigit(c)) continue;
        const bool fast = speedUpAfter != 0 && w > speedUpAfter;
        chart.NotePos[++i] = Mul<int32_t>(fast ? fastSpacing : spacing, w);
        chart.NoteKinds.push_back(c);
    }
}

void ScaleLaneValues(Chart& chart, Modifier mode) {
    auto scale = [&](auto op) {
        for (int16_t* v : {&chart.NoteSpacing, &chart.JudgeWindow1, &chart.JudgeWindow2,
                           &chart.JudgeWindow3, &chart.ChartOffset, &chart.ChartDelay})
            *v = op(*v);
    };
    const double by = LaneScale(mode);
    if (by > 1) scale([&](int16_t v) { return Mul<int16_t>(v, int16_t(by)); });
    if (by < 1) scale([&](int16_t v) { return Round16(v * by); });
}

std::string SwapDonKan(std::string text) {
    for (char& c : text) c = SwapDonKanDigit(c);
    return text;
}

std::string RandomKinds(Game& game, std::string text) {
    for (char& c : text) {
        if (c < '1' || c > '9' || !IsNoteDigit(c)) continue;
        const char first = DonOfDigit(c);
        const int16_t r = TimeMixedRandom(game, 100);
        c = static_cast<char>(first + Mod<int16_t>(r, 2));
    }
    return text;
}

void SetChartConstants(Game& game, const ChartConstants& k, JudgeWindows w) {
    Chart& c = game.chart;
    c.RandomStateAtLoad = game.challenge.RandomState;  // before a modifier draws from it
    c.LaneBlitWidth = 64;
    c.ChartDelay = game.settings.DelaySetting;
    c.SongLevel = k.SongLevel;
    c.ComboBonusStep = k.ComboBonusStep;
    c.GaugeGainBest = k.GaugeGainBest;
    c.GaugeGainGood = k.GaugeGainGood;
    c.GaugeLoss = k.GaugeLoss;
    c.GaugeUnit = k.GaugeUnit;
    c.JudgeWindow1 = w.w1;
    c.JudgeWindow2 = w.w2;
    c.JudgeWindow3 = w.w3;
    c.NoteSpacing = k.NoteSpacing;
}

void ApplyModifierAndBuild(Game& game, std::string text, int32_t speedUpAfter) {
    Chart& c = game.chart;
    const Modifier mode = game.chart.Mode;
    ScaleLaneValues(c, mode);
    if (mode == Modifier::SwapDonKan) text = SwapDonKan(std::move(text));
    if (mode == Modifier::RandomDonKan) text = RandomKinds(game, std::move(text));
    c.ChartText = std::move(text);
    BuildNoteModel(c, speedUpAfter);
}

void LoadChart(Game& game, ChartId chart, int16_t songPart) {
    if (IsOwnSong(chart.song)) return LoadOwnChart(game, chart);
    const int16_t song = chart.song, difficulty = chart.difficulty;
    const int16_t part = IsMultiPartSong(song) ? songPart : int16_t(0);
    if (!HasChart(chart) || part < 0 || part >= PartCount(song))
        throw std::out_of_range("no chart for song " + std::to_string(song) + " difficulty " +
                                std::to_string(difficulty) + " part " + std::to_string(part));
    const ChartConstants& k = ChartConstantsOf(chart);
    Chart& c = game.chart;
    c.SongPart = part;

    SetChartConstants(game, k, JudgeWindowsOf(chart, part));

    // The song's (or part's) timing.
    c.PartEndTime = PartEndTimeOf(song, part);
    c.ChartSpan = ChartSpanOf(song, part);
    c.ChartOffset = ChartOffsetOf(chart, part);
    c.MusicVolumeScale = MusicVolumeScaleOf(song);

    // The music starts with the song; later parts of songs 5 and 6 keep it playing.
    MusicPlayer& music = game.platform.music;
    music.SetAutoStart(true);
    music.SetEnabled(true);
    if (part == 0) music.SetFileName(game.AppDir() + SongMusicFile(song));

    std::string text;
    for (const std::string& m : ChartMeasures(chart, part)) text += m;

    const bool speedUp = SpeedsUp(song, difficulty);
    ApplyModifierAndBuild(game, std::move(text), speedUp ? kSpeedUpLastPosition : 0);
}

}  // namespace zb
