// The sound path's costs: rendering each song's music as a fraction of real time on one core,
// one audio callback, the output latency that the audio device reports, and how soon a key's hit
// sound is rendered.
//
//   build/bench/sound_bench --benchmark_repetitions=5 --benchmark_report_aggregates_only=true
#include <SDL.h>
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <ctime>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "core/song_bars.hpp"
#include "core/songs.hpp"
#include "platform/audio/audio_renderer.hpp"
#include "platform/headless/headless.hpp"
#include "platform/sdl/sdl_audio.hpp"
#include "platform/sdl/sdl_platform.hpp"

namespace {

constexpr int kRate = 48000;
constexpr int kBuffer = 256;

double ThreadSeconds() {
    timespec ts;
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
    return double(ts.tv_sec) + ts.tv_nsec * 1e-9;
}

std::string Asset(const std::string& relative) {
    return std::string(ZB_SOURCE_DIR) + "/assets/" + relative;
}

// A whole song, rendered in device-sized buffers as the audio callback would; the counter
// "cpu_pct" is the CPU time of this thread per second of music, in percent.
void BM_RenderSong(benchmark::State& state) {
    const int song = int(state.range(0));
    const std::string file = Asset(zb::SongMusicFile(song));
    const std::string soundfont = zb::audio::FindSoundfont();
    if (!std::filesystem::exists(file) || soundfont.empty()) {
        state.SkipWithError("music file or soundfont missing");
        return;
    }
    zb::headless::VirtualClock clock;
    zb::audio::AudioRenderer renderer(clock, kRate, soundfont);
    const int last = zb::PartCount(song) - 1;
    const double seconds =
        (zb::PartStartTime(song, last) + zb::PartEndTimeOf(song, last)) / 100.0 + 2.0;
    std::vector<float> buf(2 * kBuffer);
    double cpu = 0;
    for (auto _ : state) {
        renderer.SetFile(file);
        const double start = ThreadSeconds();
        for (int64_t f = 0; f < int64_t(seconds * kRate); f += kBuffer) {
            renderer.Render(buf.data(), kBuffer);
            clock.Advance(double(kBuffer) / kRate);
        }
        cpu += ThreadSeconds() - start;
        benchmark::DoNotOptimize(buf.data());
    }
    state.counters["cpu_pct"] = 100.0 * cpu / (seconds * double(state.iterations()));
    state.counters["music_s"] = seconds;
}
BENCHMARK(BM_RenderSong)->DenseRange(0, 9)->Iterations(1)->Unit(benchmark::kMillisecond);

// One 256-frame callback in the busiest stretch of the busiest chart (song 8), with a hit sound;
// arg 1 as practice may play it, the drums lowered and the metronome on.
void BM_OneCallback(benchmark::State& state) {
    const std::string soundfont = zb::audio::FindSoundfont();
    zb::headless::VirtualClock clock;
    zb::audio::AudioRenderer renderer(clock, kRate, soundfont);
    if (state.range(0) == 1) {
        zb::SongBars bars;
        std::string why;
        if (!zb::ReadSongBars(Asset(zb::SongMusicFile(8)), bars, why)) {
            state.SkipWithError(why.c_str());
            return;
        }
        renderer.SetDrumPart(zb::DrumPart::Quiet);
        renderer.SetClicks(bars.beats);
    }
    renderer.SetFile(Asset(zb::SongMusicFile(8)));
    std::vector<float> buf(2 * kBuffer);
    for (int i = 0; i < 60 * kRate / kBuffer; ++i) renderer.Render(buf.data(), kBuffer);
    int n = 0;
    const double start = ThreadSeconds();
    for (auto _ : state) {
        if (++n % 20 == 0) renderer.PlayWave(Asset("sound/don.wav"));
        renderer.Render(buf.data(), kBuffer);
        benchmark::DoNotOptimize(buf.data());
    }
    // Share of the callback's period (256 frames = 5.33 ms) spent rendering.
    const double perCallback = (ThreadSeconds() - start) / double(state.iterations());
    state.counters["budget_pct"] = 100.0 * perCallback * kRate / kBuffer;
}
BENCHMARK(BM_OneCallback)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

// The first two 64-frame callbacks after a file is set, in which the music starts: the three
// largest song files and the smallest. What they cost beyond BM_OneCallback's steady share is
// what starting a file costs the audio thread.
void BM_FirstCallback(benchmark::State& state) {
    static const char* kFiles[] = {"sound/sudden_death.mid", "sound/bike.mid", "sound/kumoue.mid",
                                   "sound/timing.mid"};
    const std::string file = Asset(kFiles[state.range(0)]);
    zb::headless::VirtualClock clock;
    zb::audio::AudioRenderer renderer(clock, kRate, zb::audio::FindSoundfont());
    std::vector<float> buf(2 * 64);
    for (auto _ : state) {
        state.PauseTiming();
        renderer.SetFile("");
        for (int i = 0; i < 4; ++i) renderer.Render(buf.data(), 64);
        renderer.SetFile(file);
        state.ResumeTiming();
        renderer.Render(buf.data(), 64);
        renderer.Render(buf.data(), 64);
        benchmark::DoNotOptimize(buf.data());
    }
}
BENCHMARK(BM_FirstCallback)->DenseRange(0, 3)->Unit(benchmark::kMicrosecond);

// The output latency as the device reports it: its buffer plus the buffer being rendered.
// Arg 0: SDL's dummy driver; arg 1: the default device, skipped when there is none.
void BM_OutputLatency(benchmark::State& state) {
    const bool dummy = state.range(0) == 0;
    SDL_SetHint(SDL_HINT_AUDIODRIVER, dummy ? "dummy" : "");
    zb::headless::VirtualClock clock;
    zb::sdl::SdlAudio audio(clock, zb::audio::FindSoundfont(), kBuffer);
    SDL_SetHint(SDL_HINT_AUDIODRIVER, "");
    if (!audio.HasDevice()) {
        state.SkipWithError("no audio device");
        return;
    }
    for (auto _ : state) benchmark::DoNotOptimize(audio.OutputLatency());
    state.counters["latency_ms"] = audio.OutputLatency() * 1000.0;
    state.counters["buffer_frames"] = audio.BufferFrames();
    state.counters["rate"] = audio.SampleRate();
}
BENCHMARK(BM_OutputLatency)->Arg(0)->Arg(1)->Iterations(1);

// A key's hit sound: from the key's down stamp (where the play screen starts the sound) to the
// callback that renders the sound's first frame, on the real renderer behind an audio device that
// asks for its buffers at its own pace; the stamps fall anywhere in the device's period. The time
// is that gap; "to_ear_ms" adds the output latency, after which that frame is heard.
// Arg 0: SDL's dummy driver; arg 1: the default device, skipped when there is none.
void BM_KeyToSound(benchmark::State& state) {
    const bool dummy = state.range(0) == 0;
    SDL_SetHint(SDL_HINT_AUDIODRIVER, dummy ? "dummy" : "");
    zb::sdl::SdlClock clock;
    zb::sdl::SdlAudio audio(clock, "", kBuffer);  // no music: the hit sound alone
    SDL_SetHint(SDL_HINT_AUDIODRIVER, "");
    zb::audio::AudioRenderer* renderer = audio.Renderer();
    const std::string don = Asset("sound/don.wav");
    if (!renderer || !audio.LoadWave(don)) {
        state.SkipWithError("no audio device or no don.wav");
        return;
    }
    double total = 0;
    int n = 0;
    for (auto _ : state) {
        // A phase of 0 to 6 ms, so that the stamp may fall anywhere in the device's period.
        std::this_thread::sleep_for(std::chrono::microseconds((n * 2371) % 6000));
        const double before = renderer->HitSoundRenderedAt();
        const double stamp = clock.Now();
        audio.PlayWave(don);
        while (renderer->HitSoundRenderedAt() == before)
            std::this_thread::sleep_for(std::chrono::microseconds(100));
        const double gap = std::max(0.0, renderer->HitSoundRenderedAt() - stamp);
        state.SetIterationTime(gap);
        total += gap;
        ++n;
    }
    state.counters["output_latency_ms"] = audio.OutputLatency() * 1000.0;
    state.counters["to_ear_ms"] = (total / n + audio.OutputLatency()) * 1000.0;
}
BENCHMARK(BM_KeyToSound)
    ->Arg(0)
    ->Arg(1)
    ->UseManualTime()
    ->Iterations(200)
    ->Unit(benchmark::kMillisecond);

// Reading the music position, as the play loop does twice per frame.
void BM_Position(benchmark::State& state) {
    zb::headless::VirtualClock clock;
    zb::audio::AudioRenderer renderer(clock, kRate, "");
    std::vector<float> buf(2 * kBuffer);
    renderer.SetFile("song.mid");
    renderer.Render(buf.data(), kBuffer);
    double t = 0;
    for (auto _ : state) benchmark::DoNotOptimize(renderer.PositionAt(t += 1e-4));
}
BENCHMARK(BM_Position);

}  // namespace

BENCHMARK_MAIN();
