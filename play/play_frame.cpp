#include "play/play_frame.hpp"

#include "core/checked.hpp"
#include "core/helpers.hpp"
#include "play/judgement.hpp"
#include "play/play_field.hpp"
#include "play/play_slots.hpp"
#include "play/replay.hpp"
#include "play/scoring.hpp"
#include "play/timing_drawing.hpp"

namespace zb {

void ResetNoteFlags(PlayState& st, int16_t noteCount) {
    const size_t n = size_t(Add<int16_t>(noteCount, 100)) + 1;
    st.NoteJudged.assign(n, false);
    st.NoteHit.assign(n, false);
}

void SetUpPlay(Game& game, PlayState& st) {
    const Chart& c = game.chart;
    game.platform.music.SetVolume(Round32(double(game.settings.BgmVolume) * c.MusicVolumeScale));
    st.W1 = c.JudgeWindow1, st.W2 = c.JudgeWindow2, st.W3 = c.JudgeWindow3;
    const int16_t fp = game.settings.FramePosition;
    st.FrameX = game.chart.Mode == Modifier::Reversed ? Sub<int16_t>(320, fp) : fp;
    ResetNoteFlags(st, c.NoteCount);
    // The note row sits in the middle of the 3000-twip lane, below the bar line tops.
    const double mid = double(Round32((3000.0 - PixelsToTwipsX(190)) / 2.0));
    st.LaneY = Add<int16_t>(TwipsToPixelsY(mid), 60);
    if (st.LaneY > TwipsToPixelsY(3000) - 32 || st.LaneY < 0) st.LaneY = 60;
    st.CurrentNote = 1;
    st.NoteTotal = NoteTotalOf(st.Chart, c.NoteCount);
    st.NoteBase = NoteBaseOf(c.SongLevel, c.ComboBonusStep, st.NoteTotal);
    StrikesFromNow(game, st);
}

int32_t ReadMusic(Game& game, PlayState& st) {
    if (st.Feed) return st.Feed->MusicRead();
    const int32_t cs = Round32(game.platform.music.CurrentPosition() * 100.0);
    if (st.Recorder) st.Recorder->MusicRead(cs);
    return cs;
}

void PlayFrame(Game& game, PlayState& st) {
    Chart& c = game.chart;
    const Modifier mode = game.chart.Mode;
    if (st.FrameCount % 2 == 0) {
        st.W1 = c.JudgeWindow1, st.W2 = c.JudgeWindow2, st.W3 = c.JudgeWindow3;
        if (mode == Modifier::NarrowWindows) {
            st.W1 = Round16(st.W1 * kNarrowWindowsScale),
            st.W2 = Round16(st.W2 * kNarrowWindowsScale),
            st.W3 = Round16(st.W3 * kNarrowWindowsScale);
        }
        if (mode == Modifier::GoodCountsAsMiss) st.W2 = 0;
    }
    // Song 4 at difficulty 2 speeds up fourfold from note 251 on; the loader placed those notes
    // at four times the spacing, so they keep their hit times.
    if (IsSpeedUpNote(st.Chart.song, st.Chart.difficulty, st.CurrentNote) && !st.SpeedUpDone) {
        c.NoteSpacing = Mul<int16_t>(c.NoteSpacing, kSpeedUpFactor);
        c.JudgeWindow1 = Mul<int16_t>(c.JudgeWindow1, kSpeedUpFactor);
        c.JudgeWindow2 = Mul<int16_t>(c.JudgeWindow2, kSpeedUpFactor);
        c.JudgeWindow3 = Mul<int16_t>(c.JudgeWindow3, kSpeedUpFactor);
        st.SpeedUpDone = true;
    }
    // The play reads the music in whole centiseconds, once a frame.
    st.FrameMusic = ReadMusic(game, st) / 100.0;
    st.PlayTime = PlayTimeOf(c, st.Chart.song, st.FrameMusic);
    st.ScrollPos = ScrollPosAt(c, st.PlayTime);
    DrawLane(game, st);
    DrawJudgement(game, st);
    if (game.options.HitErrorBar && !st.AutoPlay) DrawHitErrorBar(game, st);
    if (st.AutoPlay) {
        AutoPlayStep(game, st);
    } else {
        PollKeys(game, st);
        JudgeNotes(game, st);
    }
    game.form.Label[play_slots::kComboLabel].Caption = "COMBO: " + std::to_string(st.Combo);
    GaugeFrame(game, st);
    game.form.Label[play_slots::kScoreLabel].Caption = std::to_string(st.ShownScore);
    DrawIdleFace(game, st);
}

}  // namespace zb
