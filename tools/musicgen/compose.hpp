// Writes a piece from its plan and style: melody, counter-melody, chords, bass, pad, drum kit
// and, for songs, the percussion line that doubles the hardest chart.
#pragma once

#include <string>

#include "plan.hpp"
#include "style.hpp"

namespace musicgen {

// Track names; the chart percussion has a track of its own.
inline constexpr const char* kChartDrumsTrack = "Chart drums";

// Percussion keys of the chart line (General MIDI, channel 10).
inline constexpr int kDonKey = 36;       // bass drum: don
inline constexpr int kKanKey = 37;       // side stick (rim click): kan
inline constexpr int kBigDonLayer = 41;  // low floor tom under a big don
inline constexpr int kBigKanLayer = 75;  // claves over a big kan

// The Standard MIDI File of the piece.
std::string ComposeMidi(const Plan& plan, const Style& style);

}  // namespace musicgen
