#include "play/play_song.hpp"

#include <optional>

#include "core/chart_loader.hpp"
#include "core/checked.hpp"
#include "play/hit_feedback.hpp"
#include "play/judgement.hpp"
#include "play/play_field.hpp"
#include "play/play_frame.hpp"
#include "play/results.hpp"
#include "play/scoring.hpp"

namespace zb {

SongResult PlaySong(Game& game, bool autoPlay, ChartId chart) {
    return PlaySong(game, autoPlay, chart, PlayOptions{});
}

SongResult PlaySong(Game& game, bool autoPlay, ChartId chart, const PlayOptions& options) {
    const int16_t song = chart.song;
    PlayState st;
    st.AutoPlay = autoPlay;
    st.Chart = chart;
    SetUpPlay(game, st);

    Platform& pf = game.platform;
    pf.window.SetTextInput(false);  // no input method's window on a play key
    const double period = 1.0 / (options.FramesPerSecond > 0 ? options.FramesPerSecond : 60.0);
    double nextFrame = pf.clock.Now() + period;
    std::optional<StrikeSounds> strikes;
    if (!autoPlay) strikes.emplace(game);
    for (;;) {
        PlayFrame(game, st);
        // A fixed frame rate: wait for the frame's turn (the wait keeps stamping keys), then yield.
        pf.window.WaitUntil(nextFrame);
        pf.window.DoEvents();
        nextFrame += period;
        const double now = pf.clock.Now();
        if (nextFrame < now) nextFrame = now;  // a slow frame does not make the next ones rush

        Chart& c = game.chart;
        if (IsMultiPartSong(song) && c.SongPart <= 1 && st.PlayTime >= c.PartEndTime) {
            LoadChart(game, chart, Add<int16_t>(c.SongPart, 1));
            ResetNoteFlags(st, c.NoteCount);
            st.CurrentNote = 1;
            // The end test below compares with the new part's end, so it needs the new part's
            // clock: with the old one, song 5 (whose last part is shorter than the part before
            // it) would stop without playing its last part.
            st.PlayTime = PlayTimeOf(c, song, pf.music.CurrentPosition());
        }
        if (st.FrameCount % 10 == 0) DrawBackground(game, st);
        st.FrameCount = int16_t((st.FrameCount + 1) % 10000);
        st.Frames = Add<int32_t>(st.Frames, 1);
        const bool more = st.PlayTime < c.PartEndTime ||
                          (IsMultiPartSong(song) && c.SongPart <= 1) || st.JudgeAge != 0;
        if (!more) break;
    }
    strikes.reset();
    pf.music.SetVolume(game.settings.BgmVolume);

    const ResultsText r = ShowResults(game, st);
    SongResult out;
    out.ShownScore = r.validScore;
    out.GaugeLevel = st.GaugeLevel;
    out.NormaCleared = st.GaugeLevel >= kNormaLevel;
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
