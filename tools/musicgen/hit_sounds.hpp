// The two hit sounds, synthesized: a deep drum for don and a dry rim click for kan.
#pragma once

#include <string>
#include <vector>

namespace musicgen {

inline constexpr int kWaveRate = 48000;

std::vector<float> DonSound();
std::vector<float> KanSound();

// Writes mono 16-bit PCM at kWaveRate; false on failure.
bool WriteWave(const std::string& path, const std::vector<float>& samples);

}  // namespace musicgen
