#include "netrank/netrank_transfer.hpp"

#include <optional>
#include <random>

#include "core/file_replace.hpp"
#include "netrank/mc_win_ftp.hpp"
#include "netrank/netrank_file.hpp"
#include "netrank/netrank_format.hpp"

namespace zb {
namespace {

constexpr const char* kRemoteFile = "netrank.dat";
constexpr int kAscii = 1;

std::mt19937& Random() {
    thread_local std::mt19937 rng{std::random_device{}()};
    return rng;
}

// A name of our own beside netrank.dat, so that players uploading at once do not collide.
std::string TemporaryName() {
    static const char* hex = "0123456789abcdef";
    std::string name = std::string(kRemoteFile) + ".up-";
    for (int i = 0; i < 8; ++i) name += hex[Random()() & 15];
    return name + ".tmp";
}

// The hidden transfer form: one session, its error box, and the steps the game runs.
class TransferForm {
  public:
    TransferForm(RankLink& link, const RankServer& server, std::string* problem)
        : link_(link), server_(server), problem_(problem), ftp_(link.connect, link.idle) {
        ftp_.FTPFrr = [this](int32_t number, const std::string& text) { OnFTPFrr(number, text); };
    }
    ~TransferForm() {
        // Also while an exception (a stopped worker, the end of the program) passes: a stored
        // temporary file is removed and the lock given back if the server still answers, and
        // nothing thrown meanwhile leaves here.
        try {
            link_.cleaning(true);
            // A stopped operation dropped the connection: log in again to tidy up.
            if ((lockedAt_ || !temporary_.empty()) && ftp_.hFTP() == 0) Reconnect();
            if (!temporary_.empty()) Discard(temporary_);
            Unlock();
            ftp_.CloseSession();
        } catch (...) {
        }
        link_.cleaning(false);
    }

    // Connects and changes to the ranking's directory. One that can't be entered is told in the
    // box and on standard error, and the exchange goes on in the login directory.
    bool Open() {
        ftp_.SetRemoteHost(server_.host);
        ftp_.SetUser(server_.user);
        ftp_.SetPassword(server_.password);
        ftp_.SetRemotePort(server_.port);
        ftp_.SetPassiveFlag(server_.passive);
        ftp_.SetTls(server_.tls, server_.caFile);
        if (!ftp_.OpenSession() || ftp_.hFTP() == 0) return false;
        if (server_.directory.empty()) return true;
        Failure refused;
        if (Quietly([&] { return ftp_.SetCurDir(server_.directory); }, &refused)) return true;
        if (ftp_.hFTP() == 0) return Refuse(refused.number, refused.text);
        ReportRankFailure(
            server_, "can't enter the folder " + server_.directory + "; using the login folder",
            std::to_string(refused.number) + " " + refused.text);
        ShowBox(refused.number, refused.text);
        return true;
    }

    void Reconnect() {
        if (!Quietly([&] { return ftp_.OpenSession(); }) || server_.directory.empty()) return;
        Quietly([&] { return ftp_.SetCurDir(server_.directory); });
    }

    // The server's file, refused with its reason when it is not a ranking or was cut off.
    bool GetRanking(std::string& bytes) {
        if (!ftp_.GetBytes(kRemoteFile, bytes, kAscii)) return false;
        switch (JudgeRankBytes(bytes)) {
            case RankBytes::Whole:
            case RankBytes::Short:
                return true;
            case RankBytes::CutShort:
                return Refuse(kCutShortNumber, kCutShortText);
            case RankBytes::NotARanking:
                return Refuse(kNotARankingNumber, kNotARankingText);
        }
        return false;
    }

    // Takes the folder's lock, waiting while another game holds it. A lock whose folder keeps
    // the same time for kRankLockAbandonedMs is taken over. Times come from the listing and are
    // only compared with each other, so the server's clock need not agree with ours.
    bool Lock() {
        const int64_t start = Now();
        std::optional<FtpDateTime> seen;
        int64_t seenSince = start;
        int refusedWithoutLock = 0;
        for (;;) {
            Failure refused;
            if (Quietly([&] { return ftp_.CreateDir(kRankLockName); }, &refused)) {
                lockedAt_ = Now();
                return true;
            }
            if (refused.number != ftp_error::kServerRefused || ftp_.hFTP() == 0)
                return Refuse(refused.number, refused.text);
            std::optional<FtpDateTime> stamp = LockTime();
            if (!stamp) {
                // Refused, yet no lock is there: the server will not let us create it.
                if (++refusedWithoutLock >= 3) return Refuse(refused.number, refused.text);
                continue;
            }
            refusedWithoutLock = 0;
            if (!seen || !SameTime(*seen, *stamp)) {
                seen = stamp;
                seenSince = Now();
            } else if (Now() - seenSince >= link_.lock.abandonedMs) {
                Quietly([&] { return ftp_.RemoveDir(kRankLockName); });
                seen.reset();
                continue;
            }
            if (Now() - start >= link_.lock.giveUpMs) {
                Note("the ranking stayed locked (" + std::string(kRankLockName) + ") for " +
                     std::to_string(link_.lock.giveUpMs / 1000) + " s");
                return false;
            }
            link_.sleepMs(std::uniform_int_distribution<int>(100, 300)(Random()));
        }
    }

    // Gives the lock back, unless it was held so long that another game may have taken it
    // over meanwhile: that game's lock is not ours to remove.
    void Unlock() {
        if (!lockedAt_) return;
        const bool mayBeTaken = Now() - *lockedAt_ >= link_.lock.abandonedMs / 6 * 5;
        lockedAt_.reset();
        if (!mayBeTaken && ftp_.hFTP() != 0) Quietly([&] { return ftp_.RemoveDir(kRankLockName); });
    }

    bool PutTemporary(const std::string& bytes, std::string& temporary) {
        temporary = TemporaryName();
        temporary_ = temporary;  // removed on the way out unless it becomes the ranking
        if (ftp_.PutBytes(bytes, temporary, kAscii)) return true;
        Discard(temporary);
        return false;
    }

    void Discard(const std::string temporary) {  // a copy: it may be temporary_ itself
        temporary_.clear();
        if (ftp_.hFTP() != 0) Quietly([&] { return ftp_.DeleteFile(temporary); });
    }

    // Renames the stored file over netrank.dat. Servers that refuse to rename over an existing
    // file get it deleted first; for that moment a reader finds no file, never a partial one.
    bool Promote(const std::string& temporary) {
        Failure first;
        if (Quietly([&] { return ftp_.RenameFile(temporary, kRemoteFile); }, &first)) {
            temporary_.clear();
            return true;
        }
        bool renamed = false;
        if (first.number == ftp_error::kServerRefused && ftp_.hFTP() != 0) {
            Quietly([&] { return ftp_.DeleteFile(kRemoteFile); });
            renamed = ftp_.RenameFile(temporary, kRemoteFile);
            if (renamed) temporary_.clear();
        } else {
            OnFTPFrr(first.number, first.text);
        }
        if (!renamed) Discard(temporary);
        return renamed;
    }

    // Records a failure of our own for standard error (no box).
    void Note(const std::string& what) {
        if (problem_ && problem_->empty()) *problem_ = what;
    }

  private:
    struct Failure {
        int32_t number = 0;
        std::string text;
    };

    int64_t Now() { return link_.nowMs(); }

    static bool SameTime(const FtpDateTime& a, const FtpDateTime& b) {
        return a.year == b.year && a.month == b.month && a.day == b.day && a.hour == b.hour &&
               a.minute == b.minute && a.second == b.second;
    }

    // The lock folder's time in the listing; nullopt when it is not there. A server that can't
    // list gives every lock the same time, so a lock is then taken over once it has been seen
    // for the whole wait.
    std::optional<FtpDateTime> LockTime() {
        Failure failure;
        Quietly(
            [&] {
                ftp_.FindFile(kRankLockName);
                return true;
            },
            &failure);
        if (ftp_.RemoteFile && !ftp_.RemoteFile->SearchEnd) return ftp_.RemoteFile->FileDate;
        if (failure.number != 0) return FtpDateTime{};
        return std::nullopt;
    }

    bool Refuse(int32_t number, const std::string& text) {
        OnFTPFrr(number, text);
        return false;
    }

    void OnFTPFrr(int32_t number, const std::string& text) {
        if (quiet_) {
            quietFailure_ = {number, text};
            return;
        }
        Note(std::to_string(number) + " " + text);
        ShowBox(number, text);
    }

    void ShowBox(int32_t number, const std::string& text) { link_.box(number, text); }

    // Runs a step whose failure is handled here instead of being shown.
    template <typename Fn>
    bool Quietly(Fn fn, Failure* failure = nullptr) {
        quiet_ = true;
        quietFailure_ = {};
        struct Restore {
            bool& flag;
            ~Restore() { flag = false; }
        } restore{quiet_};
        const bool ok = fn();
        if (failure) *failure = quietFailure_;
        return ok;
    }

    RankLink& link_;
    const RankServer& server_;
    std::string* problem_;
    McWinFTP ftp_;
    bool quiet_ = false;
    Failure quietFailure_;
    std::optional<int64_t> lockedAt_;
    std::string temporary_;  // stored on the server and not yet the ranking
};

bool LocalRanking(Game& game, std::string& bytes, std::string* problem) {
    if (ReadWholeFile(NetRankPath(game), bytes) && IsWholeNetRank(bytes)) return true;
    if (problem && problem->empty())
        *problem = NetRankPath(game) + " is not a whole ranking; nothing was sent";
    return false;
}

}  // namespace

bool DownloadRanking(RankLink& link, const RankServer& server, std::string& bytes,
                     std::string* problem) {
    TransferForm form(link, server, problem);
    return form.Open() && form.GetRanking(bytes);
}

bool DownloadRanking(Game& game, const RankServer& server, std::string& bytes,
                     std::string* problem) {
    RankLink link = GameLink(game);
    return DownloadRanking(link, server, bytes, problem);
}

bool DownloadNetRank(Game& game, const RankServer& server, std::string* problem) {
    std::string bytes;
    if (!DownloadRanking(game, server, bytes, problem)) return false;
    if (ReplaceFileContents(NetRankPath(game), bytes)) return true;
    if (problem && problem->empty()) *problem = "can't write " + NetRankPath(game);
    return false;
}

bool UploadNetRank(Game& game, const RankServer& server, std::string* problem) {
    std::string bytes;
    if (!LocalRanking(game, bytes, problem)) return false;
    RankLink link = GameLink(game);
    TransferForm form(link, server, problem);
    std::string temporary;
    return form.Open() && form.Lock() && form.PutTemporary(bytes, temporary) &&
           form.Promote(temporary);
}

bool PublishNetRank(Game& game, const RankServer& server, std::string base, std::string merged,
                    const RankRemerge& remerge, std::string* problem) {
    RankLink link = GameLink(game);
    return PublishNetRank(link, server, std::move(base), std::move(merged), remerge, problem);
}

bool PublishNetRank(RankLink& link, const RankServer& server, std::string base, std::string merged,
                    const RankRemerge& remerge, std::string* problem) {
    TransferForm form(link, server, problem);
    if (!form.Open() || !form.Lock()) return false;
    for (int attempt = 0; attempt < kRankPublishTries; ++attempt) {
        std::string temporary, current;
        if (!form.PutTemporary(merged, temporary)) return false;
        if (!form.GetRanking(current)) {
            form.Discard(temporary);
            return false;
        }
        if (current == base) return form.Promote(temporary);
        // Another game stored a ranking since ours was downloaded: merge into that one.
        form.Discard(temporary);
        base = std::move(current);
        merged = remerge(base);
    }
    form.Note("the server's ranking kept changing; gave up after " +
              std::to_string(kRankPublishTries) + " tries");
    return false;
}

}  // namespace zb
