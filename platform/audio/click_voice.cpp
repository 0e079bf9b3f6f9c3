#include "platform/audio/click_voice.hpp"

#include <algorithm>
#include <cmath>

namespace zb::audio {

namespace {

// A step of the song longer than any tempo takes in a frame is a seek: a beat within this much
// before where it landed still clicks.
constexpr double kJump = 0.002, kLanding = 0.0005;

std::vector<float> Click(int rate, double hz, double level) {
    const int n = rate * 25 / 1000;
    std::vector<float> s(static_cast<size_t>(n));
    for (int i = 0; i < n; ++i) {
        const double t = double(i) / rate;
        s[size_t(i)] = float(level * std::exp(-t * 180.0) * std::sin(2 * M_PI * hz * t));
    }
    return s;
}

}  // namespace

ClickVoice::ClickVoice(int rate)
    : accent_(Click(rate, 1760, 0.5)), plain_(Click(rate, 1320, 0.35)) {}

void ClickVoice::SetBeats(std::vector<ClickBeat>& beats) {
    beats_.swap(beats);
    std::sort(beats_.begin(), beats_.end(),
              [](const ClickBeat& a, const ClickBeat& b) { return a.song < b.song; });
}

void ClickVoice::Mix(float* out, int frames, const double* song) {
    for (int i = 0; i < frames; ++i) {
        const double now = song[i];
        double from = known_ ? last_ : now - kLanding;
        if (now < from || now - from > kJump) from = now - kLanding;
        if (now > from && !beats_.empty()) {
            // The first beat past `from`: it clicks when this frame reaches it.
            const auto next =
                std::upper_bound(beats_.begin(), beats_.end(), from,
                                 [](double t, const ClickBeat& b) { return t < b.song; });
            if (next != beats_.end() && next->song <= now) {
                sounding_ = next->accent ? &accent_ : &plain_;
                pos_ = 0;
            }
        }
        last_ = now;
        known_ = true;
        if (!sounding_) continue;
        const float v = (*sounding_)[pos_];
        out[2 * i] += v;
        out[2 * i + 1] += v;
        if (++pos_ >= sounding_->size()) sounding_ = nullptr;
    }
}

}  // namespace zb::audio
