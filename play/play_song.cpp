#include "play/play_song.hpp"

#include <optional>

#include "core/chart_loader.hpp"
#include "core/checked.hpp"
#include "core/own_songs.hpp"
#include "play/hit_feedback.hpp"
#include "play/judgement.hpp"
#include "play/play_field.hpp"
#include "play/play_frame.hpp"
#include "play/replay.hpp"
#include "play/replay_store.hpp"
#include "play/results.hpp"
#include "play/scoring.hpp"
#include "play/timing_panel.hpp"

namespace zb {

namespace {

// The chart and the settings in force, as a replay keeps them.
void DescribePlay(const Game& game, ChartId chart, double fps, Replay& r) {
    r.build = BuildId();
    r.chart = chart;
    if (const OwnSong* own = FindOwnSong(game, chart.song)) r.ownSong = own->id;
    r.modifier = game.challenge.ChallengeMode;
    r.challengeCourse = game.course.ChallengeCourse;
    r.challengePoints = game.challenge.ChallengePoints.at(size_t(ModifierCode(r.modifier)));
    r.randomState = game.chart.RandomStateAtLoad;
    r.keyCodes = game.settings.KeyCodes;
    r.delay = game.settings.DelaySetting;
    r.framePosition = game.settings.FramePosition;
    r.bigNoteWait = game.settings.BigNoteWait;
    r.judgeEffect = game.settings.JudgeEffect;
    r.hitErrorBar = game.options.HitErrorBar;
    r.framesPerSecond = fps;
}

ReplayOutcome OutcomeOf(const PlayState& st, int32_t validScore) {
    ReplayOutcome o;
    o.validScore = validScore;
    o.score = st.Score;
    o.maxCombo = st.MaxCombo, o.countBest = st.CountBest, o.countGood = st.CountGood;
    o.countMiss = st.CountMiss, o.gauge = st.Gauge, o.gaugeLevel = st.GaugeLevel;
    o.frames = st.Frames;
    o.judgements = st.Judgements;
    return o;
}

}  // namespace

SongResult PlaySong(Game& game, bool autoPlay, ChartId chart) {
    return PlaySong(game, autoPlay, chart, PlayOptions{});
}

SongResult PlaySong(Game& game, bool autoPlay, ChartId chart, const PlayOptions& options) {
    const int16_t song = chart.song;
    PlayState st;
    st.AutoPlay = autoPlay;
    st.Chart = chart;
    st.DrawField = options.DrawField;
    SetUpPlay(game, st);

    Platform& pf = game.platform;
    pf.window.SetTextInput(false);  // no input method's window on a play key
    std::optional<OwnSongScanPause> scanPause;
    scanPause.emplace(game);  // the songs folder is read after the song
    const double fps = options.FramesPerSecond > 0 ? options.FramesPerSecond : 60.0;
    const double period = 1.0 / fps;
    double nextFrame = pf.clock.Now() + period;
    // A hand play records what it reads, cheaply, for its replay; a replay reads its record.
    Replay record;
    PlayRecorder recorder(record);
    std::optional<ReplayFeed> feed;
    if (options.replay) {
        feed.emplace(*options.replay);
        st.Feed = &*feed;
    } else if (!autoPlay) {
        DescribePlay(game, chart, fps, record);
        st.Recorder = &recorder;
    }
    uint64_t print = ChartPrint(game.chart);
    std::optional<StrikeSounds> strikes;
    if (!autoPlay && !options.replay) strikes.emplace(game);
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
            print = ChartPrint(c, print);
            ResetNoteFlags(st, c.NoteCount);
            st.CurrentNote = 1;
            // The end test below compares with the new part's end, so it needs the new part's
            // clock: with the old one, song 5 (whose last part is shorter than the part before
            // it) would stop without playing its last part.
            st.PlayTime = PlayTimeOf(c, song, ReadMusic(game, st) / 100.0);
        }
        if (st.FrameCount % 10 == 0 && st.DrawField) DrawBackground(game, st);
        st.FrameCount = int16_t((st.FrameCount + 1) % 10000);
        st.Frames = Add<int32_t>(st.Frames, 1);
        const bool more = st.PlayTime < c.PartEndTime ||
                          (IsMultiPartSong(song) && c.SongPart <= 1) || st.JudgeAge != 0;
        if (!more) break;
    }
    strikes.reset();
    scanPause.reset();
    if (!autoPlay && !options.replay) NoteOwnSongPlayed(game, song);
    pf.music.SetVolume(game.settings.BgmVolume);

    SongResult out;
    out.Strikes = st.Strikes;
    out.Timing = SummarizeStrikes(out.Strikes);
    out.Windows = WindowsInMs(game, st);
    out.SuggestedDelay = SuggestedDelay(game.settings.DelaySetting, out.Timing);
    out.ChartPrint = print;
    if (st.Recorder) {
        record.chartPrint = print;
        record.outcome = OutcomeOf(st, BuildResultsText(game, st).validScore);
        if (options.keepReplay) KeepReplay(game, record);
        if (options.record) *options.record = record;
    }

    if (!autoPlay) ShowTimingPanel(game, out);
    const ResultsText r = ShowResults(game, st);
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
    out.Judgements = st.Judgements;
    return out;
}

}  // namespace zb
