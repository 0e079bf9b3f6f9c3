#include "check_beat.hpp"

#include <cmath>

#include "core/delay_check_beat.hpp"
#include "smf_writer.hpp"

namespace musicgen {

std::string CheckBeatMidi() {
    constexpr int ppq = 480;
    constexpr int kDrums = 9;  // the General MIDI percussion channel
    const uint32_t tempo = uint32_t(std::lround(zb::kCheckBeatSeconds * 1e6));
    // Ticks from the file's start to the first beat, at the beat's tempo.
    const int64_t first = std::llround(zb::kCheckFirstBeat / zb::kCheckBeatSeconds * ppq);
    SmfTrack conductor("Tempo");
    conductor.Tempo(0, tempo);
    conductor.TimeSignature(0, 4, 2);
    SmfTrack beat("Beat");
    for (int k = 0; k < zb::kCheckCountIn + zb::kCheckBeats; ++k) {
        const int64_t at = first + int64_t(k) * ppq;
        if (k < zb::kCheckCountIn) {
            beat.Note(at, ppq / 4, kDrums, 37, 100);  // side stick
            continue;
        }
        const bool bar = (k - zb::kCheckCountIn) % 4 == 0;
        beat.Note(at, ppq / 4, kDrums, 36, bar ? 120 : 100);  // bass drum
        beat.Note(at, ppq / 8, kDrums, 42, bar ? 90 : 70);    // closed hi-hat
    }
    const int64_t last = first + int64_t(zb::kCheckCountIn + zb::kCheckBeats - 1) * ppq;
    const int64_t end = last + std::llround(zb::kCheckTail / zb::kCheckBeatSeconds * ppq);
    return SmfBytes(ppq, {conductor, beat}, end);
}

}  // namespace musicgen
