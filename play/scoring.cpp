#include "play/scoring.hpp"

#include <cmath>
#include <cstdio>
#include <stdexcept>

#include "core/checked.hpp"
#include "core/songs.hpp"

namespace zb {

double NoteBaseOf(int16_t songLevel, int16_t comboBonusStep, double noteTotal) {
    if (noteTotal == 0) throw OverflowError("a chart without notes has no score base");
    return (double(songLevel) * 100000.0 - noteTotal * 10.0 * comboBonusStep +
            double(comboBonusStep) * 540.0) /
           noteTotal;
}

int16_t ComboBonus(int16_t combo) {
    return combo >= 100 ? int16_t{10} : IntDiv<int16_t>(combo, 10);
}

double NoteTotalOf(ChartId chart, int16_t noteCount) {
    // The three-part songs score against the notes of all their parts.
    if (IsMultiPartSong(chart.song) && HasChart(chart)) return SongNoteTotal(chart);
    return noteCount;
}

namespace {

double Unit(const Chart& chart, const PlayState& st, int16_t combo) {
    return double(chart.ComboBonusStep) * ComboBonus(combo) + st.NoteBase;
}

void MarkJudged(PlayState& st, bool hit, char judgement) {
    st.Judgements.push_back(judgement);
    const size_t i = size_t(st.CurrentNote);
    st.NoteJudged.at(i) = true;
    if (hit) st.NoteHit.at(i) = true;
    st.CurrentNote = Add<int16_t>(st.CurrentNote, 1);
}

void AddScore(PlayState& st, double points) {
    st.Score += points;
    st.ShownScore = Round32(st.Score);
}

void Hit(const Chart& chart, PlayState& st, double factor, int16_t gain, char judgement) {
    AddScore(st, factor * Unit(chart, st, st.Combo));
    st.Combo = Add<int16_t>(st.Combo, 1);
    if (st.Combo > st.MaxCombo) st.MaxCombo = st.Combo;
    st.Gauge = Add<int16_t>(st.Gauge, gain);
    st.JudgeAge = 1;
    MarkJudged(st, true, judgement);
}

void Miss(const Chart& chart, PlayState& st, char judgement) {
    st.Combo = 0;
    st.CountMiss = Add<int16_t>(st.CountMiss, 1);
    st.Gauge = Add<int16_t>(st.Gauge, chart.GaugeLoss);
    MarkJudged(st, false, judgement);
}

}  // namespace

void ScoreBest(const Chart& chart, PlayState& st, double factor, bool big) {
    st.CountBest = Add<int16_t>(st.CountBest, 1);
    st.JudgeKind = big ? 4 : 3;
    Hit(chart, st, factor, chart.GaugeGainBest, big ? '4' : '3');
}

void ScoreGood(const Chart& chart, PlayState& st, double factor) {
    st.CountGood = Add<int16_t>(st.CountGood, 1);
    st.JudgeKind = 2;
    Hit(chart, st, factor, chart.GaugeGainGood, '2');
}

void ScoreBad(const Chart& chart, PlayState& st) {
    Miss(chart, st, '1');
    st.JudgeKind = 1;
    st.JudgeAge = 1;
}

void ScorePassed(const Chart& chart, PlayState& st) {
    Miss(chart, st, '0');
}

void ScoreAutoNote(const Chart& chart, PlayState& st, bool played, bool big) {
    MarkJudged(st, played, big ? '4' : '3');
    st.Combo = Add<int16_t>(st.Combo, 1);
    st.Gauge = Add<int16_t>(st.Gauge, chart.GaugeGainBest);
    st.MaxCombo = Add<int16_t>(st.MaxCombo, 1);
    st.CountBest = Add<int16_t>(st.CountBest, 1);
    // Auto play takes the bonus of the combo after the note.
    AddScore(st, Unit(chart, st, st.Combo));
    if (played) {
        st.JudgeKind = big ? 4 : 3;
        st.JudgeAge = 1;
    }
}

void GaugeFrame(Game& game, PlayState& st) {
    const Chart& c = game.chart;
    const int16_t full = Mul<int16_t>(40, c.GaugeUnit);
    if (st.Gauge < 0) st.Gauge = 0;
    if (st.Gauge > full) st.Gauge = full;
    int16_t level = IntDiv<int16_t>(st.Gauge, c.GaugeUnit);
    if (level > 40) level = 40;
    st.GaugeLevel = level;
    if (st.DrawField && !st.GaugeShown.Shows(level, game.form.pGage.Dc())) {
        DrawGauge(game.form, level);
        st.GaugeShown.Drawn(level, game.form.pGage.Dc());
    }
}

void DrawGauge(MainForm& form, int16_t gaugeLevel) {
    Surface& ura = form.pGageUra.Dc();
    form.pGageUra.Cls();
    BlitCopy(form.pGage1.Dc(), 0, 0, 384, 32, ura, 0, 0);
    for (int k = 1; k <= gaugeLevel; ++k) {
        const Surface& seg = k < kNormaLevel ? form.pGage2.Dc() : form.pGage3.Dc();
        BlitCopy(seg, 0, 0, 8, 32, ura, 8 * k + 24, 0);
    }
    BlitCopy(ura, 0, 0, 384, 32, form.pGage.Dc(), 0, 0);
}

std::string HitRateText(int16_t best, int16_t good, int16_t miss) {
    const int32_t hit = int32_t{best} + good;
    const int32_t all = hit + miss;
    if (all == 0) return " 0％";  // no note judged: nothing was missed either
    const double rate = double(hit) / double(all) * 100.0;
    // The whole percent, truncated, read from the number's 15-digit decimal text, so that
    // 29 of 100 (28.999999999999996 in binary) shows 29: " 100", " 99", " 9", " 0".
    char text[64];
    std::snprintf(text, sizeof text, "%.15g", rate);
    std::string whole(text);
    whole = whole.substr(0, whole.find('.'));
    return " " + whole + "％";
}

}  // namespace zb
