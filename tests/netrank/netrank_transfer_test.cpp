// The ranking's transfers against a real ranking server on 127.0.0.1: the round trip of names,
// the error boxes, and that no broken transfer is ever taken for a ranking.
#include "netrank/netrank_transfer.hpp"

#include <gtest/gtest.h>

#include <chrono>

#include "netrank/netrank_file.hpp"
#include "netrank/netrank_format.hpp"
#include "platform/headless/headless.hpp"
#include "tests/netrank/ftp_test_server.hpp"

namespace zb {
namespace {

namespace fs = std::filesystem;
using test::ReadFileBytes;
using test::WriteFileBytes;

std::string ToLf(std::string s) {
    std::string out;
    for (size_t i = 0; i < s.size(); ++i)
        if (!(s[i] == '\r' && i + 1 < s.size() && s[i + 1] == '\n')) out += s[i];
    return out;
}

class TransferTest : public ::testing::Test {
  protected:
    TransferTest()
        : local_("rank_local"),
          home_("rank_home"),
          platform_(local_.Str() + "/"),
          game_(test::WithCurl(platform_)) {}

    void StartServer() {
        server_ = std::make_unique<test::ServerProcess>(test::RankServerArgs(home_.Str()));
        rank_ = {"127.0.0.1",     test::kUser, test::kPassword,
                 server_->Port(), false,       "public_html/rurederadi"};
    }
    fs::path ServerFile() const { return home_.Path() / "public_html/rurederadi/netrank.dat"; }
    std::string LocalBytes() const { return ReadFileBytes(local_.Path() / "netrank.dat"); }
    const std::vector<headless::ScriptedDialogs::Shown>& Boxes() const {
        return platform_.dialogs.shown;
    }
    std::string ServerListing() const {
        std::string names;
        for (const auto& e : fs::directory_iterator(ServerFile().parent_path()))
            names += e.path().filename().string() + " ";
        return names;
    }

    test::TempDir local_, home_;
    headless::HeadlessPlatform platform_;
    Game game_;
    std::unique_ptr<test::ServerProcess> server_;
    RankServer rank_;
};

TEST_F(TransferTest, NamesSurviveWriteUploadDownloadAndRead) {
    StartServer();
    ClearNetRankFile(game_);
    ASSERT_TRUE(DownloadNetRank(game_, rank_));
    EXPECT_TRUE(IsWholeNetRank(LocalBytes()));
    EXPECT_GT(platform_.window.yields, 0);  // the window was pumped during the transfer
    ReadNetRankFile(game_);
    ClearNetRankFile(game_);

    const std::vector<std::string> names = {"ＡＢＣｘｙｚ", "ｽﾞﾊﾞｯｺﾐｭｰｼﾞｯｸ", "どん～かん",
                                            "a,b,c",        "say \"hi\"",    "混在ﾃｽﾄ～,\"x\""};
    for (size_t i = 0; i < names.size(); ++i) {
        EXPECT_EQ(InsertTotalEntry(game_, 1000 - static_cast<int32_t>(i), names[i], 4, 6),
                  static_cast<int>(i));
        EXPECT_EQ(InsertSongEntry(game_, static_cast<int16_t>(i), 500, names[i]), 0);
    }
    WriteNetRankFile(game_);
    const std::string written = LocalBytes();
    ASSERT_TRUE(UploadNetRank(game_, rank_));
    // The server holds the same text in its own line ends, and no temporary file is left.
    EXPECT_EQ(ReadFileBytes(ServerFile()), ToLf(written));
    EXPECT_EQ(ServerListing(), "netrank.dat ");

    Game other(platform_.ports);
    ClearNetRankFile(other);
    ASSERT_TRUE(DownloadNetRank(other, rank_));
    EXPECT_EQ(LocalBytes(), written);
    ReadNetRankFile(other);
    for (size_t i = 0; i < names.size(); ++i) {
        EXPECT_EQ(other.ranking.NetTotalName[i], names[i]);
        EXPECT_EQ(other.ranking.NetTotalSongs[i], (std::array<int16_t, 2>{4, 6}));
        EXPECT_EQ(other.ranking.NetSongName[i][0], names[i]);
    }
    EXPECT_TRUE(Boxes().empty());
}

TEST_F(TransferTest, MissingFileShowsTheServersReplyAndAMissingFolderLeavesTheLoginFolder) {
    StartServer();
    fs::remove(ServerFile());
    ClearNetRankFile(game_);
    EXPECT_FALSE(DownloadNetRank(game_, rank_));
    ASSERT_EQ(Boxes().size(), 1u);
    EXPECT_EQ(Boxes()[0].text.substr(0, 10), "12003\r\n550");
    EXPECT_EQ(Boxes()[0].buttons, MsgButtons::Ok);
    EXPECT_EQ(LocalBytes(), "\r\n");

    // A folder that can't be entered: its box, a line on standard error naming it, and the
    // login folder's ranking.
    RankingTables t;
    t.NetTotalName[0] = "login";
    WriteFileBytes(home_.Path() / "netrank.dat", ToLf(FormatNetRankFile(t)));
    fs::remove_all(home_.Path() / "public_html");
    ::testing::internal::CaptureStderr();
    EXPECT_TRUE(DownloadNetRank(game_, rank_));
    const std::string err = ::testing::internal::GetCapturedStderr();
    ASSERT_EQ(Boxes().size(), 2u);
    EXPECT_EQ(Boxes()[1].text.substr(0, 10), "12003\r\n550");
    EXPECT_EQ(LocalBytes(), FormatNetRankFile(t));
    EXPECT_NE(err.find("zubakko: ranking server " + rank_.Where() +
                       ": can't enter the folder public_html/rurederadi; using the login folder"),
              std::string::npos)
        << err;
}

TEST_F(TransferTest, UnreachableServersShowOneBoxEach) {
    ClearNetRankFile(game_);
    RankServer nowhere{"nonexistent.invalid", "u", "p", 21, false, "public_html/rurederadi"};
    EXPECT_FALSE(DownloadNetRank(game_, nowhere));
    ASSERT_EQ(Boxes().size(), 1u);
    EXPECT_EQ(Boxes()[0].text, "12007\r\nサーバー名を解決できませんでした。");

    RankServer closed{"127.0.0.1", "u", "p", test::ClosedPort(), false, "public_html/rurederadi"};
    EXPECT_FALSE(DownloadNetRank(game_, closed));
    ASSERT_EQ(Boxes().size(), 2u);
    EXPECT_EQ(Boxes()[1].text.substr(0, 7), "12029\r\n");
    EXPECT_GT(Boxes()[1].text.size(), 7u);
    EXPECT_EQ(LocalBytes(), "\r\n");

    RankingTables t;
    WriteFileBytes(local_.Path() / "netrank.dat", FormatNetRankFile(t));
    EXPECT_FALSE(UploadNetRank(game_, closed));
    EXPECT_EQ(Boxes().size(), 3u);
}

TEST_F(TransferTest, WhatIsNotAWholeRankingIsNeitherTakenNorSent) {
    StartServer();
    RankingTables t;
    t.NetTotalName[0] = "x";
    const std::string whole = FormatNetRankFile(t);
    for (const std::string& broken : {std::string("\n"), whole.substr(0, whole.size() / 2)}) {
        WriteFileBytes(ServerFile(), broken);
        ClearNetRankFile(game_);
        EXPECT_FALSE(DownloadNetRank(game_, rank_));
        EXPECT_EQ(LocalBytes(), "\r\n");
    }
    // An emptied local file (a failed download) is never uploaded over the server's ranking.
    WriteFileBytes(ServerFile(), ToLf(whole));
    ClearNetRankFile(game_);
    EXPECT_FALSE(UploadNetRank(game_, rank_));
    EXPECT_EQ(ReadFileBytes(ServerFile()), ToLf(whole));
    // Each refused download says why (an emptied file is no ranking; half a one was cut off);
    // the refused upload shows nothing.
    ASSERT_EQ(Boxes().size(), 2u);
    EXPECT_EQ(Boxes()[0].text, "13\r\nサーバーのファイルはランキングではありません。");
    EXPECT_EQ(Boxes()[1].text, "12030\r\nランキングの受信が途中で終わりました。");
}

// A ranking with long names, so that transfers take several packets.
std::string BigRanking() {
    RankingTables t;
    for (int j = 0; j < 50; ++j) {
        t.NetTotalScore[j] = 100 - j;
        t.NetTotalName[j] = std::string(200, 'n');
        for (int s = 0; s < 20; ++s) t.NetSongName[s][j] = std::string(60, 's');
    }
    return FormatNetRankFile(t);
}

TEST_F(TransferTest, ServerDyingInAnUploadLeavesTheOldRanking) {
    const std::string old = ToLf(FormatNetRankFile(RankingTables{}));
    fs::create_directories(ServerFile().parent_path());
    WriteFileBytes(ServerFile(), old);
    test::ServerProcess dying({test::FaultScript(), "cutoff", home_.Str(), "20000"});
    rank_ = {"127.0.0.1",  test::kUser, test::kPassword,
             dying.Port(), false,       "public_html/rurederadi"};
    WriteFileBytes(local_.Path() / "netrank.dat", BigRanking());
    EXPECT_FALSE(UploadNetRank(game_, rank_));
    ASSERT_GE(Boxes().size(), 1u);
    EXPECT_EQ(Boxes()[0].text.substr(0, 7), "12030\r\n");  // the connection broke off
    EXPECT_TRUE(ReadFileBytes(ServerFile()) == old);
}

TEST_F(TransferTest, ServerDyingInADownloadIsNoRanking) {
    fs::create_directories(ServerFile().parent_path());
    WriteFileBytes(ServerFile(), ToLf(BigRanking()));
    test::ServerProcess dying({test::FaultScript(), "cutoff", home_.Str(), "20000"});
    rank_ = {"127.0.0.1",  test::kUser, test::kPassword,
             dying.Port(), false,       "public_html/rurederadi"};
    ClearNetRankFile(game_);
    EXPECT_FALSE(DownloadNetRank(game_, rank_));
    ASSERT_GE(Boxes().size(), 1u);
    EXPECT_EQ(Boxes()[0].text.substr(0, 7), "12030\r\n");  // the connection broke off
    EXPECT_EQ(LocalBytes(), "\r\n");
}

TEST_F(TransferTest, ServersThatWillNotRenameOverAFileStillGetTheUpload) {
    test::ServerProcess strict({test::FaultScript(), "norename", home_.Str()});
    rank_ = {"127.0.0.1",   test::kUser, test::kPassword,
             strict.Port(), false,       "public_html/rurederadi"};
    const std::string ranking = BigRanking();
    WriteFileBytes(local_.Path() / "netrank.dat", ranking);
    EXPECT_TRUE(UploadNetRank(game_, rank_));
    EXPECT_TRUE(ReadFileBytes(ServerFile()) == ToLf(ranking));
    EXPECT_EQ(ServerListing(), "netrank.dat ");
    EXPECT_TRUE(Boxes().empty());
}

TEST_F(TransferTest, ServerFreezingInADownloadIsReportedInTime) {
    fs::create_directories(ServerFile().parent_path());
    WriteFileBytes(ServerFile(), ToLf(BigRanking()));
    test::ServerProcess frozen({test::FaultScript(), "hang", home_.Str(), "20000"});
    rank_ = {"127.0.0.1",   test::kUser, test::kPassword,
             frozen.Port(), false,       "public_html/rurederadi"};
    ClearNetRankFile(game_);
    const int yieldsBefore = platform_.window.yields;
    const auto start = std::chrono::steady_clock::now();
    EXPECT_FALSE(DownloadNetRank(game_, rank_));
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    EXPECT_LT(seconds, 15);
    ASSERT_EQ(Boxes().size(), 1u);
    EXPECT_EQ(Boxes()[0].text.substr(0, 7), "12002\r\n");
    EXPECT_GT(platform_.window.yields - yieldsBefore, 20 * seconds);  // the window kept going
    EXPECT_EQ(LocalBytes(), "\r\n");
}

TEST(BuiltInServer, MatchesTheLocalRankingServer) {
    const RankServer s = BuiltInRankServer();
    EXPECT_FALSE(s.host.empty());
    EXPECT_FALSE(s.passive || s.directory != "public_html/rurederadi");
}

}  // namespace
}  // namespace zb
