#include "netrank/mc_win_ftp.hpp"

#include <filesystem>

#include "core/file_replace.hpp"

namespace zb {

McWinFTP::McWinFTP(Platform& platform)
    : McWinFTP(platform.ftp, [&platform] { platform.window.DoEvents(); }) {}

McWinFTP::McWinFTP(const FtpConnector& connect, std::function<void()> idle)
    : conn_(connect ? connect() : nullptr) {
    if (conn_) conn_->SetIdle(std::move(idle));
}

McWinFTP::~McWinFTP() {
    RemoteFile.reset();
    CloseSession();
}

bool McWinFTP::Report(int32_t code, const std::string& text) {
    if (FTPFrr) FTPFrr(code, text.empty() ? kFtpFallbackError : text);
    return false;
}

bool McWinFTP::ReportLast() {
    const FtpFailure& f = conn_->LastFailure();
    // Failures of the connection itself (refused, timed out, cut off) have no system text: the
    // player sees the number and the general Japanese text, not the network library's English.
    switch (f.code) {
        case ftp_error::kTimeout:
        case ftp_error::kCannotConnect:
        case ftp_error::kConnectionAborted:
            return Report(f.code, "");
        default:
            return Report(f.code, f.text);
    }
}

std::string McWinFTP::CurDir() {
    if (!conn_) return (Report(ftp_error::kInvalidHandle, "ハンドルが無効です。"), "");
    std::string dir;
    if (!conn_->CurrentDirectory(dir)) return (ReportLast(), "");
    return dir;
}

bool McWinFTP::SetCurDir(const std::string& szDir) {
    if (!conn_) return Report(ftp_error::kInvalidHandle, "ハンドルが無効です。");
    std::string dir = szDir;
    if (!dir.empty() && (dir[0] == '/' || dir[0] == '\\')) dir.erase(0, 1);
    return conn_->ChangeDirectory(dir) || ReportLast();
}

bool McWinFTP::OpenSession() {
    if (!conn_) return Report(ftp_error::kInvalidHandle, "ハンドルが無効です。");
    FtpLogin login{RemoteHost(), User(), Password(), port_, PassiveFlag(), tls_, caFile_};
    if (login.host.empty())
        return Report(ftp_error::kNameNotResolved, "サーバー名を解決できませんでした。");
    return conn_->Open(login) || ReportLast();
}

bool McWinFTP::CloseSession() {
    searching_ = false;
    search_.clear();
    if (!conn_ || !conn_->IsOpen()) return false;
    conn_->Close();
    return true;
}

bool McWinFTP::GetBytes(const std::string& szRemoteFile, std::string& bytes, int nTransfer) {
    if (!conn_) return Report(ftp_error::kInvalidHandle, "ハンドルが無効です。");
    return conn_->Retrieve(szRemoteFile, nTransfer == 1, bytes) || ReportLast();
}

bool McWinFTP::PutBytes(const std::string& bytes, const std::string& szRemoteFile, int nTransfer) {
    if (!conn_) return Report(ftp_error::kInvalidHandle, "ハンドルが無効です。");
    return conn_->Store(bytes, szRemoteFile, nTransfer == 1) || ReportLast();
}

bool McWinFTP::GetFile(const std::string& szRemoteFile, const std::string& szLocalFile,
                       bool bFailExists, int nTransfer) {
    std::error_code ec;
    if (bFailExists && std::filesystem::exists(szLocalFile, ec))
        return Report(ftp_error::kFileExists, "ファイルが存在します。");
    std::string bytes;
    if (!GetBytes(szRemoteFile, bytes, nTransfer)) return false;
    // The local file changes only when the whole file arrived.
    if (!ReplaceFileContents(szLocalFile, bytes)) return Report(5, "アクセスが拒否されました。");
    return true;
}

bool McWinFTP::PutFile(const std::string& szLocalFile, const std::string& szRemoteFile,
                       int nTransfer) {
    std::string bytes;
    if (!ReadWholeFile(szLocalFile, bytes))
        return Report(ftp_error::kFileNotFound, "指定されたファイルが見つかりません。");
    return PutBytes(bytes, szRemoteFile, nTransfer);
}

bool McWinFTP::RenameFile(const std::string& szExistFile, const std::string& szNewFile) {
    if (!conn_) return Report(ftp_error::kInvalidHandle, "ハンドルが無効です。");
    return conn_->Rename(szExistFile, szNewFile) || ReportLast();
}

bool McWinFTP::DeleteFile(const std::string& szRemoteFile) {
    if (!conn_) return Report(ftp_error::kInvalidHandle, "ハンドルが無効です。");
    return conn_->Delete(szRemoteFile) || ReportLast();
}

bool McWinFTP::CreateDir(const std::string& szRemoteDir) {
    if (!conn_) return Report(ftp_error::kInvalidHandle, "ハンドルが無効です。");
    return conn_->MakeDirectory(szRemoteDir) || ReportLast();
}

bool McWinFTP::RemoveDir(const std::string& szRemoteDir) {
    if (!conn_) return Report(ftp_error::kInvalidHandle, "ハンドルが無効です。");
    return conn_->RemoveDirectory(szRemoteDir) || ReportLast();
}

void McWinFTP::FillRemoteFile(const FtpEntry& e) {
    RemoteFile->FileName = e.name;
    RemoteFile->FileSize = e.size;
    RemoteFile->FileDate = e.modified;
    RemoteFile->FileType = e.directory ? 16 : 0;
}

void McWinFTP::FindFile(const std::string& szSearchString) {
    searching_ = false;
    search_.clear();
    searchNext_ = 0;
    RemoteFile = FTPFile{};
    if (!conn_) {
        Report(ftp_error::kInvalidHandle, "ハンドルが無効です。");
        RemoteFile->SearchEnd = true;
        return;
    }
    if (!conn_->List(szSearchString, search_)) {
        ReportLast();
        RemoteFile->SearchEnd = true;
        return;
    }
    if (search_.empty()) {  // no entries: the end of the search, without an event
        RemoteFile->SearchEnd = true;
        return;
    }
    searching_ = true;
    FillRemoteFile(search_[searchNext_++]);
}

void McWinFTP::NextFile() {
    if (!RemoteFile) RemoteFile = FTPFile{};
    if (RemoteFile->SearchEnd) return;
    if (!searching_ || searchNext_ >= search_.size()) {
        RemoteFile->SearchEnd = true;
        return;
    }
    FillRemoteFile(search_[searchNext_++]);
}

}  // namespace zb
