// Reading the songs/ folder: 30 song files like the ones players bring (a drum part and up to a
// dozen other parts, 50-250 KB, one to four minutes, tempo changes), each read, hashed and charted
// at three levels, as the first song select screen does. Goal: at most a second for the folder.
// Also one file alone, and the chart loader's part for an own song (it reads its file again).
#include <benchmark/benchmark.h>

#include <filesystem>
#include <fstream>

#include "core/chart_loader.hpp"
#include "core/own_songs.hpp"
#include "platform/headless/headless.hpp"
#include "tests/common/typical_song.hpp"

namespace {

namespace fs = std::filesystem;

// The folder of 30 files, made once; sizes and lengths spread over the typical range.
const fs::path& SongFolder() {
    static const fs::path dir = [] {
        fs::path d = fs::temp_directory_path() / "zubakko-scan-bench";
        fs::remove_all(d);
        fs::create_directories(d / "songs");
        size_t total = 0;
        for (int i = 0; i < 30; ++i) {
            zb::testing::TypicalSong s;
            s.bars = 32 + i * 3;        // about one to four minutes
            s.extraParts = 15 + i % 7;  // 50 to 250 KB
            s.name = "Song " + std::to_string(i);
            const std::string bytes = zb::testing::TypicalSongBytes(s);
            total += bytes.size();
            std::ofstream(d / "songs" / ("song" + std::to_string(i) + ".mid"), std::ios::binary)
                << bytes;
        }
        std::fprintf(stderr, "30 files, %zu KB in all\n", total / 1024);
        return d;
    }();
    return dir;
}

void BM_ScanThirtySongs(benchmark::State& state) {
    const std::string folder = (SongFolder() / "songs").string();
    for (auto _ : state) {
        const auto songs = zb::ScanOwnSongFolder(folder);
        if (songs.size() != 30 || !songs[0].playable) state.SkipWithError("not all songs read");
        benchmark::DoNotOptimize(songs.data());
    }
}
BENCHMARK(BM_ScanThirtySongs)->Unit(benchmark::kMillisecond);

void BM_ReadOneFourMinuteSong(benchmark::State& state) {
    const std::string file = (SongFolder() / "songs" / "song29.mid").string();
    for (auto _ : state) benchmark::DoNotOptimize(zb::ReadOwnSong(file).song.levels);
}
BENCHMARK(BM_ReadOneFourMinuteSong)->Unit(benchmark::kMillisecond);

void BM_LoadOwnChart(benchmark::State& state) {
    zb::headless::HeadlessPlatform platform((SongFolder() / "").string());
    zb::Game game(platform.ports);
    const int16_t song = zb::AddOwnSong(game, (SongFolder() / "songs" / "song29.mid").string());
    for (auto _ : state) {
        zb::LoadChart(game, {.song = song, .difficulty = 2}, 0);
        benchmark::DoNotOptimize(game.chart.NotePos.data());
    }
}
BENCHMARK(BM_LoadOwnChart)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
