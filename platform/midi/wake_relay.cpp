#include "platform/midi/wake_relay.hpp"

#include <sys/eventfd.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstring>
#include <stdexcept>
#include <string>

#include "platform/stderr_line.hpp"

namespace zb::midi {

WakeRelay::WakeRelay(std::function<void()> wake) : wake_(std::move(wake)) {
    fd_ = eventfd(0, EFD_CLOEXEC);
    if (fd_ < 0)
        throw std::runtime_error(std::string("cannot make the kits' wake-up: ") +
                                 std::strerror(errno));
    relay_ = std::thread([this] { Run(); });
}

WakeRelay::~WakeRelay() {
    stop_ = true;
    Signal();
    relay_.join();
    close(fd_);
}

void WakeRelay::Signal() noexcept {
    const uint64_t one = 1;
    // Only a counter at its limit could refuse it, and then a wake is pending anyway.
    [[maybe_unused]] const ssize_t n = write(fd_, &one, sizeof one);
}

void WakeRelay::Run() {
    for (;;) {
        uint64_t signals = 0;
        const ssize_t n = read(fd_, &signals, sizeof signals);
        if (stop_) return;
        if (n != ssize_t(sizeof signals)) continue;  // interrupted
        try {
            if (wake_) wake_();
        } catch (const std::exception& e) {
            SayOnStderr(std::string("a kit's stroke could not wake the window: ") + e.what());
        }
    }
}

}  // namespace zb::midi
