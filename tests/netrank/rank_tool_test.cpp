// zubakko-rank as the server's admin uses it: arguments, the ranking rules, the server exchange.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdio>

#include "netrank/netrank_format.hpp"
#include "tests/netrank/ftp_test_server.hpp"

namespace zb {
namespace {

namespace fs = std::filesystem;

struct Result {
    int status = -1;
    std::string out, err;
};

struct Running {
    FILE* pipe = nullptr;
    std::string errFile;
};

// Starts the tool with arguments (each quoted for the shell); Finish waits for it.
Running StartRankTool(const std::vector<std::string>& args, const std::string& tmp) {
    std::string cmd = ZB_BINARY_DIR "/tools/zubakko-rank";
    for (const auto& a : args) {
        std::string q = "'";
        for (char c : a) q += c == '\'' ? std::string("'\\''") : std::string(1, c);
        cmd += " " + q + "'";
    }
    Running r{nullptr, tmp + "/stderr.txt"};
    cmd += " 2>'" + r.errFile + "'";
    r.pipe = popen(cmd.c_str(), "r");
    return r;
}

Result Finish(Running running) {
    Result r;
    char buf[4096];
    size_t n;
    while ((n = fread(buf, 1, sizeof buf, running.pipe)) > 0) r.out.append(buf, n);
    const int st = pclose(running.pipe);
    r.status = WIFEXITED(st) ? WEXITSTATUS(st) : -1;
    r.err = test::ReadFileBytes(running.errFile);
    return r;
}

Result RankTool(const std::vector<std::string>& args, const std::string& tmp) {
    return Finish(StartRankTool(args, tmp));
}

TEST(RankTool, BadArgumentsGiveTheUsageAndStatusTwo) {
    test::TempDir tmp("rank_tool");
    const std::string file = tmp.Str() + "/r.dat";
    for (const std::vector<std::string>& args : std::vector<std::vector<std::string>>{
             {},
             {"show"},
             {"frobnicate", file},
             {"insert-total", file, "12x", "name", "1", "2"},
             {"insert-total", file, "100", "name", "1"},
             {"insert-total", file, "100", "a:b", "1", "2"},
             {"insert-total", file, "100", "1234567890123", "1", "2"},
             {"insert-song", file, "20", "100", "name"},
             {"insert-song", file, "3", "99999999999", "name"},
             {"download", tmp.Str(), "--port"},
             {"upload", tmp.Str(), "--colour", "red"}}) {
        const Result r = RankTool(args, tmp.Str());
        EXPECT_EQ(r.status, 2) << testing::PrintToString(args);
        EXPECT_NE(r.err.find("usage: zubakko-rank"), std::string::npos);
    }
}

TEST(RankTool, InsertsByTheRankingRulesAndShowsEveryPage) {
    test::TempDir tmp("rank_tool");
    const std::string file = tmp.Str() + "/r.dat";
    auto run = [&](std::vector<std::string> a) { return RankTool(a, tmp.Str()); };
    EXPECT_EQ(run({"insert-total", file, "500", "ｽﾞﾊﾞｯｺ", "4", "6"}).out, "1\n");
    EXPECT_EQ(run({"insert-total", file, "300", "ＡＢＣ", "0", "9"}).out, "2\n");
    EXPECT_EQ(run({"insert-total", file, "300", "～,\"x\"", "1", "2"}).out,
              "2\n");  // ahead of the tie
    EXPECT_EQ(run({"insert-total", file, "-1", "neg", "1", "2"}).out, "not placed\n");
    for (int i = 0; i < 50; ++i) run({"insert-song", file, "7", std::to_string(1000 + i), "p"});
    EXPECT_EQ(run({"insert-song", file, "7", "999", "low"}).out, "not placed\n");
    EXPECT_EQ(run({"insert-song", file, "7", "1000", "tie"}).out, "50\n");

    const Result shown = run({"show", file});
    ASSERT_EQ(shown.status, 0);
    EXPECT_EQ(std::count(shown.out.begin(), shown.out.end(), '\n'), 11 * 51 + 10);
    EXPECT_NE(
        shown.out.find("総合ランキング\n1位:500点　ｽﾞﾊﾞｯｺ ラクダ・黄昏\n"
                       "2位:300点　～,\"x\" 決戦２・サドン\n3位:300点　ＡＢＣ ＦＦ４・トルコ\n"
                       "4位:0点　 ＦＦ４・ＦＦ４\n"),
        std::string::npos);
    EXPECT_NE(shown.out.find("雲の上から\n1位:1049点　p\n"), std::string::npos);
    EXPECT_NE(shown.out.find("50位:1000点　tie\n\nバイクレース０１"), std::string::npos);
    EXPECT_EQ(run({"show", tmp.Str() + "/absent.dat"}).status, 1);
}

TEST(RankTool, DownloadAndUploadAgainstTheServer) {
    test::TempDir home("rank_tool_home"), local("rank_tool_local");
    test::ServerProcess server(test::RankServerArgs(home.Str()));
    const std::vector<std::string> login = {
        "--host", "127.0.0.1", "--port",     std::to_string(server.Port()),
        "--user", test::kUser, "--password", test::kPassword};
    auto with = [&](std::vector<std::string> a) {
        a.insert(a.end(), login.begin(), login.end());
        return RankTool(a, local.Str());
    };
    EXPECT_EQ(with({"download", local.Str()}).status, 0);
    const std::string file = local.Str() + "/netrank.dat";
    EXPECT_EQ(RankTool({"insert-song", file, "2", "4321", "名前"}, local.Str()).out, "1\n");
    EXPECT_EQ(with({"upload", local.Str()}).status, 0);
    EXPECT_NE(test::ReadFileBytes(home.Path() / "public_html/rurederadi/netrank.dat")
                  .find("4321:\x96\xBC\x91\x4F:"),
              std::string::npos);

    std::filesystem::remove(home.Path() / "public_html/rurederadi/netrank.dat");
    const Result missing = with({"download", local.Str()});
    EXPECT_EQ(missing.status, 1);
    EXPECT_EQ(missing.err.substr(0, 10), "12003 550 ");
    const Result nowhere =
        RankTool({"download", local.Str(), "--host", "nonexistent.invalid"}, local.Str());
    EXPECT_EQ(nowhere.status, 1);
    EXPECT_EQ(nowhere.err, "12007 サーバー名を解決できませんでした。\n");
}

std::vector<std::string> Course(const std::string& name, int score) {
    return {"--name",        name, "--first-song",   "4",   "--first-score", std::to_string(score),
            "--second-song", "6",  "--second-score", "1000"};
}

TEST(RankTool, SubmitsRacingEachOtherAllArrive) {
    test::TempDir home("rank_submit_home");
    test::ServerProcess server(test::RankServerArgs(home.Str()));
    const std::string url = "ftp://" + std::string(test::kUser) + ":" + test::kPassword +
                            "@127.0.0.1:" + std::to_string(server.Port()) +
                            "/public_html/rurederadi";
    std::vector<std::unique_ptr<test::TempDir>> dirs;
    std::vector<Running> racing;
    for (int i = 0; i < 8; ++i) {
        dirs.push_back(std::make_unique<test::TempDir>("rank_submit_" + std::to_string(i)));
        std::vector<std::string> args = {"submit", dirs.back()->Str(), "--url", url};
        const auto course = Course("racer" + std::to_string(i), 5000 + i);
        args.insert(args.end(), course.begin(), course.end());
        racing.push_back(StartRankTool(args, dirs.back()->Str()));
    }
    for (auto& running : racing) {
        const Result r = Finish(running);
        EXPECT_EQ(r.status, 0) << r.err;
        EXPECT_NE(r.out.find("ランクインしました。\n"), std::string::npos);
        EXPECT_NE(r.out.find("サーバーとの接続に成功しました。\n"), std::string::npos) << r.out;
    }
    const fs::path folder = home.Path() / "public_html/rurederadi";
    RankingTables t;
    ParseNetRankLine(t, FirstLine(test::ReadFileBytes(folder / "netrank.dat")));
    for (int i = 0; i < 8; ++i) {
        EXPECT_EQ(t.NetTotalName[size_t(7 - i)], "racer" + std::to_string(i));
        EXPECT_EQ(t.NetTotalScore[size_t(7 - i)], 6000 + i);
    }
    EXPECT_EQ(t.NetTotalName[8], "");
    std::vector<std::string> left;
    for (const auto& e : fs::directory_iterator(folder)) left.push_back(e.path().filename());
    EXPECT_EQ(left, std::vector<std::string>{"netrank.dat"});
}

TEST(RankTool, SubmitFailsWhenTheServerRefusesTheUpload) {
    test::TempDir home("rank_submit_home"), local("rank_submit_local");
    test::ServerProcess strict({test::FaultScript(), "nostore", home.Str()});
    std::vector<std::string> args = {"submit",       local.Str(), "--host",
                                     "127.0.0.1",    "--port",    std::to_string(strict.Port()),
                                     "--user",       test::kUser, "--password",
                                     test::kPassword};
    const auto course = Course("だめ", 10);
    args.insert(args.end(), course.begin(), course.end());
    const Result r = RankTool(args, local.Str());
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out.find("サーバーとの接続に成功しました。"), std::string::npos);
    EXPECT_NE(r.out.find("ランキングを送信できませんでした。\nタイトル画面へ戻ります。\n"),
              std::string::npos);
    EXPECT_NE(r.err.find("12003 553 Uploads are not accepted here."), std::string::npos);
    // A name the ranking can't hold is refused before anything is sent.
    args[args.size() - 9] = "絵文字😀";
    EXPECT_EQ(RankTool(args, local.Str()).status, 2);
}

TEST(RankTool, StoresACourseOverTlsAndNeverGoesOnInClear) {
    test::TempDir local("rank_tls_local");
    const std::string folder = "/public_html/rurederadi";
    const std::string empty = FormatNetRankFile(RankingTables{});
    // Explicit TLS in passive mode, the test's own certificate authority: the course is stored.
    {
        test::TlsServer server(test::TlsServer::Mode::Explicit);
        server.Put("netrank.dat", empty);
        const std::string url = "ftp://127.0.0.1:" + std::to_string(server.Port()) + folder +
                                "?tls=1&passive=1&cafile=" + server.CaFile();
        std::vector<std::string> args = {"submit", local.Str(), "--url", url};
        const auto course = Course("暗号", 4321);
        args.insert(args.end(), course.begin(), course.end());
        const Result r = RankTool(args, local.Str());
        EXPECT_EQ(r.status, 0) << r.err;
        EXPECT_NE(r.out.find("サーバーとの接続に成功しました。"), std::string::npos) << r.out;
        RankingTables t;
        ParseNetRankLine(t, FirstLine(test::ReadFileBytes(server.Folder() / "netrank.dat")));
        EXPECT_EQ(t.NetTotalName[0], "暗号");
    }
    // Implicit TLS (ftps://): the download arrives whole; without the certificate authority the
    // system's store does not trust the server and nothing is read.
    {
        test::TlsServer server(test::TlsServer::Mode::Implicit);
        server.Put("netrank.dat", empty);
        const std::string url = "ftps://127.0.0.1:" + std::to_string(server.Port()) + folder;
        Result r = RankTool({"download", local.Str(), "--url", url + "?cafile=" + server.CaFile()},
                            local.Str());
        EXPECT_EQ(r.status, 0) << r.err;
        EXPECT_EQ(test::ReadFileBytes(local.Path() / "netrank.dat"), empty);
        fs::remove(local.Path() / "netrank.dat");
        r = RankTool({"download", local.Str(), "--url", url}, local.Str());
        EXPECT_EQ(r.status, 1);
        EXPECT_NE(r.err.find("12045 サーバーの証明書を確認できませんでした。"), std::string::npos)
            << r.err;
        EXPECT_FALSE(fs::exists(local.Path() / "netrank.dat"));
    }
    // A server without TLS: ?tls=1 stops before the login instead of going on in clear.
    test::TempDir home("rank_tls_plain");
    test::ServerProcess plain(test::RankServerArgs(home.Str()));
    const Result r =
        RankTool({"download", local.Str(), "--url",
                  "ftp://" + std::string(test::kUser) + ":" + test::kPassword +
                      "@127.0.0.1:" + std::to_string(plain.Port()) + folder + "?tls=1"},
                 local.Str());
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("12157 サーバーが暗号化通信（TLS）に応じませんでした。"),
              std::string::npos)
        << r.err;
    EXPECT_FALSE(fs::exists(local.Path() / "netrank.dat"));
}

}  // namespace
}  // namespace zb
