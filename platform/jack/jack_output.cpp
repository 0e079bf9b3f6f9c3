#include "platform/jack/jack_output.hpp"

#include <jack/jack.h>

#include <algorithm>
#include <cstdlib>

#include "platform/jack/jack_quiet.hpp"

namespace zb::jack {

namespace {
// The longest period a server may run (JACK allows 8192): the mix buffer is made for it once.
constexpr unsigned kMaxFrames = 8192;
}  // namespace

std::unique_ptr<JackOutput> JackOutput::Join(Clock& clock, const std::string& client,
                                             std::string& why) {
    KeepJackQuiet();
    jack_status_t status{};
    jack_client_t* c = jack_client_open(client.c_str(), JackNoStartServer, &status);
    if (!c) {
        why = (status & JackServerFailed) ? "no JACK server runs" : "the JACK server refused us";
        return nullptr;
    }
    return std::unique_ptr<JackOutput>(new JackOutput(clock, c));
}

JackOutput::JackOutput(Clock& clock, jack_client_t* client)
    : clock_(clock), client_(client), mixed_(2 * kMaxFrames) {
    rate_ = int(jack_get_sample_rate(client_));
    const char* name = std::getenv("JACK_DEFAULT_SERVER");
    server_ = name && *name ? name : "default";
    left_ = jack_port_register(client_, "out_left", JACK_DEFAULT_AUDIO_TYPE, JackPortIsOutput, 0);
    right_ = jack_port_register(client_, "out_right", JACK_DEFAULT_AUDIO_TYPE, JackPortIsOutput, 0);
}

JackOutput::~JackOutput() {
    jack_deactivate(client_);
    jack_client_close(client_);
}

int JackOutput::Period() const {
    return int(jack_get_buffer_size(client_));
}

bool JackOutput::Start(audio::AudioRenderer& renderer) {
    if (!left_ || !right_) return false;
    renderer_ = &renderer;
    jack_set_process_callback(client_, &JackOutput::Process, this);
    jack_set_xrun_callback(client_, &JackOutput::Xrun, this);
    if (jack_activate(client_) != 0) return false;
    // The first two physical playback ports, where there are any (a server with no card has
    // none: the ports are there for a recorder or a mixer to take).
    if (const char** playback = jack_get_ports(client_, nullptr, JACK_DEFAULT_AUDIO_TYPE,
                                               JackPortIsPhysical | JackPortIsInput)) {
        if (playback[0]) jack_connect(client_, jack_port_name(left_), playback[0]);
        if (playback[0] && playback[1]) jack_connect(client_, jack_port_name(right_), playback[1]);
        jack_free(playback);
    }
    jack_recompute_total_latencies(client_);  // so that OutputLatency counts the connections
    return true;
}

double JackOutput::OutputLatency() const {
    jack_latency_range_t range{};
    jack_port_get_latency_range(left_, JackPlaybackLatency, &range);
    return double(Period() + int(range.max)) / rate_;
}

int JackOutput::Process(unsigned frames, void* arg) {
    auto* self = static_cast<JackOutput*>(arg);
    auto* left = static_cast<float*>(jack_port_get_buffer(self->left_, frames));
    auto* right = static_cast<float*>(jack_port_get_buffer(self->right_, frames));
    const unsigned n = std::min(frames, kMaxFrames);
    // The cycle's first frame is due at the time the server's clock gives that frame (its
    // smoothed reckoning of the cycle's start), however late this thread woke; carried over to
    // the game's clock by reading both now.
    const double now = self->clock_.Now();
    const jack_time_t serverNow = jack_get_time();
    const jack_time_t first =
        jack_frames_to_time(self->client_, jack_last_frame_time(self->client_));
    const double due = now - (double(serverNow) - double(first)) * 1e-6;
    float* mixed = self->mixed_.data();
    self->renderer_->Render(mixed, int(n), due);
    for (unsigned i = 0; i < n; ++i) {
        left[i] = mixed[2 * i];
        right[i] = mixed[2 * i + 1];
    }
    std::fill(left + n, left + frames, 0.0f);
    std::fill(right + n, right + frames, 0.0f);
    return 0;
}

int JackOutput::Xrun(void* arg) {
    auto* self = static_cast<JackOutput*>(arg);
    self->xruns_.fetch_add(1);
    self->renderer_->AddUnderrun();
    return 0;
}

}  // namespace zb::jack
