#include "play/judgement.hpp"

#include "core/checked.hpp"
#include "core/songs.hpp"
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

constexpr uint16_t kDown = kKeyDown;
constexpr uint16_t kDownAndPressed = kKeyDown | kKeyPressedSince;

// The scroll position at the moment the key last went down.
int32_t ScrollAtDown(Game& game, const PlayState& st, int vk, double* when) {
    const auto down = game.platform.keyboard.LastDownTime(vk);
    if (!down) return st.ScrollPos;
    *when = *down;
    const double pos = game.platform.music.PositionAt(*down);
    return ScrollPosAt(game.chart, PlayTimeOf(game.chart, st.Chart.song, pos));
}

void NotePending(Game& game, PlayState& st, int vk) {
    double when = 0;
    const int32_t s = ScrollAtDown(game, st, vk, &when);
    if (!st.PendingScroll || s < *st.PendingScroll) st.PendingScroll = s;
}

bool Within(int32_t p, int32_t c, int16_t w) {
    return Sub<int32_t>(c, w) <= p && p <= Add<int32_t>(c, w);
}

// The judgement point for a pair of keys: where the latest of their presses registered in this
// frame went down, or the frame's own position while the keys are merely held.
int32_t JudgePoint(Game& game, const PlayState& st, int a, int b) {
    const auto& ps = st.PressScroll;
    std::optional<int32_t> s;
    if (ps[a] && ps[b])
        s = st.PressTime[b] >= st.PressTime[a] ? ps[b] : ps[a];
    else if (ps[a])
        s = ps[a];
    else if (ps[b])
        s = ps[b];
    return Add<int32_t>(game.settings.FramePosition, s.value_or(st.ScrollPos));
}

// The wait for the second key of a big note; `small`/`big` are the colour's kinds.
void WaitCheck(Game& game, PlayState& st, int a, int b, int big) {
    const Chart& c = game.chart;
    const int kind = NoteKindOf(c, st.CurrentNote);
    if (!(st.KeyHeld[a] || st.KeyHeld[b]) || st.CurrentNote != game.LastPressNote) return;
    if (!(st.KeyHeld[a] || (kind == big && st.KeyHeld[b]))) return;
    if (!Within(NotePosOf(c, st.CurrentNote), JudgePoint(game, st, a, b), st.W3)) return;
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
    if (!(st.KeyHeld[a] || st.KeyHeld[b]) || st.CurrentNote != game.LastPressNote) return;
    const int kind = NoteKindOf(c, st.CurrentNote);
    const int32_t p = NotePosOf(c, st.CurrentNote);
    const int32_t at = JudgePoint(game, st, a, b);
    if (kind == big && st.KeyHeld[a] && st.KeyHeld[b]) {
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

void PollKeys(Game& game, PlayState& st) {
    Keyboard& kb = game.platform.keyboard;
    const auto& codes = game.settings.KeyCodes;
    st.PressScroll = {};
    st.PendingScroll.reset();
    for (int k = 0; k < 4; ++k) {
        if (st.KeyHeld[size_t(k)]) continue;
        const uint16_t v = kb.GetAsyncKeyState(codes[size_t(k)]);
        if (v == kDown) {
            game.LastPressNote = st.CurrentNote;
            st.KeyHeld[size_t(k)] = true;
            double when = 0;
            st.PressScroll[size_t(k)] = ScrollAtDown(game, st, codes[size_t(k)], &when);
            st.PressTime[size_t(k)] = when;
            HitFeedback(game, int16_t(k));
        } else if (v == kDownAndPressed) {
            NotePending(game, st, codes[size_t(k)]);
        }
    }
    // While a fresh judgement shows in the big-note wait mode, keys stay held.
    if (game.settings.BigNoteWait && st.JudgeKind != 0 && st.JudgeAge <= 4) return;
    for (int k = 0; k < 4; ++k) {
        if (!st.KeyHeld[size_t(k)]) continue;
        const uint16_t v = kb.GetAsyncKeyState(codes[size_t(k)]);
        if (v != kDown) {
            st.KeyHeld[size_t(k)] = false;
            st.PressScroll[size_t(k)].reset();
            // Released and struck again since the last look: the new press registers next frame.
            if (v == kDownAndPressed) NotePending(game, st, codes[size_t(k)]);
        }
    }
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

    // Passed notes, measured at the lane's left edge; a press still on its way holds the sweep
    // at the moment its key went down.
    int32_t edge = st.ScrollPos;
    if (st.PendingScroll && *st.PendingScroll < edge) edge = *st.PendingScroll;
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
