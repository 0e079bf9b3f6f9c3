// Strikes as a player makes them, played by zubakko-play on real charts at their own lane speeds
// (song 0 about 459 pixels a second, song 4 about 267): short taps at any frame rate, big notes in
// the wait mode, and each hit sound at its key's down stamp.
#include <gtest/gtest.h>

#include <cmath>
#include <map>

#include "core/chart_loader.hpp"
#include "platform/headless/headless.hpp"
#include "tests/common/temp_dir.hpp"
#include "tools/play/play_tool.hpp"

namespace zb::tool {
namespace {

enum class Big { BothKeys, OneKey };

// Keys that strike every note on time with taps of `tapMs`: the two keys of a colour take turns,
// and a big note takes both (the second `gapMs` later) or one.
std::vector<KeyEvent> OnTime(ChartId id, int64_t tapMs, Big big, int64_t gapMs = 0) {
    testing::TempDir dir;
    headless::HeadlessPlatform hp(dir.Dir());
    Game game(hp.ports);
    game.settings.DelaySetting = 0;
    LoadChart(game, id, 0);
    const Chart& c = game.chart;
    const double msPerPx = double(c.ChartSpan) * 10 / (double(c.ChartText.size()) * c.NoteSpacing);
    std::vector<KeyEvent> keys;
    auto tap = [&](int64_t at, int vk) {
        keys.push_back({at, vk, true});
        keys.push_back({at + tapMs, vk, false});
    };
    int turn[2] = {0, 0};
    for (int i = 1; i <= c.NoteCount; ++i) {
        const int64_t at = std::llround((c.NotePos[size_t(i)] - c.ChartOffset) * msPerPx);
        const int kind = (c.NoteKinds[size_t(i - 1)] - '0') % 5;
        const int colour = kind % 2 ? 0 : 1, first = colour ? 100 : 97;
        if (kind >= 3 && big == Big::BothKeys) {
            tap(at, first);
            tap(at + gapMs, first + 1);
        } else {
            tap(at, first + turn[colour]++ % 2);
        }
    }
    return keys;
}

struct Played {
    SongResult r;
    PlayMeasures m;
};

Played Play(ChartId id, double fps, bool bigWait, const std::vector<KeyEvent>& keys) {
    testing::TempDir dir;
    Options o;
    o.song = id.song, o.difficulty = id.difficulty, o.delay = 0, o.fps = fps, o.bigWait = bigWait;
    Played p;
    p.r = PlayChart(o, keys, dir.Dir(), &p.m);
    return p;
}

TEST(Strikes, TenMillisecondTapsAllCountAtAnyFrameRateAndSoundAtTheirStamp) {
    const ChartId id{.song = 0, .difficulty = 2};
    const auto keys = OnTime(id, 10, Big::BothKeys);
    for (double fps : {30.0, 60.0, 144.0}) {
        const Played p = Play(id, fps, false, keys);
        EXPECT_EQ(p.r.CountBest, 784) << fps << " fps";
        ASSERT_TRUE(p.m.hitSoundLagMaxMs) << "a strike without its sound at " << fps << " fps";
        EXPECT_LE(*p.m.hitSoundLagMaxMs, 2.0) << fps << " fps";
    }
}

TEST(Strikes, BigNotesInTheWaitModeAreJudgedWhereTheFirstKeyWentDown) {
    // One key on time: 良 at two thirds, as without the wait; a second key one to three frames
    // later: big 良, as both keys together. Song 0 is left out at 30 fps: there the eight frames
    // of the wait's cycle and the five that hold keys after a judgement outlast the 174 ms
    // between two of its big notes, which joins them (the game runs at 60).
    const struct {
        ChartId id;
        std::vector<double> rates;
    } charts[] = {{{.song = 4, .difficulty = 0}, {30, 60, 144}},
                  {{.song = 0, .difficulty = 0}, {60, 144}}};
    for (const auto& chart : charts) {
        const auto oneKey = OnTime(chart.id, 10, Big::OneKey);
        const double twoThirds = Play(chart.id, 60, false, oneKey).r.Score;
        const double bigBest =
            Play(chart.id, 60, false, OnTime(chart.id, 10, Big::BothKeys)).r.Score;
        for (double fps : chart.rates) {
            const Played one = Play(chart.id, fps, true, oneKey);
            const std::string where = "song " + std::to_string(chart.id.song) + " at " +
                                      std::to_string(int(fps)) + " fps";
            EXPECT_EQ(one.r.CountMiss + one.r.CountGood, 0) << where;
            EXPECT_DOUBLE_EQ(one.r.Score, twoThirds) << where;
            for (int frames : {1, 3}) {
                const auto two =
                    OnTime(chart.id, 10, Big::BothKeys, int64_t(std::floor(frames * 1000 / fps)));
                EXPECT_DOUBLE_EQ(Play(chart.id, fps, true, two).r.Score, bigBest)
                    << where << ", keys " << frames << " frames apart";
            }
        }
    }
}

TEST(Strikes, APadScriptPlaysAsTheKeyScriptOfTheSameMoments) {
    // The default keys' twins on a standard gamepad, as --pad-bindings prints them.
    EXPECT_EQ(PadBindingsJson(),
              "{\"左足\": \"lefttrigger\", \"右足\": \"righttrigger\", "
              "\"左手\": \"leftshoulder\", \"右手\": \"rightshoulder\"}");
    const std::map<int, std::string> twin{
        {97, "lefttrigger"}, {98, "righttrigger"}, {100, "leftshoulder"}, {101, "rightshoulder"}};
    const ChartId id{.song = 4, .difficulty = 1};
    const auto keys = OnTime(id, 10, Big::BothKeys);
    std::string script;
    for (const KeyEvent& k : keys)
        script += std::to_string(k.ms) + " " + twin.at(k.vk) + (k.down ? " down\n" : " up\n");
    const Played byKeys = Play(id, 60, false, keys), byPad = Play(id, 60, false, ParsePad(script));
    EXPECT_EQ(ToJson(byPad.r, byPad.m), ToJson(byKeys.r, byKeys.m));
    EXPECT_EQ(byPad.r.CountMiss + byPad.r.CountGood, 0);
    // Keys and the pad side by side: the feet on the pad, the hands on keys.
    std::vector<KeyEvent> mixed;
    for (const KeyEvent& k : keys)
        mixed.push_back(k.vk < 100 ? ParsePad(std::to_string(k.ms) + " " + twin.at(k.vk) +
                                              (k.down ? " down" : " up"))[0]
                                   : k);
    const Played both = Play(id, 60, false, mixed);
    EXPECT_EQ(ToJson(both.r, both.m), ToJson(byKeys.r, byKeys.m));
    EXPECT_THROW(ParsePad("100 b3 down"), std::invalid_argument) << "not a controller's input";
}

}  // namespace
}  // namespace zb::tool
