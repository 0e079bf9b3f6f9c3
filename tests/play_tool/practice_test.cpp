// Practice as zubakko-play runs it: the song's timeline at any tempo, the ディレイ in the player's
// milliseconds, sections of bars across parts and the speed change, the ramp, 待つ, nothing
// written.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>

#include "core/chart_data.hpp"
#include "core/chart_digits.hpp"
#include "core/chart_loader.hpp"
#include "core/chart_timing.hpp"
#include "platform/headless/headless.hpp"
#include "tests/common/temp_dir.hpp"
#include "tools/play/play_tool.hpp"

namespace zb::tool {
namespace {

// Keys on the player's clock that strike every note of a one-part chart when its music is
// heard at tempo `rate`, `delayPx` lane pixels of the ディレイ later as at 100 %, and `lateMs`
// later still.
std::vector<KeyEvent> OnTimeAt(ChartId id, double rate, int16_t delayPx, double lateMs) {
    testing::TempDir dir;
    headless::HeadlessPlatform hp(dir.Dir());
    Game game(hp.ports);
    game.settings.DelaySetting = 0;
    LoadChart(game, id, 0);
    const Chart& c = game.chart;
    const double msPerPx = double(c.ChartSpan) * 10 / (double(c.ChartText.size()) * c.NoteSpacing);
    std::vector<KeyEvent> keys;
    for (int i = 1; i <= c.NoteCount; ++i) {
        const double due = (c.NotePos[size_t(i)] - c.ChartOffset) * msPerPx;
        const int64_t at = std::llround(due / rate + delayPx * msPerPx + lateMs);
        const int kind = (c.NoteKinds[size_t(i - 1)] - '0') % 5;
        const int first = kind % 2 ? 97 : 100;
        for (int vk :
             kind >= 3 ? std::vector<int>{first, first + 1} : std::vector<int>{first + i % 2}) {
            keys.push_back({at, vk, true});
            keys.push_back({at + 40, vk, false});
        }
    }
    return keys;
}

Options Practice(int song, int difficulty, double rate) {
    Options o = ParseOptions(
        {"--song", std::to_string(song), "--difficulty", std::to_string(difficulty), "--practice"});
    o.rate = rate;
    return o;
}

// The chart's notes whose music lies in [from, to): counted from the chart text of every part.
int NotesBetween(ChartId id, double from, double to) {
    int n = 0;
    for (int part = 0; part < PartCount(id.song); ++part) {
        int w = 0;
        for (const std::string& m : ChartMeasures(id, part))
            for (char ch : m) {
                ++w;
                const double t = PositionMusicTime(id.song, id.difficulty, part, w) / 100.0;
                if (IsNoteDigit(ch) && t >= from - 0.005 && t < to - 0.005) ++n;
            }
    }
    return n;
}

TEST(Practice, OnTimeStrikesAreAllGoodAtAnyTempoWithTheDelayInThePlayersTime) {
    // Song 1 has 170 notes. Struck on the music at half and one and a half tempo, every note is
    // 良; with a ディレイ of 20 pixels the strikes come as many of the player's ms later as at
    // 100 % (at 50 % unscaled they would come twice as late and miss); 15 ms of the player's
    // late is a mean offset of 15 whatever the tempo.
    testing::TempDir dir;
    const ChartId song1{1, 0};
    for (double rate : {0.5, 1.5}) {
        Options o = Practice(1, 0, rate);
        o.delay = 0;
        const PracticeResult r = PracticeChart(o, OnTimeAt(song1, rate, 0, 0), dir.Dir());
        ASSERT_EQ(r.passes.size(), 1u);
        EXPECT_EQ(r.passes[0].best, 170) << rate;
        EXPECT_NEAR(r.passes[0].meanOffsetMs.value_or(99), 0, 6) << rate;
    }
    Options o = Practice(1, 0, 0.5);
    o.delay = 20;
    const PracticeResult delayed = PracticeChart(o, OnTimeAt(song1, 0.5, 20, 15), dir.Dir());
    EXPECT_EQ(delayed.passes[0].best + delayed.passes[0].good, 170);
    EXPECT_NEAR(delayed.passes[0].meanOffsetMs.value_or(99), 15, 6);
    // A practice writes nothing: no score, no replay.
    EXPECT_TRUE(std::filesystem::is_empty(dir.Dir()));
}

TEST(Practice, SectionsLoopOverTheirBarsAcrossPartsAndTheSpeedChangeAndTheRampFollows) {
    testing::TempDir dir;
    struct Case {
        ChartId chart;
        int from, to;
    };
    // Song 5 from its first part into its second; song 6 across its second part; song 4 at
    // difficulty 2 across its fourfold speed change.
    SongBars rakuda;
    std::string why;
    ASSERT_TRUE(ReadSongBars(ZB_SOURCE_DIR "/assets/" + SongMusicFile(4), rakuda, why));
    const double fast = PositionMusicTime(4, 2, 0, kSpeedUpLastPosition + 1) / 100.0;
    int fastBar = 1;
    while (fastBar < rakuda.Count() && rakuda.Start(fastBar + 1) <= fast) ++fastBar;
    for (const Case& k :
         {Case{{5, 1}, 30, 36}, Case{{6, 2}, 42, 50}, Case{{4, 2}, fastBar - 1, fastBar + 1}}) {
        Options o = Practice(k.chart.song, k.chart.difficulty, 0.9);
        o.fromBar = k.from, o.toBar = k.to, o.loops = 4, o.ramp = true, o.autoPlay = true;
        const PracticeResult r = PracticeChart(o, {}, dir.Dir());
        const int notes = NotesBetween(k.chart, r.section.start, r.section.end);
        ASSERT_GT(notes, 10);
        ASSERT_EQ(r.passes.size(), 4u);
        const double rates[] = {0.9, 0.95, 1.0, 1.0};  // up a step a clean pass, up to 100 %
        for (size_t i = 0; i < 4; ++i) {
            EXPECT_EQ(r.passes[i].best, notes) << "song " << k.chart.song << " pass " << i;
            EXPECT_EQ(r.passes[i].miss, 0);
            EXPECT_NEAR(r.passes[i].rate, rates[i], 1e-9);
        }
        EXPECT_LT(r.section.leadIn, r.section.start);  // the bar before A leads in
    }
    // Nothing struck: every note of each pass is a miss and the tempo goes down a step a pass.
    Options o = Practice(5, 1, 0.75);
    o.fromBar = 30, o.toBar = 36, o.loops = 3, o.ramp = true;
    const PracticeResult missed = PracticeChart(o, {}, dir.Dir());
    ASSERT_EQ(missed.passes.size(), 3u);
    EXPECT_NEAR(missed.passes[2].rate, 0.65, 1e-9);
    const int notes = NotesBetween({5, 1}, missed.section.start, missed.section.end);
    EXPECT_EQ(missed.passes[1].miss, notes);
    const std::string json = PracticeJson(missed);
    EXPECT_EQ(json.rfind("{\"Passes\": [{\"Rate\": 0.75, \"CountBest\": 0, \"CountGood\": 0, "
                         "\"CountMiss\": " +
                             std::to_string(notes) + ", \"MeanOffsetMs\": null}, ",
                         0),
              0u);
    EXPECT_NE(json.find("\"LeadInMs\": 56000, \"SectionStartMs\": 58000"), std::string::npos);
    EXPECT_TRUE(std::filesystem::is_empty(dir.Dir()));
}

TEST(Practice, WaitHaltsAtEachNoteUntilAStrokeOfItsKindComes) {
    // Every note of song 1 struck 300 ms after the song halted for it: a note's stroke comes at
    // its due time plus every wait before it, on the player's clock. The first note also gets a
    // stroke of the other kind 100 ms into its wait, which must release nothing.
    testing::TempDir dir;
    const ChartId song1{1, 0};
    std::vector<KeyEvent> keys = OnTimeAt(song1, 1.0, 0, 0);
    int64_t note = 0, last = -1;
    for (KeyEvent& k : keys) {
        if (k.down && k.ms != last) ++note, last = k.ms;
        k.ms += 300 * note;
    }
    const int wrong = keys[0].vk >= 100 ? 97 : 100;
    keys.insert(keys.begin(), {{keys[0].ms - 200, wrong, true}, {keys[0].ms - 160, wrong, false}});
    Options o = ParseOptions({"--song", "1", "--difficulty", "0", "--practice", "--wait"});
    o.delay = 0;
    const PracticeResult r = PracticeChart(o, keys, dir.Dir());
    ASSERT_EQ(r.passes.size(), 1u);
    const PracticePass& p = r.passes[0];
    EXPECT_EQ(p.best, 170);
    EXPECT_EQ(p.waited, 170);
    EXPECT_EQ(p.marks, std::string(170, 'w'));
    // The song goes on with each stroke: the waits add up to the strokes' delays.
    EXPECT_NEAR(p.waitedMs, 300.0 * 170, 3);
    EXPECT_NE(PracticeJson(r).find("\"Waited\": 170, \"WaitedMs\": "), std::string::npos);

    // Struck in time, nothing waits.
    const PracticeResult inTime = PracticeChart(o, OnTimeAt(song1, 1.0, 0, 0), dir.Dir());
    EXPECT_EQ(inTime.passes[0].best, 170);
    EXPECT_EQ(inTime.passes[0].waited, 0);
}

TEST(Practice, OptionsAreCheckedWithAClearMessage) {
    EXPECT_THROW(ParseOptions({"--song", "1", "--difficulty", "0", "--rate", "0.8"}),
                 std::invalid_argument);  // without --practice
    EXPECT_THROW(ParseOptions({"--song", "1", "--difficulty", "0", "--practice", "--rate", "2"}),
                 std::invalid_argument);
    EXPECT_THROW(ParseOptions({"--song", "1", "--difficulty", "0", "--practice", "--from-bar", "5",
                               "--to-bar", "3"}),
                 std::invalid_argument);
    EXPECT_THROW(
        ParseOptions({"--song", "1", "--difficulty", "0", "--practice", "--from-bar", "5"}),
        std::invalid_argument);
}

}  // namespace
}  // namespace zb::tool
