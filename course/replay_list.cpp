#include "course/replay_list.hpp"

#include <algorithm>
#include <cstdio>

#include "core/file_replace.hpp"
#include "play/best_replay.hpp"
#include "play/play_screen.hpp"
#include "play/replay_store.hpp"

namespace zb {

namespace {

constexpr size_t kReplayLimit = 64 << 20;

std::optional<double> MeanOffset(const PlayRecord& p) {
    double sum = 0;
    int count = 0;
    for (const DeviceTiming& d : p.devices) sum += d.meanMs * d.count, count += d.count;
    if (count == 0) return std::nullopt;
    return sum / count;
}

}  // namespace

std::vector<ReplayEntry> ReplaysOf(Game& game, ChartId chart) {
    const std::vector<PlayRecord> history = ReadPlayHistory(game);
    const std::set<std::string> best = BestReplays(history);
    const std::string song = HistorySongOf(game, chart);
    std::vector<ReplayEntry> list;
    for (auto p = history.rbegin(); p != history.rend(); ++p) {
        if (p->replay == "-" || p->song != song || p->difficulty != chart.difficulty) continue;
        ReplayEntry e;
        e.play = *p;
        e.path = ReplayFolder(game) + p->replay;
        std::string bytes, why;
        // Pruned long ago: nothing to list.
        if (!ReadWholeFile(e.path, bytes, kReplayLimit, &why)) continue;
        e.best = best.contains(p->replay);
        e.meanMs = MeanOffset(*p);
        try {
            Replay r = DecodeReplay(bytes);
            // This build reproduces its own replays; another's is played through to see.
            if (r.build != BuildId() && !PlayUnseen(game, r, chart.song))
                e.refused = "この版では再現しません";
            else
                e.replay = std::move(r);
        } catch (const std::runtime_error&) {
            e.refused = "読めません";
        }
        list.push_back(std::move(e));
    }
    return list;
}

std::string ReplayLine(const ReplayEntry& e) {
    const PlayRecord& p = e.play;
    // The date and time to the minute; a play read from an older replay has none.
    std::string line = p.when == "-" ? std::string("日時なし　　　　") : p.when.substr(0, 16);
    char b[96];
    std::snprintf(b, sizeof b, "  %7d点  良 %d 可 %d 不可 %d", p.score, p.best, p.good, p.miss);
    line += b;
    if (e.meanMs) {
        std::snprintf(b, sizeof b, "  %+.1f ms", *e.meanMs);
        line += b;
    }
    if (p.modifier != 0) line += std::string("  ") + kModifiers[size_t(p.modifier)].text;
    if (e.best) line += "  ★";
    if (!e.refused.empty()) line += "  （" + e.refused + "：見られません）";
    return line;
}

}  // namespace zb
