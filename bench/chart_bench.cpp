// How long the chart loader takes for the longest chart (song 8 at difficulty 3, 2209 positions,
// 1342 notes): the course runner calls it right before the music starts.
#include <benchmark/benchmark.h>

#include "core/chart_loader.hpp"
#include "platform/headless/headless.hpp"

namespace {

void BM_LoadChartLongest(benchmark::State& state) {
    zb::headless::HeadlessPlatform platform("/bench/");
    zb::Game game(platform.ports);
    for (auto _ : state) {
        zb::LoadChart(game, {.song = 8, .difficulty = 3}, 0);
        benchmark::DoNotOptimize(game.chart.NotePos.data());
    }
}
BENCHMARK(BM_LoadChartLongest);

void BM_LoadChartLongestRandomKinds(benchmark::State& state) {
    zb::headless::HeadlessPlatform platform("/bench/");
    zb::Game game(platform.ports);
    game.chart.Mode = zb::Modifier::RandomDonKan;
    for (auto _ : state) {
        zb::LoadChart(game, {.song = 8, .difficulty = 3}, 0);
        benchmark::DoNotOptimize(game.chart.NotePos.data());
    }
}
BENCHMARK(BM_LoadChartLongestRandomKinds);

}  // namespace

BENCHMARK_MAIN();
