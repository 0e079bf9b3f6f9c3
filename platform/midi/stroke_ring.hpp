// A ring of fixed size between one thread that writes and one that reads, without locks: the
// MIDI thread (JACK's runs at real-time priority and must never wait) hands its strokes to the
// game thread through it.
#pragma once

#include <array>
#include <atomic>
#include <cstddef>

namespace zb::midi {

template <typename T, size_t N>
class SpscRing {
  public:
    // The writer's side; false when the ring is full (the item is dropped).
    bool Push(const T& item) {
        const size_t tail = tail_.load(std::memory_order_relaxed);
        const size_t next = (tail + 1) % N;
        if (next == head_.load(std::memory_order_acquire)) return false;
        items_[tail] = item;
        tail_.store(next, std::memory_order_release);
        return true;
    }
    // The reader's side; false when the ring is empty.
    bool Pop(T& item) {
        const size_t head = head_.load(std::memory_order_relaxed);
        if (head == tail_.load(std::memory_order_acquire)) return false;
        item = items_[head];
        head_.store((head + 1) % N, std::memory_order_release);
        return true;
    }

  private:
    std::array<T, N> items_{};
    alignas(64) std::atomic<size_t> head_{0};
    alignas(64) std::atomic<size_t> tail_{0};
};

}  // namespace zb::midi
