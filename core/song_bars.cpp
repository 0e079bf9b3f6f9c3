#include "core/song_bars.hpp"

#include <algorithm>

#include "core/file_replace.hpp"

namespace zb {

double SongBars::Start(int bar) const {
    if (starts.empty()) return 0;
    if (bar <= 1) return starts.front();
    return bar > Count() ? end : starts[size_t(bar - 1)];
}

int SongBars::BarAt(double seconds) const {
    const auto after = std::upper_bound(starts.begin(), starts.end(), seconds);
    return std::max(1, int(after - starts.begin()));
}

SongBars BarsOf(const MidiSong& song) {
    SongBars bars;
    std::vector<MidiMeter> meters = song.meters;
    if (meters.empty() || meters.front().beat > 0) meters.insert(meters.begin(), MidiMeter{});
    double beat = 0;
    for (size_t m = 0; m < meters.size(); ++m) {
        const MidiMeter& meter = meters[m];
        const double length = meter.numerator * 4.0 / std::max(1, meter.denominator);
        const double until = m + 1 < meters.size() ? meters[m + 1].beat : song.endBeat;
        // A change of metre starts a bar, even where the bar before was not full.
        beat = std::max(beat, meter.beat);
        const double unit = 4.0 / std::max(1, meter.denominator);
        while (beat < until - 1e-9 && length > 0) {
            bars.starts.push_back(MidiBeatToMs(song, beat) / 1000.0);
            // A bar that a change of metre cuts short clicks only its own beats.
            const double cut = m + 1 < meters.size() ? until : 1e18;
            for (int b = 0; b < meter.numerator && beat + b * unit < cut - 1e-9; ++b)
                bars.beats.push_back({MidiBeatToMs(song, beat + b * unit) / 1000.0, b == 0});
            beat += length;
        }
    }
    if (bars.starts.empty()) bars.starts.push_back(0);
    bars.end = MidiBeatToMs(song, beat) / 1000.0;
    return bars;
}

bool ReadSongBars(const std::string& path, SongBars& out, std::string& why) {
    std::string bytes, reason;
    MidiSong song;
    if (!ReadWholeFile(path, bytes, kMidiMaxBytes, &reason) || !ReadMidi(bytes, song, reason)) {
        why = path + ": " + reason;
        return false;
    }
    out = BarsOf(song);
    return true;
}

Section SectionOf(const SongBars& bars, int fromBar, int toBar) {
    Section s;
    s.fromBar = std::clamp(fromBar, 1, bars.Count());
    s.toBar = std::clamp(toBar, s.fromBar, bars.Count());
    s.leadIn = bars.Start(s.fromBar - 1);
    s.start = bars.Start(s.fromBar);
    s.end = bars.Start(s.toBar + 1);
    return s;
}

Section WholeSong(const SongBars& bars) {
    Section s{1, bars.Count(), 0, 0, bars.end};
    return s;
}

}  // namespace zb
