#include "play/play_screen.hpp"

#include <algorithm>
#include <vector>

#include "core/chart_loader.hpp"
#include "core/checked.hpp"
#include "core/devices_file.hpp"
#include "core/failure_report.hpp"
#include "core/file_replace.hpp"
#include "core/options_file.hpp"
#include "core/own_songs.hpp"
#include "platform/pad_inputs.hpp"
#include "play/best_replay.hpp"
#include "play/judgement.hpp"
#include "play/pause_screen.hpp"
#include "play/play_field.hpp"
#include "play/play_frame.hpp"
#include "play/play_screen_setup.hpp"
#include "play/play_slots.hpp"
#include "play/practice_play.hpp"
#include "play/replay_store.hpp"
#include "play/replay_watch.hpp"
#include "play/results_panel.hpp"
#include "play/scoring.hpp"
#include "play/timing_panel.hpp"
#include "play/underrun_report.hpp"

namespace zb {

namespace {

// The chart and the settings in force, as a replay keeps them.
void DescribePlay(const Game& game, const PlayRequest& q, double fps, Replay& r) {
    r.build = BuildId();
    r.chart = q.chart;
    if (const OwnSong* own = FindOwnSong(game, q.chart.song)) r.ownSong = own->id;
    r.modifier = game.chart.Mode;
    r.challengeCourse = q.challenge;
    r.challengePoints = q.challengePoints;
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

double BeatSeconds(const Game& game, ChartId chart) {
    const Chart& c = game.chart;
    if (IsOwnSong(chart.song) || c.ChartText.empty()) return 0.5;
    // A measure holds four beats; the chart's positions share its span evenly.
    const double perPosition = c.ChartSpan / 100.0 / double(c.ChartText.size());
    return perPosition * MeasureLength(chart.song) / 4.0;
}

std::optional<GhostRun> PlayUnseen(Game& game, const Replay& r, int16_t song) {
    PlayOptions o;
    o.FramesPerSecond = r.framesPerSecond;
    o.replay = &r;
    o.keepReplay = false;
    o.DrawField = false;
    GhostRun run;
    try {
        WatchedSettings settings(game, r);
        PlayScreen unseen(WatchRequest(r, song), o);
        unseen.track_ = &run.scores;
        unseen.Start(game);
        while (unseen.phase_ == PlayScreen::Phase::Playing && !unseen.feed_->Done())
            unseen.Frame(game);
        game.platform.music.SetFileName("");
        const SongResult& p = unseen.result;
        const ReplayOutcome& k = r.outcome;
        if (unseen.phase_ != PlayScreen::Phase::Results || p.ShownScore != k.validScore ||
            p.Judgements != k.judgements || p.CountBest != k.countBest ||
            p.CountGood != k.countGood || p.CountMiss != k.countMiss)
            return std::nullopt;
        run.judgements = p.Judgements;
        run.shownScore = p.ShownScore;
        run.countBest = p.CountBest, run.countGood = p.CountGood, run.countMiss = p.CountMiss;
        return run;
    } catch (const std::exception&) {
        game.platform.music.SetFileName("");
        return std::nullopt;
    }
}

namespace {

// The best replay of the request's chart and modifier, played unseen to race against.
std::optional<GhostRun> GhostOf(Game& game, const PlayRequest& q) {
    const std::optional<PlayRecord> best = BestReplayOf(game, ReadPlayHistory(game), q);
    if (!best) return std::nullopt;
    const std::string path = ReplayFolder(game) + best->replay;
    std::string bytes, why;
    if (!ReadWholeFile(path, bytes, 64 << 20, &why)) {
        ReportFailure(path + ": " + why + "; no ghost");
        return std::nullopt;
    }
    try {
        std::optional<GhostRun> run = PlayUnseen(game, DecodeReplay(bytes), q.chart.song);
        if (!run) ReportFailure(path + ": does not give its own figures again; no ghost");
        return run;
    } catch (const std::runtime_error& e) {
        ReportFailure(path + ": " + e.what() + "; no ghost");
        return std::nullopt;
    }
}

}  // namespace

PlayScreen::PlayScreen(PlayRequest request, PlayOptions options, bool prepared)
    : request_(request), options_(options), prepared_(prepared) {}

PlayScreen::~PlayScreen() = default;

Step PlayScreen::Start(Game& game) {
    Platform& pf = game.platform;
    const ChartId chart = request_.chart;
    // The stack gives the drums back when the song leaves.
    pf.music.SetDrumPart(DrumsFor(game.options, request_.ranking));
    // A hand play of a local course races its chart's best (before the song: the ghost runs
    // through the chart first).
    if (!prepared_ && game.options.Ghost && !request_.autoPlay && !request_.ranking &&
        !options_.replay)
        ghost_ = GhostOf(game, request_);
    if (!prepared_) {
        pf.music.SetFileName("");
        PlayScreenSetup(game, request_);
        game.chart.Mode = request_.modifier;
        try {
            LoadChart(game, chart, 0);
        } catch (const OwnSongFileGone& gone) {
            TellOwnSongFileGone(game, gone);
            left = true;  // nothing was played: the course goes back to its song select
            Keep(game, PlayEnd::Left);
            return Step::Pop();
        }
    }
    st_.AutoPlay = request_.autoPlay;
    st_.Chart = chart;
    st_.Request = request_;
    st_.DrawField = options_.DrawField;
    st_.ShowStrikes = options_.watch;
    SetUpPlay(game, st_);
    if (ghost_) {
        st_.GhostMarks = &ghost_->judgements;
        LabelControl& line = game.form.Label[play_slots::kGhostLabel];
        line.Caption = GhostLine(0, 0);
        line.Visible = true;
    }

    pf.window.SetTextInput(false);  // no input method's window on a play key
    underrunsAtStart_ = pf.music.Underruns();
    scanPause_.emplace(game);
    const double fps =
        options_.FramesPerSecond > 0 ? options_.FramesPerSecond : kPlayFramesPerSecond;
    BeginFrames(game);
    if (options_.watch) {
        // The course line names the song as a replay's.
        const std::string line = CourseLineText(game, request_);
        const size_t name = line.find("　");
        game.form.Label[play_slots::kCourseLineLabel].Caption =
            "リプレイ" + (name == std::string::npos ? std::string() : line.substr(name));
    }
    // A hand play records what it reads, cheaply, for its replay; a replay reads its record.
    if (options_.replay) {
        feed_.emplace(*options_.replay);
        st_.Feed = &*feed_;
    } else if (!request_.autoPlay) {
        DescribePlay(game, request_, fps, record_);
        recorder_ = std::make_unique<PlayRecorder>(record_);
        st_.Recorder = recorder_.get();
    }
    print_ = ChartPrint(game.chart);
    if (!request_.autoPlay && !options_.replay) strikes_.emplace(game);
    return Step::Stay();
}

std::optional<double> PlayScreen::PauseAsked(Game& game) {
    if (options_.replay) return std::nullopt;  // a replay plays through
    InputQueue& input = game.input;
    st_.StrikeInputs.Refresh(game);
    std::vector<double> stamps = input.TakeDownStamps(vk::Escape);
    // A pad's START pauses unless it strikes.
    for (const PadInfo& pad : game.platform.keyboard.Pads()) {
        const int code = pad::Code(pad.slot, pad::Button(pad::Start));
        if (st_.StrikeInputs.Of(code)) continue;
        const std::vector<double> s = input.TakeDownStamps(code);
        stamps.insert(stamps.end(), s.begin(), s.end());
    }
    // Struck while the count went on after a pause, it is not a pause of the song.
    std::erase_if(stamps, [&](double at) { return at < st_.StrikesFrom; });
    if (stamps.empty()) return std::nullopt;
    return *std::min_element(stamps.begin(), stamps.end());
}

void PlayScreen::BeginFrames(Game& game) {
    const double fps =
        options_.FramesPerSecond > 0 ? options_.FramesPerSecond : kPlayFramesPerSecond;
    // A watch at another speed runs the recorded frames faster or slower, as the music goes.
    frames_.Begin(game.platform.clock.Now(), fps * watchRate_);
}

std::optional<Step> PlayScreen::Steer(Game& game) {
    InputQueue& input = game.input;
    MusicPlayer& music = game.platform.music;
    const auto tapped = [&](int key) {
        return (input.GetAsyncKeyState(key) & kKeyPressedSince) != 0;
    };
    if (tapped(vk::Escape)) {
        left = true;
        Keep(game, PlayEnd::Left);
        music.SetFileName("");
        music.SetVolume(game.settings.BgmVolume);
        return Step::Pop();
    }
    if (tapped(vk::Space)) {
        watchPaused_ = !watchPaused_;
        if (watchPaused_) {
            music.Pause();
            music.Seek(st_.FrameMusic);  // the song stands where the lane shows it
        } else {
            music.Resume();
            BeginFrames(game);
        }
    }
    for (const auto& [key, steps] : {std::pair{vk::Up, 1}, std::pair{vk::Down, -1}})
        if (tapped(key)) {
            watchRate_ = WatchSpeed(watchRate_, steps);
            music.SetTempo(watchRate_);
            BeginFrames(game);
        }
    for (const auto& [key, sign] : {std::pair{vk::Right, 1.0}, std::pair{vk::Left, -1.0}})
        if (tapped(key)) {
            if (!bars_) {
                bars_.emplace();
                std::string why;
                if (!ReadSongBars(PracticeMusicFile(game, request_.chart), *bars_, why))
                    bars_->starts.clear();  // seeks go by seconds alone
            }
            SeekTo(game, SeekTarget(&*bars_, st_.FrameMusic, sign * kWatchSeekSeconds));
            if (phase_ != Phase::Playing) return Step::Stay();
        }
    return std::nullopt;
}

void PlayScreen::SeekTo(Game& game, double target) {
    MusicPlayer& music = game.platform.music;
    // The play is a function of the recorded reads: to stand anywhere, it runs them from the
    // start, drawing nothing, up to the first frame at the target.
    game.challenge.RandomState = options_.replay->randomState;
    LoadChart(game, request_.chart, 0);
    st_ = PlayState{};
    st_.AutoPlay = request_.autoPlay;
    st_.Chart = request_.chart;
    st_.Request = request_;
    st_.DrawField = false;
    SetUpPlay(game, st_);
    feed_.emplace(*options_.replay);
    st_.Feed = &*feed_;
    print_ = ChartPrint(game.chart);
    while (phase_ == Phase::Playing && !feed_->Done() && st_.FrameMusic < target) Frame(game);
    st_.DrawField = options_.DrawField;
    st_.ShowStrikes = true;
    st_.GaugeShown = st_.BackgroundShown = ShownPicture{};
    if (phase_ != Phase::Playing) return;
    music.Seek(st_.FrameMusic);
    if (watchPaused_) music.Pause();
    BeginFrames(game);
}

Step PlayScreen::Pass(Game& game) {
    const double now = game.platform.clock.Now();
    switch (phase_) {
        case Phase::Playing:
            if (options_.watch) {
                if (std::optional<Step> s = Steer(game)) return std::move(*s);
                if (watchPaused_ || phase_ != Phase::Playing) return Step::Stay();
            }
            if (const std::optional<double> at = PauseAsked(game)) {
                // The song stops where it was when the key went down, not a frame later.
                MusicPlayer& music = game.platform.music;
                const double where = music.PositionAt(*at);
                phase_ = Phase::Paused;
                music.Pause();
                music.Seek(where);
                pausedAt_ = where;
                strikes_.reset();  // nothing sounds while paused
                return Step::Push(std::make_unique<PauseScreen>(
                    !request_.ranking, !request_.ranking && !request_.challenge));
            }
            if (!frames_.Due(now)) return Step::Stay();
            return Frame(game);
        case Phase::CountIn:
            if (now >= countEnd_) GoOn(game);
            return Step::Stay();
        case Phase::Results:
            if (advice_ && (game.input.GetAsyncKeyState(vk::F5) & kKeyPressedSince)) {
                game.devices.SetOffset(advice_->device, advice_->offset);
                SaveDevices(game);
                ShowOffsetAdvice(game, "補正しました：" + DeviceLabel(advice_->device) + " " +
                                           (advice_->offset > 0 ? "+" : "") +
                                           std::to_string(advice_->offset) + " ms");
                advice_.reset();
            }
            if (st_.Recorder && !midiSaved_ &&
                (game.input.GetAsyncKeyState(vk::F7) & kKeyPressedSince)) {
                midiSaved_ = true;
                ShowOffsetAdvice(game, SavePlayMidi(game, record_, request_.chart.song));
            }
            // A watch's results go back to the list at Esc as well.
            if (now < resultsEnd_ &&
                !(options_.watch && (game.input.GetAsyncKeyState(vk::Escape) & kKeyPressedSince)))
                return Step::Stay();
            ResultsPanel(game.form).LeaveBlankLines();
            Keep(game, PlayEnd::Finished);
            return Step::Pop();
        case Phase::Paused:
            return Step::Stay();
    }
    return Step::Stay();
}

Step PlayScreen::Frame(Game& game) {
    Platform& pf = game.platform;
    const int16_t song = request_.chart.song;
    PlayFrame(game, st_);
    frames_.Ran(pf.clock.Now());

    Chart& c = game.chart;
    if (IsMultiPartSong(song) && c.SongPart <= 1 && st_.PlayTime >= c.PartEndTime) {
        LoadChart(game, request_.chart, Add<int16_t>(c.SongPart, 1));
        print_ = ChartPrint(c, print_);
        ResetNoteFlags(st_, c.NoteCount);
        st_.CurrentNote = 1;
        st_.PartFirstNote = st_.Judgements.size();
        // The end test below compares with the new part's end, so it needs the new part's
        // clock: with the old one, song 5 (whose last part is shorter than the part before it)
        // would stop without playing its last part.
        st_.PlayTime = PlayTimeOf(c, song, ReadMusic(game, st_) / 100.0);
    }
    const int32_t cs = Round32(st_.FrameMusic * 100.0);
    if (track_ && (track_->empty() || track_->back().second != st_.ShownScore))
        track_->push_back({cs, st_.ShownScore});
    if (ghost_)
        game.form.Label[play_slots::kGhostLabel].Caption =
            GhostLine(ghost_->ScoreAt(cs), st_.ShownScore);
    if (st_.FrameCount % 10 == 0 && st_.DrawField) DrawBackground(game, st_);
    st_.FrameCount = int16_t((st_.FrameCount + 1) % 10000);
    st_.Frames = Add<int32_t>(st_.Frames, 1);
    const bool more = st_.PlayTime < c.PartEndTime || (IsMultiPartSong(song) && c.SongPart <= 1) ||
                      st_.JudgeAge != 0;
    if (!more) Finish(game);
    return Step::Stay();
}

void PlayScreen::Finish(Game& game) {
    strikes_.reset();
    scanPause_.reset();
    game.platform.music.SetVolume(game.settings.BgmVolume);

    SongResult& out = result;
    out.Strikes = st_.Strikes;
    out.Timing = SummarizeStrikes(out.Strikes);
    out.Windows = WindowsInMs(game, st_);
    out.SuggestedDelay = SuggestedDelay(game.settings.DelaySetting, out.Timing);
    out.Underruns = game.platform.music.Underruns() - underrunsAtStart_;
    ReportUnderruns(game, out.Underruns);
    out.ChartPrint = print_;
    if (st_.Recorder) {
        record_.chartPrint = print_;
        record_.outcome = OutcomeOf(st_, BuildResultsText(game, st_).validScore);
        if (options_.record) *options_.record = record_;
    }

    if (!request_.autoPlay) ShowTimingPanel(game, out);
    shown_ = ShowResults(game, st_);
    out.ShownScore = shown_.validScore;
    out.GaugeLevel = st_.GaugeLevel;
    out.NormaCleared = st_.GaugeLevel >= kNormaLevel;
    out.Score = st_.Score;
    out.MaxCombo = st_.MaxCombo;
    out.CountBest = st_.CountBest;
    out.CountGood = st_.CountGood;
    out.CountMiss = st_.CountMiss;
    out.Gauge = st_.Gauge;
    out.Frames = st_.Frames;
    out.Caption = shown_.caption;
    out.Judgements = st_.Judgements;
    if (ghost_)
        game.form.Label[play_slots::kGhostLabel].Caption =
            GhostLine(ghost_->shownScore, out.ShownScore);
    phase_ = Phase::Results;
    resultsEnd_ = game.platform.clock.Now() + kResultsSeconds;
    if (!request_.autoPlay && !request_.ranking && !options_.replay) {
        PlayOutcome played;
        played.request = request_;
        played.result = &result;
        std::vector<PlayRecord> history = ReadPlayHistory(game);
        history.push_back(PlayRecordOf(game, played, ""));
        if ((advice_ = LearnedOffset(history, game.devices)))
            ShowOffsetAdvice(game, OffsetAdviceText(*advice_));
    }
}

Step PlayScreen::Resumed(Game& game, GameScreen& child) {
    const auto* pause = dynamic_cast<PauseScreen*>(&child);
    if (!pause) return Step::Stay();
    Platform& pf = game.platform;
    switch (pause->choice) {
        case PauseChoice::Continue: {
            // One beat of the song's tempo on show, the song still frozen, then it goes on.
            phase_ = Phase::CountIn;
            countEnd_ = pf.clock.Now() + BeatSeconds(game, request_.chart);
            LabelControl& count = game.form.Label[play_slots::kPauseTitleLabel];
            count.Caption = "♪";
            count.Visible = true;
            game.form.pHaikei.Visible = false;
            return Step::Stay();
        }
        case PauseChoice::Retry:
            // The attempt that was left writes nothing: no results, no replay.
            pf.music.SetFileName("");
            pf.music.SetVolume(game.settings.BgmVolume);
            Keep(game, PlayEnd::Retried);
            return Step::Replace(Again());
        case PauseChoice::Practice:
            practiceFrom = pausedAt_;
            [[fallthrough]];  // the song is left as by やめる
        case PauseChoice::Leave:
            left = true;
            Keep(game, PlayEnd::Left);
            pf.music.SetFileName("");
            pf.music.SetVolume(game.settings.BgmVolume);
            return Step::Pop();
    }
    return Step::Stay();
}

void PlayScreen::Keep(Game& game, PlayEnd end) {
    PlayOutcome o;
    o.end = end;
    o.request = request_;
    o.watched = options_.replay != nullptr;
    o.result = &result;
    if (st_.Recorder && options_.keepReplay) o.replay = &record_;
    KeepPlayOutcome(game, o, course);
}

std::unique_ptr<PlayScreen> PlayScreen::Again() const {
    auto again = std::make_unique<PlayScreen>(request_, options_);
    again->course = course;
    return again;
}

void PlayScreen::GoOn(Game& game) {
    Platform& pf = game.platform;
    game.form.Label[play_slots::kPauseTitleLabel].Visible = false;
    game.form.pHaikei.Visible = true;
    // Presses made while paused or counting are neither judged nor sounded.
    StrikesFromNow(game, st_);
    st_.PendingScroll.reset();
    if (!request_.autoPlay && !options_.replay) strikes_.emplace(game);
    pf.music.Resume();
    phase_ = Phase::Playing;
    frames_.Restart(pf.clock.Now());
}

double PlayScreen::WakeAt(Game& game) {
    switch (phase_) {
        case Phase::Playing:
            if (watchPaused_) return MenuWakeAt(game);
            return frames_.Next();
        case Phase::CountIn:
            return countEnd_;
        case Phase::Results:
            return resultsEnd_;
        case Phase::Paused:
            return kNoWake;
    }
    return kNoWake;
}

bool PlayScreen::JudgesStrikes() const {
    // A watch judges what was recorded: the keys it reads are the watcher's menu keys.
    if (options_.watch) return false;
    return phase_ == Phase::Playing || phase_ == Phase::CountIn;
}

}  // namespace zb
