// A Standard MIDI File reader for the players' own songs: the notes with their times, the tempo
// and time-signature changes and the song's name. Written for files from anywhere: every length
// is checked against the bytes there are, and the work done is bounded by the file's size.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace zb {

// A struck note (a note-on with a velocity above 0).
struct MidiNote {
    double ms = 0;    // milliseconds from the start of the music
    double beat = 0;  // quarter notes from the start
    uint8_t channel = 0, key = 0, velocity = 0;
    uint16_t track = 0;
};

// A time signature from `beat` on (quarter notes from the start).
struct MidiMeter {
    double beat = 0;
    int numerator = 4, denominator = 4;
};

// The tempo from a point on; the map's first entry is at 0 ms.
struct MidiTempo {
    double ms = 0, beat = 0;
    uint32_t usPerQuarter = 500000;  // microseconds per quarter note
};

struct MidiSong {
    int format = 0;
    std::vector<MidiNote> notes;    // in time order (file order among equal times)
    std::vector<MidiTempo> tempos;  // the tempo map
    std::vector<MidiMeter> meters;  // first entry at beat 0
    std::string name;               // the first track's name, when it is readable text
    double endMs = 0;               // the last event of any kind
    double endBeat = 0;
};

// Milliseconds from the start at a point given in quarter notes.
double MidiBeatToMs(const MidiSong& song, double beat);

// Files larger than this are not read at all: no song needs more.
inline constexpr size_t kMidiMaxBytes = 8u << 20;
// A file with more events than this is refused; reading it would only cost time.
inline constexpr size_t kMidiMaxEvents = 4u << 20;

// Reads a file's bytes. On failure returns false with a short reason in Japanese in `why`
// (shown on the song select screen and by the chart tool).
bool ReadMidi(std::string_view bytes, MidiSong& out, std::string& why);

}  // namespace zb
