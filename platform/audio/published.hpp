// A value that one thread writes and others read without either ever waiting for the other (a
// sequence lock): the audio thread publishes the song's clock through it, and the game thread
// reads it while a buffer renders. The value is kept as atomic words, so a read torn by a write
// is seen as such and taken again.
#pragma once

#include <array>
#include <atomic>
#include <cstdint>
#include <cstring>
#include <type_traits>

namespace zb::audio {

template <typename T>
class Published {
    static_assert(std::is_trivially_copyable_v<T>);
    static constexpr size_t kWords = (sizeof(T) + 7) / 8;

  public:
    explicit Published(const T& value = T{}) { Write(value); }

    // The writer's side: never waits.
    void Write(const T& value) {
        std::array<uint64_t, kWords> words{};
        std::memcpy(words.data(), &value, sizeof(T));
        const uint64_t seq = seq_.load(std::memory_order_relaxed);
        seq_.store(seq + 1, std::memory_order_relaxed);
        std::atomic_thread_fence(std::memory_order_release);
        for (size_t i = 0; i < kWords; ++i) words_[i].store(words[i], std::memory_order_relaxed);
        seq_.store(seq + 2, std::memory_order_release);
    }

    // The readers' side: tries again while a write is under way (a few words' time).
    T Read() const {
        std::array<uint64_t, kWords> words{};
        for (;;) {
            const uint64_t before = seq_.load(std::memory_order_acquire);
            if (before & 1) continue;
            for (size_t i = 0; i < kWords; ++i)
                words[i] = words_[i].load(std::memory_order_relaxed);
            std::atomic_thread_fence(std::memory_order_acquire);
            if (seq_.load(std::memory_order_relaxed) == before) break;
        }
        T value;
        std::memcpy(static_cast<void*>(&value), words.data(), sizeof(T));
        return value;
    }

  private:
    std::atomic<uint64_t> seq_{0};
    std::array<std::atomic<uint64_t>, kWords> words_{};
};

}  // namespace zb::audio
