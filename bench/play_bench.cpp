// The cost of the play loop's frame at the densest moment of song 8 at difficulty 3, without
// showing the window (also with the hit-error bar on), the cost of composing the play screen for
// showing (the present), and of drawing the results' histogram of a song's strikes; and a whole
// replay played through unseen (a ghost before its race, or a seek's replay from the start).
// Run: build/bench/play_bench --benchmark_repetitions=5
#include <benchmark/benchmark.h>

#include <memory>

#include "core/chart_loader.hpp"
#include "core/picture_sets.hpp"
#include "platform/headless/headless.hpp"
#include "platform/ttf_text.hpp"
#include "play/play_field.hpp"
#include "play/play_frame.hpp"
#include "play/play_screen.hpp"
#include "play/play_screen_setup.hpp"
#include "play/play_song.hpp"
#include "play/replay.hpp"
#include "play/timing_drawing.hpp"

namespace zb {
namespace {

// The play screen of song 8 at difficulty 3 with its pictures, the music at the moment when
// the most notes and bar lines stand on the lane.
struct DenseMoment {
    headless::HeadlessPlatform hp{std::string(ZB_BINARY_DIR) + "/"};
    Game game{hp.ports};
    PlayState st;

    DenseMoment() {
        LoadFirstPictureSet(game);
        PlayScreenSetup(game, {8, 3}, false, false);
        LoadChart(game, {.song = 8, .difficulty = 3}, 0);
        const Chart& c = game.chart;
        // The drawn stretch is lane offsets -300 to 500 from the scroll position.
        int bestCount = -1;
        int32_t bestScroll = 0;
        for (int32_t s = 0; s < int32_t(c.ChartText.size()) * c.NoteSpacing; s += c.NoteSpacing) {
            int n = 0;
            for (size_t w = 1; w <= c.ChartText.size(); ++w) {
                const int32_t x = int32_t(w) * c.NoteSpacing - s;
                if (x >= -300 && x <= 500 && c.ChartText[w - 1] != '0') ++n;
            }
            if (n > bestCount) bestCount = n, bestScroll = s;
        }
        const double pxPerCs = double(c.ChartText.size()) * c.NoteSpacing / c.ChartSpan;
        hp.clock.Set((bestScroll + c.ChartDelay - c.ChartOffset) / pxPerCs / 100.0);
        st.Chart = {.song = 8, .difficulty = 3};
        SetUpPlay(game, st);
        PlayFrame(game, st);  // sweeps the notes already passed, as the loop would have
    }
};

void BM_PlayFrameAtTheDensestMoment(benchmark::State& state) {
    DenseMoment m;
    for (auto _ : state) {
        PlayFrame(m.game, m.st);
        if (m.st.FrameCount % 10 == 0) DrawBackground(m.game, m.st);
        m.st.FrameCount = int16_t((m.st.FrameCount + 1) % 10000);
        benchmark::DoNotOptimize(m.game.form.pFumen.Dc().Pixels().data());
    }
}
BENCHMARK(BM_PlayFrameAtTheDensestMoment)->Unit(benchmark::kMicrosecond);

// The same frame with the hit-error bar on and a dozen strikes' ticks on it.
void BM_PlayFrameWithTheHitErrorBar(benchmark::State& state) {
    DenseMoment m;
    m.game.options.HitErrorBar = true;
    for (int i = 0; i < 12; ++i)
        m.st.Strikes.push_back(
            {.offsetMs = (i - 6) * 7.0, .frame = m.st.Frames - i * 9, .device = {}});
    for (auto _ : state) {
        PlayFrame(m.game, m.st);
        if (m.st.FrameCount % 10 == 0) DrawBackground(m.game, m.st);
        m.st.FrameCount = int16_t((m.st.FrameCount + 1) % 10000);
        benchmark::DoNotOptimize(m.game.form.pFumen.Dc().Pixels().data());
    }
}
BENCHMARK(BM_PlayFrameWithTheHitErrorBar)->Unit(benchmark::kMicrosecond);

// The results' histogram of a song's 800 strikes (drawn once, after the song).
void BM_DrawTheStrikeHistogram(benchmark::State& state) {
    std::vector<StrikeTiming> strikes;
    for (int i = 0; i < 800; ++i)
        strikes.push_back({.offsetMs = (i % 61 - 30) * 2.9, .device = {}});
    Surface s(150, 60);
    for (auto _ : state) {
        DrawStrikeHistogram(s, strikes, {.best = 32.5, .good = 65, .outer = 97.5});
        benchmark::DoNotOptimize(s.Pixels().data());
    }
}
BENCHMARK(BM_DrawTheStrikeHistogram)->Unit(benchmark::kMicrosecond);

void BM_PresentThePlayScreen(benchmark::State& state) {
    DenseMoment m;
    std::unique_ptr<TextRenderer> text;
    try {
        text = std::make_unique<TtfText>();
    } catch (const std::exception&) {
        text = std::make_unique<NullText>();
    }
    Surface out;
    for (auto _ : state) {
        ComposeForm(m.game.form, *text, out);
        benchmark::DoNotOptimize(out.Pixels().data());
    }
}
BENCHMARK(BM_PresentThePlayScreen)->Unit(benchmark::kMicrosecond);

// Song 8 at difficulty 3, its longest chart, struck by hand on every note; then its replay
// played through unseen, as a race does before the song starts.
void BM_ReplayPlayedThroughUnseen(benchmark::State& state) {
    headless::HeadlessPlatform hp{std::string(ZB_BINARY_DIR) + "/"};
    Game game{hp.ports};
    game.settings.DelaySetting = 0;
    const PlayRequest q{.chart = {.song = 8, .difficulty = 3}};
    PlayScreenSetup(game, q);
    LoadChart(game, q.chart, 0);
    const Chart& c = game.chart;
    const double msPerPx = double(c.ChartSpan) * 10 / (double(c.ChartText.size()) * c.NoteSpacing);
    const double start = hp.clock.Now();
    for (int i = 1; i <= c.NoteCount; ++i) {
        const double at = start + (c.NotePos[size_t(i)] - c.ChartOffset) * msPerPx / 1000;
        const int key = game.settings.KeyCodes[size_t(i % 4)];
        hp.keyboard.At(at, key, true);
        hp.keyboard.At(at + 0.01, key, false);
    }
    Replay replay;
    PlayOptions o;
    o.record = &replay;
    o.keepReplay = false;
    PlaySong(game, q, o);
    for (auto _ : state) benchmark::DoNotOptimize(PlayUnseen(game, replay, q.chart.song));
    state.counters["frames"] = double(replay.outcome.frames);
}
BENCHMARK(BM_ReplayPlayedThroughUnseen)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace zb

BENCHMARK_MAIN();
