// The play field as the loop draws it, and the challenge modifiers that the loop applies.
#include "play/play_field.hpp"

#include <gtest/gtest.h>

#include "play/hit_feedback.hpp"
#include "play/scoring.hpp"
#include "tests/play/play_fixture.hpp"

namespace zb {
namespace {

using testing::PlayFixture;

constexpr Color kLane = Color::Rgb(1, 2, 3);
constexpr Color kDon = Color::Rgb(200, 0, 0);

// Sprites: a don note that is kDon over its whole 64 x 64 square, the other pictures blank.
struct Field : PlayFixture {
    PlayState st;
    Field() {
        MainForm& f = game.form;
        f.pFumenUra.BackColor = kLane;
        f.pFumenUra.SetSizePx(433, 200);
        f.pFumen.SetSizePx(433, 200);
        f.pNoteUra[0].SetPicture(Surface(64, 64, kDon));
        f.pNoteUra[2].SetPicture(Surface(64, 64, colors::White));  // opaque everywhere
        st.LaneY = 65;
        st.FrameX = 0;
    }
    void Chart(const std::string& text) {
        SetChart(text, 40, 1000, 1000);
        ResetNoteFlags(st, game.chart.NoteCount);
    }
    bool DonAt(int x) const {
        const Surface& s = game.form.pFumenUra.Dc();
        return x >= 0 && x < s.Width() && s.At(x, st.LaneY + 10) == kDon;
    }
};

TEST(PlayField, NotesAreDrawnUpTo500PastTheLeftEdge) {
    Field t;
    t.game.form.pFumenUra.SetSizePx(600, 200);
    t.Chart("0000000001");  // note at lane position 400
    for (auto [scroll, drawn] : {std::pair{-100, true}, {-101, false}, {0, true}}) {
        t.st.ScrollPos = scroll;
        DrawLane(t.game, t.st);
        EXPECT_EQ(t.DonAt(400 - scroll), drawn) << "scroll " << scroll;
    }
}

TEST(PlayField, SuddenShowsNotesOnlyWithin200) {
    Field t;
    t.Chart("0000000001");
    t.game.chart.Mode = Modifier::Sudden;
    t.st.ScrollPos = 199;  // x = 201
    DrawLane(t.game, t.st);
    EXPECT_FALSE(t.DonAt(201));
    t.st.ScrollPos = 200;
    DrawLane(t.game, t.st);
    EXPECT_TRUE(t.DonAt(200));
}

TEST(PlayField, ReverseMirrorsAfterTheRangeTest) {
    Field t;
    t.Chart("0000000001");
    t.game.chart.Mode = Modifier::Reversed;
    t.st.ScrollPos = 300;  // x = 100, drawn at 220
    DrawLane(t.game, t.st);
    EXPECT_TRUE(t.DonAt(220));
    EXPECT_FALSE(t.DonAt(219));
    EXPECT_FALSE(t.DonAt(100 - 1));
}

TEST(PlayField, HitNotesFlyOffFromTheFrame) {
    Field t;
    t.Chart("0000000001");
    t.st.NoteHit[1] = true;
    t.st.ScrollPos = 390;  // x = 10: hit notes are not drawn until they reach the edge
    DrawLane(t.game, t.st);
    EXPECT_FALSE(t.DonAt(10));
    t.st.ScrollPos = 400;  // x = 0: at the frame
    DrawLane(t.game, t.st);
    EXPECT_TRUE(t.DonAt(0));
    t.st.ScrollPos = 420;  // x = -20: four pixels right and one up per pixel scrolled
    DrawLane(t.game, t.st);
    const Surface& s = t.game.form.pFumenUra.Dc();
    EXPECT_EQ(s.At(80, t.st.LaneY - 20), kDon);
    EXPECT_EQ(s.At(79, t.st.LaneY - 20 + 10), kLane);
}

TEST(PlayField, FramePulseAndWordFollowTheJudgementAge) {
    Field t;
    t.Chart("0");
    MainForm& f = t.game.form;
    for (int i = 0; i < 12; i += 2) {
        f.pWakuUra[size_t(i)].SetPicture(Surface(64, 64, Color::Rgb(0, 10 + i, 0)));
        f.pWakuUra[size_t(i + 1)].SetPicture(Surface(64, 64, colors::White));
    }
    f.pHanteiGREATUra[1].SetPicture(Surface(64, 64, Color::Rgb(0, 0, 99)));
    f.pHanteiGREATUra[0].SetPicture(Surface(64, 64, colors::White));
    t.st.JudgeKind = 3;
    t.st.JudgeAge = 1;
    const int pulse[] = {0, 0, 8, 6, 4, 2, 4, 6, 8, 10, 0};  // by age after the ageing
    for (int age = 2; age <= 10; ++age) {
        DrawJudgement(t.game, t.st);
        ASSERT_EQ(t.st.JudgeAge, age);
        EXPECT_EQ(f.pFumen.Dc().At(5, t.st.LaneY + 40), Color::Rgb(0, 10 + pulse[age], 0)) << age;
        const bool word = f.pFumen.Dc().At(5, t.st.LaneY - 25) == Color::Rgb(0, 0, 99);
        EXPECT_EQ(word, age >= 5) << age;
    }
    t.game.settings.JudgeEffect = false;
    t.st.JudgeAge = 2;
    DrawJudgement(t.game, t.st);
    EXPECT_EQ(f.pFumen.Dc().At(5, t.st.LaneY + 40), Color::Rgb(0, 10, 0));
    t.st.JudgeAge = 20;
    DrawJudgement(t.game, t.st);
    EXPECT_EQ(t.st.JudgeKind, 0);
    EXPECT_EQ(t.st.JudgeAge, 0);
}

TEST(PlayField, BackgroundIsDayFromSixToEighteen) {
    Field t;
    t.Chart("0");
    PictHolder& p = t.game.form.frmPict;
    p.pHiru.SetPicture(Surface(650, 176, colors::Yellow));
    p.pYoru.SetPicture(Surface(650, 176, colors::Blue));
    t.game.form.pHaikei.SetSizePx(650, 176);
    for (auto [h, m, day] :
         {std::tuple{5, 59, false}, {6, 0, true}, {18, 59, true}, {19, 0, false}}) {
        t.hp.clock.SetLocalTime({h, m, 0});
        DrawBackground(t.game, t.st);
        EXPECT_EQ(t.game.form.pHaikei.Dc().At(5, 5), day ? colors::Yellow : colors::Blue)
            << h << ":" << m;
    }
}

TEST(PlayField, RunningCharactersStepEveryEightPositions) {
    Field t;
    t.Chart("0");
    PictHolder& p = t.game.form.frmPict;
    for (int i = 0; i < 15; ++i) p.pInu[size_t(i)].SetPicture(Surface(65, 65, Color::Rgb(i, 0, 0)));
    t.game.form.pHaikei.SetSizePx(650, 176);
    // (ScrollPos + 100000) / 320, rounded, mod 5: 100000 / 320 = 312.5 -> 312 -> 2.
    t.st.ScrollPos = 0;
    DrawBackground(t.game, t.st);
    EXPECT_EQ(t.game.form.pHaikei.Dc().At(110, 90), Color::Rgb(7, 0, 0));
    EXPECT_EQ(t.game.form.pHaikei.Dc().At(290, 100), Color::Rgb(2, 0, 0));
    EXPECT_EQ(t.game.form.pHaikei.Dc().At(470, 90), Color::Rgb(12, 0, 0));
    t.st.ScrollPos = 160;  // 313
    DrawBackground(t.game, t.st);
    EXPECT_EQ(t.game.form.pHaikei.Dc().At(290, 100), Color::Rgb(3, 0, 0));
    t.st.ScrollPos = 320;  // 313.5 -> 314
    DrawBackground(t.game, t.st);
    EXPECT_EQ(t.game.form.pHaikei.Dc().At(290, 100), Color::Rgb(4, 0, 0));
    // The same frame again leaves the picture alone; a picture drawn over it is drawn again.
    const uint64_t drawn = t.game.form.pHaikei.Dc().Version();
    t.st.ScrollPos = 330;
    DrawBackground(t.game, t.st);
    EXPECT_EQ(t.game.form.pHaikei.Dc().Version(), drawn);
    t.game.form.pHaikei.Dc().FillRect(280, 90, 50, 50, colors::White);
    DrawBackground(t.game, t.st);
    EXPECT_EQ(t.game.form.pHaikei.Dc().At(290, 100), Color::Rgb(4, 0, 0));
}

TEST(PlayField, HitPosesAndSounds) {
    Field t;
    MainForm& f = t.game.form;
    f.pInuMask.SetSizePx(174, 174), f.pInu.SetSizePx(174, 174);
    for (int i = 0; i < 8; i += 2) {
        f.pInuUra[size_t(i)].SetPicture(Surface(75, 103, Color::Rgb(0, 0, 50 + i)));
        f.pInuUra[size_t(i + 1)].SetPicture(Surface(75, 103, colors::White));
    }
    HitFeedback(t.game, 0);
    HitFeedback(t.game, 3);
    HitFeedback(t.game, 4);                                    // nothing
    EXPECT_EQ(f.pInu.Dc().At(10, 70), Color::Rgb(0, 0, 52));   // left foot
    EXPECT_EQ(f.pInu.Dc().At(110, 10), Color::Rgb(0, 0, 56));  // right hand
    EXPECT_EQ(t.hp.wave.played, (std::vector<std::string>{t.dir.Dir() + "sound/don.wav",
                                                          t.dir.Dir() + "sound/kan.wav"}));
}

// One note at position 50 of 100, 1 pixel per centisecond.
struct Mode : PlayFixture {
    explicit Mode(Modifier mode) {
        std::string text(100, '0');
        text[49] = '1';
        SetChart(text, 10, 1000, 1000);
        game.chart.Mode = mode;
        StartMusic();
    }
};

TEST(PlayLoopModes, NarrowWindowsAreSevenTenths) {
    Mode t(Modifier::NarrowWindows);  // 13/26/39 -> 9/18/27
    t.Tap(t.DueTime(1, 10), 0);
    EXPECT_EQ(t.Play().CountGood, 1);
    Mode u(Modifier::NarrowWindows);
    u.Tap(u.DueTime(1, -28), 0, 0.02 + 0.05);
    EXPECT_EQ(u.Play().CountMiss, 1);
}

TEST(PlayLoopModes, GoodBecomesBad) {
    Mode t(Modifier::GoodCountsAsMiss);
    t.Tap(t.DueTime(1, 20), 0);
    const SongResult r = t.Play();
    EXPECT_EQ(r.CountMiss, 1);
    EXPECT_EQ(r.CountGood, 0);
    Mode u(Modifier::GoodCountsAsMiss);
    u.Tap(u.DueTime(1, 13), 0);
    EXPECT_EQ(u.Play().CountBest, 1);
}

TEST(PlayLoopModes, ReverseKeepsTheJudgementAtTheFramePosition) {
    Mode t(Modifier::Reversed);
    t.game.settings.FramePosition = 40;
    t.Tap(t.DueTime(1, 0), 0);
    EXPECT_EQ(t.Play().CountBest, 1);
}

TEST(PlayLoop, SongFourSpeedsUpFourfoldFromNote251) {
    PlayFixture t;
    // 250 notes in the first 360 positions, then ten more at four times the spacing.
    std::string text(600, '0');
    for (int w = 101; w <= 350; ++w) text[size_t(w - 1)] = '1';
    for (int w = 400; w <= 490; w += 10) text[size_t(w - 1)] = '2';
    t.SetChart(text, 40, 6000, 6000, 8, 300);
    BuildNoteModel(t.game.chart, 360);
    t.StartMusic();
    // A kan key at the due time of note 255 (position 440) must be 良.
    const double due = 440 * 6000.0 / 600 / 100;
    t.Tap(due, 2);
    const SongResult r = t.Play(false, 4, 2);
    EXPECT_EQ(t.game.chart.NoteSpacing, 160);
    EXPECT_EQ(t.game.chart.JudgeWindow1, 52);
    EXPECT_EQ(r.CountBest, 1);
    EXPECT_EQ(r.CountMiss, 259);
}

TEST(PlayLoop, AutoPlayCountsNotesAlreadyPassedWithoutASound) {
    PlayFixture t;
    t.SetChart("0000000000100020001000200010002000", 40, 340, 340);
    t.StartMusic();
    // Three seconds in: the first five notes have passed the lane's edge. The first is still
    // played (it is within 1000 pixels of the frame), the next four are counted silently.
    t.hp.clock.Advance(3.0);
    const SongResult r = t.Play(true);
    EXPECT_EQ(r.CountBest, 6);
    EXPECT_EQ(r.MaxCombo, 6);
    EXPECT_EQ(t.hp.wave.played.size(), 2u);
}

TEST(PlayLoop, TextInputIsOffDuringPlayAndOnlyOnInTheInputBox) {
    PlayFixture t;
    t.SetChart("0000100020", 40, 100, 100);
    t.hp.window.SetTextInput(true);  // as if a screen before had left it on
    bool everOn = false;
    t.hp.window.onYield = [&] { everOn = everOn || t.hp.window.TextInput(); };
    t.Play();
    EXPECT_FALSE(everOn);
    t.hp.dialogs.InputBox("名前を入力してください", "ネットランク", "");
    EXPECT_TRUE(t.hp.dialogs.shown.back().textInput);
    EXPECT_FALSE(t.hp.window.TextInput());
}

}  // namespace
}  // namespace zb
