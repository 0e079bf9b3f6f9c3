#include "play/results.hpp"

#include "core/checked.hpp"
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

}  // namespace zb
