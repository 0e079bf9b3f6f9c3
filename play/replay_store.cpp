#include "play/replay_store.hpp"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <iostream>
#include <vector>

#include "core/file_replace.hpp"

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

std::string KeepReplay(const Game& game, const Replay& replay) {
    const fs::path folder = ReplayFolder(game);
    std::error_code ec;
    fs::create_directories(folder, ec);
    if (ec) {
        std::cerr << folder.string() << ": cannot make the replay folder: " << ec.message()
                  << "; this play's replay is not kept\n";
        return {};
    }
    std::vector<std::pair<long, fs::path>> kept;
    for (const fs::directory_entry& e : fs::directory_iterator(folder, ec))
        if (const long n = ReplayNumber(e.path()); n >= 0 && e.is_regular_file(ec))
            kept.push_back({n, e.path()});
    std::sort(kept.begin(), kept.end());
    const long next = kept.empty() ? 1 : kept.back().first + 1;
    char name[64];
    std::snprintf(name, sizeof name, "%06ld_s%d_d%d.zbr", next, replay.chart.song,
                  replay.chart.difficulty);
    const std::string path = (folder / name).string();
    if (!SaveDataFile(path, EncodeReplay(replay), "this play's replay is not kept")) return {};
    kept.push_back({next, path});
    // The newest stay; the oldest go.
    for (size_t i = 0; i + kKeptReplays < kept.size(); ++i) fs::remove(kept[i].second, ec);
    return path;
}

}  // namespace zb
