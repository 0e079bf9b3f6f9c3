// What a drummer hears in practice, on rendered sound (no sound card: the renderer is called as
// a device would call it): ドラム なし hands the synth no drum note and 小さく only a lower drum
// volume, every other channel as written; the metronome clicks within a millisecond of each beat
// at 50, 100 and 150 %, and neither a hit sound nor なし takes anything from the clicks.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <fstream>
#include <functional>
#include <iterator>
#include <map>
#include <string>
#include <vector>

#include "core/song_bars.hpp"
#include "core/songs.hpp"
#include "platform/audio/audio_renderer.hpp"
#include "platform/audio/tempo_map.hpp"
#include "platform/headless/headless.hpp"

namespace zb::audio {
namespace {

constexpr int kRate = 48000, kBuffer = 256;
const std::string kMusic = std::string(ZB_SOURCE_DIR) + "/assets/" + SongMusicFile(1);

// Renders `seconds` of the renderer's output as a device would ask for it.
std::vector<float> Play(AudioRenderer& r, headless::VirtualClock& clock, double seconds,
                        const std::function<void(double)>& each = nullptr) {
    std::vector<float> out;
    std::vector<float> buffer(2 * kBuffer);
    for (int n = 0; n < int(seconds * kRate / kBuffer); ++n) {
        clock.Advance(double(kBuffer) / kRate);
        if (each) each(clock.Now());
        r.Render(buffer.data(), kBuffer);
        out.insert(out.end(), buffer.begin(), buffer.end());
    }
    return out;
}

// Note-ons by channel, and the drums' volume at each drum note, as the synth was handed them.
struct Handed {
    std::map<int, int> notes;
    std::map<int, std::vector<int>> volumes;  // CC 7 by channel
    std::vector<int> drumVolumeAtNote;
};

Handed PlayWithDrums(DrumPart part) {
    headless::VirtualClock clock;
    AudioRenderer r(clock, kRate, FindSoundfont());
    Handed h;
    int drumVolume = 100;
    r.TapSynth([&](const SynthEvent& e) {
        if (e.type == kControlChange && e.number == kVolumeControl) {
            h.volumes[e.channel].push_back(e.value);
            if (e.channel == kDrumChannel) drumVolume = e.value;
        }
        if (e.type != kNoteOn || e.value == 0) return;
        ++h.notes[e.channel];
        if (e.channel == kDrumChannel) h.drumVolumeAtNote.push_back(drumVolume);
    });
    r.SetDrumPart(part);
    r.SetFile(kMusic);
    Play(r, clock, 12);
    return h;
}

TEST(DrumPart, OffHandsTheSynthNoDrumNoteAndQuietOnlyALowerDrumVolume) {
    ASSERT_FALSE(FindSoundfont().empty()) << "the General MIDI soundfont is not installed";
    const Handed full = PlayWithDrums(DrumPart::Full), quiet = PlayWithDrums(DrumPart::Quiet),
                 off = PlayWithDrums(DrumPart::Off);
    ASSERT_GT(full.notes.at(kDrumChannel), 20);
    EXPECT_EQ(off.notes.count(kDrumChannel), 0u);
    EXPECT_EQ(quiet.notes, full.notes);
    for (const Handed* h : {&off, &quiet}) {
        std::map<int, int> others = h->notes, fullOthers = full.notes;
        others.erase(kDrumChannel), fullOthers.erase(kDrumChannel);
        EXPECT_EQ(others, fullOthers);
        for (const auto& [channel, values] : h->volumes) {
            if (channel == kDrumChannel) continue;
            EXPECT_EQ(values, full.volumes.at(channel)) << channel;
        }
    }
    ASSERT_EQ(quiet.drumVolumeAtNote.size(), full.drumVolumeAtNote.size());
    for (size_t i = 0; i < quiet.drumVolumeAtNote.size(); ++i)
        EXPECT_EQ(quiet.drumVolumeAtNote[i], DrumVolume(DrumPart::Quiet, full.drumVolumeAtNote[i]));
    EXPECT_LT(DrumVolume(DrumPart::Quiet, 100), 50);
}

TEST(Metronome, ClicksWithinAMillisecondOfEachBeatAtEveryTempoBesideHitSoundsAndNoDrums) {
    SongBars bars;
    std::string why;
    ASSERT_TRUE(ReadSongBars(kMusic, bars, why)) << why;
    const Section s = SectionOf(bars, 6, 9);
    std::ifstream in(kMusic, std::ios::binary);
    const TempoMap map = TempoMap::FromMidi(std::string(std::istreambuf_iterator<char>(in), {}));
    // A seek lands on the file's last tick at or before the position asked.
    const double landed = map.Seconds(map.TickAt(s.leadIn));
    std::vector<ClickBeat> due;  // the beats the section passes, its lead-in's included
    for (const ClickBeat& b : bars.beats)
        if (b.song >= s.leadIn - 1e-6 && b.song < s.end - 1e-3) due.push_back(b);
    ASSERT_GE(due.size(), 16u);
    EXPECT_TRUE(due.front().accent);
    for (double rate : {0.5, 1.0, 1.5}) {
        // Without a soundfont the music is silent and its transport runs the same: the clicks
        // are all there is to hear. Frame n is the song's landed + n / kRate * rate.
        auto render = [&](bool clicks, bool hits) {
            headless::VirtualClock clock;
            AudioRenderer r(clock, kRate, "");
            r.SetDrumPart(DrumPart::Off);
            r.SetTempo(rate);
            r.SetFile(kMusic);
            r.Seek(s.leadIn);
            if (clicks) r.SetClicks(bars.beats);
            double nextHit = 0.05;
            return Play(r, clock, (s.end - s.leadIn) / rate, [&](double now) {
                if (now < nextHit) return;
                if (hits) r.PlayWave(std::string(ZB_SOURCE_DIR) + "/assets/sound/don.wav");
                nextHit += 0.13;
            });
        };
        const std::vector<float> clicks = render(true, false);
        std::vector<double> heard;  // each click's first loud frame, as the song's position
        int quietFrames = kRate;
        for (size_t frame = 0; frame < clicks.size() / 2; ++frame) {
            const bool loud = std::abs(clicks[2 * frame]) > 0.01f;
            if (loud && quietFrames > kRate / 20)
                heard.push_back(landed + double(frame) / kRate * rate);
            quietFrames = loud ? 0 : quietFrames + 1;
        }
        ASSERT_EQ(heard.size(), due.size()) << rate;
        for (size_t i = 0; i < due.size(); ++i)
            EXPECT_NEAR(heard[i], due[i].song, 0.001) << rate << " beat " << i;
        // Hit sounds mix beside the clicks: with both, the output is the sum of each alone.
        const std::vector<float> hitsOnly = render(false, true), both = render(true, true);
        float worst = 0;
        for (size_t i = 0; i < both.size(); ++i)
            if (std::abs(both[i]) < 0.99f)
                worst = std::max(worst, std::abs(both[i] - clicks[i] - hitsOnly[i]));
        EXPECT_LT(worst, 1e-4f) << rate;
        EXPECT_GT(*std::max_element(hitsOnly.begin(), hitsOnly.end()), 0.05f) << "hits sound";
    }
}

}  // namespace
}  // namespace zb::audio
