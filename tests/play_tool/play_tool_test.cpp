// zubakko-play: options, the keys file, the JSON report, and scripted plays of a real chart.
#include "tools/play/play_tool.hpp"

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <stdexcept>

#include "core/chart_loader.hpp"
#include "platform/headless/headless.hpp"
#include "tests/common/temp_dir.hpp"

namespace zb::tool {
namespace {

TEST(PlayTool, ReadsKeysFiles) {
    const auto keys = ParseKeys("# a comment\n\n1500 97 down\r\n1580 97 up\n  2000   100 down \n");
    ASSERT_EQ(keys.size(), 3u);
    EXPECT_EQ(keys[0].ms, 1500);
    EXPECT_EQ(keys[0].vk, 97);
    EXPECT_TRUE(keys[0].down);
    EXPECT_FALSE(keys[1].down);
    EXPECT_EQ(keys[2].vk, 100);
    for (const char* bad : {"1500 97 pressed\n", "1500 97\n", "-5 97 down\n", "1500 97 down x\n",
                            "15x0 97 down\n", "1500 0 up\n"}) {
        try {
            ParseKeys(std::string("0 97 down\n") + bad);
            ADD_FAILURE() << "accepted " << bad;
        } catch (const std::invalid_argument& e) {
            EXPECT_NE(std::string(e.what()).find("line 2"), std::string::npos) << e.what();
        }
    }
}

TEST(PlayTool, ReadsOptions) {
    const Options o = ParseOptions({"--song", "8", "--difficulty", "3", "--auto", "--mode", "5",
                                    "--delay", "0", "--frame", "40", "--bigwait", "--fps", "144"});
    EXPECT_EQ(o.song, 8);
    EXPECT_EQ(o.difficulty, 3);
    EXPECT_TRUE(o.autoPlay);
    EXPECT_EQ(o.mode, 5);
    EXPECT_EQ(o.delay, 0);
    EXPECT_EQ(o.frame, 40);
    EXPECT_TRUE(o.bigWait);
    EXPECT_EQ(o.fps, 144);
    EXPECT_EQ(ParseOptions({"--song", "0", "--difficulty", "0"}).fps, 60);
    for (std::vector<std::string> bad : {std::vector<std::string>{"--song", "0"},
                                         {"--song", "10", "--difficulty", "0"},
                                         {"--song", "0", "--difficulty", "0", "--fps", "0"},
                                         {"--song", "0", "--difficulty", "0", "--mode"},
                                         {"--song", "0", "--difficulty", "0", "--speed", "2"}})
        EXPECT_THROW(ParseOptions(bad), std::invalid_argument);
}

TEST(PlayTool, ReportsOneJsonObject) {
    SongResult r;
    r.ShownScore = 399000, r.Score = 398999.5, r.MaxCombo = 300, r.CountBest = 299, r.CountGood = 1;
    r.Gauge = 3000, r.GaugeLevel = 40, r.Frames = 9000;
    r.Caption = "スコア：399000点\r\n\"x\"\\";
    EXPECT_EQ(ToJson(r),
              "{\"ShownScore\":399000,\"Score\":398999.5,\"MaxCombo\":300,\"CountBest\":299,"
              "\"CountGood\":1,\"CountMiss\":0,\"Gauge\":3000,\"GaugeLevel\":40,\"Frames\":9000,"
              "\"Caption\":\"スコア：399000点\\r\\n\\\"x\\\"\\\\\",\"Left\":false}");
}

TEST(PlayTool, KeysFileTimesAreMusicPositions) {
    // Song 1 at difficulty 0, struck by a keys file: every note at its due time is a perfect
    // run; a file that strikes nothing misses every note.
    testing::TempDir dir;
    Options o = ParseOptions({"--song", "1", "--difficulty", "0", "--delay", "0"});
    const SongResult none = PlayChart(o, {}, dir.Dir());
    EXPECT_EQ(none.CountMiss, 170);
    EXPECT_EQ(none.ShownScore, 0);

    std::vector<KeyEvent> keys;
    {
        headless::HeadlessPlatform hp(dir.Dir());
        Game game(hp.ports);
        game.settings.DelaySetting = 0;
        LoadChart(game, {.song = 1, .difficulty = 0}, 0);
        const Chart& c = game.chart;
        const double msPerPx =
            double(c.ChartSpan) * 10 / (double(c.ChartText.size()) * c.NoteSpacing);
        for (int i = 1; i <= c.NoteCount; ++i) {
            const int64_t ms = std::llround((c.NotePos[size_t(i)] - c.ChartOffset) * msPerPx);
            const int kind = (c.NoteKinds[size_t(i - 1)] - '0') % 5;
            std::vector<int> vks;
            if (kind == 1) vks = {i % 2 ? 97 : 98};
            if (kind == 2) vks = {i % 2 ? 100 : 101};
            if (kind == 3) vks = {97, 98};
            if (kind == 4) vks = {100, 101};
            for (int vk : vks) keys.push_back({ms, vk, true}), keys.push_back({ms + 60, vk, false});
        }
    }
    const SongResult perfect = PlayChart(o, keys, dir.Dir());
    EXPECT_EQ(perfect.CountBest, 170);
    EXPECT_EQ(perfect.ShownScore, 200000 - 120 * 10);
    EXPECT_TRUE(std::filesystem::exists(dir.File("score.dat")));  // a cleared manual play

    // Paused in the middle of the song for two seconds, the same script is still perfect: its
    // times are music positions, and the song goes on exactly where it stopped.
    Options paused = o;
    paused.pauseAt = int32_t(keys[keys.size() / 2].ms - 7);
    paused.pauseFor = 2000;
    const SongResult p = PlayChart(paused, keys, dir.Dir());
    EXPECT_EQ(p.CountBest, 170);
    EXPECT_FALSE(p.Left);

    // Left from the pause menu, a song writes nothing.
    testing::TempDir other;
    Options left = o;
    left.leaveAt = paused.pauseAt;
    const SongResult l = PlayChart(left, keys, other.Dir());
    EXPECT_TRUE(l.Left);
    EXPECT_EQ(l.ShownScore, 0);
    EXPECT_FALSE(std::filesystem::exists(other.File("score.dat")));
    EXPECT_FALSE(std::filesystem::exists(other.File("replays")));

    o.autoPlay = true;
    const SongResult a = PlayChart(o, {}, dir.Dir());
    EXPECT_EQ(a.ShownScore, 200000);

    // The program races a keys play against the replay of another: the player's figures are
    // those of the play alone, the ghost's those of its replay, and the difference exact.
    const auto run = [&](const std::string& args, int& status) {
        const std::string cmd = std::string(ZB_BINARY_DIR) +
                                "/tools/zubakko-play --song 1 "
                                "--difficulty 0 --delay 0 " +
                                args + " 2>" + dir.File("err.txt");
        FILE* pipe = popen(cmd.c_str(), "r");
        std::string out;
        char buf[4096];
        for (size_t n; (n = fread(buf, 1, sizeof buf, pipe)) > 0;) out.append(buf, n);
        const int st = pclose(pipe);
        status = WIFEXITED(st) ? WEXITSTATUS(st) : -1;
        return out.substr(0, out.find_last_not_of('\n') + 1);
    };
    std::string late, early;
    for (size_t i = 0; i < keys.size(); ++i) {
        const KeyEvent& k = keys[i];
        late +=
            std::to_string(k.ms + 25) + " " + std::to_string(k.vk) + (k.down ? " down\n" : " up\n");
        if (i % 12 > 1)
            early += std::to_string(k.ms - 10) + " " + std::to_string(k.vk) +
                     (k.down ? " down\n" : " up\n");
    }
    dir.Write("late.txt", late), dir.Write("early.txt", early);
    int status = 0;
    const std::string ghostJson =
        run("--keys " + dir.File("early.txt") + " --save-replay " + dir.File("ghost.zbr"), status);
    ASSERT_EQ(status, 0);
    const std::string alone = run("--keys " + dir.File("late.txt"), status);
    ASSERT_EQ(status, 0);
    const std::string raced =
        run("--keys " + dir.File("late.txt") + " --ghost " + dir.File("ghost.zbr"), status);
    ASSERT_EQ(status, 0);
    const auto field = [](const std::string& json, const std::string& name) {
        const size_t at = json.find("\"" + name + "\":") + name.size() + 3;
        return std::stol(json.substr(at));
    };
    const std::string ghost =
        "\"Ghost\":{\"ShownScore\":" + std::to_string(field(ghostJson, "ShownScore")) +
        ",\"CountBest\":" + std::to_string(field(ghostJson, "CountBest")) +
        ",\"CountGood\":" + std::to_string(field(ghostJson, "CountGood")) +
        ",\"CountMiss\":" + std::to_string(field(ghostJson, "CountMiss")) + "}";
    EXPECT_EQ(raced,
              alone.substr(0, alone.size() - 1) + "," + ghost + ",\"GhostDifference\":" +
                  std::to_string(field(alone, "ShownScore") - field(ghostJson, "ShownScore")) +
                  "}");
    EXPECT_NE(field(ghostJson, "CountMiss"), 0);
    // A ghost of another chart is refused, by name.
    const std::string refused =
        run("--keys " + dir.File("late.txt") + " --ghost " + dir.File("ghost.zbr") + " --mode 3",
            status);
    EXPECT_EQ(status, 1);
    EXPECT_TRUE(refused.empty());
    EXPECT_NE(dir.Read("err.txt").find("zubakko-play: " + dir.File("ghost.zbr") +
                                       ": the ghost is a replay of another chart"),
              std::string::npos)
        << dir.Read("err.txt");
}

}  // namespace
}  // namespace zb::tool
