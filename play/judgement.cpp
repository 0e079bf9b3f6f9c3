#include "play/judgement.hpp"

#include <algorithm>
#include <utility>

#include "core/chart_digits.hpp"
#include "core/chart_timing.hpp"
#include "core/checked.hpp"
#include "core/songs.hpp"
#include "core/strike_inputs.hpp"
#include "platform/kit_inputs.hpp"
#include "play/hit_feedback.hpp"
#include "play/replay.hpp"
#include "play/scoring.hpp"

namespace zb {

int NoteKindOf(const Chart& chart, int16_t note) {
    if (note < 1 || note > int(chart.NoteKinds.size())) return 0;
    return NoteKindOfDigit(chart.NoteKinds[size_t(note - 1)]);
}

int32_t NotePosOf(const Chart& chart, int16_t note) {
    return chart.NotePos.at(size_t(note));
}

int32_t ScrollPosAt(const Chart& c, int32_t playTime) {
    const int32_t p =
        Round32(ScrolledPixels(playTime, double(c.ChartText.size()), c.NoteSpacing, c.ChartSpan));
    return Add<int32_t>(Sub<int32_t>(p, c.ChartDelay), c.ChartOffset);
}

int32_t PlayTimeOf(const Chart& c, int16_t song, double musicSeconds) {
    const int32_t t = Round32(musicSeconds * 100.0);
    // The parts of the three-part songs count from their own start in the music.
    if (!IsMultiPartSong(song) || c.SongPart < 0 || c.SongPart >= PartCount(song)) return t;
    return Sub<int32_t>(t, PartStartTime(song, c.SongPart));
}

double MsPerLanePixel(const Chart& c) {
    const double lane = double(c.ChartText.size()) * double(c.NoteSpacing);
    return lane > 0 ? double(c.ChartSpan) * 10.0 / lane : 0.0;
}

double DueMusicSeconds(const Game& game, const PlayState& st, int32_t notePos) {
    const Chart& c = game.chart;
    const double lane = double(c.ChartText.size()) * double(c.NoteSpacing);
    // The scroll position, before its rounding, reaches the note less the frame position.
    const double scroll =
        double(notePos) - game.settings.FramePosition + c.ChartDelay - c.ChartOffset;
    double playTime = lane > 0 ? scroll * double(c.ChartSpan) / lane : 0.0;
    const int16_t song = st.Chart.song;
    if (IsMultiPartSong(song) && c.SongPart >= 0 && c.SongPart < PartCount(song))
        playTime += PartStartTime(song, c.SongPart);
    return playTime / 100.0;
}

double DelayStepMs(const Game& game) {
    // The loader scales the ディレイ with the lane values of the speed modifiers.
    return LaneScale(game.chart.Mode) * MsPerLanePixel(game.chart);
}

WindowsMs WindowsInMs(const Game& game, const PlayState& st) {
    const double ms = MsPerLanePixel(game.chart);
    return {st.W1 * ms, st.W2 * ms, st.W3 * ms};
}

namespace {

// The scroll position at a position of the music (a key's down stamp on the music's timeline).
int32_t ScrollAt(const Game& game, const PlayState& st, double music) {
    return ScrollPosAt(game.chart, PlayTimeOf(game.chart, st.Chart.song, music));
}

bool Within(int32_t p, int32_t c, int16_t w) {
    return Sub<int32_t>(c, w) <= p && p <= Add<int32_t>(c, w);
}

// A big-note wait of this colour (0 don, 1 kan) runs on the current note.
bool Waiting(const PlayState& st, int colour) {
    return st.WaitCount != 0 && st.WaitColour == colour && st.WaitNote == st.CurrentNote;
}

// The current note is a big one of this colour that waits for both strikes of its pair.
bool PairAwaited(const Game& game, const PlayState& st, int colour) {
    return st.BigNeedsPair && st.LastPressNote == st.CurrentNote &&
           NoteKindOf(game.chart, st.CurrentNote) == 3 + colour;
}

// Where a pair of keys strikes: the lane position under the judgement frame, and the music's
// position at that moment.
struct Strike {
    int32_t at;
    double music;
};

// The judgement point for a pair of keys: where the press that started the wait on this note
// went down; else where the latest of their presses registered in this frame went down; else the
// frame's own position while the keys are merely held.
Strike JudgePoint(Game& game, const PlayState& st, int a, int b) {
    const int16_t frame = game.settings.FramePosition;
    if (Waiting(st, a / 2)) return {Add<int32_t>(frame, st.WaitScroll), st.WaitMusic};
    const auto& ps = st.PressScroll;
    size_t k = 4;
    if (ps[size_t(a)] && ps[size_t(b)])
        k = st.PressMusic[size_t(b)] >= st.PressMusic[size_t(a)] ? size_t(b) : size_t(a);
    else if (ps[size_t(a)])
        k = size_t(a);
    else if (ps[size_t(b)])
        k = size_t(b);
    if (k == 4) return {Add<int32_t>(frame, st.ScrollPos), st.FrameMusic};
    return {Add<int32_t>(frame, *ps[k]), st.PressMusic[k]};
}

// Keeps the timing of a strike that judged note `note` at lane position `p`.
void KeepStrike(const Game& game, PlayState& st, int32_t p, double music) {
    StrikeTiming t;
    t.offsetMs = (music - DueMusicSeconds(game, st, p)) * 1000.0;
    t.delayStepMs = DelayStepMs(game);
    t.frame = st.Frames;
    t.lane = p;
    t.judgement = st.Judgements.empty() ? '0' : st.Judgements.back();
    if (const auto d = st.PressSources.find(music); d != st.PressSources.end())
        t.device = d->second.device;
    st.Strikes.push_back(t);
}

// The wait for the second key of a big note; keys a and b strike the big kind `big`.
void WaitCheck(Game& game, PlayState& st, int a, int b, int big) {
    const Chart& c = game.chart;
    const int kind = NoteKindOf(c, st.CurrentNote);
    const auto& held = st.KeyHeld;
    if (!(held[size_t(a)] || held[size_t(b)]) || st.CurrentNote != st.LastPressNote) return;
    if (!(held[size_t(a)] || (kind == big && held[size_t(b)]))) return;
    const Strike at = JudgePoint(game, st, a, b);
    if (!Within(NotePosOf(c, st.CurrentNote), at.at, st.W3)) return;
    // The note is judged where the press that reached it first went down, however long the wait.
    if (st.WaitCount == 0 || st.WaitColour != a / 2 || st.WaitNote != st.CurrentNote) {
        st.WaitColour = a / 2;
        st.WaitNote = st.CurrentNote;
        st.WaitScroll = Sub<int32_t>(at.at, game.settings.FramePosition);
        st.WaitMusic = at.music;
    }
    if (st.WaitCount == 0) {
        st.WaitCount = 1;
        st.WaitReady = false;
    } else {
        st.WaitReady = st.WaitCount >= 4;
    }
}

// One colour's judgement: keys a and b strike the small kind `small` and the big kind `big`.
void JudgeColour(Game& game, PlayState& st, int a, int b, int small, int big) {
    const Chart& c = game.chart;
    const auto& held = st.KeyHeld;
    if (!(held[size_t(a)] || held[size_t(b)]) || st.CurrentNote != st.LastPressNote) return;
    const int kind = NoteKindOf(c, st.CurrentNote);
    const int32_t p = NotePosOf(c, st.CurrentNote);
    const Strike s = JudgePoint(game, st, a, b);
    const int32_t at = s.at;
    const int16_t before = st.CurrentNote;
    if (kind == big && held[size_t(a)] && held[size_t(b)]) {
        if (Within(p, at, st.W1))
            ScoreBest(c, st, 1.0, true);
        else if (Within(p, at, st.W2))
            ScoreGood(c, st, 1.0 / 2.0);
        else if (Within(p, at, st.W3))
            ScoreBad(c, st);
    } else if (kind == small || (kind == big && st.WaitReady && !st.BigNeedsPair)) {
        const bool isBig = kind == big;
        if (Within(p, at, st.W1))
            ScoreBest(c, st, isBig ? 2.0 / 3.0 : 1.0, false);
        else if (Within(p, at, st.W2))
            ScoreGood(c, st, isBig ? 1.0 / 3.0 : 1.0);
        else if (Within(p, at, st.W3))
            ScoreBad(c, st);
    }
    if (st.CurrentNote != before) KeepStrike(game, st, p, s.music);
}

}  // namespace

void StrikesFromNow(Game& game, PlayState& st) {
    st.StrikesFrom = game.platform.clock.Now();
    st.PressSources.clear();
    for (size_t k = 0; k < 4; ++k) {
        st.QueuedPresses[k].clear();
        st.Companions[k].clear();
        st.LateStrikes[k].reset();
    }
}

namespace {

// Takes the presses of every input since the last frame into the strikes' queues, as the
// music's positions of their down stamps (at once, so a replay needs nothing else), and says
// which strikes are down (any input of theirs).
// An input bound to both strikes of a pair strikes the second as a companion of the first.
void TakePresses(Game& game, PlayState& st, std::array<bool, 4>& down) {
    InputQueue& input = game.input;
    MusicPlayer& music = game.platform.music;
    // The companions whose first strike registered last frame join now, if its note still waits.
    for (size_t k = 0; k < 4; ++k) {
        if (const auto late = std::exchange(st.LateStrikes[k], std::nullopt);
            late && late->note == st.CurrentNote)
            st.QueuedPresses[k].push_back(late->music);
    }
    st.StrikeInputs.Refresh(game);
    for (const InputStrikes& in : st.StrikeInputs.Inputs()) {
        const bool isDown = input.Down(in.code);
        std::vector<double> stamps = input.TakeDownStamps(in.code);
        std::erase_if(stamps, [&](double at) { return at < st.StrikesFrom; });
        const int note = kit::IsKitCode(in.code) ? kit::NoteOf(in.code) : -1;
        const int velocity = note < 0 || stamps.empty() ? 0 : input.Velocity(in.code);
        for (size_t k = 0; k < 4; ++k) {
            if (!(in.strikes & StrikeBit(int(k)))) continue;
            down[k] = down[k] || isDown;
            const bool companion =
                !in.together && k % 2 == 1 && (in.strikes & StrikeBit(int(k) - 1));
            // The device's offset comes off its stamps before they are judged.
            for (double at : stamps) {
                const double position = music.PositionAt(at - in.lateBy);
                (companion ? st.Companions[k] : st.QueuedPresses[k]).push_back(position);
                st.PressSources[position] = {st.StrikeInputs.Devices()[size_t(in.device)],
                                             music.PositionAt(at), note, velocity};
            }
        }
    }
}

}  // namespace

void PollKeys(Game& game, PlayState& st) {
    st.PressScroll = {};
    std::array<bool, 4> registered{}, down{};
    std::array<size_t, 4> fresh{};
    for (size_t k = 0; k < 4; ++k) fresh[k] = st.QueuedPresses[k].size();
    if (st.Feed) {
        for (size_t k = 0; k < 4; ++k)
            down[k] = st.Feed->TakeKey(st.Frames, int(k), st.QueuedPresses[k]);
    } else {
        TakePresses(game, st, down);
        for (size_t k = 0; k < 4; ++k) {
            auto& queue = st.QueuedPresses[k];
            std::sort(queue.begin() + std::ptrdiff_t(fresh[k]), queue.end());
            std::sort(st.Companions[k].begin(), st.Companions[k].end());
            if (st.Recorder)
                st.Recorder->Keys(game, st.Frames, int(k), st.StrikeInputs.CodesOf(int(k)),
                                  st.StrikesFrom, queue, fresh[k], down[k], st.PressSources);
        }
    }
    for (size_t k = 0; k < 4; ++k) {
        auto& queue = st.QueuedPresses[k];
        if (queue.empty()) continue;
        // Every time the key went down is one press, registered in the first frame after it (a
        // key struck twice between two frames registers once a frame). A key still held from an
        // earlier press was let go in between: that press is over.
        const double at = queue.front();
        queue.pop_front();
        st.LastPressNote = st.CurrentNote;
        st.KeyHeld[k] = true;
        st.PressScroll[k] = ScrollAt(game, st, at);
        st.PressMusic[k] = at;
        registered[k] = true;
        HitPose(game, int16_t(k));  // its sound started when the key went down
        if (k % 2 == 0) {
            auto& companions = st.Companions[k + 1];
            while (!companions.empty() && companions.front() <= at) {
                if (companions.front() == at) st.LateStrikes[k + 1] = {at, st.CurrentNote};
                companions.pop_front();
            }
        }
    }
    st.PendingScroll.reset();
    for (const auto& queue : st.QueuedPresses) {
        if (queue.empty()) continue;
        const int32_t s = ScrollAt(game, st, queue.front());
        if (!st.PendingScroll || s < *st.PendingScroll) st.PendingScroll = s;
    }
    // While a fresh judgement shows in the big-note wait mode, keys stay held.
    if (game.settings.BigNoteWait && st.JudgeKind != 0 && st.JudgeAge <= 4) return;
    // A key that is up ends its press, except in the frame that registers it (a tap is judged
    // even when the key is up again) and while the big-note wait it started runs (the strike is
    // judged when the wait has run).
    for (size_t k = 0; k < 4; ++k)
        if (st.KeyHeld[k] && !down[k] && !registered[k] && !Waiting(st, int(k) / 2) &&
            !PairAwaited(game, st, int(k) / 2))
            st.KeyHeld[k] = false;
}

void JudgeNotes(Game& game, PlayState& st) {
    const Chart& c = game.chart;
    if (!game.settings.BigNoteWait) {
        st.WaitReady = true;
    } else {
        if (st.WaitCount > 7)
            st.WaitCount = 0;
        else if (st.WaitCount != 0)
            st.WaitCount = Add<int16_t>(st.WaitCount, 1);
        WaitCheck(game, st, 0, 1, 3);
        WaitCheck(game, st, 2, 3, 4);
    }
    JudgeColour(game, st, 0, 1, 1, 3);
    JudgeColour(game, st, 2, 3, 2, 4);

    // Passed notes, measured at the lane's left edge; a press still on its way, or a wait that
    // has not run, holds the sweep at the moment its key went down.
    int32_t edge = st.ScrollPos;
    if (st.PendingScroll && *st.PendingScroll < edge) edge = *st.PendingScroll;
    if ((Waiting(st, 0) || Waiting(st, 1)) && st.WaitScroll < edge) edge = st.WaitScroll;
    const int32_t p = NotePosOf(c, st.CurrentNote);
    if (edge > Add<int32_t>(p, st.W3) && !st.NoteJudged.at(size_t(st.CurrentNote))) {
        for (int16_t j = st.CurrentNote; j <= c.NoteCount; ++j)
            if (NotePosOf(c, j) < edge) ScorePassed(c, st);
    }
}

void AutoPlayStep(Game& game, PlayState& st) {
    const Chart& c = game.chart;
    const int32_t p = NotePosOf(c, st.CurrentNote);
    const int32_t at = Add<int32_t>(game.settings.FramePosition, st.ScrollPos);
    if (st.CurrentNote <= c.NoteCount && at >= Sub<int32_t>(p, 1) && at <= Add<int32_t>(p, 1000)) {
        const int kind = NoteKindOf(c, st.CurrentNote);
        const int16_t alt = Mod<int16_t>(st.CurrentNote, 2);
        switch (kind) {
            case 1:
                HitFeedback(game, alt);
                break;
            case 2:
                HitFeedback(game, int16_t(alt + 2));
                break;
            case 3:
                HitFeedback(game, 0), HitFeedback(game, 1);
                break;
            case 4:
                HitFeedback(game, 2), HitFeedback(game, 3);
                break;
            default:
                break;
        }
        ScoreAutoNote(c, st, true, kind >= 3);
    }
    // Notes that passed the lane's left edge before their turn count without a sound.
    if (NotePosOf(c, st.CurrentNote) < st.ScrollPos && !st.NoteJudged.at(size_t(st.CurrentNote))) {
        for (int16_t j = st.CurrentNote; j <= c.NoteCount; ++j)
            if (NotePosOf(c, j) < st.ScrollPos) ScoreAutoNote(c, st, false, false);
    }
}

}  // namespace zb
