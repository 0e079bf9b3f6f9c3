// zubakko-play: plays one chart as the game does, on the headless platform with a virtual
// clock, and prints the final state as one JSON object. A chart author checks a chart with it:
//   zubakko-play --song 0 --difficulty 2 --auto
//   zubakko-play --song 8 --difficulty 3 --keys run.txt --fps 144 --save-replay run.zbr
//   zubakko-play --song-file songs/mine.mid --difficulty 1 --auto
//   zubakko-play --song 4 --difficulty 0 --pad run.txt
//   zubakko-play --replay replays/000012_s8_d3.zbr
//   zubakko-play --replay replays/000012_s8_d3.zbr --export-midi take.mid
//   zubakko-play --song 8 --difficulty 3 --keys run.txt --ghost replays/000012_s8_d3.zbr
//   zubakko-play --history ~/.local/share/zubakko --json
// A keys file holds one key change a line: "<ms> <vk> down|up", ms being the music position
// since the start of the song's music file; a pad file "<ms> <input> down|up" with a game
// controller's input names. --pad-bindings prints the pad's default bindings. A replay plays back
// a song played by hand (the game keeps them in replays/ beside the scores) and reports the same
// figures the player saw. --practice plays as the practice screen does, at a tempo R (0.5-1.5),
// looping bars A to B N times, and prints each pass; its key times are the player's clock from
// the start of play, so a note due at music position T is struck at T / R. With --wait the song
// halts at each note until it is struck: a note it waited for is struck at its due time plus
// every wait before it, and each pass reports Waited and WaitedMs. --history prints a save
// folder's play history (history.txt) as the 記録 screen plots it.
#include <algorithm>
#include <ctime>
#include <exception>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <optional>
#include <stdexcept>

#include "core/devices_file.hpp"
#include "core/file_replace.hpp"
#include "platform/headless/headless.hpp"
#include "tools/play/play_tool.hpp"

namespace {

constexpr const char* kUsage =
    "usage: zubakko-play (--song S | --song-file FILE.mid) --difficulty D [--auto] [--mode M]\n"
    "                    [--keys FILE] [--pad FILE] [--kit FILE [--kit-map FILE]]\n"
    "                    [--config config.dat] [--delay N] [--offsets FILE]\n"
    "                    [--frame F] [--bigwait] [--fps N] [--save-replay OUT]\n"
    "                    [--ghost REPLAY]\n"
    "       zubakko-play (--song S | --song-file FILE.mid) --difficulty D --practice\n"
    "                    [--rate R] [--from-bar A --to-bar B [--loops N]] [--ramp] [--wait]\n"
    "                    [--auto | --keys FILE]\n"
    "       zubakko-play --replay FILE [--song-file FILE.mid] [--export-midi OUT.mid]\n"
    "       zubakko-play --history SAVE_FOLDER [--json]\n"
    "       zubakko-play --pad-bindings\n"
    "       zubakko-play --kit-map-defaults\n";

// A throw-away program folder, so that a high score of a scripted run never reaches the
// player's score.dat.
struct ScratchDir {
    std::filesystem::path path;
    ScratchDir() {
        std::string tmpl =
            (std::filesystem::temp_directory_path() / "zubakko-play.XXXXXX").string();
        if (!mkdtemp(tmpl.data())) throw std::runtime_error("cannot make a temporary folder");
        path = tmpl;
    }
    ~ScratchDir() {
        std::error_code ec;
        std::filesystem::remove_all(path, ec);
    }
};

// The save folder's history: the 記録 screen's figures, the days counted up to today.
int PrintHistory(std::string dir) {
    std::error_code ec;
    if (!std::filesystem::is_directory(dir, ec)) {
        std::cerr << "zubakko-play: " << dir << ": no such folder\n";
        return 1;
    }
    if (dir.back() != '/') dir += '/';
    zb::headless::HeadlessPlatform hp(dir);
    zb::Game game(hp.ports);
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    const zb::CalendarDate today{local.tm_year + 1900, local.tm_mon + 1, local.tm_mday};
    std::cout << zb::tool::HistoryJson(zb::ReadPlayHistory(game), today) << "\n";
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    using namespace zb::tool;
    Options o;
    std::vector<KeyEvent> keys;
    try {
        o = ParseOptions(std::vector<std::string>(argv + 1, argv + argc));
        if (o.padBindings) {
            std::cout << PadBindingsJson() << "\n";
            return 0;
        }
        if (!o.historyDir.empty()) return PrintHistory(o.historyDir);
        if (o.kitMapDefaults) {
            std::cout << KitMapDefaultsJson() << "\n";
            return 0;
        }
        const auto read = [](const std::string& path, const char* what) {
            std::ifstream in(path, std::ios::binary);
            if (!in)
                throw std::invalid_argument(std::string("cannot read the ") + what + " " + path);
            return std::string(std::istreambuf_iterator<char>(in), {});
        };
        if (!o.keysFile.empty()) keys = ParseKeys(read(o.keysFile, "keys file"));
        if (!o.kitFile.empty()) o.kitStrokes = ParseKit(read(o.kitFile, "kit file"));
        if (!o.kitMapFile.empty()) o.kitMap = ParseKitMap(read(o.kitMapFile, "kit map"));
        if (!o.offsetsFile.empty()) try {
                o.offsets = zb::ReadOffsetLines(read(o.offsetsFile, "offsets file"));
            } catch (const std::runtime_error& e) {
                throw std::invalid_argument(o.offsetsFile + ": " + e.what());
            }
        if (!o.padFile.empty()) {
            const std::vector<KeyEvent> pad = ParsePad(read(o.padFile, "pad file"));
            keys.insert(keys.end(), pad.begin(), pad.end());
            std::stable_sort(keys.begin(), keys.end(),
                             [](const KeyEvent& a, const KeyEvent& b) { return a.ms < b.ms; });
        }
    } catch (const std::invalid_argument& e) {
        std::cerr << "zubakko-play: " << e.what() << "\n" << kUsage;
        return 2;
    }
    try {
        ScratchDir dir;
        if (!o.replayFile.empty()) {
            std::string bytes, why;
            if (!zb::ReadWholeFile(o.replayFile, bytes, 64 << 20, &why)) {
                std::cerr << "zubakko-play: " << o.replayFile << ": " << why << "\n";
                return 1;
            }
            zb::Replay replay;
            try {
                replay = zb::DecodeReplay(bytes);
            } catch (const std::runtime_error& e) {
                std::cerr << "zubakko-play: " << o.replayFile << ": " << e.what() << "\n";
                return 1;
            }
            if (!o.exportMidi.empty()) {
                const zb::PlayMidi m =
                    ExportReplayMidi(replay, o.songFile, o.exportMidi, dir.path.string() + "/");
                if (m.strikesOnly)
                    std::cerr << "zubakko-play: " << o.replayFile
                              << ": recorded before strokes kept their notes and velocities: "
                                 "the keys' and pads' strikes alone are written\n";
                std::cout << "{\"Strokes\":" << m.strokes
                          << ",\"StrikesOnly\":" << (m.strikesOnly ? "true" : "false") << "}\n";
                return 0;
            }
            ReplayCheck check;
            const zb::SongResult r = PlayReplay(replay, dir.path.string() + "/", check, o.songFile);
            if (!check.reproduced) {
                std::cerr << "zubakko-play: " << o.replayFile << ": " << check.message << "\n";
                return 1;
            }
            if (!check.message.empty())
                std::cerr << "zubakko-play: " << o.replayFile << ": " << check.message << "\n";
            std::cout << WithOffsetByDevice(ToJsonWithTiming(r), r) << "\n";
            return 0;
        }
        if (o.practice) {
            std::cout << PracticeJson(PracticeChart(o, keys, dir.path.string() + "/")) << "\n";
            return 0;
        }
        // The ghost is played through first, in a folder of its own: a refused one plays nothing.
        std::optional<zb::SongResult> ghost;
        if (!o.ghostFile.empty()) {
            std::string bytes, why;
            if (!zb::ReadWholeFile(o.ghostFile, bytes, 64 << 20, &why)) {
                std::cerr << "zubakko-play: " << o.ghostFile << ": " << why << "\n";
                return 1;
            }
            try {
                ScratchDir ghostDir;
                ghost = PlayGhost(zb::DecodeReplay(bytes), o, ghostDir.path.string() + "/");
            } catch (const std::runtime_error& e) {
                std::cerr << "zubakko-play: " << o.ghostFile << ": " << e.what() << "\n";
                return 1;
            }
        }
        PlayMeasures m;
        zb::Replay record;
        const zb::SongResult r = PlayChart(o, keys, dir.path.string() + "/", &m, &record);
        if (!o.saveReplay.empty() &&
            !zb::SaveDataFile(o.saveReplay, zb::EncodeReplay(record), "the replay is not saved"))
            return 1;
        const std::string json = WithOffsetByDevice(ToJson(r, m), r);
        std::cout << (ghost ? WithGhost(json, r, *ghost) : json) << "\n";
    } catch (const std::out_of_range&) {
        std::cerr << "zubakko-play: "
                  << (o.songFile.empty() ? "song " + std::to_string(o.song) : o.songFile)
                  << " has no chart at difficulty " << o.difficulty << "\n";
        return 1;
    } catch (const std::exception& e) {
        std::cerr << "zubakko-play: " << e.what() << "\n";
        return 1;
    }
    return 0;
}
