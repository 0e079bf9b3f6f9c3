#include "play/play_song.hpp"

#include <cstdio>

#include "core/chart_loader.hpp"
#include "core/checked.hpp"
#include "core/helpers.hpp"
#include "play/judgement.hpp"
#include "play/play_field.hpp"
#include "play/play_state.hpp"
#include "play/results.hpp"
#include "play/scoring.hpp"

namespace zb {

void ResetNoteFlags(PlayState& st, int16_t noteCount) {
    const size_t n = size_t(Add<int16_t>(noteCount, 100)) + 1;
    st.NoteJudged.assign(n, false);
    st.NoteHit.assign(n, false);
}

namespace {

bool ThreePartSong(int16_t song) {
    return song == 5 || song == 6;
}

void SetUp(Game& game, PlayState& st) {
    const Chart& c = game.chart;
    game.platform.music.SetVolume(Round32(double(game.settings.BgmVolume) * c.MusicVolumeScale));
    st.W1 = c.JudgeWindow1, st.W2 = c.JudgeWindow2, st.W3 = c.JudgeWindow3;
    const int16_t fp = game.settings.FramePosition;
    st.FrameX = game.challenge.ChallengeMode == 3 ? Sub<int16_t>(320, fp) : fp;
    ResetNoteFlags(st, c.NoteCount);
    // The note row sits in the middle of the 3000-twip lane, below the bar line tops.
    const double mid = double(Round32((3000.0 - PixelsToTwipsX(190)) / 2.0));
    st.LaneY = Add<int16_t>(TwipsToPixelsY(mid), 60);
    if (st.LaneY > TwipsToPixelsY(3000) - 32 || st.LaneY < 0) st.LaneY = 60;
    st.CurrentNote = 1;
    st.NoteTotal = NoteTotalOf(st.Song, st.Difficulty, c.NoteCount);
    st.NoteBase = NoteBaseOf(c.SongLevel, c.ComboBonusStep, st.NoteTotal);
}

void ShowPosition(Game& game) {
    // The position readout (label 2, not shown) takes the first five characters of the number.
    char text[64];
    std::snprintf(text, sizeof text, "%.15g", game.platform.music.CurrentPosition());
    game.form.Label[2].Caption = std::string(text).substr(0, 5);
}

void Frame(Game& game, PlayState& st) {
    Chart& c = game.chart;
    const int16_t mode = game.challenge.ChallengeMode;
    if (st.FrameCount % 2 == 0) {
        st.W1 = c.JudgeWindow1, st.W2 = c.JudgeWindow2, st.W3 = c.JudgeWindow3;
        if (mode == 5) {  // narrow windows
            st.W1 = Round16(st.W1 * 0.7), st.W2 = Round16(st.W2 * 0.7),
            st.W3 = Round16(st.W3 * 0.7);
        }
        if (mode == 8) st.W2 = 0;  // 可 becomes 不可
    }
    // Song 4 at difficulty 2 speeds up fourfold from note 251 on; the loader placed those notes
    // at four times the spacing, so they keep their hit times.
    if (st.Song == 4 && st.Difficulty == 2 && st.CurrentNote >= 251 && !st.SpeedUpDone) {
        c.NoteSpacing = Mul<int16_t>(c.NoteSpacing, 4);
        c.JudgeWindow1 = Mul<int16_t>(c.JudgeWindow1, 4);
        c.JudgeWindow2 = Mul<int16_t>(c.JudgeWindow2, 4);
        c.JudgeWindow3 = Mul<int16_t>(c.JudgeWindow3, 4);
        st.SpeedUpDone = true;
    }
    st.PlayTime = PlayTimeOf(c, st.Song, game.platform.music.CurrentPosition());
    ShowPosition(game);
    st.ScrollPos = ScrollPosAt(c, st.PlayTime);
    DrawLane(game, st);
    DrawJudgement(game, st);
    if (st.AutoPlay) {
        AutoPlayStep(game, st);
    } else {
        PollKeys(game, st);
        JudgeNotes(game, st);
    }
    game.form.Label[3].Caption = "COMBO: " + std::to_string(st.Combo);
    GaugeFrame(game, st);
    game.form.Label[4].Caption = std::to_string(st.ShownScore);
    DrawIdleFace(game, st);
}

}  // namespace

SongResult PlaySong(Game& game, bool autoPlay, int16_t song, int16_t difficulty) {
    return PlaySong(game, autoPlay, song, difficulty, PlayOptions{});
}

SongResult PlaySong(Game& game, bool autoPlay, int16_t song, int16_t difficulty,
                    const PlayOptions& options) {
    PlayState st;
    st.AutoPlay = autoPlay;
    st.Song = song;
    st.Difficulty = difficulty;
    SetUp(game, st);

    Platform& pf = game.platform;
    const double period = 1.0 / (options.FramesPerSecond > 0 ? options.FramesPerSecond : 60.0);
    double nextFrame = pf.clock.Now() + period;
    for (;;) {
        Frame(game, st);
        // A fixed frame rate: wait for the frame's turn (the wait keeps stamping keys), then yield.
        pf.window.WaitUntil(nextFrame);
        pf.window.DoEvents();
        nextFrame += period;
        const double now = pf.clock.Now();
        if (nextFrame < now) nextFrame = now;  // a slow frame does not make the next ones rush

        Chart& c = game.chart;
        if (ThreePartSong(song) && c.SongPart <= 1 && st.PlayTime >= c.PartEndTime) {
            c.SongPart = Add<int16_t>(c.SongPart, 1);
            LoadChart(game, difficulty, song);
            ResetNoteFlags(st, c.NoteCount);
            st.CurrentNote = 1;
        }
        if (st.FrameCount % 10 == 0) DrawBackground(game, st);
        st.FrameCount = int16_t((st.FrameCount + 1) % 10000);
        st.Frames = Add<int32_t>(st.Frames, 1);
        const bool more = st.PlayTime < c.PartEndTime || (ThreePartSong(song) && c.SongPart <= 1) ||
                          st.JudgeAge != 0;
        if (!more) break;
    }
    pf.music.SetVolume(game.settings.BgmVolume);

    const ResultsText r = ShowResults(game, st);
    SongResult out;
    out.ShownScore = r.validScore;
    out.GaugeLevel = st.GaugeLevel;
    out.NormaCleared = st.GaugeLevel >= 33;
    out.Score = st.Score;
    out.MaxCombo = st.MaxCombo;
    out.CountBest = st.CountBest;
    out.CountGood = st.CountGood;
    out.CountMiss = st.CountMiss;
    out.Gauge = st.Gauge;
    out.Frames = st.Frames;
    out.Caption = r.caption;
    return out;
}

}  // namespace zb
