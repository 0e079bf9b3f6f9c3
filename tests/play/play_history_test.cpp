// The play history and the input offset it learns, through the play screen: plays struck late
// by hand, their lines in history.txt, the results' offer and F5.
#include "play/play_history.hpp"

#include <gtest/gtest.h>

#include <cmath>

#include "core/chart_loader.hpp"
#include "core/file_replace.hpp"
#include "core/midi_file.hpp"
#include "platform/headless/headless.hpp"
#include "play/best_replay.hpp"
#include "play/play_screen_setup.hpp"
#include "play/play_slots.hpp"
#include "play/replay_store.hpp"
#include "tests/common/temp_dir.hpp"

namespace zb {
namespace {

TEST(PlayHistory, ThreeLatePlaysOfferTheirOffsetF5TakesItAndTheFourthPlaysOnTime) {
    testing::TempDir dir;
    headless::HeadlessPlatform hp(dir.Dir());
    Game game(hp.ports);
    game.settings.DelaySetting = 0;
    const PlayRequest q{.chart = {.song = 1, .difficulty = 0}};
    // The song's music beside the program, for the last play's F7.
    std::filesystem::create_directories(dir.File("sound"));
    std::filesystem::copy_file(std::string(ZB_SOURCE_DIR) + "/assets/" + SongMusicFile(1),
                               dir.Dir() + SongMusicFile(1));
    std::vector<double> means;
    std::vector<std::string> offers;
    for (int play = 0; play < 4; ++play) {
        PlayScreenSetup(game, q);
        LoadChart(game, q.chart, 0);
        // Every note struck 20 ms after it is due, the keys of a colour taking turns.
        const Chart& c = game.chart;
        const double msPerPx =
            double(c.ChartSpan) * 10 / (double(c.ChartText.size()) * c.NoteSpacing);
        const double start = hp.clock.Now();
        int turn[2] = {0, 0};
        for (int i = 1; i <= c.NoteCount; ++i) {
            const double at =
                start + ((c.NotePos[size_t(i)] - c.ChartOffset) * msPerPx + 20) / 1000;
            const int colour = (c.NoteKinds[size_t(i - 1)] - '0') % 5 % 2 ? 0 : 1;
            const int key = game.settings.KeyCodes[size_t(colour * 2 + turn[colour]++ % 2)];
            hp.keyboard.At(at, key, true);
            hp.keyboard.At(at + 0.01, key, false);
        }
        offers.emplace_back();
        hp.window.onYield = [&] {
            const std::string& line = game.form.Label[play_slots::kTimingDelayLabel].Caption;
            if (play == 3 && !game.form.pHaikei.Visible && !line.empty() && offers.back().empty()) {
                offers.back() = "F7";
                hp.keyboard.Press(vk::F7);
                hp.keyboard.At(hp.clock.Now() + 0.05, vk::F7, false);
            }
            if (line.find("F5 で補正") == std::string::npos || !offers.back().empty()) return;
            offers.back() = line.substr(0, line.find('\r'));
            hp.keyboard.Press(vk::F5);
            hp.keyboard.At(hp.clock.Now() + 0.05, vk::F5, false);
        };
        means.push_back(PlaySong(game, q).Timing.meanMs);
        hp.window.onYield = nullptr;
    }
    EXPECT_EQ(offers, (std::vector<std::string>{"", "", "入力が平均 +20 ms 遅れています。F5 で補正",
                                                "F7"}));
    EXPECT_NEAR(means[2], 20, 1);
    EXPECT_NEAR(means[3], 0, 3) << "the fourth play, with the offset F5 took";
    EXPECT_EQ(game.devices.OffsetOf("keyboard"), 20);
    EXPECT_NE(dir.Read("devices.txt").find("\nkeyboard\toffset 20\n"), std::string::npos);

    // Each play is a line with its replay and its device's figures; a damaged line is skipped.
    std::string text = dir.Read("history.txt");
    dir.Write("history.txt", text + "2026-04-01 12:00:00\t1\tx\n");
    const std::vector<PlayRecord> plays = ReadPlayHistory(game);
    ASSERT_EQ(plays.size(), 4u);
    EXPECT_EQ(plays[0].when, "2026-04-01 12:00:00");
    EXPECT_EQ(plays[0].song + plays[0].course, "1local");
    EXPECT_EQ(plays[3].best + plays[3].good + plays[3].miss, game.chart.NoteCount);
    EXPECT_TRUE(std::filesystem::exists(dir.Dir() + "replays/" + plays[3].replay));
    ASSERT_EQ(plays[3].devices.size(), 1u);
    EXPECT_EQ(plays[3].devices[0].device, "keyboard");
    EXPECT_EQ(DecodePlayRecord(EncodePlayRecord(plays[2])), plays[2]);

    // F7 on the last play's results wrote it beside its replay, a stroke a note.
    const std::string midi = plays[3].replay.substr(0, plays[3].replay.size() - 4) + ".mid";
    EXPECT_NE(game.form.Label[play_slots::kTimingDelayLabel].Caption.find(
                  "MIDIファイルに書き出しました：" + midi),
              std::string::npos);
    MidiSong take;
    std::string why;
    ASSERT_TRUE(ReadMidi(dir.Read("replays/" + midi), take, why)) << why;
    uint16_t strokes = 0;
    for (const MidiNote& n : take.notes) strokes = std::max(strokes, n.track);
    EXPECT_EQ(std::count_if(take.notes.begin(), take.notes.end(),
                            [&](const MidiNote& n) { return n.track == strokes; }),
              game.chart.NoteCount);
}

TEST(PlayHistory, EachChartsBestReplayOutlivesTheKeptNumber) {
    testing::TempDir dir;
    headless::HeadlessPlatform hp(dir.Dir());
    Game game(hp.ports);
    const auto keep = [&](int16_t song, int32_t score) {
        PlayOutcome o;
        o.request.chart = {.song = song, .difficulty = 0};
        SongResult r;
        r.ShownScore = score;
        Replay replay;
        replay.chart = o.request.chart;
        o.result = &r, o.replay = &replay;
        KeepPlayOutcome(game, o);
    };
    keep(1, 150000), keep(1, 180000), keep(1, 120000);
    for (int i = 0; i < 250; ++i) keep(int16_t(2 + i % 3), 100000 + i % 7);
    const auto kept = [&](const char* name) {
        return std::filesystem::exists(dir.File(std::string("replays/") + name));
    };
    EXPECT_TRUE(kept("000002_s1_d0.zbr")) << "song 1's best";
    EXPECT_FALSE(kept("000001_s1_d0.zbr"));
    EXPECT_FALSE(kept("000003_s1_d0.zbr"));
    EXPECT_TRUE(kept("000024_s4_d0.zbr")) << "song 4's best, the first of its equals";
    EXPECT_FALSE(kept("000027_s4_d0.zbr"));
    EXPECT_TRUE(kept("000253_s2_d0.zbr"));
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.File("replays")), {}),
              kKeptReplays + 4)
        << "the bests of songs 1 to 4 beside the newest";
    const std::optional<PlayRecord> ghost =
        BestReplayOf(game, ReadPlayHistory(game), {.chart = {.song = 1, .difficulty = 0}});
    ASSERT_TRUE(ghost);
    EXPECT_EQ(ghost->replay, "000002_s1_d0.zbr");
    EXPECT_FALSE(
        BestReplayOf(game, ReadPlayHistory(game),
                     {.chart = {.song = 1, .difficulty = 0}, .modifier = Modifier::Sudden}));
    // A folder of replays without a history yet (a save from before it was kept) spares its bests
    // too at the first play.
    std::filesystem::remove(dir.File("history.txt"));
    keep(3, 100000);
    EXPECT_TRUE(kept("000002_s1_d0.zbr")) << "song 1's best, from the replays alone";
}

}  // namespace
}  // namespace zb
