// The hand-over from a thread that must never wait (JACK's real-time MIDI thread) to the window:
// Signal writes an eventfd, a system call that takes no lock in our process nor in any library;
// a relay thread of its own waits on it and runs the wake-up, which may lock (the window's wake
// pushes an SDL event, and SDL's event queue has a lock).
#pragma once

#include <atomic>
#include <functional>
#include <thread>

namespace zb::midi {

class WakeRelay {
  public:
    // `wake` runs on the relay thread, once for one or more signals since its last run.
    explicit WakeRelay(std::function<void()> wake);
    ~WakeRelay();
    WakeRelay(const WakeRelay&) = delete;
    WakeRelay& operator=(const WakeRelay&) = delete;

    // From any thread, without a lock or a wait.
    void Signal() noexcept;

  private:
    void Run();

    std::function<void()> wake_;
    int fd_ = -1;
    std::atomic<bool> stop_{false};
    std::thread relay_;
};

}  // namespace zb::midi
