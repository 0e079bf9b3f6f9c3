// The manual judgement as the play loop applies it: windows, big notes in both modes, held keys,
// the key rule, the sweep of passed notes, and presses judged where their keys went down.
#include <gtest/gtest.h>

#include "play/scoring.hpp"
#include "tests/play/play_fixture.hpp"

namespace zb {
namespace {

using testing::PlayFixture;

enum class Verdict { Best, Good, Bad };

// One note at chart position 50 of 100, on a lane scrolling 1 pixel per centisecond: a press
// d centiseconds after the due time lies d pixels past the frame.
struct OneNote : PlayFixture {
    explicit OneNote(char digit = '1') {
        std::string text(100, '0');
        text[49] = digit;
        SetChart(text, 10, 1000, 1000);
        StartMusic();
    }
    double Base() const { return NoteBaseOf(game.chart.SongLevel, game.chart.ComboBonusStep, 1); }
};

Verdict Of(const SongResult& r) {
    EXPECT_EQ(r.CountBest + r.CountGood + r.CountMiss, 1);
    return r.CountBest ? Verdict::Best : r.CountGood ? Verdict::Good : Verdict::Bad;
}

TEST(Judgement, WindowEdgesHoldAtEveryFrameRate) {
    const struct {
        int d;
        Verdict v;
    } cases[] = {{0, Verdict::Best},   {13, Verdict::Best},  {-13, Verdict::Best},
                 {14, Verdict::Good},  {-14, Verdict::Good}, {26, Verdict::Good},
                 {-26, Verdict::Good}, {27, Verdict::Bad},   {-27, Verdict::Bad},
                 {39, Verdict::Bad},   {-39, Verdict::Bad}};
    for (double fps : {30.0, 60.0, 144.0}) {
        for (auto c : cases) {
            OneNote t;
            t.Tap(t.DueTime(1, c.d), 0, 0.1);
            const SongResult r = t.Play(false, 0, 0, fps);
            EXPECT_EQ(Of(r), c.v) << "press " << c.d << " px off at " << fps << " fps";
        }
    }
}

TEST(Judgement, PressOutsideTheOuterWindowJudgesNothingAndTheNotePasses) {
    OneNote t;
    t.Tap(t.DueTime(1, 45), 0, 0.03);  // late and let go: the note has passed
    const SongResult r = t.Play();
    EXPECT_EQ(r.CountMiss, 1);
    EXPECT_EQ(r.Score, 0);
}

TEST(Judgement, ScoreFactorsOfSmallAndBigNotes) {
    {
        OneNote t('1');
        t.Tap(t.DueTime(1, 20), 0);
        EXPECT_DOUBLE_EQ(t.Play().Score, t.Base());  // 可 on a small note: full points
    }
    {
        OneNote t('3');  // one key on a big don
        t.Tap(t.DueTime(1), 0);
        EXPECT_DOUBLE_EQ(t.Play().Score, t.Base() * 2 / 3);
    }
    {
        OneNote t('3');  // one key, 可
        t.Tap(t.DueTime(1, -20), 1);
        const SongResult r = t.Play();
        EXPECT_EQ(r.CountGood, 1);
        EXPECT_DOUBLE_EQ(r.Score, t.Base() / 3);
    }
    {
        OneNote t('3');  // both keys together: big 良
        t.Tap(t.DueTime(1), 0);
        t.Tap(t.DueTime(1), 1);
        EXPECT_DOUBLE_EQ(t.Play().Score, t.Base());
    }
    {
        OneNote t('4');  // both kan keys, 可: half points
        t.Tap(t.DueTime(1, 20), 2);
        t.Tap(t.DueTime(1, 20), 3);
        const SongResult r = t.Play();
        EXPECT_EQ(r.CountGood, 1);
        EXPECT_DOUBLE_EQ(r.Score, t.Base() / 2);
    }
}

TEST(Judgement, BigNoteWithoutTheWaitIsJudgedAtTheFirstKey) {
    OneNote t('3');
    t.Tap(t.DueTime(1), 0);
    t.Tap(t.DueTime(1) + 0.05, 1);  // three frames later: too late to count
    EXPECT_DOUBLE_EQ(t.Play().Score, t.Base() * 2 / 3);
}

TEST(Judgement, BigNoteWaitGivesTheSecondKeyFourFrames) {
    OneNote t('3');
    t.game.settings.BigNoteWait = true;
    t.Tap(t.DueTime(1), 0, 0.2);
    t.Tap(t.DueTime(1) + 1.0 / 30, 1, 0.2);  // two frames later
    const SongResult r = t.Play();
    EXPECT_EQ(r.CountBest, 1);
    EXPECT_DOUBLE_EQ(r.Score, t.Base());
}

TEST(Judgement, BigNoteWaitJudgesAHeldSingleKeyAfterTheWait) {
    OneNote t('3');
    t.game.settings.BigNoteWait = true;
    t.Tap(t.DueTime(1), 0, 0.3);
    const SongResult r = t.Play();
    EXPECT_EQ(r.CountBest, 1);
    EXPECT_DOUBLE_EQ(r.Score, t.Base() * 2 / 3);
}

TEST(Judgement, BigNoteWaitJudgesASingleKeyLetGoBeforeTheWaitHasRun) {
    // A strike is never thrown away: the wait runs on, and the note is judged where the key went
    // down.
    OneNote t('3');
    t.game.settings.BigNoteWait = true;
    t.Tap(t.DueTime(1), 0, 0.04);
    const SongResult r = t.Play();
    EXPECT_EQ(r.CountBest, 1);
    EXPECT_DOUBLE_EQ(r.Score, t.Base() * 2 / 3);
}

TEST(Judgement, WrongColourJudgesNothing) {
    OneNote t('2');
    t.Tap(t.DueTime(1), 0);
    t.Tap(t.DueTime(1), 1);
    const SongResult r = t.Play();
    EXPECT_EQ(r.CountMiss, 1);
    EXPECT_EQ(t.hp.wave.played.size(), 2u);  // every press still sounds
    EXPECT_EQ(t.hp.wave.played[0], t.dir.Dir() + "sound/don.wav");
}

TEST(Judgement, HeldKeyJudgesOnlyTheNoteCurrentAtItsPress) {
    PlayFixture t;
    std::string text(100, '0');
    text[49] = text[59] = text[69] = '1';
    t.SetChart(text, 10, 1000, 1000);
    t.StartMusic();
    t.Down(t.DueTime(1) - 1.0, 0);  // long before the first note, kept down to the end
    const SongResult r = t.Play();
    // The first note comes within the outer window while the key is down: 不可; the others pass.
    EXPECT_EQ(r.CountMiss, 3);
    EXPECT_EQ(r.CountBest + r.CountGood, 0);
}

TEST(Judgement, KeyDownForLessThanAFrameStillRegisters) {
    // The key is up again before the frame looks at it: the press counts all the same.
    OneNote t;
    t.Tap(t.DueTime(1), 0, 0.004);
    const SongResult r = t.Play();
    EXPECT_EQ(r.CountBest, 1);
    EXPECT_EQ(t.hp.wave.played.size(), 1u);
}

TEST(Judgement, UnstruckNotesAreSweptAsMisses) {
    PlayFixture t;
    t.SetChart("0000100020003000400010002000", 40, 280, 300);
    t.game.chart.GaugeLoss = -3;
    const SongResult r = t.Play();
    EXPECT_EQ(r.CountMiss, 6);
    EXPECT_EQ(r.MaxCombo, 0);
    EXPECT_EQ(r.Gauge, 0);  // clamped
    EXPECT_EQ(r.ShownScore, 0);
}

// A lane of 4 pixels per centisecond, fast enough that a frame of 30 fps moves it 13 pixels:
// presses anywhere in a frame must be judged where their keys went down.
struct Scripted : PlayFixture {
    std::vector<int> offsets;
    Scripted() {
        std::string text(400, '0');
        const char kinds[] = "1213412123";
        for (int i = 0; i < 30; ++i) text[size_t(10 + i * 10)] = kinds[i % 10];
        // A denser run: a note every other position (200 ms).
        for (int i = 0; i < 20; ++i) text[size_t(320 + i * 2)] = i % 3 == 0 ? '2' : '1';
        SetChart(text, 40, 4000, 4050);
        StartMusic();
        const int cycle[] = {-36, -24, -12, 0, 12, 20, 28, 36, -28, 24, 8, -8, 16};
        int don = 0, kan = 2;
        for (int i = 1; i <= game.chart.NoteCount; ++i) {
            const int d = cycle[(i - 1) % 13];
            offsets.push_back(d);
            const double at = DueTime(i, d);
            switch (game.chart.NoteKinds[size_t(i - 1)] - '0') {
                case 1:
                    Tap(at, don, 0.07), don ^= 1;
                    break;
                case 2:
                    Tap(at, kan, 0.07), kan ^= 1;
                    break;
                case 3:
                    Tap(at, 0, 0.07), Tap(at, 1, 0.07);
                    break;
                case 4:
                    Tap(at, 2, 0.07), Tap(at, 3, 0.07);
                    break;
            }
        }
    }
};

TEST(Judgement, SameKeyScriptGivesTheSameJudgementsAtAnyFrameRate) {
    int best = 0, good = 0, bad = 0;
    {
        Scripted s;
        for (int d : s.offsets) {
            const int a = d < 0 ? -d : d;
            (a <= 13 ? best : a <= 26 ? good : bad) += 1;
        }
    }
    std::vector<SongResult> results;
    for (double fps : {30.0, 60.0, 144.0}) {
        Scripted s;
        results.push_back(s.Play(false, 0, 0, fps));
        const SongResult& r = results.back();
        EXPECT_EQ(r.CountBest, best) << fps << " fps";
        EXPECT_EQ(r.CountGood, good) << fps << " fps";
        EXPECT_EQ(r.CountMiss, bad) << fps << " fps";
    }
    EXPECT_EQ(results[0].Score, results[1].Score);
    EXPECT_EQ(results[1].Score, results[2].Score);
    EXPECT_EQ(results[0].MaxCombo, results[2].MaxCombo);
}

TEST(Judgement, ALatePressStillFindsItsNoteWhenItRegistersAFrameLater) {
    // The note leaves the outer window between the key going down and the frame that registers
    // the press; it must not be swept in between.
    for (int phaseMs = 0; phaseMs < 34; phaseMs += 3) {
        PlayFixture t;
        std::string text(100, '0');
        text[49] = '1';
        t.SetChart(text, 40, 1000, 1000);
        t.game.chart.JudgeWindow1 = 8, t.game.chart.JudgeWindow2 = 20,
        t.game.chart.JudgeWindow3 = 24;
        t.StartMusic();
        t.Tap(t.DueTime(1, 20), 0, 0.1);
        t.hp.clock.Advance(phaseMs / 1000.0);
        const SongResult r = t.Play(false, 0, 0, 30);
        EXPECT_EQ(r.CountGood, 1) << "frame phase " << phaseMs << " ms";
    }
}

TEST(Judgement, FramesRunAtTheRequestedRate) {
    for (double fps : {30.0, 60.0, 144.0}) {
        OneNote t;
        const SongResult r = t.Play(true, 0, 0, fps);
        // Ten seconds of song (and the last judgement's display, which ended long before).
        EXPECT_NEAR(r.Frames, 10 * fps, 2) << fps;
    }
}

}  // namespace
}  // namespace zb
