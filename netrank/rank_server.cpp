#include "netrank/rank_server.hpp"

#include <cctype>
#include <cstdlib>

#include "core/failure_report.hpp"

// The default server is the build's ZB_RANK_URL option (netrank/CMakeLists.txt), its one place.
#ifndef ZB_RANK_URL
#error "ZB_RANK_URL must be defined by the build"
#endif

namespace zb {
namespace {

int HexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

bool PercentDecode(const std::string& in, std::string& out) {
    out.clear();
    for (size_t i = 0; i < in.size(); ++i) {
        if (in[i] != '%') {
            out += in[i];
            continue;
        }
        if (i + 2 >= in.size()) return false;
        const int hi = HexValue(in[i + 1]), lo = HexValue(in[i + 2]);
        if (hi < 0 || lo < 0) return false;
        out += static_cast<char>(hi * 16 + lo);
        i += 2;
    }
    // A line end would end the FTP command it travels in.
    return out.find_first_of("\r\n") == std::string::npos && out.find('\0') == std::string::npos;
}

bool Fail(std::string& why, const std::string& text) {
    why = text;
    return false;
}

// "passive=0|1", "tls=0|1" and "cafile=PATH", joined with "&".
bool ReadOptions(const std::string& query, RankServer& s, std::string& why) {
    bool tlsAsked = false, tlsRefused = false;
    size_t start = 0;
    while (start < query.size()) {
        size_t end = query.find('&', start);
        if (end == std::string::npos) end = query.size();
        const std::string option = query.substr(start, end - start);
        start = end + 1;
        if (option == "passive=1" || option == "passive=0") {
            s.passive = option == "passive=1";
        } else if (option == "tls=1" || option == "tls=0") {
            (option == "tls=1" ? tlsAsked : tlsRefused) = true;
        } else if (option.rfind("cafile=", 0) == 0) {
            if (!PercentDecode(option.substr(7), s.caFile) || s.caFile.empty())
                return Fail(why, "bad cafile");
        } else {
            return Fail(why, "the options are passive=1, tls=1 and cafile=PATH");
        }
    }
    if (tlsRefused && (tlsAsked || s.tls == FtpTls::Implicit))
        return Fail(why, "tls=0 contradicts TLS");
    if (tlsAsked && s.tls == FtpTls::None) s.tls = FtpTls::Explicit;
    if (!s.caFile.empty() && s.tls == FtpTls::None)
        return Fail(why, "cafile needs ftps:// or tls=1");
    return true;
}

}  // namespace

std::string RankServer::Where() const {
    const bool v6 = host.find(':') != std::string::npos;
    return (v6 ? "[" + host + "]" : host) + ":" + std::to_string(port) + "/" + directory;
}

bool ParseRankUrl(const std::string& url, RankServer& server, std::string& why) {
    RankServer s;
    std::string rest = url;
    std::string head = rest.substr(0, 7);
    for (char& c : head) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    if (head == "ftps://") {
        s.tls = FtpTls::Implicit;
        s.port = 990;
        rest.erase(0, 7);
    } else if (head.compare(0, 6, "ftp://") == 0) {
        rest.erase(0, 6);
    } else {
        return Fail(why, "the URL must start with ftp:// or ftps://");
    }
    if (rest.find('#') != std::string::npos) return Fail(why, "the URL has a fragment (#)");

    std::string query;
    if (const size_t q = rest.find('?'); q != std::string::npos) {
        query = rest.substr(q + 1);
        rest.erase(q);
    }
    std::string path;
    if (const size_t slash = rest.find('/'); slash != std::string::npos) {
        path = rest.substr(slash + 1);
        rest.erase(slash);
    }
    // The password may hold "@" only percent-encoded, so the last "@" ends the account.
    if (const size_t at = rest.rfind('@'); at != std::string::npos) {
        const std::string account = rest.substr(0, at);
        rest.erase(0, at + 1);
        const size_t colon = account.find(':');
        if (!PercentDecode(account.substr(0, colon), s.user))
            return Fail(why, "bad percent-encoding in the user name");
        if (colon != std::string::npos && !PercentDecode(account.substr(colon + 1), s.password))
            return Fail(why, "bad percent-encoding in the password");
    }
    std::string portText;
    if (!rest.empty() && rest[0] == '[') {
        const size_t close = rest.find(']');
        if (close == std::string::npos) return Fail(why, "unclosed [ in the host");
        s.host = rest.substr(1, close - 1);
        rest.erase(0, close + 1);
        if (!rest.empty() && rest[0] != ':') return Fail(why, "unexpected text after the host");
        if (!rest.empty()) portText = rest.substr(1);
    } else {
        const size_t colon = rest.find(':');
        s.host = rest.substr(0, colon);
        if (colon != std::string::npos) portText = rest.substr(colon + 1);
    }
    if (s.host.empty()) return Fail(why, "the URL names no host");
    for (char c : s.host)
        if (std::isspace(static_cast<unsigned char>(c)) || c == '@' || c == '%')
            return Fail(why, "bad character in the host");
    if (!portText.empty() || rest.find(':') != std::string::npos) {
        if (portText.empty() || portText.size() > 5) return Fail(why, "bad port");
        for (char c : portText)
            if (!std::isdigit(static_cast<unsigned char>(c))) return Fail(why, "bad port");
        s.port = std::stoi(portText);
        if (s.port < 1 || s.port > 65535) return Fail(why, "bad port");
    }
    if (!PercentDecode(path, s.directory)) return Fail(why, "bad percent-encoding in the folder");
    while (!s.directory.empty() && s.directory.back() == '/') s.directory.pop_back();

    if (!ReadOptions(query, s, why)) return false;
    server = s;
    return true;
}

void ReportRankFailure(const RankServer& server, const std::string& what,
                       const std::string& problem) {
    ReportFailure("ranking server " + server.Where() + ": " + what +
                  (problem.empty() ? "" : ": " + problem));
}

RankServer BuiltInRankServer() {
    RankServer s;
    std::string why;
    ParseRankUrl(ZB_RANK_URL, s, why);
    return s;
}

RankServer RankServerInUse() {
    const char* url = std::getenv(kRankUrlVariable);
    if (!url || !*url) return BuiltInRankServer();
    RankServer s;
    std::string why;
    if (ParseRankUrl(url, s, why)) return s;
    static bool told = false;
    if (!told)
        ReportFailure(std::string(kRankUrlVariable) + " is not a ranking server URL (" + why +
                      "); using " + BuiltInRankServer().Where());
    told = true;
    return BuiltInRankServer();
}

}  // namespace zb
