// The ranking file reader and writer: a full ranking with Japanese names, and a hostile
// four-megabyte line.
#include <benchmark/benchmark.h>

#include "netrank/netrank_format.hpp"
#include "platform/sjis_text.hpp"

namespace {

zb::RankingTables FullRanking() {
    zb::RankingTables t;
    for (int j = 0; j < 50; ++j) {
        t.NetTotalScore[j] = 200000 - j * 100;
        t.NetTotalName[j] = "ズバッコ～ﾃｽﾄ" + std::to_string(j);
        for (int s = 0; s < 20; ++s) {
            t.NetSongScore[s][j] = 90000 - j * 50;
            t.NetSongName[s][j] = "ＮＡＭＥ" + std::to_string(j);
        }
    }
    return t;
}

void BM_ReadFullRanking(benchmark::State& state) {
    const std::string file = zb::FormatNetRankFile(FullRanking());
    for (auto _ : state) {
        zb::RankingTables t;
        zb::ParseNetRankLine(t, zb::FirstLine(file));
        benchmark::DoNotOptimize(t.NetSongName[19][49].data());
    }
    state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(file.size()));
}
BENCHMARK(BM_ReadFullRanking);

void BM_WriteFullRanking(benchmark::State& state) {
    const zb::RankingTables t = FullRanking();
    for (auto _ : state) benchmark::DoNotOptimize(zb::FormatNetRankFile(t));
}
BENCHMARK(BM_WriteFullRanking);

void BM_ReadHugeLine(benchmark::State& state) {
    std::string line(2 << 20, '9');
    line += ':' + std::string(1 << 20, '\x82') + ':' + std::string(1 << 20, ':') + ';';
    for (auto _ : state) {
        zb::RankingTables t;
        zb::ParseNetRankLine(t, line);
        benchmark::DoNotOptimize(t.NetTotalName[0].data());
    }
    state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(line.size()));
}
BENCHMARK(BM_ReadHugeLine)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
