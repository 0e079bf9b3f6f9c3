// Any bytes as a player's MIDI file: the reader must neither crash nor hang, and a file it reads
// must chart with every note within 5 ms of its event and inside the chart.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "core/midi_file.hpp"
#include "core/own_song_chart.hpp"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    zb::MidiSong song;
    std::string why;
    if (!zb::ReadMidi(bytes, song, why)) {
        if (why.empty()) std::abort();
        return 0;
    }
    const zb::OwnSongCharts charts = zb::BuildOwnCharts(song);
    if (!charts.playable) return 0;
    for (const zb::OwnChart& c : charts.charts) {
        if (c.maxErrorMs > 5.0 || c.due.size() != size_t(c.notes)) std::abort();
        if (c.text.size() != size_t(charts.partEndTime)) std::abort();
        for (const zb::DueNote& n : c.due)
            if (n.kind < 1 || n.kind > 4 || n.ms < 10) std::abort();
    }
    return 0;
}
