#include "netrank/netrank_transfer.hpp"

#include <random>

#include "core/file_replace.hpp"
#include "netrank/mc_win_ftp.hpp"
#include "netrank/netrank_file.hpp"
#include "netrank/netrank_format.hpp"

#ifndef ZB_RANK_HOST
#define ZB_RANK_HOST "127.0.0.1"
#define ZB_RANK_PORT 21
#define ZB_RANK_USER "zubakko"
#define ZB_RANK_PASSWORD "donkan21"
#define ZB_RANK_PASSIVE 0
#define ZB_RANK_DIR "public_html/rurederadi"
#endif

namespace zb {
namespace {

constexpr const char* kRemoteFile = "netrank.dat";
constexpr int kAscii = 1;

// A name of our own beside netrank.dat, so that players uploading at once do not collide.
std::string TemporaryName() {
    std::random_device rd;
    static const char* hex = "0123456789abcdef";
    std::string name = std::string(kRemoteFile) + ".up-";
    for (int i = 0; i < 4; ++i) {
        const unsigned v = rd();
        name += hex[v & 15];
        name += hex[(v >> 4) & 15];
    }
    return name + ".tmp";
}

// The hidden transfer form: one session, its error box, and the steps the game runs.
class TransferForm {
  public:
    TransferForm(Game& game, const RankServer& server)
        : game_(game), server_(server), ftp_(game.platform) {
        ftp_.FTPFrr = [this](int32_t number, const std::string& text) { OnFTPFrr(number, text); };
    }
    ~TransferForm() { ftp_.CloseSession(); }

    // Connects and changes to the ranking's directory. A failed change ends the exchange too:
    // the login directory's netrank.dat is not the ranking.
    bool Open() {
        ftp_.SetRemoteHost(server_.host);
        ftp_.SetUser(server_.user);
        ftp_.SetPassword(server_.password);
        ftp_.SetRemotePort(server_.port);
        ftp_.SetPassiveFlag(server_.passive);
        if (!ftp_.OpenSession() || ftp_.hFTP() == 0) return false;
        return server_.directory.empty() || ftp_.SetCurDir(server_.directory);
    }

    bool Get(std::string& bytes) { return ftp_.GetBytes(kRemoteFile, bytes, kAscii); }

    bool Put(const std::string& bytes) {
        const std::string temporary = TemporaryName();
        if (!ftp_.PutBytes(bytes, temporary, kAscii)) {
            Quietly([&] { return ftp_.DeleteFile(temporary); });
            return false;
        }
        // Servers that refuse to rename over an existing file get it deleted first; for that
        // moment a reader finds no file, never a partial one.
        Failure first;
        if (Quietly([&] { return ftp_.RenameFile(temporary, kRemoteFile); }, &first)) return true;
        bool renamed = false;
        if (first.number == ftp_error::kServerRefused && ftp_.hFTP() != 0) {
            Quietly([&] { return ftp_.DeleteFile(kRemoteFile); });
            renamed = ftp_.RenameFile(temporary, kRemoteFile);
        } else {
            OnFTPFrr(first.number, first.text);
        }
        if (!renamed) Quietly([&] { return ftp_.DeleteFile(temporary); });
        return renamed;
    }

  private:
    struct Failure {
        int32_t number = 0;
        std::string text;
    };

    void OnFTPFrr(int32_t number, const std::string& text) {
        if (quiet_) {
            quietFailure_ = {number, text};
            return;
        }
        game_.platform.dialogs.MessageBox(std::to_string(number) + "\r\n" + text, MsgButtons::Ok,
                                          MsgIcon::Error, kAppTitle);
    }

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

    Game& game_;
    const RankServer& server_;
    McWinFTP ftp_;
    bool quiet_ = false;
    Failure quietFailure_;
};

}  // namespace

RankServer BuiltInRankServer() {
    return {ZB_RANK_HOST, ZB_RANK_USER,         ZB_RANK_PASSWORD,
            ZB_RANK_PORT, ZB_RANK_PASSIVE != 0, ZB_RANK_DIR};
}

bool DownloadNetRank(Game& game) {
    return DownloadNetRank(game, BuiltInRankServer());
}
bool UploadNetRank(Game& game) {
    return UploadNetRank(game, BuiltInRankServer());
}

bool DownloadNetRank(Game& game, const RankServer& server) {
    std::string bytes;
    {
        TransferForm form(game, server);
        if (!form.Open() || !form.Get(bytes)) return false;
    }
    if (!IsWholeNetRank(bytes)) return false;
    return ReplaceFileContents(NetRankPath(game), bytes);
}

bool UploadNetRank(Game& game, const RankServer& server) {
    std::string bytes;
    if (!ReadWholeFile(NetRankPath(game), bytes) || !IsWholeNetRank(bytes)) return false;
    TransferForm form(game, server);
    return form.Open() && form.Put(bytes);
}

}  // namespace zb
