#include "frontend/dispatch.hpp"

#include "core/helpers.hpp"
#include "core/screen_reset.hpp"
#include "frontend/menu_routes.hpp"
#include "frontend/opening.hpp"
#include "frontend/startup.hpp"
#include "frontend/title.hpp"
#include "netrank/netrank_file.hpp"

namespace zb {

namespace {

void LeaveNotice(Game& game) {
    game.ScreenState = "オープニング小タイトル";
    AllEnable(game);
    game.form.Label[0].Width = 6000;
    game.form.Label[0].Height = 6000;
    StartOpening(game);
}

// A click during the opening or the story skips to the title. The timer keeps running; it does
// nothing in the title state.
void SkipToTitle(Game& game) {
    game.platform.music.SetFileName("");
    AllEnable(game);
    game.ScreenState = "タイトル画面";
    ShowLogo(game);
    game.form.BackColor = colors::Yellow;
    TitleHyoji(game);
}

void ResetCourseFlags(Game& game) {
    game.challenge.ChallengeMode = 0;
    game.course.ChallengeCourse = false;
    game.course.NetRankCourse = false;
}

void TitleMenu(Game& game, const std::string& source, int index) {
    if (source != "Label") return;
    switch (index) {
        case 0:
        case 1:
        case 3:
            if (game.course.ChallengeCourse) return;
            ResetCourseFlags(game);
            RunCourseFromTitle(game, int16_t(index == 3 ? 2 : index));
            return;
        case 2:
            OpenSettingsFromTitle(game);
            return;
        case 4:
            game.course.ChallengeCourse = true;
            game.course.NetRankCourse = false;
            RunCourseFromTitle(game, 3);
            return;
        case 5:
            game.challenge.ChallengeMode = 0;
            NetRankFromTitle(game);
            return;
        default:
            return;
    }
}

}  // namespace

void ClickDispatch(Game& game, const std::string& source, int index) {
    // A copy: the screens started from here change ScreenState while they run.
    const std::string state = game.ScreenState;
    if (state == "著作権表示") {
        LeaveNotice(game);
    } else if (state == "オープニング小タイトル" || state == "ストーリー") {
        SkipToTitle(game);
    } else if (state == "タイトル画面") {
        TitleMenu(game, source, index);
    } else if (state == "チャレンジ") {
        if (source == "Label" && index >= 0 && index <= 9)
            ChallengeModifierChosen(game, int16_t(index));
    } else if (state == "ネットランク表示") {
        game.ranking.RankDisplayWaiting = false;
    }
}

bool AskExit(Game& game) {
    return game.platform.dialogs.MessageBox("終了しますか？", MsgButtons::OkCancel,
                                            MsgIcon::Question, kAppTitle) == MsgResult::Ok;
}

void EndProgram(Game& game) {
    ClearNetRankFile(game);
    WaitMs(game, 1);
    throw ProgramEnd{};
}

void GameEvents::ClickDispatch(const std::string& source, int index) {
    if (!ending_) zb::ClickDispatch(game_, source, index);
}

void GameEvents::TimerTick() {
    if (!ending_) Timer1_Timer(game_);
}

void GameEvents::CloseRequested() {
    if (ending_ || !AskExit(game_)) return;
    ending_ = true;
    EndProgram(game_);
}

}  // namespace zb
