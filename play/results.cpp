#include "play/results.hpp"

#include "core/checked.hpp"
#include "core/own_songs.hpp"
#include "core/score_file.hpp"
#include "play/results_panel.hpp"
#include "play/scoring.hpp"

namespace zb {

ResultsText BuildResultsText(const Game& game, const PlayState& st) {
    ResultsText r;
    (void)game;
    const bool challenge = st.Request.challenge;
    r.validScore = st.ShownScore;
    std::string& s = r.caption;
    s = "スコア：" + std::to_string(st.ShownScore) + "点" + kBreak;
    if (challenge) {
        const int32_t points = st.Request.challengePoints;
        s += "チャレンジポイント：" + std::to_string(points) + "点" + kBreak;
        r.validScore = Add<int32_t>(r.validScore, points);
        s += "有効スコア：" + std::to_string(r.validScore) + "点" + kBreak;
    }
    s += "叩けた率：" + HitRateText(st.CountBest, st.CountGood, st.CountMiss) + kBreak;
    s += "最大コンボ：" + std::to_string(st.MaxCombo) + kBreak;
    const std::string sep = challenge ? " / " : kBreak;
    s += "良：" + std::to_string(st.CountBest) + sep;
    s += "可：" + std::to_string(st.CountGood) + sep;
    s += "不可：" + std::to_string(st.CountMiss) + kBreak;
    s += st.GaugeLevel >= kNormaLevel ? "ノルマクリア成功！" : "ノルマクリア失敗！";
    s += kBreak;
    return r;
}

ResultsText ShowResults(Game& game, const PlayState& st) {
    MainForm& f = game.form;
    f.pHaikei.Visible = false;
    ResultsText r = BuildResultsText(game, st);
    ResultsPanel panel(f);
    panel.ShowSongResults(r.caption);
    return r;
}

void KeepResults(Game& game, const PlayState& st, const ResultsText& r) {
    // Only a cleared manual play can set a song high score.
    if (st.GaugeLevel >= kNormaLevel && !st.AutoPlay) {
        const int column = HighScoreColumn(st.Chart.difficulty, st.Request.challenge);
        if (IsOwnSong(st.Chart.song)) {
            // Own songs keep their scores in a file of their own: score.dat's layout is fixed.
            if (OwnHighScore(game, st.Chart.song, column) < r.validScore)
                SetOwnHighScore(game, st.Chart.song, column, r.validScore);
        } else {
            int32_t& best = game.scores.HighScores.at(size_t(column)).at(size_t(st.Chart.song));
            if (best < r.validScore) {
                best = r.validScore;
                SaveScores(game);
            }
        }
    }
    ResultsPanel(game.form).LeaveBlankLines();
}

}  // namespace zb
