// The platform's drawing costs: the masked sprite copy, composing a busy form, and one full
// present of the real window (compose, texture upload, scaling, present). The present needs a
// display: without one it is skipped with a message (run it under `xvfb-run -a`). Beside them,
// a kit stroke's hygiene: what the filter costs each stroke before it becomes a key's event.
#include <SDL.h>
#include <benchmark/benchmark.h>

#include <memory>
#include <stdexcept>

#include "platform/compose.hpp"
#include "platform/kit_hygiene.hpp"
#include "platform/sdl/sdl_platform.hpp"
#include "platform/ttf_text.hpp"

namespace zb {

namespace {

Surface Pattern(int w, int h, uint32_t seed) {
    Surface s(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            s.SetPixel(x, y, (uint32_t(x * 37 + y * 101) * seed) & 0xFFFFFF);
    return s;
}

void Box(PictureBox& p, int x, int y, int w, int h, uint32_t seed) {
    p.Left = x * kTwipsPerPixel, p.Top = y * kTwipsPerPixel;
    p.SetPicture(Pattern(w, h, seed));
    p.SetSizePx(w, h);
    p.Visible = true;
}

void Text(LabelControl& l, const char* caption, int x, int y, int w, int h, double pt) {
    l.Caption = caption;
    l.FontSize = pt;
    l.ForeColor = colors::White;
    l.BackColor = colors::Black;
    l.Left = x * kTwipsPerPixel, l.Top = y * kTwipsPerPixel;
    l.Width = w * kTwipsPerPixel, l.Height = h * kTwipsPerPixel;
    l.Visible = true;
}

// Like the play screen: the background, the lane, the gauge, the drummer, the judgement boxes,
// the score and combo labels.
void BusyForm(MainForm& f) {
    Box(f.pHaikei, 0, 0, 667, 500, 3);
    Box(f.pFumen, 0, 150, 667, 96, 5);
    Box(f.pGage, 200, 100, 400, 32, 7);
    Box(f.pInu, 20, 300, 160, 160, 11);
    for (int i = 0; i < 4; ++i) Box(f.Picture1[size_t(i)], 220 + i * 100, 300, 64, 64, 13 + i);
    Text(f.Label[0], "スコア 1234560", 400, 20, 250, 30, 16);
    Text(f.Label[1], "コンボ 128", 400, 60, 200, 30, 16);
    Text(f.Label[2], "ＦＦ４バトル２", 10, 10, 300, 30, 14);
    Text(f.Label[3], "むずかしい", 10, 50, 200, 30, 12);
}

}  // namespace

static void BM_BlitMasked64(benchmark::State& state) {
    const Surface sprite = Pattern(64, 64, 17), mask = Pattern(64, 64, 19);
    Surface dst = Pattern(667, 500, 23);
    int x = 0;
    for (auto _ : state) {
        BlitMasked(sprite, mask, 0, 0, 64, 64, dst, x, 200);
        x = (x + 7) % 600;
        benchmark::DoNotOptimize(dst.Row(200));
    }
    state.SetItemsProcessed(state.iterations() * 64 * 64);
}
BENCHMARK(BM_BlitMasked64);

static void BM_ComposeBusyForm(benchmark::State& state) {
    TtfText text;
    auto form = std::make_unique<MainForm>();
    BusyForm(*form);
    Surface out;
    for (auto _ : state) {
        ComposeForm(*form, text, out);
        benchmark::DoNotOptimize(out.Row(0));
    }
}
BENCHMARK(BM_ComposeBusyForm)->Unit(benchmark::kMicrosecond);

// One present of the real window at a given size: 667 x 500 (no scaling), 1334 x 1000 (an exact
// double) and 1000 x 600 (the sharp scaling through a prescaled picture).
static void BM_WindowPresent(benchmark::State& state) {
    sdl::SdlClock clock;
    sdl::SdlKeyboard keyboard;
    std::unique_ptr<sdl::SdlWindow> window;
    try {
        window = std::make_unique<sdl::SdlWindow>(clock, keyboard);
    } catch (const std::runtime_error& e) {
        state.SkipWithError((std::string("no display, present not measured: ") + e.what()).c_str());
        return;
    }
    SDL_SetWindowSize(window->Handle(), int(state.range(0)), int(state.range(1)));
    window->DoEvents();
    int w = 0, h = 0;
    SDL_GetRendererOutputSize(SDL_GetRenderer(window->Handle()), &w, &h);
    if (w != state.range(0) || h != state.range(1)) {
        state.SkipWithError("the window did not take the size");
        return;
    }
    BusyForm(window->Form());
    int n = 0;
    for (auto _ : state) {
        // A changed picture each time, so nothing is skipped as already shown.
        window->Form().Label[1].ForeColor = Color::Rgb(255, n++ & 255, 0);
        window->Present();
    }
}
BENCHMARK(BM_WindowPresent)
    ->Args({667, 500})
    ->Args({1334, 1000})
    ->Args({1000, 600})
    ->Unit(benchmark::kMillisecond);

}  // namespace zb

// A busy kit: strokes 2 ms apart over eight pads, every fourth read twice and every fifth heard
// faintly by the pad beside it, with floors on half the notes.
static void BM_KitHygieneJudge(benchmark::State& state) {
    zb::kit::Hygiene rules;
    for (int n = 35; n < 60; n += 2) rules.floor[size_t(n)] = 20;
    zb::kit::HygieneFilter filter;
    filter.SetRules(rules);
    double at = 0;
    int i = 0, kept = 0;
    for (auto _ : state) {
        const int note = 36 + (i % 8) * 2 + (i % 5 == 0);
        const int velocity = i % 5 == 0 ? 30 : 40 + i % 80;
        kept += filter.Judge(note, velocity, i % 4 == 1 ? at + 0.001 : at) == zb::kit::Fate::Kept;
        at += 0.002;
        ++i;
    }
    benchmark::DoNotOptimize(kept);
    state.counters["kept"] = benchmark::Counter(kept, benchmark::Counter::kAvgIterations);
}
BENCHMARK(BM_KitHygieneJudge);

BENCHMARK_MAIN();
