// A pad's strike through the real window, as a key's: an SDL virtual game controller's trigger
// pressed (from another thread) at a moment anywhere in the window's 1 ms pumping, to the stamp
// the key-state machine gives it ("press_to_stamp_ms", mean, and the largest), and from that stamp
// (where the play screen starts the hit sound) to the audio callback that renders the sound's first
// frame, on the real renderer behind SDL's dummy audio device (the benchmark's time).
//
//   SDL_VIDEODRIVER=offscreen build/bench/pad_bench --benchmark_repetitions=5
//       --benchmark_report_aggregates_only=true
#include <SDL.h>
#include <benchmark/benchmark.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdlib>
#include <memory>
#include <thread>

#include "platform/audio/audio_renderer.hpp"
#include "platform/pad_inputs.hpp"
#include "platform/sdl/sdl_audio.hpp"
#include "platform/sdl/sdl_platform.hpp"

namespace {

void BM_PadToSound(benchmark::State& state) {
    setenv("SDL_VIDEODRIVER", "offscreen", 0);
    SDL_SetHint(SDL_HINT_AUDIODRIVER, "dummy");
    zb::sdl::SdlClock clock;
    zb::sdl::SdlKeyboard keyboard;
    std::unique_ptr<zb::sdl::SdlWindow> window;
    try {
        window = std::make_unique<zb::sdl::SdlWindow>(clock, keyboard);
    } catch (const std::exception& e) {
        state.SkipWithError(e.what());
        return;
    }
    zb::sdl::SdlAudio audio(clock, "", 256);  // no music: the hit sound alone
    zb::audio::AudioRenderer* renderer = audio.Renderer();
    const std::string don = std::string(ZB_SOURCE_DIR) + "/assets/sound/don.wav";
    if (!renderer || !audio.LoadWave(don)) {
        state.SkipWithError("no audio device or no don.wav");
        return;
    }
    const int index = SDL_JoystickAttachVirtual(SDL_JOYSTICK_TYPE_GAMECONTROLLER, 6, 21, 0);
    SDL_Joystick* pad = SDL_JoystickOpen(index);
    window->WaitUntil(clock.Now() + 0.01);
    window->DoEvents();  // the pad is connected
    const int trigger = zb::pad::Code(0, zb::pad::Axis(zb::pad::LeftTrigger, true));
    double stampedAt = 0;
    keyboard.SetDownHandler([&](int code, double at) {
        if (code != trigger) return;
        stampedAt = at;
        audio.PlayWave(don);  // as the play screen's handler does
    });
    double pressToStamp = 0, worst = 0;
    int n = 0;
    for (auto _ : state) {
        // The press comes from the pad at any moment while the game waits in its 1 ms pumping,
        // and anywhere in the audio device's period.
        const double before = renderer->HitSoundRenderedAt();
        stampedAt = 0;
        std::atomic<double> pressed{0};
        std::thread player([&] {
            std::this_thread::sleep_for(std::chrono::microseconds(2000 + (n * 2371) % 6000));
            pressed = clock.Now();
            SDL_JoystickSetVirtualAxis(pad, 4, 32767);
        });
        while (stampedAt == 0) window->WaitUntil(clock.Now() + 0.005);
        player.join();
        while (renderer->HitSoundRenderedAt() == before)
            std::this_thread::sleep_for(std::chrono::microseconds(100));
        state.SetIterationTime(std::max(0.0, renderer->HitSoundRenderedAt() - stampedAt));
        pressToStamp += stampedAt - pressed;
        worst = std::max(worst, stampedAt - pressed);
        ++n;
        SDL_JoystickSetVirtualAxis(pad, 4, -32768);  // a trigger's rest
        window->WaitUntil(clock.Now() + 0.002);
    }
    keyboard.SetDownHandler(nullptr);
    state.counters["press_to_stamp_ms"] = pressToStamp / n * 1000.0;
    state.counters["press_to_stamp_max_ms"] = worst * 1000.0;
    SDL_JoystickClose(pad);
    SDL_JoystickDetachVirtual(0);
}
BENCHMARK(BM_PadToSound)->UseManualTime()->Iterations(200)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
