#include "play/best_replay.hpp"

#include <filesystem>
#include <map>
#include <tuple>

#include "core/own_songs.hpp"
#include "play/replay_store.hpp"

namespace zb {

namespace {

using ChartKey = std::tuple<std::string, int, int, bool>;

ChartKey KeyOf(const PlayRecord& r) {
    return {r.song, r.difficulty, r.modifier, r.course == "challenge"};
}

bool HasReplay(const PlayRecord& r) {
    return r.replay != "-";
}

}  // namespace

std::string HistorySongOf(const Game& game, ChartId chart) {
    const OwnSong* own = FindOwnSong(game, chart.song);
    return own ? own->id : std::to_string(chart.song);
}

std::set<std::string> BestReplays(const std::vector<PlayRecord>& history) {
    std::map<ChartKey, const PlayRecord*> best;
    for (const PlayRecord& r : history) {
        if (!HasReplay(r)) continue;
        const PlayRecord*& b = best[KeyOf(r)];
        if (!b || r.score > b->score) b = &r;
    }
    std::set<std::string> files;
    for (const auto& [key, r] : best) files.insert(r->replay);
    return files;
}

std::optional<PlayRecord> BestReplayOf(const Game& game, const std::vector<PlayRecord>& history,
                                       const PlayRequest& q) {
    const ChartKey key{HistorySongOf(game, q.chart), q.chart.difficulty, ModifierCode(q.modifier),
                       q.challenge};
    const std::string folder = ReplayFolder(game);
    std::optional<PlayRecord> best;
    std::error_code ec;
    for (const PlayRecord& r : history)
        if (HasReplay(r) && KeyOf(r) == key && (!best || r.score > best->score) &&
            std::filesystem::is_regular_file(folder + r.replay, ec))
            best = r;
    return best;
}

}  // namespace zb
