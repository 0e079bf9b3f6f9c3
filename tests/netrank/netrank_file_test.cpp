// The ranking file: its exact bytes, the reader's tolerance of damaged files, and the ranking
// rules.
#include "netrank/netrank_file.hpp"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "netrank/netrank_format.hpp"
#include "platform/headless/headless.hpp"
#include "platform/sjis_text.hpp"

namespace zb {
namespace {

namespace fs = std::filesystem;

std::string ReadBytes(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    std::stringstream ss;
    ss << in.rdbuf();
    return ss.str();
}

void WriteBytes(const fs::path& p, const std::string& bytes) {
    std::ofstream(p, std::ios::binary) << bytes;
}

class NetRankFileTest : public ::testing::Test {
  protected:
    NetRankFileTest()
        : dir_(fs::temp_directory_path() /
               ("netrank_file_" + std::to_string(getpid()) + "_" +
                ::testing::UnitTest::GetInstance()->current_test_info()->name())),
          platform_((fs::create_directories(dir_), dir_.string() + "/")),
          game_(platform_.ports) {}
    ~NetRankFileTest() override { fs::remove_all(dir_); }

    fs::path File() const { return dir_ / "netrank.dat"; }

    fs::path dir_;
    headless::HeadlessPlatform platform_;
    Game game_;
};

// A line of n song segments after the total one, each with the given records.
std::string Line(const std::string& total, const std::vector<std::string>& songs) {
    std::string s = total + ";";
    for (const auto& song : songs) s += song + ";";
    return s + "\r\n";
}

const std::vector<std::string> kNames = {
    "ＺＵＢＡＫＫＯ", "ｽﾞﾊﾞｯｺ", "どん～かん", "a,b", "say \"hi\"", "漢字かなカナ", ""};

TEST_F(NetRankFileTest, RoundTripKeepsEveryPlaceAndWritesShiftJis) {
    RankingTables& t = game_.ranking;
    for (int j = 0; j < 50; ++j) {
        t.NetTotalScore[j] = 100000 - 37 * j - (j == 49 ? 200000 : 0);  // last one negative
        t.NetTotalName[j] = kNames[j % kNames.size()] + std::to_string(j);
        t.NetTotalSongs[j] = {static_cast<int16_t>(j % 10), static_cast<int16_t>((j * 3) % 11)};
        for (int s = 0; s < 20; ++s) {
            t.NetSongScore[s][j] = 5000 * s - j;
            t.NetSongName[s][j] = kNames[(j + s) % kNames.size()];
        }
    }
    t.NetTotalScore[50] = 7;  // the overflow slot is never written
    WriteNetRankFile(game_);

    const std::string bytes = ReadBytes(File());
    ASSERT_GE(bytes.size(), 2u);
    EXPECT_EQ(bytes.substr(bytes.size() - 2), "\r\n");
    EXPECT_EQ(std::count(bytes.begin(), bytes.end(), ';'), 21);
    EXPECT_EQ(std::count(bytes.begin(), bytes.end(), ':'), 200 + 20 * 100);
    EXPECT_NE(bytes.find("\x82\x79\x82\x74"), std::string::npos);          // ＺＵ in Shift_JIS
    EXPECT_NE(bytes.find("\x81\x60"), std::string::npos);                  // ～
    EXPECT_NE(bytes.find("\xBD\xDE\xCA\xDE\xAF\xBA"), std::string::npos);  // ｽﾞﾊﾞｯｺ
    EXPECT_NE(bytes.find(":-101813:"), std::string::npos);
    EXPECT_TRUE(IsWholeNetRank(bytes));

    Game fresh(platform_.ports);
    fresh.ranking.NetTotalScore[50] = -3;
    ReadNetRankFile(fresh);
    for (int j = 0; j < 50; ++j) {
        EXPECT_EQ(fresh.ranking.NetTotalScore[j], t.NetTotalScore[j]);
        EXPECT_EQ(fresh.ranking.NetTotalName[j], t.NetTotalName[j]);
        EXPECT_EQ(fresh.ranking.NetTotalSongs[j], t.NetTotalSongs[j]);
        for (int s = 0; s < 20; ++s) {
            EXPECT_EQ(fresh.ranking.NetSongScore[s][j], t.NetSongScore[s][j]);
            EXPECT_EQ(fresh.ranking.NetSongName[s][j], t.NetSongName[s][j]);
        }
    }
    EXPECT_EQ(fresh.ranking.NetTotalScore[50], -3);
}

TEST_F(NetRankFileTest, ClearLeavesOneEmptyLineAndReadingItChangesNothing) {
    WriteBytes(File(), "old contents");
    ClearNetRankFile(game_);
    EXPECT_EQ(ReadBytes(File()), "\r\n");
    game_.ranking.NetTotalScore[0] = 99;
    game_.ranking.NetSongName[3][4] = "x";
    ReadNetRankFile(game_);
    EXPECT_EQ(game_.ranking.NetTotalScore[0], 99);
    EXPECT_EQ(game_.ranking.NetSongName[3][4], "x");
    fs::remove(File());
    ReadNetRankFile(game_);  // a missing file changes nothing either
    EXPECT_EQ(game_.ranking.NetTotalScore[0], 99);
}

TEST_F(NetRankFileTest, WriterKeepsSeparatorsOutOfNames) {
    // The game refuses such names; an admin typo must still not shift everyone's fields.
    game_.ranking.NetTotalName[0] = "a:b;c\r\nd";
    WriteNetRankFile(game_);
    Game back(platform_.ports);
    ReadNetRankFile(back);
    EXPECT_EQ(back.ranking.NetTotalName[0], "a：b；c  d");
    EXPECT_TRUE(IsWholeNetRank(ReadBytes(File())));
}

TEST(NetRankReader, FieldsAndSegmentsAsTheFileGivesThem) {
    RankingTables t;
    t.NetTotalScore[1] = 555;
    t.NetSongName[0][2] = "kept";
    t.NetSongScore[20][0] = 42;
    // Record 1 lacks its last ":", so only its second song number is lost. LF-only line end.
    ParseNetRankLine(t, Utf8ToSjis("10:甲:3:4:20:乙:5:6;1:x:2:y:3;"));
    EXPECT_EQ(t.NetTotalScore[0], 10);
    EXPECT_EQ(t.NetTotalName[0], "甲");
    EXPECT_EQ(t.NetTotalName[1], "乙");
    EXPECT_EQ(t.NetTotalSongs[0][1], 4);
    EXPECT_EQ(t.NetTotalScore[1], 20);
    EXPECT_EQ(t.NetTotalSongs[1][0], 5);
    EXPECT_EQ(t.NetTotalSongs[1][1], 0);  // "6" had no ":" after it
    EXPECT_EQ(t.NetSongScore[0][0], 1);
    EXPECT_EQ(t.NetSongName[0][1], "y");
    EXPECT_EQ(t.NetSongName[0][2], "kept");  // "3" after the last ":" is ignored
    EXPECT_EQ(t.NetSongScore[20][0], 42);
}

TEST(NetRankReader, NumbersAreTheFieldsLeadingValue) {
    struct Case {
        const char* field;
        int32_t want;
    } cases[] = {{"123", 123},
                 {"-45", -45},
                 {" 7x", 7},
                 {"abc", 0},
                 {"", 0},
                 {"12.5", 12},
                 {"13.5", 14},
                 {"-2.5", -2},
                 {"1e3", 1000},
                 {"2D2", 200},
                 {"+8", 8},
                 {".5", 0},
                 {"2147483647", 2147483647},
                 {"-2147483648", INT32_MIN}};
    for (const auto& c : cases) {
        int32_t v = -999;
        EXPECT_TRUE(FieldNumber(c.field, v)) << c.field;
        EXPECT_EQ(v, c.want) << c.field;
    }
    for (const char* tooBig : {"2147483648", "1e400", "99999999999999999999999"}) {
        int32_t v = 17;
        EXPECT_FALSE(FieldNumber(tooBig, v)) << tooBig;
        EXPECT_EQ(v, 17);
    }
    int16_t song = 3;
    EXPECT_FALSE(FieldNumber("40000", song));
    EXPECT_EQ(song, 3);

    // In the file a value that does not fit keeps the old one; the walk goes on.
    RankingTables t;
    t.NetTotalScore[0] = 5;
    t.NetTotalSongs[0][0] = 9;
    ParseNetRankLine(t, "99999999999:name:70000:2:;");
    EXPECT_EQ(t.NetTotalScore[0], 5);
    EXPECT_EQ(t.NetTotalName[0], "name");
    EXPECT_EQ(t.NetTotalSongs[0][0], 9);
    EXPECT_EQ(t.NetTotalSongs[0][1], 2);
}

TEST(NetRankReader, SurplusRecordsAndSegmentsAndBrokenText) {
    std::string total;
    for (int j = 0; j < 53; ++j)
        total += std::to_string(1000 - j) + ":n" + std::to_string(j) + ":1:2:";
    std::vector<std::string> songs(30, "1:a:");
    RankingTables t;
    ParseNetRankLine(t, FirstLine(Line(total, songs)));
    EXPECT_EQ(t.NetTotalScore[49], 951);
    EXPECT_EQ(t.NetTotalScore[50], 950);  // the 51st record reaches the overflow slot
    EXPECT_EQ(t.NetTotalName[50], "n50");
    EXPECT_EQ(t.NetSongScore[20][0], 1);  // song 20 is in the tables, later ones are skipped

    // Invalid Shift_JIS becomes U+FFFD and the fields after it still count.
    RankingTables u;
    ParseNetRankLine(u, "1:\x81:2:3:4:\xFF\x82\xA0z:5:6:;");
    EXPECT_EQ(u.NetTotalName[0], "\uFFFD");
    EXPECT_EQ(u.NetTotalSongs[0][1], 3);
    EXPECT_EQ(u.NetTotalName[1], "\uFFFDあz");
    EXPECT_EQ(u.NetTotalSongs[1][1], 6);
}

TEST(NetRankReader, HugeLinesAreReadOnce) {
    RankingTables t;
    std::string line(4 << 20, '9');  // a four-megabyte number
    line += ":";
    line += std::string(4 << 20, 'x');  // and a four-megabyte name
    line += ":1:2:";
    line += std::string(2 << 20, ':');  // two million empty fields
    line += ";" + std::string(1 << 20, ';');
    ParseNetRankLine(t, line);
    EXPECT_EQ(t.NetTotalScore[0], 0);
    EXPECT_EQ(t.NetTotalName[0].size(), 4u << 20);
    EXPECT_EQ(t.NetTotalSongs[0][1], 2);
}

TEST(NetRankReader, WholeRankingCheckRefusesCutFiles) {
    RankingTables t;
    const std::string bytes = FormatNetRankFile(t);
    EXPECT_TRUE(IsWholeNetRank(bytes));
    std::string lf = bytes.substr(0, bytes.size() - 2) + "\n";
    EXPECT_TRUE(IsWholeNetRank(lf));
    EXPECT_TRUE(IsWholeNetRank(bytes.substr(0, bytes.size() - 2)));
    for (size_t cut : {size_t{0}, size_t{1}, size_t{100}, bytes.size() / 2, bytes.size() - 3})
        EXPECT_FALSE(IsWholeNetRank(bytes.substr(0, cut))) << cut;
    EXPECT_FALSE(IsWholeNetRank("\r\n"));
}

TEST(NetRankReader, ShorterRankingsAreReadAndCutOnesRefused) {
    const std::string whole = FormatNetRankFile(RankingTables{});
    const std::string shorter = Utf8ToSjis("300:甲:0:1:200:乙:2:3:100:丙:4:5:;7:丁:;\r\n");
    EXPECT_EQ(JudgeRankBytes(whole), RankBytes::Whole);
    EXPECT_EQ(JudgeRankBytes(shorter), RankBytes::Short);
    // Until the line has ended, even between its CR and LF, the transfer may have stopped.
    for (size_t cut = 1; cut < shorter.size(); ++cut)
        EXPECT_EQ(JudgeRankBytes(shorter.substr(0, cut)), RankBytes::CutShort) << cut;
    EXPECT_EQ(JudgeRankBytes(shorter.substr(0, shorter.size() - 2) + "\n"), RankBytes::CutShort);
    for (const std::string other : {"", "\r\n", "1;\r\n", "<html>maintenance</html>\r\n",
                                    "1:a:0:0:\r\n", "1:a:0:0:;more\r\n"})
        EXPECT_EQ(JudgeRankBytes(other), RankBytes::NotARanking) << other;

    // Read from a server, what the file does not hold is empty, whatever the tables held.
    RankingTables t;
    t.NetPlayerName = "me";
    t.NetTotalName[3] = t.NetSongName[0][1] = t.NetSongName[5][0] = "stale";
    t.NetTotalScore[3] = t.NetSongScore[5][0] = 9;
    ReadServerRanking(t, shorter);
    EXPECT_EQ(t.NetTotalName[2], "丙");
    EXPECT_EQ(t.NetTotalSongs[2], (std::array<int16_t, 2>{4, 5}));
    EXPECT_EQ(t.NetSongName[0][0], "丁");
    EXPECT_EQ(t.NetTotalName[3] + t.NetSongName[0][1] + t.NetSongName[5][0], "");
    EXPECT_EQ(t.NetTotalScore[3] + t.NetSongScore[5][0], 0);
    EXPECT_EQ(t.NetPlayerName, "me");
}

// The ranking rules on a list 1000, 900, 900, 800, ... (two 900s at places 1 and 2).
class InsertionTest : public ::testing::Test {
  protected:
    void SetUp() override {
        for (int j = 0; j < 50; ++j) {
            const int32_t score = j <= 1 ? 1000 - 100 * j : 1000 - 100 * (j - 1);
            t.NetTotalScore[j] = score;
            t.NetTotalName[j] = "p" + std::to_string(j);
            t.NetTotalSongs[j] = {static_cast<int16_t>(j % 10), 1};
            t.NetSongScore[4][j] = score;
            t.NetSongName[4][j] = "p" + std::to_string(j);
        }
    }
    RankingTables t;
};

TEST_F(InsertionTest, TiesGoAheadOfEqualScores) {
    EXPECT_EQ(InsertTotalEntry(t, 1000, "top", 4, 6), 0);
    EXPECT_EQ(t.NetTotalName[0], "top");
    EXPECT_EQ(t.NetTotalName[1], "p0");
    EXPECT_EQ(t.NetTotalSongs[0], (std::array<int16_t, 2>{4, 6}));

    EXPECT_EQ(InsertSongEntry(t, 4, 900, "mid"), 1);  // ahead of both 900s
    EXPECT_EQ(t.NetSongName[4][1], "mid");
    EXPECT_EQ(t.NetSongName[4][2], "p1");
    EXPECT_EQ(t.NetSongName[4][3], "p2");
    EXPECT_EQ(InsertSongEntry(t, 4, 950, "between"), 1);
}

TEST_F(InsertionTest, TheFiftiethPlaceAndBelow) {
    const int32_t last = t.NetTotalScore[49];  // -3800, place 48 holds -3700
    RankingTables before = t;
    EXPECT_EQ(InsertTotalEntry(t, last - 1, "low", 0, 0), -1);
    EXPECT_EQ(t.NetTotalName, before.NetTotalName);
    EXPECT_EQ(t.NetTotalScore, before.NetTotalScore);

    EXPECT_EQ(InsertTotalEntry(t, last, "tie50", 2, 3), 49);
    EXPECT_EQ(t.NetTotalName[49], "tie50");
    EXPECT_EQ(t.NetTotalName[50], "p49");  // the old 50th moved to the overflow slot
    EXPECT_EQ(t.NetTotalScore[50], last);
    EXPECT_EQ(t.NetTotalName[48], "p48");

    EXPECT_EQ(InsertSongEntry(t, 4, last - 1, "low"), -1);
    EXPECT_EQ(InsertSongEntry(t, 21, 5000, "nosong"), -1);
}

TEST(Insertion, EmptyRankingTakesAnyScoreFromZeroAtTheTop) {
    RankingTables t;
    EXPECT_EQ(InsertSongEntry(t, 0, 0, "a"), 0);
    EXPECT_EQ(InsertSongEntry(t, 0, 0, "b"), 0);
    EXPECT_EQ(t.NetSongName[0][1], "a");
    EXPECT_EQ(InsertTotalEntry(t, -1, "neg", 0, 0), -1);
    EXPECT_EQ(InsertTotalEntry(t, 7, "c", 0, 0), 0);
}

}  // namespace
}  // namespace zb

namespace zb {
namespace {

TEST(SjisText, NamesFromOtherSystemsAndUnstorableCharacters) {
    EXPECT_EQ(Utf8ToSjis("～"), "\x81\x60");
    EXPECT_EQ(Utf8ToSjis("〜"), "\x81\x60");  // WAVE DASH is stored as the tilde Windows uses
    EXPECT_EQ(Utf8ToSjis("a🎵b"), "a?b");
    EXPECT_EQ(Utf8ToSjis("a\xE3\x81"
                         "b"),
              "a??b");  // a cut UTF-8 sequence, byte by byte
    EXPECT_EQ(SjisToUtf8("\x81\x60"), "～");
    EXPECT_EQ(SjisToUtf8(Utf8ToSjis("①髙﨑")), "①髙﨑");  // code page 932 extensions
    EXPECT_EQ(SjisToUtf8("ok\x82"), "ok\uFFFD");
}

}  // namespace
}  // namespace zb
