#include "play/play_outcome.hpp"

#include "core/own_songs.hpp"
#include "core/score_file.hpp"
#include "play/best_replay.hpp"
#include "play/play_history.hpp"
#include "play/replay_store.hpp"

namespace zb {

namespace {

void KeepSongHighScore(Game& game, const PlayRequest& q, int32_t score) {
    const int column = HighScoreColumn(q.chart.difficulty, q.challenge);
    if (IsOwnSong(q.chart.song)) {
        // Own songs keep their scores in a file of their own: score.dat's layout is fixed.
        if (OwnHighScore(game, q.chart.song, column) < score)
            SetOwnHighScore(game, q.chart.song, column, score);
        return;
    }
    int32_t& best = game.scores.HighScores.at(size_t(column)).at(size_t(q.chart.song));
    if (best < score) {
        best = score;
        SaveScores(game);
    }
}

}  // namespace

bool PlayCounts(const PlayOutcome& o) {
    return o.end == PlayEnd::Finished && !o.request.autoPlay && !o.watched && o.result;
}

void KeepPlayOutcome(Game& game, const PlayOutcome& o, const CourseKeeper& course) {
    if (!PlayCounts(o)) return;
    // Only a cleared play can set a song high score.
    if (o.result->NormaCleared) KeepSongHighScore(game, o.request, o.result->ShownScore);
    // The history is read once: its bests are spared by the replays' pruning, and this play's
    // line goes after it.
    const std::optional<std::string> history = PlayHistoryText(game);
    const std::vector<PlayRecord> plays =
        history ? DecodePlayHistory(game, *history) : std::vector<PlayRecord>{};
    const std::string replay = o.replay ? KeepReplay(game, *o.replay, BestReplays(plays)) : "";
    if (history) AppendPlayHistory(game, *history, PlayRecordOf(game, o, replay));
    if (IsOwnSong(o.request.chart.song)) NoteOwnSongPlayed(game, o.request.chart.song);
    if (course) course(game, o);
}

}  // namespace zb
