// zubakko-rank: the ranking server admin's tool, on the game's own ranking code.
//   show FILE                              every page of the ranking display
//   insert-total FILE SCORE NAME SONG1 SONG2
//   insert-song FILE SONG SCORE NAME        insert by the ranking rules, rewrite FILE, print the
//                                           place (1-50) or "not placed"
//   download DIR / upload DIR [options]     DIR/netrank.dat from / to the server
#include <charconv>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "core/game.hpp"
#include "netrank/netrank_file.hpp"
#include "netrank/netrank_page.hpp"
#include "netrank/netrank_transfer.hpp"
#include "platform/headless/headless.hpp"

namespace {

using namespace zb;

constexpr const char* kUsage =
    "usage: zubakko-rank show FILE | insert-total FILE SCORE NAME SONG1 SONG2 | "
    "insert-song FILE SONG SCORE NAME | {download|upload} DIR [--host HOST] [--port PORT] "
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

// The game's rule for ranking names: 1 to 12 characters (UTF-16 units), no ":" or ";".
bool ValidName(const std::string& name) {
    size_t units = 0;
    for (size_t i = 0; i < name.size();) {
        const unsigned char b = static_cast<unsigned char>(name[i]);
        size_t n = b < 0x80 ? 1 : b >= 0xF0 ? 4 : b >= 0xE0 ? 3 : b >= 0xC2 ? 2 : 0;
        if (n == 0 || i + n > name.size()) return false;
        for (size_t k = 1; k < n; ++k)
            if ((static_cast<unsigned char>(name[i + k]) & 0xC0) != 0x80) return false;
        if (name[i] == ':' || name[i] == ';') return false;
        units += n == 4 ? 2 : 1;
        i += n;
    }
    return units >= 1 && units <= 12;
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

// Error boxes of the transfers become lines on stderr: the number, a space, the text.
class StderrDialogs : public Dialogs {
  public:
    MsgResult MessageBox(const std::string& text, MsgButtons, MsgIcon,
                         const std::string&) override {
        const size_t brk = text.find("\r\n");
        const std::string line =
            brk == std::string::npos ? text : text.substr(0, brk) + " " + text.substr(brk + 2);
        std::fprintf(stderr, "%s\n", line.c_str());
        ++shown;
        return MsgResult::Ok;
    }
    std::string InputBox(const std::string&, const std::string&, const std::string&) override {
        return "";
    }
    int shown = 0;
};

int Transfer(bool download, const std::vector<std::string>& args) {
    if (args.size() < 3) return Usage("missing DIR");
    std::string dir = args[2];
    if (dir.empty()) return Usage("empty DIR");
    if (dir.back() != '/') dir += '/';
    RankServer server = BuiltInRankServer();
    for (size_t i = 3; i < args.size(); ++i) {
        const std::string& opt = args[i];
        if (opt == "--passive") {
            server.passive = true;
            continue;
        }
        if (i + 1 >= args.size()) return Usage("missing value for " + opt);
        const std::string& value = args[++i];
        if (opt == "--host") {
            server.host = value;
        } else if (opt == "--port") {
            if (!ParseInt(value, server.port) || server.port < 1 || server.port > 65535)
                return Usage("bad port " + value);
        } else if (opt == "--user") {
            server.user = value;
        } else if (opt == "--password") {
            server.password = value;
        } else if (opt == "--dir") {
            server.directory = value;
        } else {
            return Usage("unknown option " + opt);
        }
    }
    std::error_code ec;
    if (!std::filesystem::is_directory(dir, ec)) {
        std::fprintf(stderr, "zubakko-rank: %s is not a folder\n", dir.c_str());
        return 1;
    }
    headless::HeadlessPlatform hp(dir);
    StderrDialogs dialogs;
    Platform ports{hp.clock, hp.keyboard, hp.music, hp.wave, dialogs, hp.window, dir};
    Game game(ports);
    const bool ok = download ? DownloadNetRank(game, server) : UploadNetRank(game, server);
    if (ok) return 0;
    if (dialogs.shown == 0)
        std::fprintf(stderr, "zubakko-rank: %s\n",
                     download ? "the server's netrank.dat is not a whole ranking"
                              : "the local netrank.dat is not a whole ranking; nothing was sent");
    return 1;
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
        if (!ValidName(a[4])) return Usage("a name is 1 to 12 characters without : or ;");
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
        if (!ValidName(a[5])) return Usage("a name is 1 to 12 characters without : or ;");
        return InsertInto(a[2],
                          [&](RankingTables& t) { return InsertSongEntry(t, song, score, a[5]); });
    }
    if (cmd == "download" || cmd == "upload") return Transfer(cmd == "download", a);
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
