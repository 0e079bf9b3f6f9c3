#include "play/play_field.hpp"

#include "core/chart_digits.hpp"
#include "core/checked.hpp"
#include "core/picture_sets.hpp"

namespace zb {

namespace {

// The ghost's judgement of a note: a small square above it, gold for 良, white for 可, blue for
// 不可 or a note it let pass.
void DrawGhostMark(Surface& lane, const std::string& marks, size_t i, int x, int width, int row) {
    if (i >= marks.size()) return;
    const char j = marks[i];
    const Color c = j >= '3'   ? Color::Rgb(255, 210, 40)
                    : j == '2' ? Color::Rgb(235, 235, 235)
                               : Color::Rgb(70, 110, 255);
    lane.FillRect(x + width / 2 - 3, row - 14, 7, 7, c);
}

}  // namespace

void DrawLane(Game& game, const PlayState& st) {
    if (!st.DrawField) return;
    MainForm& f = game.form;
    const Chart& c = game.chart;
    Surface& lane = f.pFumenUra.Dc();
    f.pFumenUra.Cls();
    const Modifier mode = game.chart.Mode;
    // Sudden: notes appear close to the frame.
    const int32_t farEdge = mode == Modifier::Sudden ? 200 : 500;
    const bool reverse = mode == Modifier::Reversed;
    const int L = st.LaneY, F = st.FrameX, B = c.LaneBlitWidth;
    const Surface& line = f.pLineUra[0].Dc();
    const Surface& lineMask = f.pLineUra[1].Dc();
    const int64_t spacing = c.NoteSpacing;
    // The strikes made, newest first, until they have scrolled off: a tick through the note row.
    for (auto t = st.Strikes.rbegin(); st.ShowStrikes && t != st.Strikes.rend(); ++t) {
        const int64_t x64 = int64_t(t->lane) - st.ScrollPos;
        if (x64 < -300) break;
        if (x64 > farEdge) continue;
        const int x = reverse ? 320 - int(x64) : int(x64);
        const Color c = t->offsetMs < 0 ? Color::Rgb(80, 160, 255) : Color::Rgb(255, 110, 70);
        lane.FillRect(x + B / 2 - 1, L - 6, 3, B + 12, c);
    }
    const int len = int(c.ChartText.size());
    // Only the positions whose x can fall inside -300 .. farEdge need a look, but the note
    // index of a position is the count of notes before it, so the walk counts from the start.
    int note = 0;
    for (int w = 1; w <= len; ++w) {
        const char d = c.ChartText[size_t(w - 1)];
        const int kind = NoteKindOfDigit(d);
        if (kind != 0) ++note;
        const int64_t x64 = spacing * w - st.ScrollPos;
        if (x64 < -300) continue;
        if (x64 > farEdge) break;  // positions only move right from here
        int x = int(x64);
        if (reverse) x = 320 - x;
        if (BarLineAt(d)) BlitMasked(line, lineMask, 0, 0, B, B + 27, lane, x, L - 20);
        if (kind == 0) continue;
        static constexpr int kSprite[5] = {0, 0, 1, 3, 4};
        const Surface& sprite = f.pNoteUra[size_t(kSprite[kind])].Dc();
        const Surface& mask = f.pNoteUra[kind <= 2 ? 2 : 5].Dc();
        if (st.GhostMarks)
            DrawGhostMark(lane, *st.GhostMarks, st.PartFirstNote + note - 1, x, B, L);
        const bool hit = size_t(note) < st.NoteHit.size() && st.NoteHit[size_t(note)];
        if (!hit) {
            BlitMasked(sprite, mask, 0, 0, B, B, lane, x, L);
        } else if (reverse ? x >= 0 : x < 1) {
            // A hit note flies up and to the right from the frame as the lane scrolls on.
            BlitMasked(sprite, mask, 0, 0, B, B, lane, F - 4 * (x - F), L + (x - F));
        }
    }
}

void DrawJudgement(Game& game, PlayState& st) {
    MainForm& f = game.form;
    Surface& lane = f.pFumenUra.Dc();
    const int L = st.LaneY, F = st.FrameX, B = game.chart.LaneBlitWidth;
    if (st.JudgeKind != 0) st.JudgeAge = Add<int16_t>(st.JudgeAge, 1);
    if (st.JudgeAge > 20) st.JudgeKind = 0, st.JudgeAge = 0;
    if (!st.DrawField) return;

    // The pulse swells to its largest image at age 5 and shrinks back.
    static constexpr int kPulse[10] = {0, 10, 8, 6, 4, 2, 4, 6, 8, 10};
    int pair = 0;
    if (game.settings.JudgeEffect && st.JudgeAge >= 1 && st.JudgeAge <= 9)
        pair = kPulse[st.JudgeAge];
    BlitMasked(f.pWakuUra[size_t(pair)].Dc(), f.pWakuUra[size_t(pair + 1)].Dc(), 0, 0, B, B, lane,
               F, L);

    if (st.JudgeAge >= 5 && st.JudgeKind >= 1 && st.JudgeKind <= 4) {
        const std::array<PictureBox, 2>* words[5] = {nullptr, &f.pHanteiBADUra, &f.pHanteiGoodUra,
                                                     &f.pHanteiGREATUra, &f.pHanteiCoolUra};
        const auto& w = *words[st.JudgeKind];
        BlitMasked(w[1].Dc(), w[0].Dc(), 0, 0, 64, 64, lane, F, L - 30);
    } else {
        f.pHanteiMask.Cls();
        BlitCopy(f.pHanteiMask.Dc(), 0, 0, 64, 64, lane, 100, L + 70);
    }
    // The lane shown is the one just drawn: the two boxes are of one size, so they share its
    // pixels (the next frame's drawing starts on pixels of its own) instead of copying them.
    if (lane.Width() == f.pFumen.Dc().Width() && lane.Height() == f.pFumen.Dc().Height())
        f.pFumen.Dc() = lane;
    else
        BlitCopy(lane, 0, 0, 1000, 1500, f.pFumen.Dc(), 0, 0);
}

void ShowIdleFace(MainForm& f) {
    f.pInuMask.Cls();
    BlitCopy(f.pInuKao.Dc(), 0, 0, kDrummerSize, kDrummerSize, f.pInuMask.Dc(), 0, 0);
    BlitCopy(f.pInuMask.Dc(), 0, 0, kDrummerSize, kDrummerSize, f.pInu.Dc(), 0, 0);
}

void DrawIdleFace(Game& game, const PlayState& st) {
    if (st.FrameCount % 4 != 0 || !st.DrawField) return;
    // Restoring once per key that is up gives the same picture as restoring once.
    for (bool held : st.KeyHeld) {
        if (!held) {
            ShowIdleFace(game.form);
            return;
        }
    }
}

void DrawBackground(Game& game, PlayState& st) {
    PictHolder& p = game.form.frmPict;
    const int hour = game.platform.clock.LocalTime().hour;
    const bool day = hour >= 6 && hour <= 18;
    // One animation frame every eight chart positions of scrolling.
    const double steps = (double(st.ScrollPos) + 100000.0) / (double(game.chart.NoteSpacing) * 8.0);
    const int32_t a = Mod<int32_t>(Round32(steps), 5);
    const int i =
        int(a < 0 ? a + 5 : a);  // a scroll far before the start would give a negative frame
    if (st.BackgroundShown.Shows(i + (day ? 8 : 0), game.form.pHaikei.Dc())) return;
    if (p.pHaikeiUra.WidthPx() < 650 || p.pHaikeiUra.HeightPx() < 176)
        p.pHaikeiUra.SetSizePx(650, 176);
    Surface& ura = p.pHaikeiUra.Dc();
    p.pHaikeiUra.Cls();
    const Surface& sky = day ? p.pHiru.Dc() : p.pYoru.Dc();
    BlitCopy(sky, 0, 0, 650, 176, ura, 0, 0);
    BlitCopy(p.pInu[size_t(i + 5)].Dc(), 0, 0, 65, 65, ura, 100, 80);
    BlitCopy(p.pInu[size_t(i)].Dc(), 0, 0, 50, 50, ura, 280, 90);
    BlitCopy(p.pInu[size_t(i + 10)].Dc(), 0, 0, 65, 65, ura, 460, 80);
    BlitCopy(ura, 0, 0, 650, 176, game.form.pHaikei.Dc(), 0, 0);
    st.BackgroundShown.Drawn(i + (day ? 8 : 0), game.form.pHaikei.Dc());
}

}  // namespace zb
