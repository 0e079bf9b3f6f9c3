// The hit sounds' mixer: voices of their own (the player's strikes, and later a metronome or a
// second player), each playing one sound at a time. A sound starts at the output frame it is
// placed at, inside a buffer wherever the buffer begins, and cuts off the sound its voice was
// playing at that same frame (a short fade, not a click); other voices play on. Runs on the
// audio thread alone: the renderer hands it the requests it took from its queue.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace zb::audio {

// A decoded hit sound: interleaved stereo float frames at the renderer's rate.
struct WaveData {
    std::vector<float> samples;
    size_t Frames() const { return samples.size() / 2; }
};

class HitMixer {
  public:
    static constexpr int kVoices = 4;
    // A cut-off sound fades over this many frames instead of clicking.
    static constexpr int kCutFadeFrames = 96;

    // Starts `sound` at output frame `frame` (counted from the mixer's first buffer) in `voice`.
    // A frame already rendered starts it at the next buffer's first frame. The sound must live
    // as long as the mixer (the renderer keeps every decoded sound). False when too many
    // requests wait for later buffers (the request is dropped).
    bool Start(const WaveData* sound, int64_t frame, int voice);
    // Adds every voice to `frames` interleaved stereo frames, the first being output frame
    // `first`. Returns the frame within the buffer where its latest sound started, or -1.
    int Mix(float* out, int frames, int64_t first);
    // Nothing plays and nothing waits to.
    bool Idle() const;

  private:
    struct Playing {
        const WaveData* data = nullptr;
        size_t pos = 0;
        int fadeLeft = -1;  // >= 0: cut off, silent after that many more frames
    };
    struct Request {
        const WaveData* data = nullptr;
        int64_t frame = 0;
    };
    struct Voice {
        Playing sound, fading;
        std::array<Request, 16> waiting{};  // by frame
        size_t waitingCount = 0;
    };
    static void Add(Playing& p, float* out, int frames);
    std::array<Voice, kVoices> voices_{};
};

}  // namespace zb::audio
