#include "play/replay_store.hpp"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <iostream>
#include <vector>

#include "core/file_replace.hpp"
#include "core/midi_file.hpp"
#include "core/own_songs.hpp"
#include "platform/stderr_line.hpp"
#include "play/midi_export.hpp"

namespace zb {

namespace fs = std::filesystem;

namespace {

// The number a replay's name starts with; -1 for a file that is not one of ours.
long ReplayNumber(const fs::path& p) {
    if (p.extension() != ".zbr") return -1;
    const std::string name = p.filename().string();
    size_t digits = 0;
    while (digits < name.size() && name[digits] >= '0' && name[digits] <= '9') ++digits;
    if (digits == 0 || digits > 9) return -1;
    return std::stol(name.substr(0, digits));
}

}  // namespace

std::string ReplayFolder(const Game& game) {
    return game.SaveDir() + "replays/";
}

namespace {

// The replays kept now, oldest first, and the path the next one takes.
std::string NextReplayPath(const fs::path& folder, const Replay& replay,
                           std::vector<std::pair<long, fs::path>>& kept) {
    std::error_code ec;
    for (const fs::directory_entry& e : fs::directory_iterator(folder, ec))
        if (const long n = ReplayNumber(e.path()); n >= 0 && e.is_regular_file(ec))
            kept.push_back({n, e.path()});
    std::sort(kept.begin(), kept.end());
    const long next = kept.empty() ? 1 : kept.back().first + 1;
    char name[64];
    std::snprintf(name, sizeof name, "%06ld_s%d_d%d.zbr", next, replay.chart.song,
                  replay.chart.difficulty);
    return (folder / name).string();
}

}  // namespace

std::string KeepReplay(const Game& game, const Replay& replay,
                       const std::set<std::string>& spared) {
    const fs::path folder = ReplayFolder(game);
    std::error_code ec;
    fs::create_directories(folder, ec);
    if (ec) {
        std::cerr << folder.string() << ": cannot make the replay folder: " << ec.message()
                  << "; this play's replay is not kept\n";
        return {};
    }
    std::vector<std::pair<long, fs::path>> kept;
    const std::string path = NextReplayPath(folder, replay, kept);
    const long next = kept.empty() ? 1 : kept.back().first + 1;
    if (!SaveDataFile(path, EncodeReplay(replay), "this play's replay is not kept")) return {};
    kept.push_back({next, path});
    // The newest stay; the oldest go, but a chart's best, which a later play races.
    for (size_t i = 0; i + kKeptReplays < kept.size(); ++i)
        if (!spared.contains(kept[i].second.filename().string())) fs::remove(kept[i].second, ec);
    return path;
}

std::string SavePlayMidi(const Game& game, const Replay& replay, int song) {
    const fs::path folder = ReplayFolder(game);
    std::error_code ec;
    fs::create_directories(folder, ec);
    std::string why, music;
    if (!ec) {
        std::vector<std::pair<long, fs::path>> kept;
        const std::string path = MidiPathBeside(NextReplayPath(folder, replay, kept));
        const OwnSong* own = IsOwnSong(song) ? FindOwnSong(game, song) : nullptr;
        const std::string file = own ? own->path : game.AppDir() + SongMusicFile(song);
        try {
            if (!ReadWholeFile(file, music, kMidiMaxBytes, &why))
                throw std::runtime_error(file + ": " + why);
            const PlayMidi m = ExportPlayMidi(music, replay);
            if (!WriteNewFile(path, m.bytes, why)) throw std::runtime_error(path + ": " + why);
            return "MIDIファイルに書き出しました：" + fs::path(path).filename().string();
        } catch (const std::runtime_error& e) {
            why = e.what();
        }
    } else {
        why = folder.string() + ": " + ec.message();
    }
    SayOnStderr("the play is not saved as a MIDI file: " + why);
    return "MIDIファイルに書き出せませんでした";
}

}  // namespace zb
