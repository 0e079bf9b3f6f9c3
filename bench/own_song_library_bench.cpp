// A library of 10,000 own songs: distinct MIDI files made from Debian's openttd-openmsx ones (each
// with a text event of its own), in 100 folders. Measured in-process on the headless platform,
// through the song select screen's own code: from the title's click (the course's song select
// starting) to its first picture and to its first answer to a key, cold (no cache: the folder is
// read in the background meanwhile) and warm (the cache of the cold run); the cold scan's wall
// and CPU time; the longest answer to a key while the cold scan runs; a search's first result;
// the cache's size; RssAnon and the peak (VmHWM) more than with no songs. Goals: warm first
// picture ≤ 150 ms, search ≤ 50 ms, cold scan ≤ 20 s of one core with answers within 50 ms,
// ≤ 40 MB more memory. Run BM_Memory alone: in one process with the others, the memory they freed
// is used again and nothing seems to grow.
#include <benchmark/benchmark.h>
#include <time.h>

#include <chrono>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <thread>

#include "core/own_song_scan.hpp"
#include "core/own_songs.hpp"
#include "core/screen_stack.hpp"
#include "course/song_finder.hpp"
#include "course/song_select.hpp"
#include "platform/headless/headless.hpp"

namespace {

namespace fs = std::filesystem;
constexpr int kFiles = 10000;
constexpr const char* kOpenMsx = "/usr/share/games/openttd/baseset/openmsx";

double Seconds() {
    return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

double CpuSeconds() {
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return double(t.tv_sec) + double(t.tv_nsec) / 1e9;
}

// A line of /proc/self/status in kB.
double StatusKb(const char* name) {
    std::ifstream in("/proc/self/status");
    std::string line;
    while (std::getline(in, line))
        if (line.rfind(name, 0) == 0) return std::stod(line.substr(std::strlen(name) + 1));
    return 0;
}

// The file with a text event at the start of its first track, which makes its content its own.
std::string WithText(const std::string& midi, const std::string& text) {
    const size_t trk = midi.find("MTrk");
    std::string event = std::string("\x00\xFF\x01", 3) + char(text.size()) + text;
    std::string out = midi.substr(0, trk + 8) + event + midi.substr(trk + 8);
    uint32_t len = 0;
    for (int i = 0; i < 4; ++i) len = len << 8 | uint8_t(midi[trk + 4 + size_t(i)]);
    len += uint32_t(event.size());
    for (int i = 0; i < 4; ++i) out[trk + 4 + size_t(i)] = char(len >> (24 - 8 * i));
    return out;
}

// Writes the 10,000 files into `songs`, 100 to a folder.
void WriteSongs(const fs::path& songs) {
    std::vector<std::string> sources;
    for (const auto& e : fs::directory_iterator(kOpenMsx))
        if (e.path().extension() == ".mid") {
            std::ifstream in(e.path(), std::ios::binary);
            sources.emplace_back(std::istreambuf_iterator<char>(in),
                                 std::istreambuf_iterator<char>());
        }
    std::sort(sources.begin(), sources.end());
    size_t total = 0;
    for (int i = 0; i < kFiles; ++i) {
        const fs::path folder = songs / ("folder" + std::to_string(i / 100));
        if (i % 100 == 0) fs::create_directories(folder);
        const std::string bytes =
            WithText(sources[size_t(i) % sources.size()], "zubakko bench " + std::to_string(i));
        total += bytes.size();
        std::ofstream(folder / ("song" + std::to_string(i) + ".mid"), std::ios::binary) << bytes;
    }
    std::fprintf(stderr, "%d files from %zu sources, %zu KB in all\n", kFiles, sources.size(),
                 total / 1024);
}

const fs::path& AppDir() {
    static const fs::path dir = [] {
        fs::path d = fs::temp_directory_path() / "zubakko-library-bench";
        fs::remove_all(d);
        fs::create_directories(d);
        // The song select screen's pictures, as the program finds them beside it.
        fs::create_directory_symlink(fs::path(ZB_BINARY_DIR) / "img", d / "img");
        WriteSongs(d / "songs");
        return d;
    }();
    return dir;
}

struct Opened {
    double firstPicture = 0, firstAnswer = 0, longestAnswer = 0, scanWall = 0, scanCpu = 0;
    size_t songs = 0;
};

// Opens the かんたん course's song select on a fresh game, taps Right every 50 ms of the screen's
// time and measures real time. With `untilRead`, stays until the folder is read.
Opened OpenSongSelect(bool untilRead) {
    zb::headless::HeadlessPlatform hp((AppDir() / "").string());
    zb::Game game(hp.ports);
    Opened o;
    const double click = Seconds(), cpu = CpuSeconds();
    double pressed = -1, nextTap = 0;
    size_t shown = 0;
    hp.window.onYield = [&] {
        // The screen's clock runs no faster than the real one, as in the real window.
        if (const double ahead = hp.clock.Now() - (Seconds() - click); ahead > 0)
            std::this_thread::sleep_for(std::chrono::duration<double>(ahead));
        const double now = Seconds();
        if (o.firstPicture == 0 && game.ScreenState == zb::Screen::SongSelect) {
            o.firstPicture = now - click;
            shown = hp.music.History().size();
        }
        if (o.firstPicture == 0) return;
        if (pressed >= 0 && hp.music.History().size() != shown) {  // the next song previews
            const double answer = now - pressed;
            if (o.firstAnswer == 0) o.firstAnswer = answer;
            o.longestAnswer = std::max(o.longestAnswer, answer);
            shown = hp.music.History().size();
            hp.keyboard.Release(zb::vk::Right);
            pressed = -1;
        }
        if (pressed < 0 && hp.clock.Now() >= nextTap) {
            hp.keyboard.Press(zb::vk::Right);
            pressed = now;
            nextTap = hp.clock.Now() + 0.05;
        }
        const bool read = game.ownSongs.scanned && !game.ownSongs.reading;
        if (o.firstAnswer > 0 && (!untilRead || read)) throw zb::ProgramEnd{};
    };
    try {
        zb::RunScreen(game, std::make_unique<zb::CourseScreen>(zb::Course{.difficulty = 0}));
    } catch (const zb::ProgramEnd&) {
    }
    o.scanWall = Seconds() - click;
    o.scanCpu = CpuSeconds() - cpu;
    o.songs = game.ownSongs.songs.size();
    return o;
}

void Report(benchmark::State& state, const Opened& o) {
    state.counters["first_picture_ms"] = o.firstPicture * 1000;
    state.counters["first_answer_ms"] = o.firstAnswer * 1000;
    state.counters["songs"] = double(o.songs);
}

void BM_ColdScan(benchmark::State& state) {
    for (auto _ : state) {
        fs::remove(AppDir() / zb::kOwnSongCacheFile);
        const Opened o = OpenSongSelect(true);
        Report(state, o);
        state.counters["longest_answer_ms"] = o.longestAnswer * 1000;
        state.counters["scan_s"] = o.scanWall;
        state.counters["scan_cpu_s"] = o.scanCpu;
        state.counters["cache_kb"] = double(fs::file_size(AppDir() / zb::kOwnSongCacheFile)) / 1024;
    }
}
BENCHMARK(BM_ColdScan)->Iterations(1)->Repetitions(3)->Unit(benchmark::kMillisecond);

void BM_WarmOpen(benchmark::State& state) {
    for (auto _ : state) Report(state, OpenSongSelect(false));
}
BENCHMARK(BM_WarmOpen)->Iterations(1)->Repetitions(5)->Unit(benchmark::kMillisecond);

void BM_SearchFirstResult(benchmark::State& state) {
    zb::headless::HeadlessPlatform hp((AppDir() / "").string());
    zb::Game game(hp.ports);
    zb::FinishOwnSongs(game);
    const zb::SongList list = zb::BuildSongList(0, false, game.ownSongs.songs);
    zb::SongFinder finder;
    finder.Build(list, game.ownSongs.songs, (AppDir() / "songs/").string());
    for (auto _ : state) {
        const std::vector<int> found = finder.Find("Careless");
        if (found.empty()) state.SkipWithError("nothing found");
        benchmark::DoNotOptimize(found.data());
    }
}
BENCHMARK(BM_SearchFirstResult)->Unit(benchmark::kMillisecond)->Repetitions(5);

// Memory: a game with the library read from the cache, against the same game before.
void BM_Memory(benchmark::State& state) {
    for (auto _ : state) {
        AppDir();
        std::ofstream("/proc/self/clear_refs") << "5";  // the peak starts again from now
        const double anon = StatusKb("RssAnon:"), peak = StatusKb("VmHWM:");
        zb::headless::HeadlessPlatform hp((AppDir() / "").string());
        zb::Game game(hp.ports);
        zb::FinishOwnSongs(game);
        const zb::SongList list = zb::BuildSongList(0, true, game.ownSongs.songs);
        zb::SongFinder finder;
        finder.Build(list, game.ownSongs.songs, (AppDir() / "songs/").string());
        state.counters["rss_anon_more_mb"] = (StatusKb("RssAnon:") - anon) / 1024;
        state.counters["vm_hwm_more_mb"] = (StatusKb("VmHWM:") - peak) / 1024;
    }
}
BENCHMARK(BM_Memory)->Iterations(1)->Unit(benchmark::kMillisecond);

}  // namespace

// `--write-songs FOLDER` only writes the files there (the real-window check of
// tests/library uses them); anything else runs the benchmarks.
int main(int argc, char** argv) {
    if (argc == 3 && std::strcmp(argv[1], "--write-songs") == 0) {
        WriteSongs(argv[2]);
        return 0;
    }
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
