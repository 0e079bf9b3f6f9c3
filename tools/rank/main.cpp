// zubakko-rank: the ranking server admin's tool, on the game's own ranking code.
//   show FILE                              every page of the ranking display
//   insert-total FILE SCORE NAME SONG1 SONG2
//   insert-song FILE SONG SCORE NAME        insert by the ranking rules, rewrite FILE, print the
//                                           place (1-50) or "not placed"
//   download DIR / upload DIR [options]     DIR/netrank.dat from / to the server
//   submit DIR --name NAME --first-song A --first-score X --second-song B --second-score Y
//                                           [options]: a finished ranking course, stored as the
//                                           game stores it after play (DIR holds netrank.dat)
// The server is ZUBAKKO_RANK_URL or the build's, unless --url or the other options say otherwise.
#include <algorithm>
#include <charconv>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "core/game.hpp"
#include "core/songs.hpp"
#include "netrank/netrank_file.hpp"
#include "netrank/netrank_page.hpp"
#include "netrank/netrank_session.hpp"
#include "netrank/netrank_transfer.hpp"
#include "netrank/rank_name.hpp"
#include "tools/rank/windowless.hpp"

namespace {

using namespace zb;

constexpr const char* kUsage =
    "usage: zubakko-rank show FILE | insert-total FILE SCORE NAME SONG1 SONG2 | "
    "insert-song FILE SONG SCORE NAME | {download|upload} DIR [SERVER] | "
    "submit DIR --name NAME --first-song A --first-score X --second-song B --second-score Y "
    "[SERVER]\n"
    "SERVER: [--url ftp[s]://USER:PASSWORD@HOST:PORT/FOLDER[?passive=1&tls=1&cafile=PATH]] "
    "[--host HOST] [--port PORT] "
    "[--user USER] [--password PASSWORD] [--passive] [--dir REMOTE_DIR]\n";

int Usage(const std::string& why = "") {
    if (!why.empty()) std::fprintf(stderr, "zubakko-rank: %s\n", why.c_str());
    std::fputs(kUsage, stderr);
    return 2;
}

template <typename T>
bool ParseInt(const std::string& s, T& out) {
    const auto r = std::from_chars(s.data(), s.data() + s.size(), out);
    return !s.empty() && r.ec == std::errc() && r.ptr == s.data() + s.size();
}

std::string Lf(const std::string& text) {
    std::string out;
    for (size_t i = 0; i < text.size(); ++i)
        if (!(text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n')) out += text[i];
    return out;
}

int Show(const std::string& file) {
    RankingTables t;
    if (!ReadNetRankFile(t, file)) {
        std::fprintf(stderr, "zubakko-rank: can't read %s\n", file.c_str());
        return 1;
    }
    for (int16_t page = 0; page < kRankPages; ++page) {
        std::printf("%s%s\n", page ? "\n" : "", NetRankPageTitle(page));
        for (int16_t block = 0; block < kRankBlocks; ++block)
            std::fputs(Lf(NetRankPage(t, page, block)).c_str(), stdout);
    }
    return 0;
}

// Reads FILE (a missing one is an empty ranking), inserts, rewrites it and prints the place.
template <typename Insert>
int InsertInto(const std::string& file, Insert insert) {
    RankingTables t;
    std::error_code ec;
    if (std::filesystem::exists(file, ec) && !ReadNetRankFile(t, file)) {
        std::fprintf(stderr, "zubakko-rank: can't read %s\n", file.c_str());
        return 1;
    }
    const int place = insert(t);
    if (!WriteNetRankFile(t, file)) {
        std::fprintf(stderr, "zubakko-rank: can't write %s\n", file.c_str());
        return 1;
    }
    if (place < 0)
        std::puts("not placed");
    else
        std::printf("%d\n", place + 1);
    return 0;
}

// The folder argument with one trailing "/", and the server the options name.
struct TransferArgs {
    std::string dir;
    RankServer server;
    std::vector<std::pair<std::string, std::string>> rest;  // options left to the command
};

int ParseTransfer(const std::vector<std::string>& args, TransferArgs& t,
                  const std::vector<std::string>& commandOptions = {}) {
    if (args.size() < 3) return Usage("missing DIR");
    t.dir = args[2];
    if (t.dir.empty()) return Usage("empty DIR");
    if (t.dir.back() != '/') t.dir += '/';
    t.server = RankServerInUse();
    for (size_t i = 3; i < args.size(); ++i) {
        const std::string& opt = args[i];
        if (opt == "--passive") {
            t.server.passive = true;
            continue;
        }
        if (i + 1 >= args.size()) return Usage("missing value for " + opt);
        const std::string& value = args[++i];
        if (opt == "--url") {
            std::string why;
            if (!ParseRankUrl(value, t.server, why)) return Usage("bad URL: " + why);
        } else if (opt == "--host") {
            t.server.host = value;
        } else if (opt == "--port") {
            if (!ParseInt(value, t.server.port) || t.server.port < 1 || t.server.port > 65535)
                return Usage("bad port " + value);
        } else if (opt == "--user") {
            t.server.user = value;
        } else if (opt == "--password") {
            t.server.password = value;
        } else if (opt == "--dir") {
            t.server.directory = value;
        } else if (std::find(commandOptions.begin(), commandOptions.end(), opt) !=
                   commandOptions.end()) {
            t.rest.emplace_back(opt, value);
        } else {
            return Usage("unknown option " + opt);
        }
    }
    std::error_code ec;
    if (!std::filesystem::is_directory(t.dir, ec)) {
        std::fprintf(stderr, "zubakko-rank: %s is not a folder\n", t.dir.c_str());
        return 1;
    }
    return 0;
}

int Transfer(bool download, const std::vector<std::string>& args) {
    TransferArgs t;
    if (const int status = ParseTransfer(args, t)) return status;
    rank_tool::WindowlessPlatform wp(t.dir);
    Game game(wp.ports);
    std::string problem;
    const bool ok = download ? DownloadNetRank(game, t.server, &problem)
                             : UploadNetRank(game, t.server, &problem);
    if (ok) return 0;
    if (wp.dialogs.shown == 0) std::fprintf(stderr, "zubakko-rank: %s\n", problem.c_str());
    return 1;
}

// The session's texts as lines on standard output; no waits, no display.
class PrintedSession : public NetRankSessionView {
  public:
    void Say(const std::string& caption) override { std::printf("%s\n", Lf(caption).c_str()); }
    void Wait(int32_t) override {}
    void ShowRanking() override {}
    bool AskRetry() override { return false; }  // no one to ask: the exit status says it
};

int Submit(const std::vector<std::string>& args) {
    TransferArgs t;
    const std::vector<std::string> mine = {"--name", "--first-song", "--first-score",
                                           "--second-song", "--second-score"};
    if (const int status = ParseTransfer(args, t, mine)) return status;
    std::string name;
    NetRankCourseResult result;
    int given = 0;
    for (const auto& [opt, value] : t.rest) {
        ++given;
        if (opt == "--name") {
            name = value;
            if (!ValidRankName(name)) return Usage("名前入力が不正です。 (" + value + ")");
        } else if (opt == "--first-song" || opt == "--second-song") {
            int16_t& song = opt == "--first-song" ? result.firstSong : result.secondSong;
            if (!ParseInt(value, song) || song < 0 || song >= kSongCount)
                return Usage("bad song " + value);
        } else if (!ParseInt(value,
                             opt == "--first-score" ? result.firstScore : result.secondScore)) {
            return Usage("bad score " + value);
        }
    }
    if (given != int(mine.size()))
        return Usage(
            "submit needs each of " +
            std::string(
                "--name, --first-song, --first-score, --second-song and --second-score once"));
    if (result.firstSong == result.secondSong) return Usage("the two songs must differ");

    rank_tool::WindowlessPlatform wp(t.dir);
    Game game(wp.ports);
    for (int i = 0; i < kSongCount; ++i) game.SongTitles[size_t(i)] = SongTitle(i);
    game.ranking.NetPlayerName = name;
    PrintedSession view;
    std::fflush(stdout);
    const NetRankSessionEnd end = RunNetRankSession(game, t.server, result, view);
    std::fflush(stdout);
    return end == NetRankSessionEnd::Stored ? 0 : 1;
}

int Run(const std::vector<std::string>& a) {
    if (a.size() < 2) return Usage();
    const std::string& cmd = a[1];
    if (cmd == "show") {
        if (a.size() != 3) return Usage();
        return Show(a[2]);
    }
    if (cmd == "insert-total") {
        if (a.size() != 7) return Usage();
        int32_t score;
        int16_t song1, song2;
        if (!ParseInt(a[3], score)) return Usage("bad score " + a[3]);
        if (!ValidRankName(a[4]))
            return Usage("a name is 1 to 12 characters without : or ; that Shift_JIS can hold");
        if (!ParseInt(a[5], song1) || !ParseInt(a[6], song2)) return Usage("bad song number");
        return InsertInto(
            a[2], [&](RankingTables& t) { return InsertTotalEntry(t, score, a[4], song1, song2); });
    }
    if (cmd == "insert-song") {
        if (a.size() != 6) return Usage();
        int16_t song;
        int32_t score;
        if (!ParseInt(a[3], song) || song < 0 || song > 19) return Usage("bad song " + a[3]);
        if (!ParseInt(a[4], score)) return Usage("bad score " + a[4]);
        if (!ValidRankName(a[5]))
            return Usage("a name is 1 to 12 characters without : or ; that Shift_JIS can hold");
        return InsertInto(a[2],
                          [&](RankingTables& t) { return InsertSongEntry(t, song, score, a[5]); });
    }
    if (cmd == "download" || cmd == "upload") return Transfer(cmd == "download", a);
    if (cmd == "submit") return Submit(a);
    return Usage("unknown command " + cmd);
}

}  // namespace

int main(int argc, char** argv) {
    try {
        return Run(std::vector<std::string>(argv, argv + argc));
    } catch (const std::exception& e) {
        std::fprintf(stderr, "zubakko-rank: %s\n", e.what());
        return 1;
    }
}
