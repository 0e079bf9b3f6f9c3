// Every built-in chart played through the real set-up, loader and play loop: auto play, a player
// who strikes every note at its due time, and the same player 30 ms late.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "core/chart_loader.hpp"
#include "core/checked.hpp"
#include "core/songs.hpp"
#include "play/play_screen_setup.hpp"
#include "play/scoring.hpp"
#include "tests/play/play_fixture.hpp"

namespace zb {
namespace {

using testing::PlayFixture;

#if defined(__SANITIZE_THREAD__)
// ThreadSanitizer slows a play down tenfold: every other song plays, at one difficulty each, in
// turn (and song 4's hardest chart with its speed change), so that each test stays well within
// ctest's 900 s on a loaded 2-core machine (every song once took 1160 s there). The threads it
// looks at are the same for every chart; the plain build plays them all.
constexpr bool kFewCharts = true;
#else
constexpr bool kFewCharts = false;
#endif

std::vector<ChartId> AllCharts() {
    std::vector<ChartId> out;
    for (int16_t s = 0; s < 10; ++s)
        for (int16_t d = 0; d < 4; ++d) {
            const bool chosen = (s % 2 == 0 && d == s % 3) || (s == 4 && d == 2);
            if (SongLevelOf({s, d}) != 0 && (chosen || !kFewCharts)) out.push_back({s, d});
        }
    return out;
}

// One note of a song as the player meets it: the music position (seconds) when the note is on
// the frame, the pixels per second of its lane, its kind and its windows.
struct DueNote {
    double at, pxPerSecond;
    int kind;
    int16_t w1, w2, w3;
    // The lane: the note's position, and what turns a music position into a scroll position.
    int32_t pos;
    double lanePx, span;
    int32_t delay, offset, partStart;
};

// The distance from the frame (frame position 0) of a press at a music position, in the whole
// pixels that the lane's scroll position takes.
int32_t DistanceAt(const DueNote& n, double musicSeconds) {
    const int32_t playTime = Round32(musicSeconds * 100) - n.partStart;
    const int32_t scroll =
        Round32(playTime / 100.0 * n.lanePx / (n.span / 100.0)) - n.delay + n.offset;
    return scroll - n.pos;
}

// Every note's due time, part by part, worked out from the loaded chart of each part.
std::vector<DueNote> DueNotes(ChartId id, int16_t frame) {
    PlayFixture f;
    f.game.settings.FramePosition = frame;
    f.game.settings.DelaySetting = 9;
    std::vector<DueNote> out;
    for (int16_t part = 0; part < PartCount(id.song); ++part) {
        LoadChart(f.game, id, part);
        const Chart& c = f.game.chart;
        for (int16_t i = 1; i <= c.NoteCount; ++i) {
            const bool fast = id.song == 4 && id.difficulty == 2 && i >= 251;
            const double spacing = c.NoteSpacing * (fast ? 4 : 1);
            const int16_t m = fast ? 4 : 1;
            const double pxPerCs = double(c.ChartText.size()) * spacing / c.ChartSpan;
            const double s = c.NotePos[size_t(i)] - frame + c.ChartDelay - c.ChartOffset;
            out.push_back({(s / pxPerCs + PartStartTime(id.song, part)) / 100.0, pxPerCs * 100,
                           (c.NoteKinds[size_t(i - 1)] - '0') % 5, int16_t(c.JudgeWindow1 * m),
                           int16_t(c.JudgeWindow2 * m), int16_t(c.JudgeWindow3 * m),
                           c.NotePos[size_t(i)], double(c.ChartText.size()) * spacing,
                           double(c.ChartSpan), c.ChartDelay, c.ChartOffset,
                           PartStartTime(id.song, part)});
        }
    }
    return out;
}

// The real course of a song: set-up, chart load (which starts the music), play.
struct Course : PlayFixture {
    ChartId id;
    explicit Course(ChartId c) : id(c) {
        game.settings.DelaySetting = 9;
        game.chart.SongPart = 0;
    }
    void Start(bool autoPlay) {
        PlayScreenSetup(game, id, autoPlay, false);
        LoadChart(game, id, 0);
        musicStart = hp.clock.Now();
    }
    // Strikes every note `late` seconds after it is due, both keys on big notes.
    void Strike(const std::vector<DueNote>& notes, double late) {
        int don = 0, kan = 2;
        for (const DueNote& n : notes) {
            const double at = n.at + late, hold = 0.07;
            switch (n.kind) {
                case 1:
                    Tap(at, don, hold), don ^= 1;
                    break;
                case 2:
                    Tap(at, kan, hold), kan ^= 1;
                    break;
                case 3:
                    Tap(at, 0, hold), Tap(at, 1, hold);
                    break;
                case 4:
                    Tap(at, 2, hold), Tap(at, 3, hold);
                    break;
            }
        }
    }
};

TEST(AllCharts, AutoPlayScoresTheLevelTimesAHundredThousand) {
    for (ChartId id : AllCharts()) {
        Course c(id);
        c.Start(true);
        const SongResult r = c.Play(true, id.song, id.difficulty);
        EXPECT_EQ(r.ShownScore, SongLevelOf(id) * 100000)
            << "song " << id.song << " difficulty " << id.difficulty;
        EXPECT_EQ(r.CountBest, SongNoteTotal(id));
        EXPECT_EQ(r.CountMiss, 0);
        EXPECT_TRUE(r.NormaCleared);
    }
}

TEST(AllCharts, StrikingEveryNoteOnTimeIsAPerfectRun) {
    for (ChartId id : AllCharts()) {
        const std::vector<DueNote> notes = DueNotes(id, 0);
        Course c(id);
        c.Start(false);
        c.Strike(notes, 0);
        const SongResult r = c.Play(false, id.song, id.difficulty);
        const int16_t n = SongNoteTotal(id);
        const ChartConstants& k = ChartConstantsOf(id);
        // Each hit takes the bonus of the combo before it: the auto play total less the last step.
        EXPECT_EQ(r.ShownScore, k.SongLevel * 100000 - k.ComboBonusStep * ComboBonus(n))
            << "song " << id.song << " difficulty " << id.difficulty;
        EXPECT_EQ(r.CountBest, n) << "song " << id.song << " difficulty " << id.difficulty;
        EXPECT_EQ(r.MaxCombo, n);
        EXPECT_TRUE(r.NormaCleared);
    }
}

TEST(AllCharts, StrikingThirtyMillisecondsLateGivesWhatTheWindowsGive) {
    for (ChartId id : AllCharts()) {
        const std::vector<DueNote> notes = DueNotes(id, 0);
        int16_t best = 0, good = 0, bad = 0;
        for (const DueNote& n : notes) {
            const int32_t d = std::abs(DistanceAt(n, n.at + 0.030));
            // The play time counts whole centiseconds: up to half of one either way.
            ASSERT_NEAR(d, 0.030 * n.pxPerSecond, 0.005 * n.pxPerSecond + 1.0);
            (d <= n.w1 ? best : d <= n.w2 ? good : bad) += 1;
        }
        Course c(id);
        c.Start(false);
        c.Strike(notes, 0.030);
        const SongResult r = c.Play(false, id.song, id.difficulty);
        EXPECT_EQ(r.CountBest, best) << "song " << id.song << " difficulty " << id.difficulty;
        EXPECT_EQ(r.CountGood, good) << "song " << id.song << " difficulty " << id.difficulty;
        EXPECT_EQ(r.CountMiss, bad) << "song " << id.song << " difficulty " << id.difficulty;
    }
}

}  // namespace
}  // namespace zb

namespace zb {
namespace {

TEST(PartChanges, ThreePartSongsPlayAllPartsOverOneMusicStart) {
    for (int16_t song : {int16_t(5), int16_t(6)}) {
        Course c({song, 1});
        c.Start(true);
        const SongResult r = c.Play(true, song, 1);
        EXPECT_EQ(c.game.chart.SongPart, 2);
        EXPECT_EQ(r.CountBest, SongNoteTotal({song, 1}));
        ASSERT_EQ(c.hp.music.History().size(), 1u) << "the music is started once";
        EXPECT_EQ(c.hp.music.History()[0], c.dir.Dir() + SongMusicFile(song));
        // The loop ends with the last part: its end time measured from that part's start.
        const double end = (PartStartTime(song, 2) + PartEndTimeOf(song, 2)) / 100.0;
        EXPECT_NEAR(c.hp.clock.Now() - c.musicStart - 6.0, end, 0.4);
    }
}

}  // namespace
}  // namespace zb
