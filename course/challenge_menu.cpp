#include "course/challenge_menu.hpp"

#include <string>

#include "core/screen_reset.hpp"

namespace zb {

const std::array<const char*, 10>& ChallengeTexts() {
    static const std::array<const char*, 10> texts{
        "チャレンジなし！",     "譜面が２倍速！",
        "譜面が４倍速！",       "譜面が逆流！",
        "「鈍」と「感」が逆！", "当たり判定が狭く！",
        "サドゥン！",           "「鈍」と「感」がランダム！",
        "「可」が「不可」に！", "譜面が密集！"};
    return texts;
}

const std::array<int32_t, 10>& ChallengePointTable() {
    static const std::array<int32_t, 10> points{0,      200000, 500000, 150000, 100000,
                                                200000, 100000, 400000, 300000, 100000};
    return points;
}

void ChallengeMenu(Game& game, int16_t difficulty, int16_t song, bool autoPlay) {
    AllEnable(game);
    game.form.BackColor = colors::Black;
    game.ScreenState = Screen::Challenge;

    ChallengeState& c = game.challenge;
    c.ChallengeDifficulty = difficulty;
    c.ChallengeSong = song;
    c.ChallengeAuto = autoPlay;
    c.ChallengePoints = ChallengePointTable();

    for (int i = 0; i < 10; ++i) {
        LabelControl& text = game.form.Label[i];
        text.Caption = ChallengeTexts()[i];
        text.Width = 5500;
        text.Height = 700;
        text.Top = i * 700 + 200;
        text.Left = 1000;
        text.BackColor = colors::Black;
        text.ForeColor = colors::White;
        text.FontSize = 24;
        text.Visible = true;

        LabelControl& points = game.form.Label[i + 10];
        points.Width = 2000;
        points.Height = 700;
        points.Top = text.Top;
        points.Left = 6500;
        points.BackColor = colors::Black;
        points.ForeColor = colors::Yellow;
        points.FontSize = 24;
        points.Caption = std::to_string(c.ChallengePoints[i]);
        points.Visible = true;
    }
}

}  // namespace zb
