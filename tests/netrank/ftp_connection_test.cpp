// The libcurl FTP connection against a real pyftpdlib server on 127.0.0.1.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>

#include "platform/ftp/curl_ftp.hpp"
#include "tests/netrank/ftp_test_server.hpp"

namespace zb {
namespace {

namespace fs = std::filesystem;
using test::ReadFileBytes;
using test::WriteFileBytes;

class FtpConnectionTest : public ::testing::TestWithParam<bool> {
  protected:
    FtpConnectionTest() : home_("ftp_home"), server_(test::RankServerArgs(home_.Str())) {}

    std::unique_ptr<FtpConnection> Connect() {
        auto c = NewCurlFtpConnection();
        c->SetIdle([this] { ++idles_; });
        const bool ok =
            c->Open({"127.0.0.1", test::kUser, test::kPassword, server_.Port(), GetParam()});
        EXPECT_TRUE(ok) << c->LastFailure().code << " " << c->LastFailure().text;
        return c;
    }
    fs::path RankDir() const { return home_.Path() / "public_html" / "rurederadi"; }

    test::TempDir home_;
    test::ServerProcess server_;
    int idles_ = 0;
};

TEST_P(FtpConnectionTest, TransfersInBothModesWithTextLineEnds) {
    auto c = Connect();
    std::string dir;
    ASSERT_TRUE(c->CurrentDirectory(dir));
    EXPECT_EQ(dir, "/");
    ASSERT_TRUE(c->ChangeDirectory("public_html/rurederadi"));
    ASSERT_TRUE(c->CurrentDirectory(dir));
    EXPECT_EQ(dir, "/public_html/rurederadi");

    // The server keeps its text with LF; in ASCII mode this side sees CR LF.
    WriteFileBytes(RankDir() / "t.txt", "one\ntwo\n\nthree");
    std::string got;
    ASSERT_TRUE(c->Retrieve("t.txt", true, got));
    EXPECT_EQ(got, "one\r\ntwo\r\n\r\nthree");
    ASSERT_TRUE(c->Retrieve("t.txt", false, got));
    EXPECT_EQ(got, "one\ntwo\n\nthree");

    // What goes up in ASCII mode reaches the server as CR LF exactly once per line, which the
    // server stores as its own LF; binary mode stores the bytes as they are.
    ASSERT_TRUE(c->Store("a\r\nb\r\n\r\nc", "up.txt", true));
    EXPECT_EQ(ReadFileBytes(RankDir() / "up.txt"), "a\nb\n\nc");
    ASSERT_TRUE(c->Store("lf\nonly\n", "up2.txt", true));
    EXPECT_EQ(ReadFileBytes(RankDir() / "up2.txt"), "lf\nonly\n");
    const std::string binary("\r\n\0\xff\n\r", 6);
    ASSERT_TRUE(c->Store(binary, "bin.dat", false));
    EXPECT_EQ(ReadFileBytes(RankDir() / "bin.dat"), binary);
    EXPECT_GT(idles_, 0);
}

TEST_P(FtpConnectionTest, DirectoriesRenameDeleteAndListing) {
    auto c = Connect();
    ASSERT_TRUE(c->MakeDirectory("/public_html/newdir"));
    EXPECT_TRUE(fs::is_directory(home_.Path() / "public_html" / "newdir"));
    ASSERT_TRUE(c->ChangeDirectory("public_html/rurederadi"));
    WriteFileBytes(RankDir() / "a.txt", "12345");
    WriteFileBytes(RankDir() / "noext", "x");
    fs::create_directories(RankDir() / "sub");

    std::vector<FtpEntry> entries;
    ASSERT_TRUE(c->List("*.*", entries));
    std::sort(entries.begin(), entries.end(),
              [](const FtpEntry& a, const FtpEntry& b) { return a.name < b.name; });
    ASSERT_EQ(entries.size(), 4u);
    EXPECT_EQ(entries[0].name, "a.txt");
    EXPECT_EQ(entries[0].size, 5);
    EXPECT_FALSE(entries[0].directory);
    EXPECT_GE(entries[0].modified.year, 2020);
    EXPECT_EQ(entries[1].name, "netrank.dat");
    EXPECT_EQ(entries[2].name, "noext");
    EXPECT_EQ(entries[3].name, "sub");
    EXPECT_TRUE(entries[3].directory);
    ASSERT_TRUE(c->List("*.txt", entries));
    ASSERT_EQ(entries.size(), 1u);

    // Relative names follow the current directory, "/" names start from the top, ".." goes up.
    ASSERT_TRUE(c->Rename("a.txt", "b.txt"));
    EXPECT_TRUE(fs::exists(RankDir() / "b.txt"));
    ASSERT_TRUE(c->Rename("b.txt", "/public_html/newdir/c.txt"));
    EXPECT_TRUE(fs::exists(home_.Path() / "public_html" / "newdir" / "c.txt"));
    ASSERT_TRUE(c->ChangeDirectory("../newdir"));
    ASSERT_TRUE(c->Delete("c.txt"));
    EXPECT_FALSE(fs::exists(home_.Path() / "public_html" / "newdir" / "c.txt"));
    ASSERT_TRUE(c->ChangeDirectory("/"));
    ASSERT_TRUE(c->RemoveDirectory("public_html/newdir"));
    EXPECT_FALSE(fs::exists(home_.Path() / "public_html" / "newdir"));

    // Refusals carry the server's reply and keep the connection.
    EXPECT_FALSE(c->ChangeDirectory("nowhere"));
    EXPECT_EQ(c->LastFailure().code, ftp_error::kServerRefused);
    EXPECT_EQ(c->LastFailure().text.substr(0, 3), "550");
    std::string dir;
    ASSERT_TRUE(c->CurrentDirectory(dir));
    EXPECT_EQ(dir, "/");
    std::string got;
    EXPECT_FALSE(c->Retrieve("public_html/rurederadi/missing.dat", true, got));
    EXPECT_EQ(c->LastFailure().code, ftp_error::kServerRefused);
    EXPECT_EQ(c->LastFailure().text.substr(0, 3), "550");
    ASSERT_TRUE(c->MakeDirectory("/victim"));
    EXPECT_FALSE(c->Delete("x\r\nRMD /victim"));  // no second command slips through
    EXPECT_TRUE(fs::exists(home_.Path() / "victim"));
    EXPECT_FALSE(c->Delete("missing.dat"));
    EXPECT_EQ(c->LastFailure().code, ftp_error::kServerRefused);
    EXPECT_TRUE(c->IsOpen());
    ASSERT_TRUE(c->Retrieve("public_html/rurederadi/netrank.dat", true, got));

    c->Close();
    EXPECT_FALSE(c->IsOpen());
    EXPECT_FALSE(c->Retrieve("netrank.dat", true, got));
    EXPECT_EQ(c->LastFailure().code, ftp_error::kInvalidHandle);
}

TEST(FtpConnectionFaults, WrongPasswordIsTheServersRefusal) {
    test::TempDir home("ftp_home");
    test::ServerProcess server(test::RankServerArgs(home.Str()));
    auto c = NewCurlFtpConnection();
    EXPECT_FALSE(c->Open({"127.0.0.1", test::kUser, "wrong", server.Port(), false}));
    EXPECT_EQ(c->LastFailure().code, ftp_error::kServerRefused);
    EXPECT_EQ(c->LastFailure().text.substr(0, 3), "530");
    EXPECT_FALSE(c->IsOpen());
}

INSTANTIATE_TEST_SUITE_P(ActiveAndPassive, FtpConnectionTest, ::testing::Values(false, true),
                         [](const auto& info) { return info.param ? "Passive" : "Active"; });

TEST(FtpConnectionFaults, NamesThatDoNotResolveAndClosedPorts) {
    auto c = NewCurlFtpConnection();
    EXPECT_FALSE(c->Open({"nonexistent.invalid", "u", "p", 21, false}));
    EXPECT_EQ(c->LastFailure().code, ftp_error::kNameNotResolved);
    EXPECT_EQ(c->LastFailure().text, "サーバー名を解決できませんでした。");
    EXPECT_FALSE(c->Open({"127.0.0.1", "u", "p", test::ClosedPort(), false}));
    EXPECT_EQ(c->LastFailure().code, ftp_error::kCannotConnect);
    EXPECT_FALSE(c->LastFailure().text.empty());
    EXPECT_FALSE(c->IsOpen());
}

TEST(FtpConnectionFaults, SilentServerIsReportedInTimeWhileTheWindowKeepsGoing) {
    test::ServerProcess stall({test::FaultScript(), "stall"});
    auto c = NewCurlFtpConnection();
    int idles = 0;
    c->SetIdle([&idles] { ++idles; });
    const auto start = std::chrono::steady_clock::now();
    EXPECT_FALSE(c->Open({"127.0.0.1", "u", "p", stall.Port(), false}));
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    EXPECT_LT(seconds, 15);
    EXPECT_EQ(c->LastFailure().code, ftp_error::kTimeout);
    EXPECT_GT(idles, 20 * seconds);  // the window is pumped many times a second
}

TEST(FtpConnectionFaults, AnExceptionFromTheIdleCallbackEndsTheOperation) {
    test::ServerProcess stall({test::FaultScript(), "stall"});
    auto c = NewCurlFtpConnection();
    c->SetIdle([] { throw std::runtime_error("window closed"); });
    EXPECT_THROW(c->Open({"127.0.0.1", "u", "p", stall.Port(), false}), std::runtime_error);
    EXPECT_FALSE(c->IsOpen());
}

}  // namespace
}  // namespace zb
