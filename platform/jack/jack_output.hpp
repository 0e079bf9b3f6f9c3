// The game's sound as a JACK client of its own (JACK's server, or PipeWire's JACK): two output
// ports, connected to the server's playback ports, fed by the renderer in JACK's process
// callback. Each buffer's first frame is due at the cycle's start, so hit sounds are placed by
// the server's frames; the ports' playback latency is the music's output latency; the server's
// xruns are the renderer's underruns.
#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/audio/audio_renderer.hpp"
#include "platform/ports.hpp"

typedef struct _jack_client jack_client_t;
typedef struct _jack_port jack_port_t;

namespace zb::jack {

class JackOutput {
  public:
    // Joins a running server as `client` (never starts one); null, with the reason in `why`,
    // when none runs or the client cannot be made.
    static std::unique_ptr<JackOutput> Join(Clock& clock, const std::string& client,
                                            std::string& why);
    ~JackOutput();
    JackOutput(const JackOutput&) = delete;
    JackOutput& operator=(const JackOutput&) = delete;

    int Rate() const { return rate_; }
    int Period() const;  // the server's, which rules
    std::string Server() const { return server_; }
    // Plays `renderer` from now on (it must outlive this object) and connects the ports; false
    // when the server refused.
    bool Start(audio::AudioRenderer& renderer);
    // From a cycle's start until the last frame it rendered is heard, in seconds: its own
    // length and the playback ports' latency as the server reports it.
    double OutputLatency() const;
    // The server's xruns since Start (also counted among the renderer's underruns).
    uint64_t Xruns() const { return xruns_.load(); }

  private:
    JackOutput(Clock& clock, jack_client_t* client);
    static int Process(unsigned frames, void* self);
    static int Xrun(void* self);

    Clock& clock_;
    jack_client_t* client_;
    jack_port_t* left_ = nullptr;
    jack_port_t* right_ = nullptr;
    audio::AudioRenderer* renderer_ = nullptr;
    std::vector<float> mixed_;  // interleaved, as the renderer writes
    int rate_ = 48000;
    std::string server_;
    std::atomic<uint64_t> xruns_{0};
};

}  // namespace zb::jack
