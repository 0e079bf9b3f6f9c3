// McWinFTP: one FTP session with the operations, properties and error event that the ranking's
// transfer driver uses. Operations never throw to the caller for a network or file failure:
// each failure raises FTPFrr(number, text) and the operation returns false. While an operation
// runs the window keeps being pumped (platform.window.DoEvents), or, on the ranking's worker
// thread, the worker's own idle callback runs.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/ports.hpp"

namespace zb {

// The current entry of a directory search.
struct FTPFile {
    std::string FileName;
    double FileSize = 0;
    FtpDateTime FileDate;  // as the server gives it, no conversion to local time
    int32_t FileType = 0;  // 16 for a directory, 0 for anything else
    bool SearchEnd = false;
};

inline constexpr int32_t kPassiveConnectFlag = 0x08000000;
inline constexpr const char* kFtpFallbackError = "エラーが発生しています。";

class McWinFTP {
  public:
    explicit McWinFTP(Platform& platform);
    // A connection made by `connect` (none when it is empty), `idle` called while it waits.
    McWinFTP(const FtpConnector& connect, std::function<void()> idle);
    ~McWinFTP();
    McWinFTP(const McWinFTP&) = delete;
    McWinFTP& operator=(const McWinFTP&) = delete;

    // Raised for every reported failure (not for the end of a search).
    std::function<void(int32_t ErrNumber, const std::string& ErrString)> FTPFrr;

    static std::string ClassName() { return "McWinFTP Class Module"; }
    static std::string Version() { return "0.9 b"; }
    // Nonzero while the class has a connection object; nonzero while connected.
    intptr_t hInternet() const { return conn_ ? 1 : 0; }
    intptr_t hFTP() const { return conn_ && conn_->IsOpen() ? 1 : 0; }

    int32_t RemotePort() const { return port_; }
    void SetRemotePort(int32_t port) { port_ = port; }
    // The empty string stores no value; an unset value reads as the empty string.
    std::string RemoteHost() const { return host_.value_or(""); }
    void SetRemoteHost(const std::string& szRemoteHost) { host_ = Optional(szRemoteHost); }
    std::string User() const { return user_.value_or(""); }
    void SetUser(const std::string& szUser) { user_ = Optional(szUser); }
    std::string Password() const { return password_.value_or(""); }
    void SetPassword(const std::string& szPassword) { password_ = Optional(szPassword); }
    bool PassiveFlag() const { return passiveFlag_ == kPassiveConnectFlag; }
    void SetPassiveFlag(bool bPassive) { passiveFlag_ = bPassive ? kPassiveConnectFlag : 0; }
    // TLS for the next OpenSession, and the certificates to trust (empty: the system's).
    void SetTls(FtpTls tls, const std::string& caFile) {
        tls_ = tls;
        caFile_ = caFile;
    }

    // The remote directory; the empty string (after a report) when it can't be read.
    std::string CurDir();
    // Changes directory relative to the current one: one leading "/" or "\" is dropped.
    // Returns false after reporting a failure.
    bool SetCurDir(const std::string& szDir);

    bool OpenSession();
    bool CloseSession();
    // nTransfer 1 is ASCII, anything else binary.
    bool PutFile(const std::string& szLocalFile, const std::string& szRemoteFile, int nTransfer);
    bool GetFile(const std::string& szRemoteFile, const std::string& szLocalFile, bool bFailExists,
                 int nTransfer);
    bool RenameFile(const std::string& szExistFile, const std::string& szNewFile);
    bool DeleteFile(const std::string& szRemoteFile);
    bool CreateDir(const std::string& szRemoteDir);
    bool RemoveDir(const std::string& szRemoteDir);
    void FindFile(const std::string& szSearchString);
    void NextFile();
    std::optional<FTPFile> RemoteFile;

    // The same transfers to and from memory, so that a download can be checked before it
    // replaces anything.
    bool GetBytes(const std::string& szRemoteFile, std::string& bytes, int nTransfer);
    bool PutBytes(const std::string& bytes, const std::string& szRemoteFile, int nTransfer);

  private:
    static std::optional<std::string> Optional(const std::string& s) {
        return s.empty() ? std::nullopt : std::optional<std::string>(s);
    }
    bool Report(int32_t code, const std::string& text);
    bool ReportLast();
    void FillRemoteFile(const FtpEntry& e);

    std::unique_ptr<FtpConnection> conn_;
    int32_t port_ = 21;
    std::optional<std::string> host_, user_, password_;
    int32_t passiveFlag_ = 0;
    FtpTls tls_ = FtpTls::None;
    std::string caFile_;
    std::vector<FtpEntry> search_;
    size_t searchNext_ = 0;
    bool searching_ = false;
};

}  // namespace zb
