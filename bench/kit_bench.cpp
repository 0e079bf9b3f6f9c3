// A drum kit's stroke through the real MIDI adapter and the real window, as a key's: a fake kit
// (an RtMidi output port on a JACK dummy server of the benchmark's own, period 64 or 256 frames
// at 48 kHz) sends a note-on from another thread at any moment, while the window waits in its
// 1 ms pumping as the play screen does. Counters, in ms, median and 99th percentile over the
// iterations: from the send to the stamp the MIDI thread gives the stroke ("send_to_stamp"), and
// from that stamp (where the play screen starts the hit sound) to the audio callback that renders
// the sound's first frame, on the real renderer behind SDL's dummy device ("stamp_to_sound").
//
//   SDL_VIDEODRIVER=offscreen build/bench/kit_bench
#include <RtMidi.h>
#include <SDL.h>
#include <benchmark/benchmark.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdlib>
#include <memory>
#include <thread>
#include <vector>

#include "platform/audio/audio_renderer.hpp"
#include "platform/kit_inputs.hpp"
#include "platform/midi/midi_kits.hpp"
#include "platform/sdl/sdl_audio.hpp"
#include "platform/sdl/sdl_platform.hpp"
#include "tests/common/jack_server.hpp"

namespace {

double Quantile(std::vector<double> v, double q) {
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : v[std::min(v.size() - 1, size_t(q * double(v.size())))];
}

void BM_KitToSound(benchmark::State& state) {
    setenv("SDL_VIDEODRIVER", "offscreen", 0);
    SDL_SetHint(SDL_HINT_AUDIODRIVER, "dummy");
    zb::testing::JackServer jack(int(state.range(0)));
    if (!jack.Ready()) {
        state.SkipWithError("jackd -d dummy did not start");
        return;
    }
    zb::sdl::SdlClock clock;
    zb::sdl::SdlKeyboard keyboard;
    std::unique_ptr<zb::sdl::SdlWindow> window;
    try {
        window = std::make_unique<zb::sdl::SdlWindow>(clock, keyboard);
    } catch (const std::exception& e) {
        state.SkipWithError(e.what());
        return;
    }
    zb::midi::MidiKits kits(clock, keyboard, &zb::sdl::SdlWindow::Wake);
    window->SetInputPump([&kits] { return kits.Pump(); });
    setenv("ZUBAKKO_AUDIO", "sdl",
           1);  // SDL's dummy device, as it always measured (see jack_bench)
    zb::sdl::SdlAudio audio(clock, "", 256);  // no music: the hit sound alone
    zb::audio::AudioRenderer* renderer = audio.Renderer();
    const std::string don = std::string(ZB_SOURCE_DIR) + "/assets/sound/don.wav";
    if (!renderer || !audio.LoadWave(don)) {
        state.SkipWithError("no audio device or no don.wav");
        return;
    }
    RtMidiOut kit(RtMidi::UNIX_JACK, "bench kit");
    kit.openVirtualPort("out");
    kits.LookNow();
    window->DoEvents();
    if (keyboard.Kits().empty()) {
        state.SkipWithError("the fake kit was not found");
        return;
    }
    const int code = zb::kit::Code(keyboard.Kits()[0].slot, 38, false);
    double stampedAt = 0;
    keyboard.SetDownHandler([&](int c, double at) {
        if (c != code) return;
        stampedAt = at;
        audio.PlayWave(don);  // as the play screen's handler does
    });
    std::vector<double> toStamp, toSound;
    int n = 0;
    for (auto _ : state) {
        const double before = renderer->HitSoundRenderedAt();
        stampedAt = 0;
        std::atomic<double> sent{0};
        std::thread drummer([&] {
            std::this_thread::sleep_for(std::chrono::microseconds(2000 + (n * 2371) % 6000));
            const unsigned char on[3] = {0x99, 38, 90};
            sent = clock.Now();
            kit.sendMessage(on, 3);
        });
        while (stampedAt == 0) window->WaitUntil(clock.Now() + 0.005);
        drummer.join();
        while (renderer->HitSoundRenderedAt() == before)
            std::this_thread::sleep_for(std::chrono::microseconds(100));
        const double sound = std::max(0.0, renderer->HitSoundRenderedAt() - stampedAt);
        state.SetIterationTime(sound);
        toSound.push_back(sound * 1000);
        toStamp.push_back((stampedAt - sent) * 1000);
        ++n;
        window->WaitUntil(clock.Now() + 0.002);
    }
    keyboard.SetDownHandler(nullptr);
    state.counters["period_ms"] = double(state.range(0)) / 48.0;
    state.counters["send_to_stamp_median_ms"] = Quantile(toStamp, 0.5);
    state.counters["send_to_stamp_p99_ms"] = Quantile(toStamp, 0.99);
    state.counters["stamp_to_sound_median_ms"] = Quantile(toSound, 0.5);
    state.counters["stamp_to_sound_p99_ms"] = Quantile(toSound, 0.99);
}
BENCHMARK(BM_KitToSound)
    ->Arg(64)
    ->Arg(256)
    ->UseManualTime()
    ->Iterations(300)
    ->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
