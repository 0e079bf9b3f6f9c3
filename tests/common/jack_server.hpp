// A JACK server of the test's own: jackd's dummy backend (no sound card needed) under a private
// name, for as long as the object lives; JACK_DEFAULT_SERVER names it for this process.
#pragma once

#include <fcntl.h>
#include <jack/jack.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <string>
#include <thread>

namespace zb::testing {

class JackServer {
  public:
    explicit JackServer(int period, int rate = 48000)
        : name_("zbtest-" + std::to_string(getpid()) + "-" + std::to_string(period)) {
        const std::string p = std::to_string(period), r = std::to_string(rate);
        pid_ = fork();
        if (pid_ == 0) {
            const int null = open("/dev/null", O_WRONLY);
            dup2(null, STDOUT_FILENO);
            dup2(null, STDERR_FILENO);
            execlp("jackd", "jackd", "-n", name_.c_str(), "-d", "dummy", "-r", r.c_str(), "-p",
                   p.c_str(), static_cast<char*>(nullptr));
            _exit(127);
        }
        setenv("JACK_DEFAULT_SERVER", name_.c_str(), 1);
        jack_set_error_function([](const char*) {});  // "cannot connect" until it is up
        // Up when a client can join it.
        for (int i = 0; i < 100 && !ready_; ++i) {
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
            jack_status_t status{};
            if (jack_client_t* c = jack_client_open("zbtest-probe", JackNoStartServer, &status)) {
                jack_client_close(c);
                ready_ = true;
            }
        }
    }
    ~JackServer() {
        if (pid_ > 0) {
            kill(pid_, SIGTERM);
            waitpid(pid_, nullptr, 0);
        }
        unsetenv("JACK_DEFAULT_SERVER");
    }
    JackServer(const JackServer&) = delete;
    JackServer& operator=(const JackServer&) = delete;

    bool Ready() const { return ready_; }
    const std::string& Name() const { return name_; }

  private:
    std::string name_;
    pid_t pid_ = -1;
    bool ready_ = false;
};

}  // namespace zb::testing
