// A MIDI file's music as the synth is given it: every channel message and system exclusive of
// every track, in the order they are due, each at its time on the song's own timeline (the
// file's tempo map). Read on the game thread and handed to the audio thread whole, so that the
// audio thread never parses a file: it plays the events at the synth's block starts, where the
// song's position says.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/audio/tempo_map.hpp"

namespace zb::audio {

struct MusicEvent {
    double song = 0;     // seconds of the song's own timeline
    uint8_t status = 0;  // 0x80..0xEF, or 0xF0 for a system exclusive
    uint8_t data1 = 0, data2 = 0;
    uint32_t sysex = 0, sysexLength = 0;  // 0xF0: its bytes in MusicSequence::sysex
};

struct MusicSequence {
    // A file that is not MIDI gives an empty sequence with an invalid tempo map. A file with
    // more events than kMaxEvents keeps its first ones.
    static MusicSequence FromMidi(std::string_view bytes);
    static constexpr size_t kMaxEvents = 4u << 20;

    // The first event due at or after `song` seconds.
    size_t FirstFrom(double song) const;
    static bool IsNote(const MusicEvent& e) { return (e.status & 0xE0) == 0x80; }

    TempoMap tempoMap;
    std::vector<MusicEvent> events;
    std::string sysex;  // every system exclusive's data, without its F0 and closing F7
};

}  // namespace zb::audio
