// A MIDI file like the songs players bring: a drum part (bass drum on the beats, snare on two and
// four, swung hi-hats, triplet tom fills, a crash with the bass drum on each fourth bar), a bass,
// chords and a melody with note-offs, over tempo changes. The tests and the scan benchmark use
// it.
#pragma once

#include <algorithm>
#include <cstdint>
#include <string>

#include "tests/common/midi_writer.hpp"

namespace zb::testing {

struct TypicalSong {
    int bars = 64;
    uint32_t tempos[3] = {500000, 437500, 645161};  // 120, 137 and 93 BPM, in turn every 8 bars
    bool drums = true;
    int firstDrumBar = 0;  // the drums come in at this bar (counted from 0)
    int extraParts = 3;    // bass, chords, melody: more parts make a bigger file
    std::string name = "Typical";
};

inline constexpr uint16_t kTypicalPpq = 480;

inline std::string TypicalSongBytes(const TypicalSong& s) {
    constexpr uint32_t q = kTypicalPpq, bar = 4 * q;
    MidiTrack conductor;
    conductor.Name(0, s.name).Meter(0, 4, 2);
    for (int b = 0; b < s.bars; b += 8) conductor.Tempo(uint32_t(b) * bar, s.tempos[(b / 8) % 3]);
    const uint32_t end = uint32_t(s.bars) * bar;
    std::vector<std::string> chunks{conductor.Chunk(end)};

    if (s.drums) {
        MidiTrack d(true);
        for (int b = s.firstDrumBar; b < s.bars; ++b) {
            const uint32_t t0 = uint32_t(b) * bar;
            for (uint32_t beat = 0; beat < 4; ++beat) {
                const uint32_t t = t0 + beat * q;
                if (beat == 0 && b % 4 == 0) d.Note(t, 9, 49, 110);  // crash
                if (beat % 2 == 0) d.Note(t, 9, 36, 100);
                if (beat % 2 == 1) d.Note(t, 9, 38, 90);
                d.Note(t, 9, 42, 70);
                if (b % 4 == 3 && beat == 3) {  // a triplet fill on the toms
                    d.Note(t + q / 3, 9, 45, 90);
                    d.Note(t + 2 * q / 3, 9, 43, 90);
                } else {
                    d.Note(t + 2 * q / 3, 9, 42, 60);  // the swung eighth
                }
            }
        }
        chunks.push_back(d.Chunk(end));
    }
    for (int p = 0; p < s.extraParts; ++p) {
        MidiTrack m(true);
        const uint8_t ch = uint8_t(p < 9 ? p : std::min(p + 1, 15));  // channel 10 is the drums'
        const int role = p % 3;                                       // bass, chords, melody
        const uint8_t base = uint8_t(role == 0 ? 36 : role == 1 ? 55 : 67);
        const uint32_t step = role == 0 ? q : role == 1 ? q / 2 : q / 4;
        m.Event(0, {uint8_t(0xC0 | ch), uint8_t(p * 8)});
        for (uint32_t t = 0; t + step <= end; t += step) {
            const uint8_t key = uint8_t(base + (t / step * 5) % 12);
            const int voices = role == 1 ? 3 : 1;
            for (int v = 0; v < voices; ++v) m.Note(t, ch, uint8_t(key + 4 * v), 80);
            for (int v = 0; v < voices; ++v)
                m.Event(t + step - 10, {uint8_t(0x80 | ch), uint8_t(key + 4 * v), 64});
        }
        chunks.push_back(m.Chunk(end));
    }
    return MidiFileBytes(1, kTypicalPpq, chunks);
}

}  // namespace zb::testing
