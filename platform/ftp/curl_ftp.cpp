// The FTP connection on libcurl's multi interface, so that the idle callback runs every few
// milliseconds however long the server takes. libcurl logs in again by itself when the server
// dropped an idle connection; the current directory is kept here as an absolute path and every
// command names its file by absolute path, so nothing depends on where the server was left.
#include "platform/ftp/curl_ftp.hpp"

#include <curl/curl.h>
#include <fnmatch.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <exception>
#include <utility>

namespace zb {
namespace {

constexpr long kConnectTimeoutMs = 10000;
constexpr long kResponseTimeoutS = 10;
// Less than 1 byte per second for this long ends a transfer. libcurl averages the speed over
// about five seconds, so a transfer that freezes is noticed some 11 seconds later.
constexpr long kStallSeconds = 6;
constexpr size_t kMaxDownload = 16u << 20;
constexpr auto kIdleEvery = std::chrono::milliseconds(10);

struct CurlGlobal {
    CurlGlobal() { curl_global_init(CURL_GLOBAL_DEFAULT); }
};

struct SList {
    curl_slist* list = nullptr;
    ~SList() { curl_slist_free_all(list); }
    void Add(const std::string& s) { list = curl_slist_append(list, s.c_str()); }
};

// Percent-encodes a path for a URL, keeping the "/" between its parts.
std::string UrlPath(const std::string& path) {
    static const char* hex = "0123456789ABCDEF";
    std::string out;
    for (unsigned char c : path) {
        if (std::isalnum(c) || c == '-' || c == '.' || c == '_' || c == '~' || c == '/') {
            out += static_cast<char>(c);
        } else {
            out += '%';
            out += hex[c >> 4];
            out += hex[c & 15];
        }
    }
    return out;
}

// Resolves a name against an absolute directory: "." and ".." parts, one "/" between parts.
std::string Resolve(const std::string& cwd, const std::string& name) {
    std::vector<std::string> parts;
    auto add = [&parts](const std::string& text) {
        size_t start = 0;
        while (start <= text.size()) {
            size_t end = text.find('/', start);
            if (end == std::string::npos) end = text.size();
            const std::string part = text.substr(start, end - start);
            if (part == "..") {
                if (!parts.empty()) parts.pop_back();
            } else if (!part.empty() && part != ".") {
                parts.push_back(part);
            }
            start = end + 1;
        }
    };
    if (name.empty() || name[0] != '/') add(cwd);
    add(name);
    std::string out;
    for (const auto& p : parts) out += "/" + p;
    return out.empty() ? "/" : out;
}

std::string ToCrLf(const std::string& in) {
    std::string out;
    out.reserve(in.size() + in.size() / 32);
    for (size_t i = 0; i < in.size(); ++i) {
        if (in[i] == '\n' && (i == 0 || in[i - 1] != '\r')) out += '\r';
        out += in[i];
    }
    return out;
}

std::string ToLf(const std::string& in) {
    std::string out;
    out.reserve(in.size());
    for (size_t i = 0; i < in.size(); ++i)
        if (!(in[i] == '\r' && i + 1 < in.size() && in[i + 1] == '\n')) out += in[i];
    return out;
}

bool ParseMlsdTime(const std::string& v, FtpDateTime& t) {
    if (v.size() < 14) return false;
    for (size_t i = 0; i < 14; ++i)
        if (!std::isdigit(static_cast<unsigned char>(v[i]))) return false;
    auto num = [&v](size_t at, size_t n) { return std::stoi(v.substr(at, n)); };
    t = {num(0, 4), num(4, 2), num(6, 2), num(8, 2), num(10, 2), num(12, 2)};
    return true;
}

// One MLSD line: "fact=value;fact=value; name". False for the "." and ".." entries.
bool ParseMlsdLine(const std::string& line, FtpEntry& e) {
    const size_t space = line.find(' ');
    if (space == std::string::npos) return false;
    e = FtpEntry{};
    e.name = line.substr(space + 1);
    std::string type;
    size_t start = 0;
    while (start < space) {
        size_t end = line.find(';', start);
        if (end == std::string::npos || end > space) end = space;
        const std::string fact = line.substr(start, end - start);
        const size_t eq = fact.find('=');
        if (eq != std::string::npos) {
            std::string key = fact.substr(0, eq);
            std::transform(key.begin(), key.end(), key.begin(), ::tolower);
            std::string value = fact.substr(eq + 1);
            if (key == "type") {
                std::transform(value.begin(), value.end(), value.begin(), ::tolower);
                type = value;
            } else if (key == "size" || key == "sizd") {
                e.size = std::strtod(value.c_str(), nullptr);
            } else if (key == "modify") {
                ParseMlsdTime(value, e.modified);
            }
        }
        start = end + 1;
    }
    if (type == "cdir" || type == "pdir" || e.name == "." || e.name == "..") return false;
    e.directory = type == "dir";
    return !e.name.empty();
}

bool Matches(const std::string& pattern, const std::string& name) {
    if (pattern.empty() || pattern == "*" || pattern == "*.*") return true;
    return fnmatch(pattern.c_str(), name.c_str(), 0) == 0;
}

class CurlFtp : public FtpConnection {
  public:
    CurlFtp() {
        static CurlGlobal global;
        multi_ = curl_multi_init();
        easy_ = curl_easy_init();
    }
    ~CurlFtp() override {
        curl_easy_cleanup(easy_);
        curl_multi_cleanup(multi_);
    }

    void SetIdle(std::function<void()> idle) override { idle_ = std::move(idle); }

    bool Open(const FtpLogin& login) override {
        // Always a fresh connection: one left by a request that was stopped midway may still be
        // cached in the middle of it.
        open_ = true;
        Close();
        login_ = login;
        if (!multi_ || !easy_) return Fail(ftp_error::kInternal, "");
        const CURLcode rc = Perform("/", [this] { curl_easy_setopt(easy_, CURLOPT_NOBODY, 1L); });
        if (rc != CURLE_OK) return FailFrom(rc);
        const char* entry = nullptr;
        curl_easy_getinfo(easy_, CURLINFO_FTP_ENTRY_PATH, &entry);
        cwd_ = entry && entry[0] == '/' ? Resolve("/", entry) : "/";
        open_ = true;
        return true;
    }

    void Close() override {
        if (!open_) return;
        open_ = false;
        // The multi handle caches the connection; dropping it sends QUIT and closes it.
        curl_easy_cleanup(easy_);
        curl_multi_cleanup(multi_);
        multi_ = curl_multi_init();
        easy_ = curl_easy_init();
    }

    bool IsOpen() const override { return open_; }

    bool CurrentDirectory(std::string& dir) override {
        if (!open_) return NotOpen();
        dir = cwd_;
        return true;
    }

    bool ChangeDirectory(const std::string& name) override {
        if (!open_) return NotOpen();
        const std::string target = Resolve(cwd_, name);
        const CURLcode rc =
            Perform(DirUrlPath(target), [this] { curl_easy_setopt(easy_, CURLOPT_NOBODY, 1L); });
        if (rc != CURLE_OK) return FailFrom(rc);
        cwd_ = target;
        return true;
    }

    bool Retrieve(const std::string& remote, bool ascii, std::string& bytes) override {
        if (!open_) return NotOpen();
        std::string data;
        tooLarge_ = false;
        const CURLcode rc = Perform(FileUrlPath(Resolve(cwd_, remote)), [&] {
            curl_easy_setopt(easy_, CURLOPT_WRITEFUNCTION, &CurlFtp::Collect);
            curl_easy_setopt(easy_, CURLOPT_WRITEDATA, this);
            curl_easy_setopt(easy_, CURLOPT_TRANSFERTEXT, ascii ? 1L : 0L);
            sink_ = &data;
        });
        sink_ = nullptr;
        if (tooLarge_) return Fail(ftp_error::kInternal, "受信したファイルが大きすぎます。");
        if (rc != CURLE_OK) return FailFrom(rc);
        bytes = ascii ? ToCrLf(data) : std::move(data);
        return true;
    }

    bool Store(const std::string& bytes, const std::string& remote, bool ascii) override {
        if (!open_) return NotOpen();
        // In ASCII mode libcurl itself turns every LF into CR LF on the way out.
        const std::string data = ascii ? ToLf(bytes) : bytes;
        source_ = &data;
        sent_ = 0;
        const CURLcode rc = Perform(FileUrlPath(Resolve(cwd_, remote)), [&] {
            curl_easy_setopt(easy_, CURLOPT_UPLOAD, 1L);
            curl_easy_setopt(easy_, CURLOPT_READFUNCTION, &CurlFtp::Supply);
            curl_easy_setopt(easy_, CURLOPT_READDATA, this);
            curl_easy_setopt(easy_, CURLOPT_TRANSFERTEXT, ascii ? 1L : 0L);
        });
        source_ = nullptr;
        if (rc != CURLE_OK) return FailFrom(rc);
        return true;
    }

    bool Rename(const std::string& from, const std::string& to) override {
        return Commands({"RNFR " + Resolve(cwd_, from), "RNTO " + Resolve(cwd_, to)});
    }
    bool Delete(const std::string& remote) override {
        return Commands({"DELE " + Resolve(cwd_, remote)});
    }
    bool MakeDirectory(const std::string& remote) override {
        return Commands({"MKD " + Resolve(cwd_, remote)});
    }
    bool RemoveDirectory(const std::string& remote) override {
        return Commands({"RMD " + Resolve(cwd_, remote)});
    }

    bool List(const std::string& pattern, std::vector<FtpEntry>& entries) override {
        if (!open_) return NotOpen();
        std::string data;
        tooLarge_ = false;
        const CURLcode rc = Perform(DirUrlPath(cwd_), [&] {
            curl_easy_setopt(easy_, CURLOPT_CUSTOMREQUEST, "MLSD");
            curl_easy_setopt(easy_, CURLOPT_WRITEFUNCTION, &CurlFtp::Collect);
            curl_easy_setopt(easy_, CURLOPT_WRITEDATA, this);
            sink_ = &data;
        });
        sink_ = nullptr;
        if (tooLarge_) return Fail(ftp_error::kInternal, "受信した一覧が大きすぎます。");
        if (rc != CURLE_OK) return FailFrom(rc);
        entries.clear();
        size_t start = 0;
        while (start < data.size()) {
            size_t end = data.find('\n', start);
            if (end == std::string::npos) end = data.size();
            std::string line = data.substr(start, end - start);
            if (!line.empty() && line.back() == '\r') line.pop_back();
            FtpEntry e;
            if (ParseMlsdLine(line, e) && Matches(pattern, e.name)) entries.push_back(e);
            start = end + 1;
        }
        return true;
    }

    const FtpFailure& LastFailure() const override { return failure_; }

  private:
    std::string HostPart() const {
        const bool v6 = login_.host.find(':') != std::string::npos && login_.host[0] != '[';
        return (v6 ? "[" + login_.host + "]" : login_.host) + ":" + std::to_string(login_.port);
    }
    // URL paths: "%2F" makes the path absolute instead of relative to the login directory.
    static std::string DirUrlPath(const std::string& abs) {
        return abs == "/" ? "/%2F" : "/%2F" + UrlPath(abs.substr(1)) + "/";
    }
    static std::string FileUrlPath(const std::string& abs) {
        return "/%2F" + UrlPath(abs.substr(1));
    }

    bool Commands(std::initializer_list<std::string> commands) {
        if (!open_) return NotOpen();
        // A line end in a name would smuggle a second command to the server.
        for (const auto& c : commands)
            if (c.find_first_of("\r\n") != std::string::npos)
                return Fail(ftp_error::kInternal, "ファイル名に使用できない文字が含まれています。");
        SList quote;
        for (const auto& c : commands) quote.Add(c);
        const CURLcode rc = Perform("/", [&] {
            curl_easy_setopt(easy_, CURLOPT_NOBODY, 1L);
            curl_easy_setopt(easy_, CURLOPT_QUOTE, quote.list);
        });
        if (rc != CURLE_OK) return FailFrom(rc);
        return true;
    }

    // Runs one request on the connection, calling the idle callback meanwhile.
    template <typename Setup>
    CURLcode Perform(const std::string& urlPath, Setup setup) {
        curl_easy_reset(easy_);
        const bool implicit = login_.tls == FtpTls::Implicit;
        const std::string url = (implicit ? "ftps://" : "ftp://") + HostPart() + urlPath;
        curl_easy_setopt(easy_, CURLOPT_URL, url.c_str());
        curl_easy_setopt(easy_, CURLOPT_PROTOCOLS_STR, implicit ? "ftps" : "ftp");
        if (login_.tls != FtpTls::None) {
            // Control and data connections both, or no connection at all; the peer's
            // certificate and name are checked (libcurl's default, kept on purpose).
            curl_easy_setopt(easy_, CURLOPT_USE_SSL, static_cast<long>(CURLUSESSL_ALL));
            // TLS 1.2: servers that insist on the data connection resuming the control
            // connection's session (vsftpd's default) refuse libcurl 7.88's TLS 1.3 data
            // connections after the first ("522 SSL connection failed: session reuse required").
            curl_easy_setopt(easy_, CURLOPT_SSLVERSION,
                             static_cast<long>(CURL_SSLVERSION_TLSv1_2) |
                                 static_cast<long>(CURL_SSLVERSION_MAX_TLSv1_2));
            if (!login_.caFile.empty())
                curl_easy_setopt(easy_, CURLOPT_CAINFO, login_.caFile.c_str());
        }
        if (!login_.user.empty()) {
            curl_easy_setopt(easy_, CURLOPT_USERNAME, login_.user.c_str());
            curl_easy_setopt(easy_, CURLOPT_PASSWORD, login_.password.c_str());
        }
        curl_easy_setopt(easy_, CURLOPT_FTP_FILEMETHOD, static_cast<long>(CURLFTPMETHOD_SINGLECWD));
        // libcurl 7.88 can't take a TLS data connection in active mode (the accept fails), so
        // TLS always transfers in passive mode.
        if (login_.passive || login_.tls != FtpTls::None) {
            curl_easy_setopt(easy_, CURLOPT_FTPPORT, nullptr);
        } else {
            curl_easy_setopt(easy_, CURLOPT_FTPPORT, "-");
            curl_easy_setopt(easy_, CURLOPT_FTP_USE_EPRT, 1L);
        }
        curl_easy_setopt(easy_, CURLOPT_CONNECTTIMEOUT_MS, kConnectTimeoutMs);
        curl_easy_setopt(easy_, CURLOPT_SERVER_RESPONSE_TIMEOUT, kResponseTimeoutS);
        curl_easy_setopt(easy_, CURLOPT_ACCEPTTIMEOUT_MS, kConnectTimeoutMs);
        curl_easy_setopt(easy_, CURLOPT_LOW_SPEED_LIMIT, 1L);
        curl_easy_setopt(easy_, CURLOPT_LOW_SPEED_TIME, kStallSeconds);
        curl_easy_setopt(easy_, CURLOPT_NOSIGNAL, 1L);
        curl_easy_setopt(easy_, CURLOPT_NOPROGRESS, 0L);
        curl_easy_setopt(easy_, CURLOPT_XFERINFOFUNCTION, &CurlFtp::Progress);
        curl_easy_setopt(easy_, CURLOPT_XFERINFODATA, this);
        curl_easy_setopt(easy_, CURLOPT_HEADERFUNCTION, &CurlFtp::Reply);
        curl_easy_setopt(easy_, CURLOPT_HEADERDATA, this);
        setup();
        lastReply_.clear();
        replyLines_.clear();

        curl_multi_add_handle(multi_, easy_);
        struct Detach {
            CURLM* multi;
            CURL* easy;
            ~Detach() { curl_multi_remove_handle(multi, easy); }
        } detach{multi_, easy_};
        try {
            lastIdle_ = std::chrono::steady_clock::now() - kIdleEvery;  // pump on the first pass
            int running = 1;
            while (true) {
                const CURLMcode mc = curl_multi_perform(multi_, &running);
                if (thrown_) std::rethrow_exception(std::exchange(thrown_, nullptr));
                if (mc != CURLM_OK || running == 0) break;
                curl_multi_poll(multi_, nullptr, 0, 10, nullptr);
                Idle();
            }
        } catch (...) {
            open_ = false;
            throw;
        }
        CURLcode result = CURLE_OK;
        int left = 0;
        bool done = false;
        while (CURLMsg* msg = curl_multi_info_read(multi_, &left)) {
            if (msg->msg == CURLMSG_DONE && msg->easy_handle == easy_) {
                result = msg->data.result;
                done = true;
            }
        }
        return done ? result : CURLE_FAILED_INIT;
    }

    void Idle() {
        const auto now = std::chrono::steady_clock::now();
        if (!idle_ || now - lastIdle_ < kIdleEvery) return;
        lastIdle_ = now;
        idle_();
    }

    // libcurl waits for some replies inside curl_multi_perform (the one after a store's data,
    // for up to the response timeout) and calls this meanwhile, about once a second: the idle
    // callback runs here too, and what it throws ends the request and is thrown again once
    // libcurl has returned.
    static int Progress(void* self, curl_off_t, curl_off_t, curl_off_t, curl_off_t) {
        auto* me = static_cast<CurlFtp*>(self);
        if (me->thrown_) return 1;
        try {
            me->Idle();
        } catch (...) {
            me->thrown_ = std::current_exception();
            return 1;
        }
        return 0;
    }

    static size_t Reply(char* data, size_t size, size_t n, void* self) {
        auto* me = static_cast<CurlFtp*>(self);
        std::string line(data, size * n);
        while (!line.empty() && (line.back() == '\n' || line.back() == '\r')) line.pop_back();
        me->replyLines_ += me->replyLines_.empty() ? line : " " + line;
        // A reply ends with the line "nnn text" (its other lines are "nnn-text" or free text).
        if (line.size() >= 3 && std::isdigit(static_cast<unsigned char>(line[0])) &&
            std::isdigit(static_cast<unsigned char>(line[1])) &&
            std::isdigit(static_cast<unsigned char>(line[2])) &&
            (line.size() == 3 || line[3] == ' ')) {
            me->lastReply_ = me->replyLines_;
            me->replyLines_.clear();
        }
        return size * n;
    }

    static size_t Collect(char* data, size_t size, size_t n, void* self) {
        auto* me = static_cast<CurlFtp*>(self);
        if (me->sink_->size() + size * n > kMaxDownload) {
            me->tooLarge_ = true;
            return 0;
        }
        me->sink_->append(data, size * n);
        return size * n;
    }

    static size_t Supply(char* buffer, size_t size, size_t n, void* self) {
        auto* me = static_cast<CurlFtp*>(self);
        const size_t count = std::min(size * n, me->source_->size() - me->sent_);
        std::memcpy(buffer, me->source_->data() + me->sent_, count);
        me->sent_ += count;
        return count;
    }

    bool Fail(int32_t code, std::string text) {
        failure_ = {code, std::move(text)};
        return false;
    }
    bool NotOpen() { return Fail(ftp_error::kInvalidHandle, "ハンドルが無効です。"); }

    // The failure from libcurl's result and the server's last reply (libcurl's own error text
    // can be misleading in active mode, so it is not used).
    bool FailFrom(CURLcode rc) {
        long response = 0;
        curl_easy_getinfo(easy_, CURLINFO_RESPONSE_CODE, &response);
        const std::string library = curl_easy_strerror(rc) ? curl_easy_strerror(rc) : "";
        switch (rc) {
            case CURLE_COULDNT_RESOLVE_HOST:
                open_ = false;
                return Fail(ftp_error::kNameNotResolved, "サーバー名を解決できませんでした。");
            case CURLE_COULDNT_CONNECT:
                open_ = false;
                return Fail(ftp_error::kCannotConnect, library);
            case CURLE_OPERATION_TIMEDOUT:
            case CURLE_FTP_ACCEPT_TIMEOUT:
                open_ = false;
                return Fail(ftp_error::kTimeout, library);
            case CURLE_USE_SSL_FAILED:
                open_ = false;
                return Fail(ftp_error::kSecureChannel,
                            "サーバーが暗号化通信（TLS）に応じませんでした。");
            case CURLE_PEER_FAILED_VERIFICATION:
                open_ = false;
                return Fail(ftp_error::kInvalidCa, "サーバーの証明書を確認できませんでした。");
            case CURLE_SSL_CACERT_BADFILE:
                open_ = false;
                return Fail(ftp_error::kInvalidCa,
                            "証明書ファイルを読み込めませんでした。\r\n" + login_.caFile);
            case CURLE_SSL_CONNECT_ERROR:
            case CURLE_SSL_ENGINE_NOTFOUND:
            case CURLE_SSL_ENGINE_SETFAILED:
            case CURLE_SSL_CERTPROBLEM:
            case CURLE_SSL_CIPHER:
            case CURLE_SSL_ENGINE_INITFAILED:
            case CURLE_SSL_SHUTDOWN_FAILED:
            case CURLE_SSL_CRL_BADFILE:
            case CURLE_SSL_ISSUER_ERROR:
            case CURLE_SSL_INVALIDCERTSTATUS:
            case CURLE_SSL_CLIENTCERT:
                open_ = false;
                return Fail(ftp_error::kSecureChannel,
                            "サーバーとの暗号化通信を確立できませんでした。");
            case CURLE_RECV_ERROR:
            case CURLE_SEND_ERROR:
            case CURLE_PARTIAL_FILE:
            case CURLE_GOT_NOTHING:
            case CURLE_WEIRD_SERVER_REPLY:
                open_ = false;
                return Fail(ftp_error::kConnectionAborted, library);
            default:
                break;
        }
        if (response >= 400 && !lastReply_.empty())
            return Fail(ftp_error::kServerRefused, lastReply_);
        return Fail(ftp_error::kInternal, "");  // no Japanese text for the library's reasons
    }

    CURLM* multi_ = nullptr;
    CURL* easy_ = nullptr;
    FtpLogin login_;
    bool open_ = false;
    std::string cwd_ = "/";
    std::function<void()> idle_;
    std::chrono::steady_clock::time_point lastIdle_{};
    std::exception_ptr thrown_;  // what the idle callback threw inside libcurl
    std::string lastReply_, replyLines_;
    FtpFailure failure_;
    std::string* sink_ = nullptr;
    bool tooLarge_ = false;
    const std::string* source_ = nullptr;
    size_t sent_ = 0;
};

}  // namespace

std::unique_ptr<FtpConnection> NewCurlFtpConnection() {
    return std::make_unique<CurlFtp>();
}

}  // namespace zb
