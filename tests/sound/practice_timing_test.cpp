// Practice's timing, measured on rendered sound (no sound card: the renderer is called as a
// device would call it). A song's drum notes become short hats on its own tempo map; played at
// 50, 75 and 125 % they must land where the position says the chart's notes are within 2 ms
// (of the song) more than at 100 %; a section looped 20 times must not drift by 1 ms; and the
// lead-in's first sound must follow the section's end within one frame.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <vector>

#include "core/chart_data.hpp"
#include "core/chart_digits.hpp"
#include "core/chart_timing.hpp"
#include "core/midi_file.hpp"
#include "core/song_bars.hpp"
#include "core/songs.hpp"
#include "platform/audio/audio_renderer.hpp"
#include "platform/headless/headless.hpp"
#include "tests/common/midi_writer.hpp"

namespace zb::audio {
namespace {

constexpr int kRate = 48000, kBuffer = 256;
constexpr int kSong = 1, kDifficulty = 2;

// The song's music with each drum note (channel 10) a closed hat on the same tempo map.
std::string DrumsAsHats(int song) {
    const std::string path = std::string(ZB_SOURCE_DIR) + "/assets/" + SongMusicFile(song);
    std::ifstream in(path, std::ios::binary);
    MidiSong midi;
    std::string why;
    EXPECT_TRUE(ReadMidi(std::string(std::istreambuf_iterator<char>(in), {}), midi, why)) << why;
    std::multimap<uint32_t, std::vector<uint8_t>> events;  // by tick, 960 a quarter
    auto tick = [](double beat) { return uint32_t(std::llround(beat * 960)); };
    for (const MidiTempo& t : midi.tempos)
        events.insert({tick(t.beat),
                       {0xFF, 0x51, 3, uint8_t(t.usPerQuarter >> 16), uint8_t(t.usPerQuarter >> 8),
                        uint8_t(t.usPerQuarter)}});
    for (const MidiNote& n : midi.notes)
        if (n.channel == 9) events.insert({tick(n.beat), {0x99, 42, 120}});
    testing::MidiTrack track;
    for (const auto& [t, bytes] : events) {
        if (bytes[0] == 0xFF) {
            track.Tempo(t, (uint32_t(bytes[3]) << 16) | (uint32_t(bytes[4]) << 8) | bytes[5]);
        } else {
            track.Event(t, {0x99, 42, 120});
        }
    }
    const std::string out = std::string(ZB_BINARY_DIR) + "/test_sound_files/hats_of_song.mid";
    std::filesystem::create_directories(std::filesystem::path(out).parent_path());
    std::ofstream(out, std::ios::binary)
        << testing::MidiFileBytes(0, 960, {track.Chunk(tick(midi.endBeat) + 960)});
    return out;
}

// The chart's notes, seconds of the song.
std::vector<double> ChartNotes(ChartId id) {
    std::vector<double> notes;
    for (int part = 0; part < PartCount(id.song); ++part) {
        int w = 0;
        for (const std::string& m : ChartMeasures(id, part))
            for (char ch : m)
                if (++w, IsNoteDigit(ch))
                    notes.push_back(PositionMusicTime(id.song, id.difficulty, part, w) / 100.0);
    }
    std::sort(notes.begin(), notes.end());
    return notes;
}

// A device's callbacks: each buffer when the one before has played. Every sound that starts
// after 20 ms of quiet is noted with the moment it is heard and the song position the renderer
// gives for that moment.
struct Listener {
    AudioRenderer& r;
    headless::VirtualClock& clock;
    std::vector<double> at, position;
    bool sounding = false;
    int quiet = 0;

    void Buffer() {
        std::vector<float> s(2 * kBuffer);
        clock.Advance(double(kBuffer) / kRate);
        r.Render(s.data(), kBuffer);
        const double now = clock.Now();
        for (int i = 0; i < kBuffer; ++i) {
            const bool loud = std::abs(s[size_t(2 * i)]) > 0.02f;
            quiet = loud ? 0 : quiet + 1;
            if (loud && !sounding) {
                // The frame is heard the output latency after the buffer's end is.
                const double heard = now - double(kBuffer - 1 - i) / kRate + r.OutputLatency();
                at.push_back(heard);
                position.push_back(r.PositionAt(heard));
            }
            if (loud) sounding = true;
            if (quiet > kRate / 50) sounding = false;
        }
    }
};

// The largest distance, in ms of the song, from a sound to the chart note nearest it (sounds
// further than 40 ms from every chart note are drum notes the chart leaves out).
double WorstMs(const std::vector<double>& sounds, const std::vector<double>& chart) {
    double worst = 0;
    for (double p : sounds) {
        auto it = std::lower_bound(chart.begin(), chart.end(), p);
        double d = 1e9;
        if (it != chart.end()) d = *it - p;
        if (it != chart.begin()) d = std::min(d, p - *std::prev(it));
        if (d < 0.040) worst = std::max(worst, d * 1000);
    }
    return worst;
}

class PracticeTiming : public ::testing::Test {
  protected:
    void SetUp() override {
        soundfont = FindSoundfont();
        ASSERT_FALSE(soundfont.empty()) << "the General MIDI soundfont is not installed";
        hats = DrumsAsHats(kSong);
        chart = ChartNotes({kSong, kDifficulty});
        std::string why;
        ASSERT_TRUE(
            ReadSongBars(std::string(ZB_SOURCE_DIR) + "/assets/" + SongMusicFile(kSong), bars, why))
            << why;
    }
    std::string soundfont, hats;
    std::vector<double> chart;
    SongBars bars;
    headless::VirtualClock clock;
};

TEST_F(PracticeTiming, TheChartsNotesSoundWhereThePositionSaysAtEveryTempo) {
    // Twelve bars from bar 10, sought to as a pass is.
    const Section s = SectionOf(bars, 10, 21);
    std::map<double, double> worst;
    for (double rate : {1.0, 0.5, 0.75, 1.25}) {
        AudioRenderer r(clock, kRate, soundfont);
        r.SetOutputLatency(2.0 * kBuffer / kRate);
        r.SetTempo(rate);
        r.SetFile(hats);
        r.Seek(s.start);
        Listener l{r, clock, {}, {}};
        while (r.PositionAt(clock.Now()) < s.end) l.Buffer();
        ASSERT_GT(l.position.size(), 50u) << rate;
        worst[rate] = WorstMs(l.position, chart);
        std::printf("tempo %3.0f %%: %zu sounds, the farthest %.2f ms of the song from its note\n",
                    rate * 100, l.position.size(), worst[rate]);
    }
    EXPECT_LT(worst[1.0], 5.0);
    for (double rate : {0.5, 0.75, 1.25}) EXPECT_LT(worst[rate], worst[1.0] + 2.0) << rate;
}

TEST_F(PracticeTiming, TwentyLoopsDoNotDriftAndTheLeadInFollowsTheEndWithinAFrame) {
    // Bars 20 to 21 at 75 %, looped as practice loops them: the section's end is heard, the
    // music goes back to the bar before A.
    const Section s = SectionOf(bars, 20, 21);
    const double rate = 0.75;
    AudioRenderer r(clock, kRate, soundfont);
    r.SetOutputLatency(2.0 * kBuffer / kRate);
    r.SetTempo(rate);
    r.SetFile(hats);
    r.Seek(s.leadIn);
    Listener l{r, clock, {}, {}};
    // The first sound of the lead-in: its first drum note, that far into it.
    const auto firstChart = std::lower_bound(chart.begin(), chart.end(), s.start);
    ASSERT_NE(firstChart, chart.end());
    std::vector<double> firstOfPass, gaps;
    for (int pass = 0; pass < 20; ++pass) {
        const size_t before = l.position.size();
        double endAt = 0;
        for (;;) {
            const double now = clock.Now(), p = r.PositionAt(now);
            if (p >= s.end) {
                endAt = now - (p - s.end) / rate;  // when the end was heard
                break;
            }
            l.Buffer();
        }
        // The first sound at or after A in this pass.
        for (size_t i = before; i < l.position.size(); ++i)
            if (l.position[i] > s.start - 0.02) {
                firstOfPass.push_back(l.position[i]);
                break;
            }
        r.Seek(s.leadIn);
        const size_t next = l.position.size();
        while (l.position.size() == next) l.Buffer();
        // The lead-in's first sound should come after the music of the lead-in before it.
        const double leadInFirst = [&] {
            for (size_t i = next; i < l.position.size(); ++i) return l.position[i];
            return s.leadIn;
        }();
        gaps.push_back((l.at[next] - endAt - (leadInFirst - s.leadIn) / rate) * 1000);
    }
    ASSERT_EQ(firstOfPass.size(), 20u);
    const auto [lo, hi] = std::minmax_element(firstOfPass.begin(), firstOfPass.end());
    const double drift = (*hi - *lo) * 1000;
    const double worstGap = *std::max_element(gaps.begin(), gaps.end());
    std::printf(
        "20 loops: the first note of A moved by %.3f ms; the end to the lead-in's first "
        "sound took at most %.2f ms\n",
        drift, worstGap);
    EXPECT_LT(drift, 1.0);
    EXPECT_LT(worstGap, 1000.0 / 60);
    EXPECT_GT(*std::min_element(gaps.begin(), gaps.end()), -1.0);  // never cut short
}

}  // namespace
}  // namespace zb::audio
