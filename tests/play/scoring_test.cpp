// Combo bonus, score totals, gauge clamp and norma, the results text and the song high score.
#include "play/scoring.hpp"

#include <gtest/gtest.h>

#include <algorithm>

#include "core/checked.hpp"
#include "play/results.hpp"
#include "tests/play/play_fixture.hpp"

namespace zb {
namespace {

using testing::PlayFixture;

// n small notes, one every four positions, 400 ms apart; a player that strikes each at its
// due time, alternating the two don keys, and misses the notes in `skip`.
struct Player : PlayFixture {
    explicit Player(int n, std::vector<int> skip = {}, int16_t level = 4, int16_t step = 100) {
        std::string text(size_t(4 * n + 20), '0');
        for (int i = 1; i <= n; ++i) text[size_t(4 * i - 1)] = '1';
        SetChart(text, 40, int16_t(text.size() * 10), int16_t(text.size() * 10), level, step);
        StartMusic();
        for (int i = 1; i <= n; ++i)
            if (std::find(skip.begin(), skip.end(), i) == skip.end()) Tap(DueTime(i), i % 2, 0.1);
    }
    double Base(int n) const {
        return NoteBaseOf(game.chart.SongLevel, game.chart.ComboBonusStep, n);
    }
};

TEST(Scoring, ComboBonusStartsAtTheEleventhManualHitAndTheTenthAutoNote) {
    {
        Player r(12);
        const SongResult s = r.Play();
        EXPECT_EQ(s.CountBest, 12);
        EXPECT_EQ(s.MaxCombo, 12);
        EXPECT_NEAR(s.Score, 12 * r.Base(12) + 2 * 100, 1e-6);  // hits 11 and 12 at bonus 1
    }
    {
        Player r(12, {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12});
        const SongResult s = r.Play(true);
        EXPECT_NEAR(s.Score, 12 * r.Base(12) + 3 * 100, 1e-6);  // notes 10, 11, 12
    }
}

TEST(Scoring, PerfectRunsOfAHundredNotesAndMore) {
    Player manual(150, {}, 7, 30);
    const SongResult m = manual.Play();
    EXPECT_EQ(m.CountBest, 150);
    EXPECT_EQ(m.ShownScore, 700000 - 10 * 30);  // the first hit has no combo before it
    Player automatic(150, {}, 7, 30);
    EXPECT_EQ(automatic.Play(true).ShownScore, 700000);
}

TEST(Scoring, AMissResetsTheComboButNotItsMaximum) {
    Player r(30, {21});
    const SongResult s = r.Play();
    EXPECT_EQ(s.MaxCombo, 20);
    EXPECT_EQ(s.CountMiss, 1);
    // Hits 1-20 take bonus 0,0..1,1; after the miss the combo counts again from 0.
    const double bonus = 10 * 1 + 0 + 9 * 0;
    EXPECT_NEAR(s.Score, 29 * r.Base(30) + 100 * bonus, 1e-6);
}

TEST(Scoring, NormaNeedsExactlyThirtyThreeSteps) {
    {
        Player r(33);  // 33 x 10 = 330 = 33 steps of 10
        const SongResult s = r.Play();
        EXPECT_EQ(s.GaugeLevel, 33);
        EXPECT_TRUE(s.NormaCleared);
        EXPECT_NE(s.Caption.find("ノルマクリア成功！"), std::string::npos);
    }
    {
        Player r(34, {34});
        r.game.chart.GaugeLoss = -1;  // 329: one point short
        const SongResult s = r.Play();
        EXPECT_EQ(s.Gauge, 329);
        EXPECT_EQ(s.GaugeLevel, 32);
        EXPECT_FALSE(s.NormaCleared);
        EXPECT_NE(s.Caption.find("ノルマクリア失敗！"), std::string::npos);
    }
}

TEST(Scoring, GaugeIsClampedAtBothEnds) {
    {
        Player r(34, {1});  // the miss at an empty gauge costs nothing
        EXPECT_EQ(r.Play().Gauge, 330);
    }
    {
        Player r(46, {46});  // 450 is held at 400 before the last note's loss
        r.game.chart.GaugeLoss = -71;
        const SongResult s = r.Play();
        EXPECT_EQ(s.Gauge, 329);
        EXPECT_EQ(s.GaugeLevel, 32);
    }
}

TEST(Scoring, GaugeDrawsLowerAndNormaSegments) {
    MainForm f;
    f.pGage.SetSizePx(384, 32), f.pGageUra.SetSizePx(384, 32), f.pGage1.SetSizePx(384, 32);
    f.pGage1.SetPicture(Surface(384, 32, colors::Blue));
    f.pGage2.SetPicture(Surface(8, 32, colors::Red));
    f.pGage3.SetPicture(Surface(8, 32, colors::Yellow));
    DrawGauge(f, 34);
    const Surface& g = f.pGage.Dc();
    EXPECT_EQ(g.At(8 * 1 + 24, 5), colors::Red);
    EXPECT_EQ(g.At(8 * 32 + 24 + 7, 5), colors::Red);
    EXPECT_EQ(g.At(8 * 33 + 24, 5), colors::Yellow);
    EXPECT_EQ(g.At(8 * 34 + 24 + 7, 5), colors::Yellow);
    EXPECT_EQ(g.At(8 * 35 + 24, 5), colors::Blue);
    EXPECT_EQ(g.At(31, 5), colors::Blue);
}

TEST(Results, HitRateShowsTheTruncatedWholePercent) {
    EXPECT_EQ(HitRateText(100, 0, 0), " 100％");
    EXPECT_EQ(HitRateText(9000, 999, 1), " 99％");  // 99.99
    EXPECT_EQ(HitRateText(90, 9, 901), " 9％");     // 9.9
    EXPECT_EQ(HitRateText(20, 9, 71), " 29％");     // 28.999... in binary
    EXPECT_EQ(HitRateText(95, 5, 5), " 95％");      // 95.24
    EXPECT_EQ(HitRateText(1, 0, 199), " 0％");      // 0.5
    EXPECT_EQ(HitRateText(0, 0, 10), " 0％");
}

TEST(Results, CaptionOfTheCoursesAndOfTheChallengeCourse) {
    PlayFixture t;
    PlayState st;
    st.ShownScore = 123456, st.MaxCombo = 60, st.CountBest = 95, st.CountGood = 3, st.CountMiss = 2;
    st.GaugeLevel = 33;
    EXPECT_EQ(
        BuildResultsText(t.game, st).caption,
        "スコア：123456点\r\n叩けた率： 98％\r\n最大コンボ：60\r\n良：95\r\n可：3\r\n不可：2\r\n"
        "ノルマクリア成功！\r\n");
    t.game.chart.Mode = Modifier::FourfoldSpeed;
    st.Request = {.chart = {},
                  .modifier = Modifier::FourfoldSpeed,
                  .challenge = true,
                  .challengePoints = 500000};
    st.GaugeLevel = 32;
    const ResultsText r = BuildResultsText(t.game, st);
    EXPECT_EQ(
        r.caption,
        "スコア：123456点\r\nチャレンジポイント：500000点\r\n有効スコア：623456点\r\n"
        "叩けた率： 98％\r\n最大コンボ：60\r\n良：95 / 可：3 / 不可：2\r\nノルマクリア失敗！\r\n");
    EXPECT_EQ(r.validScore, 623456);
}

TEST(Results, WaitThenLeaveThreeEmptyLines) {
    Player r(5);
    r.game.form.pHaikei.Visible = true;
    // The results come up after the last yield that did not show them (a frame before).
    double hiddenAt = -1;
    r.hp.window.onYield = [&] {
        if (!r.game.form.Label[5].Visible) hiddenAt = r.hp.clock.Now();
    };
    const SongResult s = r.Play();
    const double end = r.hp.clock.Now();
    EXPECT_GE(end - hiddenAt, 5.99);
    EXPECT_LE(end - hiddenAt, 6.05);
    EXPECT_FALSE(r.game.form.pHaikei.Visible);
    EXPECT_EQ(r.game.form.Label[5].Caption, "\r\n\r\n\r\n");
    EXPECT_EQ(r.game.form.Label[5].ForeColor, colors::Yellow);
    EXPECT_EQ(s.Caption.substr(0, s.Caption.find("\r\n")),
              "スコア：" + std::to_string(s.ShownScore) + "点");
}

TEST(Results, SongHighScoreOnlyForAClearedManualPlay) {
    {
        Player r(40);
        r.game.scores.HighScores[0][0] = 10;
        const SongResult s = r.Play();
        EXPECT_EQ(r.game.scores.HighScores[0][0], s.ShownScore);
        EXPECT_EQ(r.dir.Read("score.dat").size(), 296u);
    }
    {
        Player r(40);
        const SongResult s = r.Play(true);
        EXPECT_TRUE(s.NormaCleared);
        EXPECT_EQ(r.game.scores.HighScores[0][0], 0);
        EXPECT_FALSE(r.dir.Exists("score.dat"));
    }
    {
        Player r(40, {1, 2, 3, 4, 5, 6, 7, 8});  // 32 hits, 8 misses
        r.game.chart.GaugeLoss = -1;
        const SongResult s = r.Play();
        EXPECT_EQ(s.GaugeLevel, 32);  // the early misses hit an empty gauge
        EXPECT_EQ(r.game.scores.HighScores[0][0], 0);
    }
    {
        Player r(40);  // an equal score is not a new one
        r.game.scores.HighScores[0][0] = 1 << 30;
        r.Play();
        EXPECT_FALSE(r.dir.Exists("score.dat"));
    }
}

TEST(Results, ChallengeHighScoreIncludesThePointsInItsOwnColumn) {
    Player r(40);
    r.game.chart.Mode = Modifier::SwapDonKan;
    const SongResult s = r.Play({.chart = {3, 1},
                                 .modifier = Modifier::SwapDonKan,
                                 .challenge = true,
                                 .challengePoints = 100000});
    EXPECT_EQ(s.ShownScore, Round32(s.Score) + 100000);
    EXPECT_EQ(r.game.scores.HighScores[4][3], s.ShownScore);
    EXPECT_EQ(r.game.scores.HighScores[1][3], 0);
}

}  // namespace
}  // namespace zb
