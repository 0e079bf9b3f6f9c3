#include "platform/audio/audio_renderer.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "core/song_bars.hpp"
#include "core/songs.hpp"
#include "platform/headless/headless.hpp"

namespace zb::audio {

namespace {

constexpr int kRate = 48000;
const std::filesystem::path kDir = std::filesystem::path(ZB_BINARY_DIR) / "test_sound_files";

void Put(std::string& s, uint32_t v, int bytes) {
    for (int i = bytes - 1; i >= 0; --i) s += char((v >> (8 * i)) & 0xFF);
}
void PutVarLen(std::string& s, uint32_t v) {
    std::string tmp(1, char(v & 0x7F));
    while (v >>= 7) tmp.insert(tmp.begin(), char((v & 0x7F) | 0x80));
    s += tmp;
}

// A one-track MIDI file at 120 bpm, 480 ticks per quarter (1 tick = 1/960 s).
struct MidiEvent {
    uint32_t tick;
    std::vector<uint8_t> bytes;
};
std::string WriteMidi(const std::string& name, std::vector<MidiEvent> events, uint32_t endTick) {
    std::string track;
    PutVarLen(track, 0);
    track += "\xFF\x51\x03";
    Put(track, 500000, 3);
    uint32_t last = 0;
    for (const auto& e : events) {
        PutVarLen(track, e.tick - last);
        last = e.tick;
        track.append(e.bytes.begin(), e.bytes.end());
    }
    PutVarLen(track, endTick - last);
    track += std::string("\xFF\x2F\x00", 3);
    std::string file = "MThd";
    Put(file, 6, 4);
    Put(file, 0, 2);
    Put(file, 1, 2);
    Put(file, 480, 2);
    file += "MTrk";
    Put(file, uint32_t(track.size()), 4);
    file += track;
    std::filesystem::create_directories(kDir);
    const std::string path = (kDir / name).string();
    std::ofstream(path, std::ios::binary) << file;
    return path;
}

// A drum hit (bass drum on channel 10) at `tick`.
std::string DrumAt(const std::string& name, uint32_t tick, uint32_t endTick) {
    return WriteMidi(name, {{tick, {0x99, 36, 127}}, {tick + 240, {0x89, 36, 0}}}, endTick);
}

// A sustained organ chord for `ticks`.
std::string Organ(const std::string& name, uint32_t ticks) {
    return WriteMidi(name,
                     {{0, {0xC0, 19}},
                      {0, {0x90, 60, 100}},
                      {0, {0x90, 64, 100}},
                      {ticks, {0x80, 60, 0}},
                      {ticks, {0x80, 64, 0}}},
                     ticks);
}

// A mono 16-bit WAV file holding the given samples.
std::string WriteWave(const std::string& name, const std::vector<int16_t>& samples, int rate) {
    auto le = [](std::string& s, uint32_t v, int bytes) {
        for (int i = 0; i < bytes; ++i) s += char((v >> (8 * i)) & 0xFF);
    };
    std::string f = "RIFF";
    le(f, uint32_t(36 + 2 * samples.size()), 4);
    f += "WAVEfmt ";
    le(f, 16, 4);
    le(f, 1, 2);
    le(f, 1, 2);
    le(f, uint32_t(rate), 4);
    le(f, uint32_t(rate * 2), 4);
    le(f, 2, 2);
    le(f, 16, 2);
    f += "data";
    le(f, uint32_t(2 * samples.size()), 4);
    for (int16_t s : samples) le(f, uint16_t(s), 2);
    std::filesystem::create_directories(kDir);
    const std::string path = (kDir / name).string();
    std::ofstream(path, std::ios::binary) << f;
    return path;
}

std::vector<float> Render(AudioRenderer& r, int frames) {
    std::vector<float> out(size_t(2 * frames));
    r.Render(out.data(), frames);
    return out;
}

// Renders `frames` in device-sized buffers, as a device asks for them: each buffer when the
// previous one has been played, so the clock ends at the moment of the last callback.
std::vector<float> Play(AudioRenderer& r, headless::VirtualClock& clock, int frames,
                        int buffer = 256) {
    std::vector<float> all;
    for (int done = 0; done < frames; done += buffer) {
        const int n = std::min(buffer, frames - done);
        clock.Advance(double(n) / kRate);
        auto part = Render(r, n);
        all.insert(all.end(), part.begin(), part.end());
    }
    return all;
}

double Rms(const std::vector<float>& s, size_t from, size_t to) {
    double sum = 0;
    for (size_t i = from; i < to; ++i) sum += double(s[i]) * s[i];
    return std::sqrt(sum / double(to - from));
}

class Renderer : public ::testing::Test {
  protected:
    void SetUp() override {
        soundfont = FindSoundfont();
        ASSERT_FALSE(soundfont.empty()) << "the General MIDI soundfont is not installed";
    }
    std::string soundfont;
    headless::VirtualClock clock;
};

}  // namespace

TEST_F(Renderer, PositionIsTheFramesRenderedSinceTheFileWasSet) {
    AudioRenderer r(clock, kRate, soundfont);
    ASSERT_TRUE(r.HasSynth());
    clock.Set(10.0);
    r.SetFile(Organ("organ.mid", 960 * 5));
    Render(r, 4800);
    EXPECT_NEAR(r.PositionAt(10.0), 0.1, 1e-9);
    Render(r, 48000);  // a device that stalled and caught up: taken at once
    EXPECT_NEAR(r.PositionAt(10.0), 1.1, 1e-9);

    // Paced like a device: the position follows the frames and the clock between callbacks.
    Play(r, clock, 48000);
    EXPECT_NEAR(r.PositionAt(clock.Now()), 2.1, 1e-6);
    EXPECT_NEAR(r.PositionAt(clock.Now() + 0.002), 2.102, 1e-6);
    EXPECT_NEAR(r.PositionAt(clock.Now() - 0.5), 1.6, 1e-6);  // a key stamp from earlier
}

TEST_F(Renderer, UnevenCallbacksGiveASteadyPosition) {
    // Devices ask in bursts: here two buffers at once every 2 x 256 frames, and late by up to
    // 3 ms. The position read every millisecond stays within 2 ms of the frames played and
    // never runs backwards.
    AudioRenderer r(clock, kRate, soundfont);
    r.SetOutputLatency(512.0 / kRate);  // a burst is heard by the time the next one is due
    r.SetFile(Organ("organ.mid", 960 * 10));
    const double start = clock.Now();
    int64_t frames = 0;
    double last = -1, worst = 0;
    for (int pair = 0; pair < 400; ++pair) {
        const double due = start + double(frames) / kRate;
        const double late = 0.003 * double((pair * 7) % 5) / 4.0;
        // The reads between this burst and the next.
        for (double t = clock.Now(); t < due + late; t += 0.001) {
            const double p = r.PositionAt(t);
            EXPECT_GE(p, last - 1e-9);
            last = p;
            if (pair > 20) worst = std::max(worst, std::abs(p - (t - start)));
        }
        clock.Set(due + late);
        Render(r, 256);
        Render(r, 256);
        frames += 512;
    }
    EXPECT_LT(worst, 0.002);
}

TEST_F(Renderer, OutputLatencyIsSubtractedAndThePositionNeverGoesBelowZero) {
    AudioRenderer r(clock, kRate, soundfont);
    r.SetOutputLatency(0.010);
    r.SetFile(Organ("organ.mid", 960 * 5));
    EXPECT_EQ(r.PositionAt(clock.Now()), 0.0);
    Play(r, clock, 4800);
    EXPECT_NEAR(r.PositionAt(clock.Now()), 0.1 - 0.010, 1e-6);
}

TEST_F(Renderer, SettingAFileRestartsNearZeroAndTheEmptyNameStopsWithThePositionKept) {
    AudioRenderer r(clock, kRate, soundfont);
    const std::string organ = Organ("organ.mid", 960 * 5);
    r.SetFile(organ);
    Play(r, clock, kRate);
    EXPECT_NEAR(r.PositionAt(clock.Now()), 1.0, 1e-6);

    r.SetFile(organ);
    EXPECT_NEAR(r.PositionAt(clock.Now()), 0.0, 1e-6);
    Play(r, clock, 256);
    EXPECT_NEAR(r.PositionAt(clock.Now()), 256.0 / kRate, 1e-6);
    auto sound = Play(r, clock, kRate / 2);
    EXPECT_GT(Rms(sound, sound.size() / 2, sound.size()), 0.01);

    const double at = r.PositionAt(clock.Now());
    r.SetFile("");
    auto after = Play(r, clock, kRate);
    EXPECT_NEAR(r.PositionAt(clock.Now()), at, 1e-9);
    EXPECT_NEAR(r.PositionAt(clock.Now() + 5), at, 1e-9);
    EXPECT_LT(Rms(after, after.size() / 2, after.size()), 1e-3);  // the organ is silent
}

TEST_F(Renderer, MusicStartsOnTheFrameItsTimeSays) {
    // A drum hit at exactly 1 s must be heard at frame 48000 of the file, give or take the
    // synth's 64-frame control period: the audio clock is only as good as this.
    AudioRenderer r(clock, kRate, soundfont);
    for (int lead : {0, 100}) {  // a file set in the middle of the synth's block
        Render(r, lead);
        r.SetFile(DrumAt("drum.mid", 960, 1920));
        auto s = Play(r, clock, 2 * kRate);
        size_t first = 0;
        while (first < s.size() && std::abs(s[first]) < 1e-3f) ++first;
        const double onset = double(first / 2) / kRate;
        EXPECT_NEAR(onset, 1.0, 0.003) << "lead " << lead;
    }
}

TEST_F(Renderer, AFileThatEndsOrCannotBeReadKeepsThePositionAdvancing) {
    AudioRenderer r(clock, kRate, soundfont);
    r.SetFile(DrumAt("short.mid", 0, 240));  // 0.25 s
    Play(r, clock, 3 * kRate);
    EXPECT_NEAR(r.PositionAt(clock.Now()), 3.0, 1e-6);

    r.SetFile((kDir / "no_such_file.mid").string());
    auto s = Play(r, clock, kRate);
    EXPECT_NEAR(r.PositionAt(clock.Now()), 1.0, 1e-6);
    EXPECT_LT(Rms(s, s.size() / 2, s.size()), 1e-3);

    const std::string junk = (kDir / "junk.mid").string();
    std::ofstream(junk, std::ios::binary) << "MThd this is not music";
    r.SetFile(junk);
    Play(r, clock, kRate / 2);
    EXPECT_NEAR(r.PositionAt(clock.Now()), 0.5, 1e-6);
}

TEST_F(Renderer, VolumeInHundredthsOfADecibelScalesThePlayingMusic) {
    const std::string organ = Organ("organ.mid", 960 * 5);
    AudioRenderer full(clock, kRate, soundfont), quiet(clock, kRate, soundfont);
    full.SetFile(organ);
    quiet.SetFile(organ);
    auto a0 = Render(full, kRate);
    auto b0 = Render(quiet, kRate);
    EXPECT_EQ(a0, b0);  // same synth, same file: the same samples

    quiet.SetVolume(-600);  // while it plays
    auto a = Render(full, kRate);
    auto b = Render(quiet, kRate);
    const size_t from = 2 * 1024, to = a.size();  // past the one-buffer ramp
    ASSERT_GT(Rms(a, from, to), 0.01);
    EXPECT_NEAR(Rms(b, from, to) / Rms(a, from, to), std::pow(10.0, -6.0 / 20.0), 0.005);

    quiet.SetVolume(-900);
    auto c = Render(quiet, kRate);
    auto a2 = Render(full, kRate);
    EXPECT_NEAR(Rms(c, from, to) / Rms(a2, from, to), std::pow(10.0, -9.0 / 20.0), 0.005);
}

TEST(HitSounds, ANewSoundCutsOffTheOldOneAndAMissingFilePlaysNothing) {
    headless::VirtualClock clock;
    AudioRenderer r(clock, kRate, "");  // no synth: the hit sounds alone
    EXPECT_FALSE(r.HasSynth());
    const std::string low = WriteWave("low.wav", std::vector<int16_t>(kRate, 8192), kRate);
    const std::string high = WriteWave("high.wav", std::vector<int16_t>(kRate / 10, -16384), kRate);

    r.PlayWave((kDir / "missing.wav").string());
    auto silent = Render(r, 512);
    EXPECT_EQ(Rms(silent, 0, silent.size()), 0.0);

    r.PlayWave(low);
    auto s = Render(r, 1000);
    EXPECT_NEAR(s[0], 0.25f, 1e-3);
    EXPECT_NEAR(s[1999], 0.25f, 1e-3);  // both channels of a mono file

    r.PlayWave(high);  // cuts off the low one: after a short fade only the high one sounds
    s = Render(r, 2000);
    EXPECT_NEAR(s[2 * 1500], -0.5f, 1e-3);
    EXPECT_NEAR(s[2 * 1999 + 1], -0.5f, 1e-3);
    for (size_t i = 2; i < 400; i += 2) EXPECT_LE(s[i], s[i - 2] + 1e-6f);  // fades, no click

    r.PlayWave((kDir / "missing.wav").string());  // nothing happens to the sound playing
    s = Render(r, 100);
    EXPECT_NEAR(s[0], -0.5f, 1e-3);

    s = Render(r, kRate);  // the high sound has ended, the low one does not come back
    EXPECT_NEAR(s[2 * 3000], 0.0f, 1e-6);
}

TEST(HitSounds, MixWithTheMusicAndIgnoreTheMusicVolume) {
    headless::VirtualClock clock;
    AudioRenderer r(clock, 44100, "");
    const std::string wave = WriteWave("rate.wav", std::vector<int16_t>(22050, 16384), 22050);
    r.SetVolume(-900);
    r.PlayWave(wave);
    auto s = Render(r, 44100);
    EXPECT_NEAR(s[2 * 1000], 0.5f, 1e-3);  // full level, resampled to the renderer's rate
    EXPECT_NEAR(s[2 * 43000], 0.5f, 1e-3);
    EXPECT_EQ(r.PositionAt(clock.Now()), 0.0);  // no file set: the position stays at 0
}

TEST(HitSounds, EachStartsAtItsStampsSampleAndCutsItsVoicesSoundThereWhateverTheBuffers) {
    // Two strokes 0.3 ms apart, stamped anywhere in a buffer of 64, 100 or 256 frames: the first
    // is heard a fixed delay after its stamp, the second 14 samples (0.3 ms) after it, cutting it
    // off there; a sound of another voice plays on through the cut.
    const std::string low = WriteWave("place_low.wav", std::vector<int16_t>(kRate, 8192), kRate);
    const std::string high =
        WriteWave("place_high.wav", std::vector<int16_t>(kRate, -16384), kRate);
    const std::string other =
        WriteWave("place_other.wav", std::vector<int16_t>(kRate, 1024), kRate);
    constexpr int kDelay = 500;
    for (int buffer : {64, 100, 256}) {
        for (int phase = 0; phase < 7; ++phase) {
            headless::VirtualClock clock;
            AudioRenderer r(clock, kRate, "");
            r.SetHitDelay(kDelay);
            const double start = clock.Now() + double(buffer) / kRate;  // frame 0's buffer
            // Stamped a seventh of a buffer further back each time: the sounds fall on another
            // frame of a buffer.
            std::vector<float> all = Play(r, clock, 10 * buffer, buffer);
            const double stamp = clock.Now() - (10 + phase * buffer / 7) / double(kRate);
            r.PlayHitSound(low, stamp, kPlayerVoice);
            r.PlayHitSound(other, stamp - 0.001, kPlayerVoice + 1);
            r.PlayHitSound(high, stamp + 0.0003, kPlayerVoice);
            const auto rest = Play(r, clock, 2000, buffer);
            all.insert(all.end(), rest.begin(), rest.end());
            // The first frame, ±1 for the stamps' rounding, that holds the low sound alone
            // (the other voice's level is 1/32), and the first that holds the high one.
            size_t first = 0, cut = 0;
            while (first < all.size() / 2 && all[2 * first] < 0.2f) ++first;
            while (cut < all.size() / 2 && all[2 * cut] > -0.2f) ++cut;
            const double due = (stamp - start) * kRate + kDelay;
            const std::string where =
                "buffer " + std::to_string(buffer) + " phase " + std::to_string(phase);
            EXPECT_NEAR(double(first), due, 1.0) << where;
            EXPECT_NEAR(double(cut - first), 0.0003 * kRate, 1.0) << where;
            EXPECT_NEAR(all[2 * (cut - 1)], 0.25f + 1.0f / 32, 1e-3) << where;  // low up to the cut
            EXPECT_NEAR(all[2 * (cut + 200)], -0.5f + 1.0f / 32, 1e-3) << where;  // then high alone
        }
    }
}

TEST(HitSounds, ABufferCameLateWhileSoundingIsAnUnderrunAndASilentGapIsNot) {
    headless::VirtualClock clock;
    AudioRenderer r(clock, kRate, "");
    const std::string wave =
        WriteWave("underrun.wav", std::vector<int16_t>(kRate / 10, 8192), kRate);
    Play(r, clock, 1024);
    r.PlayWave(wave);
    Play(r, clock, 1024);
    EXPECT_EQ(r.Underruns(), 0u);
    clock.Advance(3 * 256.0 / kRate);  // the device waited three buffers for this one
    Play(r, clock, 1024);
    EXPECT_EQ(r.Underruns(), 1u);
    Play(r, clock, kRate / 5);  // the sound ends
    clock.Advance(1.0);         // the device rested, and wakes for a sound
    r.PlayWave(wave);
    Play(r, clock, 2048);
    EXPECT_EQ(r.Underruns(), 1u);
    r.AddUnderrun();  // the sound server's own count
    EXPECT_EQ(r.Underruns(), 2u);
}

TEST(HitSounds, CorruptFilesAreRejected) {
    std::filesystem::create_directories(kDir);
    const std::string bad = (kDir / "bad.wav").string();
    std::ofstream(bad, std::ios::binary) << "RIFF\x10\0\0\0WAVEfmt garbage";
    EXPECT_EQ(DecodeWave(bad, kRate), nullptr);
    EXPECT_EQ(DecodeWave((kDir / "none.wav").string(), kRate), nullptr);
}

}  // namespace zb::audio

namespace zb::audio {
namespace {

// Closed hi-hats (short, so each stands apart) every half second of the song for `count`.
std::string HiHats(const std::string& name, int count) {
    std::vector<MidiEvent> events;
    for (int i = 0; i < count; ++i) {
        events.push_back({uint32_t(480 * i), {0x99, 42, 120}});
        events.push_back({uint32_t(480 * i + 60), {0x89, 42, 0}});
    }
    return WriteMidi(name, events, uint32_t(480 * count));
}

// Plays in device buffers and notes, for every sound that starts after a silence, the song's
// position at its first frame as the renderer reports it, and the tempo then.
struct Onsets {
    std::vector<double> positions, rates;
    bool sounding = false;
    int quiet = 0;

    void Play(AudioRenderer& r, headless::VirtualClock& clock, int frames) {
        for (int done = 0; done < frames; done += 256) {
            clock.Advance(256.0 / kRate);
            auto s = Render(r, 256);
            const double end = r.PositionAt(clock.Now()), rate = r.Paused() ? 0 : r.Tempo();
            for (int i = 0; i < 256; ++i) {
                const bool loud = std::abs(s[2 * i]) > 0.02f;
                quiet = loud ? 0 : quiet + 1;
                if (loud && !sounding) {
                    positions.push_back(end - (255 - i) * rate / kRate);
                    rates.push_back(rate);
                }
                if (loud) sounding = true;
                if (quiet > kRate / 50) sounding = false;  // 20 ms of quiet ends a sound
            }
        }
    }
};

}  // namespace

TEST_F(Renderer, TransportMovesThePositionOnTheSongsTimeline) {
    AudioRenderer r(clock, kRate, soundfont);
    r.SetFile(HiHats("hats.mid", 20));
    Play(r, clock, kRate);
    EXPECT_NEAR(r.PositionAt(clock.Now()), 1.0, 1e-6);

    r.SetTempo(0.5);  // half a second of the song per second
    Play(r, clock, kRate);
    EXPECT_NEAR(r.PositionAt(clock.Now()), 1.5, 0.002);

    r.Pause();
    const double held = r.PositionAt(clock.Now());
    auto paused = Play(r, clock, kRate);
    EXPECT_TRUE(r.Paused());
    EXPECT_NEAR(r.PositionAt(clock.Now()), held, 1e-9);
    EXPECT_LT(Rms(paused, paused.size() / 2, paused.size()), 1e-3);  // the music has stopped

    r.Resume();
    EXPECT_NEAR(r.PositionAt(clock.Now()), held, 1e-9);  // nothing is skipped
    Play(r, clock, kRate / 2);
    EXPECT_NEAR(r.PositionAt(clock.Now()), held + 0.25, 0.002);

    r.SetTempo(1.25);
    r.Seek(7.0);
    EXPECT_NEAR(r.PositionAt(clock.Now()), 7.0, 1e-6);  // at once, before the next buffer
    Play(r, clock, kRate);
    EXPECT_NEAR(r.PositionAt(clock.Now()), 8.25, 0.002);

    r.Pause();
    r.Seek(2.0);  // a seek while paused stays paused
    Play(r, clock, kRate / 4);
    EXPECT_NEAR(r.PositionAt(clock.Now()), 2.0, 1e-6);
    r.Resume();
    Play(r, clock, kRate);
    EXPECT_NEAR(r.PositionAt(clock.Now()), 3.25, 0.002);

    // A file set and sought at once starts where it was sought: nothing of its start is heard.
    r.SetFile(HiHats("hats.mid", 20));
    r.Seek(3.0);
    Onsets o;
    o.Play(r, clock, kRate / 4);
    ASSERT_EQ(o.positions.size(), 1u);
    EXPECT_NEAR(o.positions[0], 3.0, 0.004);
}

TEST_F(Renderer, NotesSoundWhereThePositionSaysAtAnyTempoAfterSeeksAndPauses) {
    // The hats are on every half second of the song: each sound must start within 4 ms of the
    // player's time of when the reported position is on one (the hat takes 2.3 ms to reach the
    // level looked for; the synth's block is 1.3 ms and the player counts whole ms), through tempo
    // changes, a pause, seeks back (onto a hat, which must sound) and forward, and a seek back into
    // the file after it ended.
    AudioRenderer r(clock, kRate, soundfont);
    r.SetTempo(0.75);
    r.SetFile(HiHats("hats.mid", 12));
    Onsets o;
    o.Play(r, clock, kRate);
    r.SetTempo(1.5);
    o.Play(r, clock, kRate);
    r.Pause();
    o.Play(r, clock, kRate / 3);
    r.Resume();
    o.Play(r, clock, kRate);
    r.Seek(1.0);
    o.Play(r, clock, kRate);
    r.SetTempo(0.5);
    r.Seek(4.75);
    o.Play(r, clock, 2 * kRate);
    r.SetTempo(1.0);
    o.Play(r, clock, 3 * kRate);  // past the file's end (6 s)
    r.Seek(5.0);
    o.Play(r, clock, kRate);

    ASSERT_GE(o.positions.size(), 16u);
    bool hatAtOne = false, hatAtFive = false;
    for (size_t i = 0; i < o.positions.size(); ++i) {
        const double p = o.positions[i], nearest = std::round(p * 2) / 2;
        EXPECT_NEAR((p - nearest) / o.rates[i], 0, 0.004) << "a sound at " << p;
        hatAtOne |= nearest == 1.0;
        hatAtFive |= nearest == 5.0;
    }
    EXPECT_TRUE(hatAtOne);   // the note right at a seek's point is played
    EXPECT_TRUE(hatAtFive);  // and the player plays again after its file ended
}

TEST_F(Renderer, ThePositionFollowsTheFilesTempoChanges) {
    // Hats every 480 ticks: half a second, then a quarter from 2 s on (240 bpm).
    std::vector<MidiEvent> events{{1920, {0xFF, 0x51, 0x03, 0x03, 0xD0, 0x90}}};
    for (uint32_t t = 0; t < 480 * 12; t += 480) {
        events.push_back({t, {0x99, 42, 120}});
        events.push_back({t + 60, {0x89, 42, 0}});
    }
    std::sort(events.begin(), events.end(), [](auto& a, auto& b) { return a.tick < b.tick; });
    const std::string path = WriteMidi("faster.mid", events, 480 * 12);
    std::ifstream in(path, std::ios::binary);
    const TempoMap map = TempoMap::FromMidi(std::string(std::istreambuf_iterator<char>(in), {}));
    EXPECT_DOUBLE_EQ(map.Seconds(2400), 2.25);
    EXPECT_EQ(map.TickAt(2.25), 2400);
    EXPECT_EQ(map.TickAt(map.Seconds(1000)), 1000);

    AudioRenderer r(clock, kRate, soundfont);
    r.SetTempo(0.75);
    r.SetFile(path);
    Onsets o;
    o.Play(r, clock, 2 * kRate);  // across the change
    r.Seek(2.75);
    o.Play(r, clock, kRate);
    ASSERT_EQ(o.positions.size(), 7u);  // 0, 0.5, 1, 2.75, 3, 3.25, 3.5
    for (size_t i = 0; i < o.positions.size(); ++i) {
        const double p = o.positions[i], nearest = std::round(p * 4) / 4;
        EXPECT_NEAR((p - nearest) / o.rates[i], 0, 0.004) << "a sound at " << p;
    }
    EXPECT_NEAR(o.positions[3], 2.75, 0.004);
}

TEST(TempoMaps, AgreeWithTheGamesBarsOnEveryBuiltInSong) {
    // The player seeks to a bar's start by the tick the map gives: within the tick it names.
    for (int song = 0; song < kSongCount; ++song) {
        const std::string path = std::string(ZB_SOURCE_DIR) + "/assets/" + SongMusicFile(song);
        std::ifstream in(path, std::ios::binary);
        const TempoMap map =
            TempoMap::FromMidi(std::string(std::istreambuf_iterator<char>(in), {}));
        SongBars bars;
        std::string why;
        ASSERT_TRUE(ReadSongBars(path, bars, why)) << why;
        for (double start : bars.starts) {
            const int64_t tick = map.TickAt(start);
            ASSERT_LE(map.Seconds(tick), start + 1e-9) << path;
            ASSERT_GT(map.Seconds(tick + 1), start - 1e-9) << path;
        }
    }
}

}  // namespace zb::audio
