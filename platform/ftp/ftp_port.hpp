// The FTP connection that the ranking's session class works through. One connection is one login
// on one server; every operation blocks until it is done, calling the idle callback many times a
// second meanwhile (the game pumps its window there), and reports a failure as a code and a text.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace zb {

// Failure codes, as the game's error boxes show them.
namespace ftp_error {
inline constexpr int32_t kFileNotFound = 2;   // a local file can't be read
inline constexpr int32_t kInvalidHandle = 6;  // no connection is open
inline constexpr int32_t kFileExists = 80;    // the local file exists and must not be replaced
inline constexpr int32_t kTimeout = 12002;    // the server stopped answering
inline constexpr int32_t kServerRefused =
    12003;                                   // the server answered with an error; text = its reply
inline constexpr int32_t kInternal = 12004;  // anything else
inline constexpr int32_t kNameNotResolved = 12007;
inline constexpr int32_t kCannotConnect = 12029;
inline constexpr int32_t kConnectionAborted = 12030;
inline constexpr int32_t kInvalidCa = 12045;      // the server's certificate is not trusted
inline constexpr int32_t kSecureChannel = 12157;  // TLS could not be set up, or was refused
}  // namespace ftp_error

struct FtpFailure {
    int32_t code = 0;
    std::string text;  // may be empty; the caller supplies its own fallback
};

struct FtpDateTime {
    int year = 0, month = 0, day = 0, hour = 0, minute = 0,
        second = 0;  // as the server gives it (UTC)
};

struct FtpEntry {
    std::string name;
    double size = 0;
    FtpDateTime modified;
    bool directory = false;
};

// How the connection is protected. Explicit: the server is asked to switch to TLS (AUTH TLS)
// before the login, and nothing goes on in clear if it says no. Implicit: TLS from the first
// byte (ftps://, usually port 990). Either way the data connections are protected too, and the
// server's certificate is checked against the system's store, or against `caFile` when given.
enum class FtpTls { None, Explicit, Implicit };

struct FtpLogin {
    std::string host, user, password;  // empty user: anonymous
    int32_t port = 21;
    bool passive = false;
    FtpTls tls = FtpTls::None;
    std::string caFile{};  // certificates to trust instead of the system's, PEM
};

class FtpConnection {
  public:
    virtual ~FtpConnection() = default;

    // Called while an operation waits or transfers; may throw (the exception ends the operation,
    // closes the connection and reaches the caller).
    virtual void SetIdle(std::function<void()> idle) = 0;

    // Connects and logs in. The current directory is then the login directory.
    virtual bool Open(const FtpLogin& login) = 0;
    virtual void Close() = 0;
    // False after Close, a failed Open, or a failure that lost the connection (a timeout, a
    // connection cut off).
    virtual bool IsOpen() const = 0;

    // The current directory as an absolute path.
    virtual bool CurrentDirectory(std::string& dir) = 0;
    // Changes to a directory: relative to the current one, or absolute when it starts with "/".
    virtual bool ChangeDirectory(const std::string& dir) = 0;

    // Names below are relative to the current directory unless they start with "/". In ASCII
    // mode the bytes on this side have CR LF line ends and the server gets its text form.
    virtual bool Retrieve(const std::string& remote, bool ascii, std::string& bytes) = 0;
    virtual bool Store(const std::string& bytes, const std::string& remote, bool ascii) = 0;
    virtual bool Rename(const std::string& from, const std::string& to) = 0;
    virtual bool Delete(const std::string& remote) = 0;
    virtual bool MakeDirectory(const std::string& remote) = 0;
    virtual bool RemoveDirectory(const std::string& remote) = 0;
    // The entries of the current directory whose names match a pattern with * and ? ("*.*"
    // matches every name), without "." and "..".
    virtual bool List(const std::string& pattern, std::vector<FtpEntry>& entries) = 0;

    // The failure of the last operation that returned false.
    virtual const FtpFailure& LastFailure() const = 0;
};

using FtpConnector = std::function<std::unique_ptr<FtpConnection>()>;

}  // namespace zb
