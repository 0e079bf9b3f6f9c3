#include "play/judgement.hpp"

#include <algorithm>

#include "core/checked.hpp"
#include "core/songs.hpp"
#include "core/strike_inputs.hpp"
#include "play/hit_feedback.hpp"
#include "play/scoring.hpp"

namespace zb {

int NoteKindOf(const Chart& chart, int16_t note) {
    if (note < 1 || note > int(chart.NoteKinds.size())) return 0;
    return (chart.NoteKinds[size_t(note - 1)] - '0') % 5;
}

int32_t NotePosOf(const Chart& chart, int16_t note) {
    return chart.NotePos.at(size_t(note));
}

int32_t ScrollPosAt(const Chart& c, int32_t playTime) {
    const double lane = double(c.ChartText.size()) * double(c.NoteSpacing);
    const int32_t p = Round32(double(playTime) / 100.0 * lane / (double(c.ChartSpan) / 100.0));
    return Add<int32_t>(Sub<int32_t>(p, c.ChartDelay), c.ChartOffset);
}

int32_t PlayTimeOf(const Chart& c, int16_t song, double musicSeconds) {
    const int32_t t = Round32(musicSeconds * 100.0);
    // The parts of the three-part songs count from their own start in the music.
    if (!IsMultiPartSong(song) || c.SongPart < 0 || c.SongPart >= PartCount(song)) return t;
    return Sub<int32_t>(t, PartStartTime(song, c.SongPart));
}

namespace {

// The scroll position at a moment of the clock's timeline (a key's down stamp).
int32_t ScrollAt(Game& game, const PlayState& st, double at) {
    const double pos = game.platform.music.PositionAt(at);
    return ScrollPosAt(game.chart, PlayTimeOf(game.chart, st.Chart.song, pos));
}

bool Within(int32_t p, int32_t c, int16_t w) {
    return Sub<int32_t>(c, w) <= p && p <= Add<int32_t>(c, w);
}

// A big-note wait of this colour (0 don, 1 kan) runs on the current note.
bool Waiting(const PlayState& st, int colour) {
    return st.WaitCount != 0 && st.WaitColour == colour && st.WaitNote == st.CurrentNote;
}

// The judgement point for a pair of keys: where the press that started the wait on this note
// went down; else where the latest of their presses registered in this frame went down; else the
// frame's own position while the keys are merely held.
int32_t JudgePoint(Game& game, const PlayState& st, int a, int b) {
    const int16_t frame = game.settings.FramePosition;
    if (Waiting(st, a / 2)) return Add<int32_t>(frame, st.WaitScroll);
    const auto& ps = st.PressScroll;
    std::optional<int32_t> s;
    if (ps[size_t(a)] && ps[size_t(b)])
        s = st.PressTime[size_t(b)] >= st.PressTime[size_t(a)] ? ps[size_t(b)] : ps[size_t(a)];
    else if (ps[size_t(a)])
        s = ps[size_t(a)];
    else if (ps[size_t(b)])
        s = ps[size_t(b)];
    return Add<int32_t>(frame, s.value_or(st.ScrollPos));
}

// The wait for the second key of a big note; keys a and b strike the big kind `big`.
void WaitCheck(Game& game, PlayState& st, int a, int b, int big) {
    const Chart& c = game.chart;
    const int kind = NoteKindOf(c, st.CurrentNote);
    const auto& held = st.KeyHeld;
    if (!(held[size_t(a)] || held[size_t(b)]) || st.CurrentNote != st.LastPressNote) return;
    if (!(held[size_t(a)] || (kind == big && held[size_t(b)]))) return;
    const int32_t at = JudgePoint(game, st, a, b);
    if (!Within(NotePosOf(c, st.CurrentNote), at, st.W3)) return;
    // The note is judged where the press that reached it first went down, however long the wait.
    if (st.WaitCount == 0 || st.WaitColour != a / 2 || st.WaitNote != st.CurrentNote) {
        st.WaitColour = a / 2;
        st.WaitNote = st.CurrentNote;
        st.WaitScroll = Sub<int32_t>(at, game.settings.FramePosition);
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
    const int32_t at = JudgePoint(game, st, a, b);
    if (kind == big && held[size_t(a)] && held[size_t(b)]) {
        if (Within(p, at, st.W1))
            ScoreBest(c, st, 1.0, true);
        else if (Within(p, at, st.W2))
            ScoreGood(c, st, 1.0 / 2.0);
        else if (Within(p, at, st.W3))
            ScoreBad(c, st);
    } else if (kind == small || (kind == big && st.WaitReady)) {
        const bool isBig = kind == big;
        if (Within(p, at, st.W1))
            ScoreBest(c, st, isBig ? 2.0 / 3.0 : 1.0, false);
        else if (Within(p, at, st.W2))
            ScoreGood(c, st, isBig ? 1.0 / 3.0 : 1.0);
        else if (Within(p, at, st.W3))
            ScoreBad(c, st);
    }
}

}  // namespace

void ForgetEarlierPresses(Game& game, PlayState& st) {
    for (size_t k = 0; k < 4; ++k) {
        for (int code : StrikeCodes(game, int(k))) game.platform.keyboard.TakeDownStamps(code);
        st.QueuedPresses[k].clear();
    }
}

void PollKeys(Game& game, PlayState& st) {
    Keyboard& kb = game.platform.keyboard;
    st.PressScroll = {};
    std::array<bool, 4> registered{}, down{};
    for (size_t k = 0; k < 4; ++k) {
        auto& queue = st.QueuedPresses[k];
        // The strike's key and its input on each pad: every one that went down is a press, in
        // the order of their stamps; the strike is down while any of them is.
        for (int code : StrikeCodes(game, int(k))) {
            for (double at : kb.TakeDownStamps(code))
                queue.insert(std::upper_bound(queue.begin(), queue.end(), at), at);
            down[k] = down[k] || (kb.GetAsyncKeyState(code) & kKeyDown) != 0;
        }
        if (queue.empty()) continue;
        // Every time the key went down is one press, registered in the first frame after it (a
        // key struck twice between two frames registers once a frame). A key still held from an
        // earlier press was let go in between: that press is over.
        const double at = queue.front();
        queue.pop_front();
        st.LastPressNote = st.CurrentNote;
        st.KeyHeld[k] = true;
        st.PressScroll[k] = ScrollAt(game, st, at);
        st.PressTime[k] = at;
        registered[k] = true;
        HitPose(game, int16_t(k));  // its sound started when the key went down
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
        if (st.KeyHeld[k] && !down[k] && !registered[k] && !Waiting(st, int(k) / 2))
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
