// The song's drum part as the player chose it (ドラム: あり, 小さく, なし): what of the song's MIDI
// reaches the synth. The drums are General MIDI's channel 10; 小さく lowers its volume (CC 7),
// なし drops its note-ons. Every other channel, and every note-off, passes as written.
#pragma once

#include "platform/ports.hpp"

namespace zb::audio {

inline constexpr int kDrumChannel = 9;  // channel 10, counted from 0
inline constexpr int kNoteOn = 0x90, kControlChange = 0xB0, kVolumeControl = 7;

// One MIDI event on its way to the synth: its type (the status byte's high nibble), channel,
// key or controller, and velocity or value.
struct SynthEvent {
    int type = 0, channel = 0, number = 0, value = 0;
};

// The drum part's volume under `part` where the song writes `written`.
int DrumVolume(DrumPart part, int written);
// Whether the event reaches the synth; a drum volume is lowered on its way.
bool PassToSynth(DrumPart part, SynthEvent& e);

}  // namespace zb::audio
