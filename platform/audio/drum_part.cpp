#include "platform/audio/drum_part.hpp"

namespace zb::audio {

namespace {
// 小さく: about 16 dB down (the volume's gain goes with its square), under the rest of the
// band but still there to follow.
constexpr int kQuietPercent = 40;
}  // namespace

int DrumVolume(DrumPart part, int written) {
    return part == DrumPart::Quiet ? written * kQuietPercent / 100 : written;
}

bool PassToSynth(DrumPart part, SynthEvent& e) {
    if (e.channel != kDrumChannel) return true;
    if (e.type == kNoteOn && e.value > 0) return part != DrumPart::Off;
    if (e.type == kControlChange && e.number == kVolumeControl) e.value = DrumVolume(part, e.value);
    return true;
}

}  // namespace zb::audio
