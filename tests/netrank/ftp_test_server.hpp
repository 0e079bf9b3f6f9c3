// Servers for the FTP tests: the real ranking server (tools/rankserver) or one of the faulty
// servers of ftp_faults.py, started on 127.0.0.1 with a free port and stopped with the test.
#pragma once

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

namespace zb::test {

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

}  // namespace zb::test
