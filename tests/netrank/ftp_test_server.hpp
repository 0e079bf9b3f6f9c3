// Servers for the FTP tests: the real ranking server (tools/rankserver) or one of the faulty
// servers of ftp_faults.py, started on 127.0.0.1 with a free port and stopped with the test.
#pragma once

#include <fcntl.h>
#include <grp.h>
#include <netinet/in.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "platform/ftp/curl_ftp.hpp"
#include "platform/headless/headless.hpp"

namespace zb::test {

// The headless platform with the real FTP connection, for the tests that talk to a server.
inline Platform& WithCurl(headless::HeadlessPlatform& hp) {
    hp.ports.ftp = NewCurlFtpConnection;
    return hp.ports;
}

class ServerProcess {
  public:
    // Runs /usr/bin/python3 with the arguments; the program prints its port on its first line.
    explicit ServerProcess(const std::vector<std::string>& args) {
        int out[2];
        if (pipe(out) != 0) throw std::runtime_error("pipe");
        pid_ = fork();
        if (pid_ == 0) {
            prctl(PR_SET_PDEATHSIG, SIGKILL);  // never outlive the test
            dup2(out[1], 1);
            close(out[0]);
            close(out[1]);
            std::vector<char*> argv;
            std::string python = "/usr/bin/python3";
            argv.push_back(python.data());
            std::vector<std::string> copy = args;
            for (auto& a : copy) argv.push_back(a.data());
            argv.push_back(nullptr);
            execv(argv[0], argv.data());
            _exit(127);
        }
        close(out[1]);
        FILE* f = fdopen(out[0], "r");
        char line[64] = {};
        if (!f || !fgets(line, sizeof line, f)) {
            if (f) fclose(f);
            Stop();
            throw std::runtime_error("test server did not start");
        }
        fclose(f);
        port_ = std::stoi(line);
    }
    ~ServerProcess() { Stop(); }
    ServerProcess(const ServerProcess&) = delete;
    ServerProcess& operator=(const ServerProcess&) = delete;

    int Port() const { return port_; }
    // True while the process runs (the faulty servers end themselves).
    bool Running() { return pid_ > 0 && waitpid(pid_, nullptr, WNOHANG) == 0; }

    void Stop() {
        if (pid_ <= 0) return;
        kill(pid_, SIGTERM);
        for (int i = 0; i < 100; ++i) {
            if (waitpid(pid_, nullptr, WNOHANG) != 0) {
                pid_ = -1;
                return;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
        kill(pid_, SIGKILL);
        waitpid(pid_, nullptr, 0);
        pid_ = -1;
    }

  private:
    pid_t pid_ = -1;
    int port_ = 0;
};

inline std::string RankServerScript() {
    return ZB_SOURCE_DIR "/tools/rankserver/rankserver.py";
}
inline std::string FaultScript() {
    return ZB_SOURCE_DIR "/tests/netrank/ftp_faults.py";
}

inline const char* kUser = "tester";
inline const char* kPassword = "pw4test9";

// The ranking server with its home in `root`.
inline std::vector<std::string> RankServerArgs(const std::string& root) {
    return {RankServerScript(), "--port", "0",          "--root",  root,
            "--user",           kUser,    "--password", kPassword, "--print-port"};
}

// A local port that nothing listens on (it was free a moment ago).
inline int ClosedPort() {
    int s = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    bind(s, reinterpret_cast<sockaddr*>(&a), sizeof a);
    socklen_t len = sizeof a;
    getsockname(s, reinterpret_cast<sockaddr*>(&a), &len);
    close(s);
    return ntohs(a.sin_port);
}

inline std::string ReadFileBytes(const std::filesystem::path& p) {
    std::ifstream in(p, std::ios::binary);
    std::stringstream ss;
    ss << in.rdbuf();
    return ss.str();
}

inline void WriteFileBytes(const std::filesystem::path& p, const std::string& bytes) {
    std::ofstream(p, std::ios::binary) << bytes;
}

// A fresh folder under the system's temporary folder, removed with the object.
class TempDir {
  public:
    explicit TempDir(const std::string& tag)
        : path_(std::filesystem::temp_directory_path() /
                (tag + "_" + std::to_string(getpid()) + "_" + std::to_string(counter_++))) {
        std::filesystem::remove_all(path_);
        std::filesystem::create_directories(path_);
    }
    ~TempDir() { std::filesystem::remove_all(path_); }
    const std::filesystem::path& Path() const { return path_; }
    std::string Str() const { return path_.string(); }

  private:
    static inline int counter_ = 0;
    std::filesystem::path path_;
};

// Debian's vsftpd serving TLS on 127.0.0.1 and a free port, for the ranking's TLS tests: a
// throwaway self-signed certificate for 127.0.0.1 (CaFile), and an anonymous account that may
// store, rename and delete in a temporary home holding public_html/rurederadi. The server runs
// as the test's user; a test run as root hands it to nobody, so that it can write nowhere else.
class TlsServer {
  public:
    enum class Mode { Explicit, Implicit };
    explicit TlsServer(Mode mode) : dir_("tls_server") {
        std::filesystem::create_directories(Folder());
        const std::string cmd =
            "openssl req -x509 -newkey rsa:2048 -nodes -days 1 -subj "
            "/CN=127.0.0.1 -addext subjectAltName=IP:127.0.0.1 -keyout '" +
            dir_.Str() + "/key.pem' -out '" + CaFile() + "' 2>/dev/null";
        if (std::system(cmd.c_str()) != 0) throw std::runtime_error("openssl failed");
        port_ = ClosedPort();
        std::ofstream(dir_.Path() / "vsftpd.conf")
            << "listen=YES\nlisten_address=127.0.0.1\nlisten_port=" << port_
            << "\nbackground=NO\nrun_as_launching_user=YES\n"
               "anonymous_enable=YES\nlocal_enable=NO\nno_anon_password=YES\nanon_root="
            << Home().string()
            << "\nwrite_enable=YES\nanon_upload_enable=YES\nanon_mkdir_write_enable=YES\n"
               "anon_other_write_enable=YES\nanon_world_readable_only=NO\nanon_umask=022\n"
               "seccomp_sandbox=NO\nisolate=NO\nisolate_network=NO\n"
               "pasv_enable=YES\npasv_address=127.0.0.1\n"
               "ssl_enable=YES\nallow_anon_ssl=YES\nforce_anon_logins_ssl=YES\n"
               "force_anon_data_ssl=YES\nimplicit_ssl="
            << (mode == Mode::Implicit ? "YES" : "NO") << "\nrsa_cert_file=" << CaFile()
            << "\nrsa_private_key_file=" << dir_.Str() << "/key.pem\n"
            << "xferlog_enable=YES\nxferlog_std_format=NO\nlog_ftp_protocol=YES\n"
               "vsftpd_log_file="
            << dir_.Str() << "/vsftpd.log\n";
        const bool root = getuid() == 0;
        if (root) {  // vsftpd wants its configuration owned by the user it runs as
            bool owned = chown(dir_.Str().c_str(), kNobody, kNobody) == 0;
            for (const auto& e : std::filesystem::recursive_directory_iterator(dir_.Path()))
                owned = owned && chown(e.path().c_str(), kNobody, kNobody) == 0;
            if (!owned) throw std::runtime_error("chown");
        }
        pid_ = fork();
        if (pid_ == 0) {
            prctl(PR_SET_PDEATHSIG, SIGKILL);
            if (root &&
                (setgroups(0, nullptr) != 0 || setgid(kNobody) != 0 || setuid(kNobody) != 0))
                _exit(126);
            // vsftpd writes its start-up complaints to its standard input.
            const int oops = open((dir_.Str() + "/oops.txt").c_str(), O_RDWR | O_CREAT, 0644);
            dup2(oops, 0);
            const std::string conf = dir_.Str() + "/vsftpd.conf";
            execl("/usr/sbin/vsftpd", "vsftpd", conf.c_str(), static_cast<char*>(nullptr));
            _exit(127);
        }
        for (int i = 0; i < 250; ++i) {  // up to 5 s for the port to open
            if (Accepting()) return;
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
        throw std::runtime_error("vsftpd did not start: " +
                                 ReadFileBytes(dir_.Path() / "oops.txt"));
    }
    ~TlsServer() {
        kill(pid_, SIGTERM);
        waitpid(pid_, nullptr, 0);
    }
    TlsServer(const TlsServer&) = delete;
    TlsServer& operator=(const TlsServer&) = delete;

    int Port() const { return port_; }
    std::string CaFile() const { return dir_.Str() + "/cert.pem"; }
    std::filesystem::path Home() const { return dir_.Path() / "home"; }
    std::filesystem::path Folder() const { return Home() / "public_html/rurederadi"; }
    // Puts a file into the ranking folder, writable by the server.
    void Put(const std::string& name, const std::string& bytes) const {
        WriteFileBytes(Folder() / name, bytes);
        if (getuid() == 0 && chown((Folder() / name).c_str(), kNobody, kNobody) != 0)
            throw std::runtime_error("chown");
    }

  private:
    static constexpr uid_t kNobody = 65534;
    bool Accepting() const {
        const int s = socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in a{};
        a.sin_family = AF_INET;
        a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        a.sin_port = htons(uint16_t(port_));
        const bool ok = connect(s, reinterpret_cast<sockaddr*>(&a), sizeof a) == 0;
        close(s);
        return ok;
    }

    TempDir dir_;
    int port_ = 0;
    pid_t pid_ = -1;
};

}  // namespace zb::test
