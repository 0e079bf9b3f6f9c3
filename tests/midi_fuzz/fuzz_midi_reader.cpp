// Any bytes as a player's MIDI file: the readers must neither crash nor hang, a file the chart's
// reader reads must chart with every note within 5 ms of its event and inside the chart, and the
// music the synth is given must be in time order and hold every note that was charted from.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "core/midi_file.hpp"
#include "core/own_song_chart.hpp"
#include "platform/audio/music_sequence.hpp"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const zb::audio::MusicSequence music = zb::audio::MusicSequence::FromMidi(bytes);
    size_t struck = 0;
    for (size_t i = 0; i < music.events.size(); ++i) {
        const zb::audio::MusicEvent& e = music.events[i];
        if (i > 0 && e.song < music.events[i - 1].song) std::abort();
        if (e.status == 0xF0 && size_t(e.sysex) + e.sysexLength > music.sysex.size()) std::abort();
        struck += (e.status & 0xF0) == 0x90 && e.data2 > 0;
    }
    zb::MidiSong song;
    std::string why;
    if (!zb::ReadMidi(bytes, song, why)) {
        if (why.empty()) std::abort();
        return 0;
    }
    if (struck != song.notes.size()) std::abort();
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
