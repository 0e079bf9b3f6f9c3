#include "play/practice_play.hpp"

#include <algorithm>
#include <stdexcept>

#include "core/chart_digits.hpp"
#include "core/chart_loader.hpp"
#include "core/chart_timing.hpp"
#include "core/checked.hpp"
#include "core/own_songs.hpp"
#include "play/hit_feedback.hpp"
#include "play/judgement.hpp"
#include "play/play_field.hpp"
#include "play/play_frame.hpp"

namespace zb {

namespace {

// Charts are timed in centiseconds: a note within 5 ms of a bar line is on it.
constexpr double kOnTheLine = 0.005;
// While the song waits for a stroke, the keys are looked at this often: the song goes on within
// this much of the stroke, so the player's clock loses next to nothing to the look.
constexpr double kStrokeLook = 0.001;

// The part the full song plays at a moment of its music: each part until its end.
int16_t PartAt(int song, double seconds) {
    if (!IsMultiPartSong(song)) return 0;
    int16_t part = 0;
    while (part + 1 < PartCount(song) &&
           seconds * 100 >= PartStartTime(song, part) + PartEndTimeOf(song, part))
        ++part;
    return part;
}

}  // namespace

std::string PracticeMusicFile(const Game& game, ChartId chart) {
    if (const OwnSong* own = FindOwnSong(game, chart.song)) return own->path;
    return game.AppDir() + SongMusicFile(chart.song);
}

PracticePlay::PracticePlay(Game& game, const PracticeRequest& request)
    : game_(game), request_(request) {
    const std::string file =
        request.musicFile.empty() ? PracticeMusicFile(game, request.chart) : request.musicFile;
    if (request.musicFile.empty()) CheckOwnSongFile(game, request.chart.song);
    std::string why;
    if (!ReadSongBars(file, bars_, why)) throw std::runtime_error(why);
    whole_ = !request.fromBar && !request.toBar;
    section_ = whole_ ? zb::WholeSong(bars_)
                      : SectionOf(bars_, request.fromBar.value_or(1),
                                  request.toBar.value_or(request.fromBar.value_or(1)));
    rate_ = nextRate_ = std::clamp(request.rate, kPracticeSlowest, kPracticeFastest);
}

void PracticePlay::Begin() {
    BeginPass();
}

void PracticePlay::LoadPart(int16_t part) {
    LoadChart(game_, request_.chart, part);
    // The ディレイ makes up for the machine's latency, which does not slow down with the song:
    // its lane distance shrinks with the tempo so that it stays the same milliseconds.
    game_.chart.ChartDelay = Round16(double(game_.settings.DelaySetting) * rate_);
}

std::vector<double> PracticePlay::PartNoteTimes() const {
    const Chart& c = game_.chart;
    const ChartId chart = request_.chart;
    std::vector<double> times(size_t(c.NoteCount) + 2, 1e9);
    int32_t w = 0;
    size_t note = 0;
    const double lane = double(c.ChartText.size()) * c.NoteSpacing;
    for (char ch : c.ChartText) {
        ++w;
        if (!IsNoteDigit(ch)) continue;
        times[++note] =
            IsOwnSong(chart.song)
                ? (double(c.NoteSpacing) * w - c.ChartOffset) * c.ChartSpan / lane / 100.0
                : PositionMusicTime(chart.song, chart.difficulty, c.SongPart, w) / 100.0;
    }
    return times;
}

int PracticePlay::FirstNoteBar() {
    LoadPart(0);
    const std::vector<double> times = PartNoteTimes();
    if (game_.chart.NoteCount < 1) return 1;
    return bars_.BarAt(times[1] + kOnTheLine);
}

void PracticePlay::EnterPart() {
    const Chart& c = game_.chart;
    noteMusic_ = PartNoteTimes();
    waitedFor_.assign(noteMusic_.size(), false);
    int16_t first = 1;
    while (first <= c.NoteCount && noteMusic_[size_t(first)] < section_.start - kOnTheLine) ++first;
    st_.CurrentNote = first;
    seenNote_ = first;
    for (int16_t n = first; n <= c.NoteCount; ++n)
        if (whole_ || noteMusic_[size_t(n)] < section_.end - kOnTheLine) ++sectionNotes_;
}

void PracticePlay::SetNextSection(int fromBar, int toBar) {
    nextSection_ = SectionOf(bars_, fromBar, toBar);
}

void PracticePlay::BeginPass() {
    rate_ = nextRate_;
    if (nextSection_) {
        section_ = *nextSection_;
        nextSection_.reset();
        whole_ = false;
    }
    MusicPlayer& music = game_.platform.music;
    st_ = PlayState{};
    st_.AutoPlay = request_.autoPlay;
    st_.Chart = request_.chart;
    st_.DrawField = request_.drawField;
    pass_ = PracticePass{};
    pass_.rate = rate_;
    if (!whole_) pass_.fromBar = section_.fromBar, pass_.toBar = section_.toBar;
    offsets_.clear();
    seenStrikes_ = 0;
    sectionNotes_ = 0;
    LoadPart(PartAt(request_.chart.song, section_.leadIn));
    // A first part sets the music; a later one plays on in it, which a pass may start in.
    const std::string file = PracticeMusicFile(game_, request_.chart);
    if (music.FileName() != file) music.SetFileName(file);
    // After the load: a song that can no longer be loaded leaves the tempo as it was.
    music.SetTempo(rate_);
    SetUpPlay(game_, st_);
    EnterPart();
    if (!whole_) music.Seek(section_.leadIn);
}

void PracticePlay::Frame() {
    if (done_) return;
    PlayFrame(game_, st_);
    ReleaseIfStruck();
    Collect();
}

std::optional<double> PracticePlay::NextDue() const {
    const Chart& c = game_.chart;
    const int16_t n = st_.CurrentNote;
    if (!request_.wait || st_.AutoPlay || n < 1 || n > c.NoteCount || st_.NoteJudged.at(size_t(n)))
        return std::nullopt;
    const double music = noteMusic_[size_t(n)];
    if (music < section_.start - kOnTheLine || (!whole_ && music >= section_.end - kOnTheLine))
        return std::nullopt;
    return DueMusicSeconds(game_, st_, NotePosOf(c, n));
}

void PracticePlay::HaltIfDue() {
    MusicPlayer& music = game_.platform.music;
    if (done_ || halted_ || music.Paused() || !DueNow()) return;
    const double due = *NextDue();
    // The note stands on the judgement frame and nothing sounds until it is struck: a stroke
    // then is judged at the note's own time, however long the song stood.
    // The wait counts from the moment the music reached the note, as the player heard it.
    const double now = game_.platform.clock.Now();
    haltedAt_ = now - std::max(0.0, music.PositionAt(now) - due) / std::max(music.Tempo(), 1e-9);
    music.Pause();
    music.Seek(due);
    halted_ = true;
    haltNote_ = st_.CurrentNote;
    st_.BigNeedsPair = true;
}

void PracticePlay::ReleaseIfStruck() {
    if (!halted_) return;
    if (st_.CurrentNote == haltNote_ && !st_.NoteJudged.at(size_t(haltNote_))) {
        const int kind = NoteKindOf(game_.chart, haltNote_);
        for (size_t k = 0; k < 4; ++k)
            if (st_.PressScroll[k] && int(k) / 2 != (kind + 1) % 2)
                wrongAt_ = game_.platform.clock.Now();
        return;
    }
    waitedFor_.at(size_t(haltNote_)) = true;
    pass_.waited = Add<int16_t>(pass_.waited, 1);
    Release();
}

void PracticePlay::Release() {
    halted_ = false;
    st_.BigNeedsPair = false;
    pass_.waitedMs += (game_.platform.clock.Now() - haltedAt_) * 1000.0;
    game_.platform.music.Resume();
}

bool PracticePlay::DueNow() const {
    const std::optional<double> due = NextDue();
    return due && game_.platform.music.CurrentPosition() >= *due - 1e-6;
}

bool PracticePlay::StrokeWaiting() {
    if (done_ || (!halted_ && !DueNow())) return false;
    bool came = false;
    InputQueue& kb = game_.input;
    for (const InputStrikes& in : st_.StrikeInputs.Inputs())
        came |= (kb.GetAsyncKeyState(in.code) & kKeyPressedSince) != 0;
    return came;
}

void PracticePlay::SetWait(bool on) {
    request_.wait = on;
    if (!on && halted_) Release();
}

bool PracticePlay::Advance() {
    if (done_) return false;
    Chart& c = game_.chart;
    const int16_t song = request_.chart.song;
    if (IsMultiPartSong(song) && c.SongPart <= 1 && st_.PlayTime >= c.PartEndTime) {
        LoadPart(Add<int16_t>(c.SongPart, 1));
        ResetNoteFlags(st_, c.NoteCount);
        EnterPart();
        st_.PlayTime = PlayTimeOf(c, song, ReadMusic(game_, st_) / 100.0);
    }
    if (st_.FrameCount % 10 == 0 && st_.DrawField) DrawBackground(game_, st_);
    st_.FrameCount = int16_t((st_.FrameCount + 1) % 10000);
    st_.Frames = Add<int32_t>(st_.Frames, 1);
    if (whole_) {
        const bool more = st_.PlayTime < c.PartEndTime ||
                          (IsMultiPartSong(song) && c.SongPart <= 1) || st_.JudgeAge != 0;
        if (!more) EndPass();
    } else {
        EndIfDue();
    }
    return !done_;
}

std::optional<double> PracticePlay::SectionEndAt() {
    MusicPlayer& music = game_.platform.music;
    if (halted_ && !done_) return game_.platform.clock.Now() + kStrokeLook;
    if (done_ || music.Paused() || music.Tempo() <= 0) return std::nullopt;
    std::optional<double> until = NextDue();
    if (!whole_ && (!until || section_.end < *until)) until = section_.end;
    if (!until) return std::nullopt;
    const double now = game_.platform.clock.Now();
    return now + std::max(0.0, *until - music.PositionAt(now)) / music.Tempo();
}

void PracticePlay::EndIfDue() {
    HaltIfDue();
    if (whole_ || done_) return;
    if (game_.platform.music.CurrentPosition() >= section_.end - 1e-6) EndPass();
}

void PracticePlay::Collect() {
    const int n = st_.CurrentNote - seenNote_;
    if (n <= 0) return;
    const std::string& marks = st_.Judgements;
    // The notes judged by strikes come first in a frame (the sweep of passed notes follows), so
    // the new strikes are those of the first new notes.
    const size_t strikes = st_.Strikes.size() - seenStrikes_;
    for (int i = 0; i < n; ++i) {
        const size_t note = size_t(seenNote_ + i);
        if (!whole_ && noteMusic_[note] >= section_.end - kOnTheLine) continue;  // past B
        pass_.marks += waitedFor_[note] ? 'w' : '.';
        switch (marks[marks.size() - size_t(n) + size_t(i)]) {
            case '3':
            case '4':
                ++pass_.best;
                break;
            case '2':
                ++pass_.good;
                break;
            default:
                ++pass_.miss;
                break;
        }
        if (size_t(i) < strikes) offsets_.push_back(st_.Strikes[seenStrikes_ + size_t(i)].offsetMs);
    }
    seenNote_ = st_.CurrentNote;
    seenStrikes_ = st_.Strikes.size();
}

PracticePass PracticePlay::Current() const {
    PracticePass p = pass_;
    if (!offsets_.empty()) {
        double sum = 0;
        for (double o : offsets_) sum += o;
        // In the player's time: a song millisecond lasts 1 / rate of the player's.
        p.meanOffsetMs = sum / double(offsets_.size()) / rate_;
    }
    return p;
}

std::optional<PracticePass> PracticePlay::Best() const {
    std::optional<PracticePass> best;
    for (const PracticePass& p : passes_) {
        // Passes over other bars do not compare.
        if (!whole_ && (p.fromBar != section_.fromBar || p.toBar != section_.toBar)) continue;
        if (!best || BetterPass(p, *best)) best = p;
    }
    return best;
}

void PracticePlay::EndPass() {
    Collect();
    // The section's notes not judged by its end (struck too late to count) are misses.
    const int judged = pass_.best + pass_.good + pass_.miss;
    pass_.miss = Add<int16_t>(pass_.miss, int16_t(std::max(0, sectionNotes_ - judged)));
    const PracticePass done = Current();
    passes_.push_back(done);
    // The ramp steps from this pass's tempo, unless the player chose the next one meanwhile.
    if (request_.ramp && nextRate_ == rate_) nextRate_ = RampedRate(rate_, done, request_.ceiling);
    if (whole_ || (request_.loops > 0 && int(passes_.size()) >= request_.loops)) {
        done_ = true;
        return;
    }
    BeginPass();
}

PracticeResult RunPractice(Game& game, const PracticeRequest& request, double framesPerSecond) {
    PracticePlay practice(game, request);
    Platform& pf = game.platform;
    pf.window.SetTextInput(false);
    std::optional<StrikeSounds> sounds;
    if (!request.autoPlay) sounds.emplace(game);
    const double period = 1.0 / (framesPerSecond > 0 ? framesPerSecond : kPlayFramesPerSecond);
    practice.Begin();
    double nextFrame = pf.clock.Now() + period;
    while (!practice.Done()) {
        practice.Frame();
        // Wait for the frame's turn; a section that ends before then loops right there.
        for (;;) {
            const std::optional<double> end = practice.SectionEndAt();
            const double until = end && *end < nextFrame ? *end : nextFrame;
            pf.window.WaitUntil(until);
            pf.window.DoEvents();
            if (until >= nextFrame) break;
            // A stroke at a note due, or while the song waits, is judged at once: in time, or
            // the song goes on with it.
            if (practice.StrokeWaiting()) {
                nextFrame = pf.clock.Now();
                break;
            }
            practice.EndIfDue();
            if (practice.Done()) break;
        }
        nextFrame += period;
        const double now = pf.clock.Now();
        if (nextFrame < now) nextFrame = now;
        practice.Advance();
    }
    return {practice.Passes(), practice.SectionPlayed(), practice.WholeSong(),
            practice.Bars().Count(), request.wait};
}

}  // namespace zb
