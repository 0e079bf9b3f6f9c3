// McWinFTP's properties, the directory search and the file operations, with every failure
// raised through FTPFrr.
#include "netrank/mc_win_ftp.hpp"

#include <gtest/gtest.h>

#include <map>

#include "platform/headless/headless.hpp"
#include "tests/netrank/ftp_test_server.hpp"

namespace zb {
namespace {

namespace fs = std::filesystem;
using test::ReadFileBytes;
using test::WriteFileBytes;

struct Event {
    int32_t number;
    std::string text;
};

class McWinFtpTest : public ::testing::Test {
  protected:
    McWinFtpTest() : local_("mc_local"), home_("mc_home"), platform_(local_.Str() + "/") {
        ftp_.FTPFrr = [this](int32_t n, const std::string& s) { events_.push_back({n, s}); };
    }
    void Login() {
        server_ = std::make_unique<test::ServerProcess>(test::RankServerArgs(home_.Str()));
        ftp_.SetRemoteHost("127.0.0.1");
        ftp_.SetRemotePort(server_->Port());
        ftp_.SetUser(test::kUser);
        ftp_.SetPassword(test::kPassword);
        ASSERT_TRUE(ftp_.OpenSession());
        ASSERT_NE(ftp_.hFTP(), 0);
    }
    fs::path RankDir() const { return home_.Path() / "public_html" / "rurederadi"; }

    test::TempDir local_, home_;
    headless::HeadlessPlatform platform_;
    McWinFTP ftp_{test::WithCurl(platform_)};
    std::vector<Event> events_;
    std::unique_ptr<test::ServerProcess> server_;
};

TEST_F(McWinFtpTest, PropertiesReadBackAsWritten) {
    EXPECT_EQ(McWinFTP::ClassName(), "McWinFTP Class Module");
    EXPECT_EQ(McWinFTP::Version(), "0.9 b");
    EXPECT_NE(ftp_.hInternet(), 0);
    EXPECT_EQ(ftp_.hFTP(), 0);
    EXPECT_EQ(ftp_.RemotePort(), 21);
    ftp_.SetRemoteHost("");
    EXPECT_EQ(ftp_.RemoteHost(), "");
    ftp_.SetUser("someone");
    EXPECT_EQ(ftp_.User(), "someone");
    EXPECT_FALSE(ftp_.PassiveFlag());
    ftp_.SetPassiveFlag(true);
    EXPECT_TRUE(ftp_.PassiveFlag());
    ftp_.SetPassiveFlag(false);
    EXPECT_FALSE(ftp_.PassiveFlag());

    // No host: the session fails and says so.
    EXPECT_FALSE(ftp_.OpenSession());
    ASSERT_EQ(events_.size(), 1u);
    EXPECT_EQ(events_[0].number, 12007);
    EXPECT_EQ(ftp_.hFTP(), 0);
    // Operations without a connection are reported too, never thrown.
    EXPECT_FALSE(ftp_.DeleteFile("x"));
    EXPECT_EQ(ftp_.CurDir(), "");
    EXPECT_EQ(events_.size(), 3u);
    EXPECT_FALSE(events_[2].text.empty());
}

TEST_F(McWinFtpTest, CurrentDirectoryAndTheLeadingSeparator) {
    Login();
    EXPECT_EQ(ftp_.CurDir(), "/");
    ASSERT_TRUE(ftp_.SetCurDir("/public_html"));  // one leading "/" is dropped: relative
    EXPECT_EQ(ftp_.CurDir(), "/public_html");
    ASSERT_TRUE(ftp_.SetCurDir("\\rurederadi"));
    EXPECT_EQ(ftp_.CurDir(), "/public_html/rurederadi");
    ASSERT_TRUE(ftp_.SetCurDir("../"));
    EXPECT_EQ(ftp_.CurDir(), "/public_html");
    EXPECT_FALSE(ftp_.SetCurDir("/public_html"));  // there is no public_html/public_html
    ASSERT_EQ(events_.size(), 1u);
    EXPECT_EQ(events_[0].number, 12003);
    EXPECT_EQ(events_[0].text.substr(0, 3), "550");
    EXPECT_EQ(ftp_.CurDir(), "/public_html");
}

TEST_F(McWinFtpTest, DirectorySearchWalksEveryEntryOnce) {
    Login();
    ASSERT_TRUE(ftp_.SetCurDir("public_html/rurederadi"));
    WriteFileBytes(RankDir() / "song.txt", std::string(1234, 'x'));
    ASSERT_TRUE(ftp_.CreateDir("scores"));
    ftp_.FindFile("*.*");
    std::map<std::string, FTPFile> seen;
    for (int guard = 0; guard < 10 && !ftp_.RemoteFile->SearchEnd; ++guard) {
        seen[ftp_.RemoteFile->FileName] = *ftp_.RemoteFile;
        ftp_.NextFile();
    }
    ASSERT_EQ(seen.size(), 3u);
    EXPECT_EQ(seen["song.txt"].FileSize, 1234);
    EXPECT_EQ(seen["song.txt"].FileType, 0);
    EXPECT_EQ(seen["scores"].FileType, 16);
    EXPECT_GE(seen["netrank.dat"].FileDate.year, 2020);
    ftp_.NextFile();  // past the end stays at the end
    EXPECT_TRUE(ftp_.RemoteFile->SearchEnd);

    // An empty directory ends the search at once, without an event.
    ASSERT_TRUE(ftp_.SetCurDir("scores"));
    ftp_.FindFile("*.*");
    EXPECT_TRUE(ftp_.RemoteFile->SearchEnd);
    EXPECT_TRUE(events_.empty());
    ASSERT_TRUE(ftp_.SetCurDir("../"));
    ASSERT_TRUE(ftp_.RemoveDir("scores"));
    EXPECT_FALSE(fs::exists(RankDir() / "scores"));
}

TEST_F(McWinFtpTest, LocalFilesRenameAndDelete) {
    Login();
    ASSERT_TRUE(ftp_.SetCurDir("public_html/rurederadi"));
    const std::string local = local_.Str() + "/netrank.dat";
    ASSERT_TRUE(ftp_.GetFile("netrank.dat", local, false, 1));
    const std::string text = ReadFileBytes(local);
    EXPECT_EQ(text.substr(text.size() - 2), "\r\n");  // ASCII mode: this side's line ends
    // Fail-if-exists keeps the local file.
    WriteFileBytes(local, "mine");
    EXPECT_FALSE(ftp_.GetFile("netrank.dat", local, true, 1));
    ASSERT_EQ(events_.size(), 1u);
    EXPECT_EQ(events_[0].number, 80);
    EXPECT_EQ(ReadFileBytes(local), "mine");
    // A missing remote file: the server's reply, local file untouched.
    EXPECT_FALSE(ftp_.GetFile("missing.dat", local, false, 1));
    ASSERT_EQ(events_.size(), 2u);
    EXPECT_EQ(events_[1].number, 12003);
    EXPECT_EQ(ReadFileBytes(local), "mine");

    ASSERT_TRUE(ftp_.PutFile(local, "copy.dat", 2));
    EXPECT_EQ(ReadFileBytes(RankDir() / "copy.dat"), "mine");
    EXPECT_FALSE(ftp_.PutFile(local_.Str() + "/absent", "x.dat", 1));
    ASSERT_EQ(events_.size(), 3u);
    EXPECT_EQ(events_[2].number, 2);

    ASSERT_TRUE(ftp_.RenameFile("copy.dat", "moved.dat"));
    EXPECT_EQ(ReadFileBytes(RankDir() / "moved.dat"), "mine");
    ASSERT_TRUE(ftp_.DeleteFile("moved.dat"));
    EXPECT_FALSE(fs::exists(RankDir() / "moved.dat"));
    EXPECT_FALSE(ftp_.RenameFile("moved.dat", "again.dat"));
    EXPECT_EQ(events_.back().number, 12003);

    ASSERT_TRUE(ftp_.CloseSession());
    EXPECT_EQ(ftp_.hFTP(), 0);
    EXPECT_FALSE(ftp_.CloseSession());
}

}  // namespace
}  // namespace zb
