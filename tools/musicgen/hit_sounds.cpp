#include "hit_sounds.hpp"

#include <sndfile.h>

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace musicgen {

namespace {

constexpr double kPi = 3.14159265358979323846;

// Repeatable noise in [-1, 1].
class Noise {
  public:
    double Next() {
        s_ = s_ * 6364136223846793005ull + 1442695040888963407ull;
        return double(s_ >> 11) / double(1ull << 52) - 1.0;
    }

  private:
    uint64_t s_ = 12345;
};

void Finish(std::vector<float>& s, double peak, double fadeSeconds) {
    float max = 0;
    for (float v : s) max = std::max(max, std::abs(v));
    const size_t fade = size_t(fadeSeconds * kWaveRate);
    for (size_t i = 0; i < s.size(); ++i) {
        s[i] = float(s[i] * peak / max);
        if (i + fade >= s.size()) s[i] *= float(s.size() - i) / float(fade);
    }
}

}  // namespace

std::vector<float> DonSound() {
    // A big drum: a skin tone that falls from about 140 Hz to 55 Hz, a second mode above it,
    // and the soft thud of the stick.
    std::vector<float> s(size_t(0.30 * kWaveRate));
    Noise noise;
    double phase = 0, phase2 = 0, low = 0;
    for (size_t i = 0; i < s.size(); ++i) {
        const double t = double(i) / kWaveRate;
        const double f = 55 + 85 * std::exp(-t / 0.03);
        phase += 2 * kPi * f / kWaveRate;
        phase2 += 2 * kPi * f * 1.58 / kWaveRate;
        const double attack = std::min(1.0, t / 0.002);
        const double body =
            std::sin(phase) * std::exp(-t / 0.12) + 0.35 * std::sin(phase2) * std::exp(-t / 0.05);
        low += 0.08 * (noise.Next() - low);  // darkened noise for the stick
        const double thud = 2.5 * low * std::exp(-t / 0.010);
        s[i] = float(attack * body + thud);
    }
    Finish(s, 0.9, 0.03);
    return s;
}

std::vector<float> KanSound() {
    // A rim click: a few stiff, quickly damped partials and a bright tick of noise.
    std::vector<float> s(size_t(0.12 * kWaveRate));
    Noise noise;
    const double partials[][3] = {
        {1280, 1.0, 0.022}, {2210, 0.7, 0.016}, {3490, 0.5, 0.011}, {5230, 0.3, 0.007}};
    double prev = 0;
    for (size_t i = 0; i < s.size(); ++i) {
        const double t = double(i) / kWaveRate;
        double v = 0;
        for (const auto& p : partials)
            v += p[1] * std::sin(2 * kPi * p[0] * t) * std::exp(-t / p[2]);
        const double n = noise.Next();
        v += 1.2 * (n - prev) * std::exp(-t / 0.003);  // high-passed tick
        prev = n;
        s[i] = float(v * std::min(1.0, t / 0.0005));
    }
    Finish(s, 0.8, 0.02);
    return s;
}

bool WriteWave(const std::string& path, const std::vector<float>& samples) {
    SF_INFO info{};
    info.samplerate = kWaveRate;
    info.channels = 1;
    info.format = SF_FORMAT_WAV | SF_FORMAT_PCM_16;
    SNDFILE* f = sf_open(path.c_str(), SFM_WRITE, &info);
    if (!f) return false;
    const sf_count_t n = sf_write_float(f, samples.data(), sf_count_t(samples.size()));
    return sf_close(f) == 0 && n == sf_count_t(samples.size());
}

}  // namespace musicgen
