#include "frontend/dispatch.hpp"

#include <exception>
#include <optional>

#include "core/click_latch.hpp"
#include "core/helpers.hpp"
#include "core/run_error.hpp"
#include "core/screen_reset.hpp"
#include "frontend/menu_routes.hpp"
#include "frontend/opening.hpp"
#include "frontend/opening_slots.hpp"
#include "frontend/startup.hpp"
#include "frontend/title.hpp"
#include "frontend/title_menu.hpp"
#include "netrank/netrank_file.hpp"

namespace zb {

namespace {

void LeaveNotice(Game& game) {
    game.ScreenState = Screen::OpeningSubtitle;
    AllEnable(game);
    LabelControl& words = game.form.Label[opening_slots::kWordLabel];
    words.Width = 6000;
    words.Height = 6000;
    StartOpening(game);
}

// A click during the opening or the story skips to the title. The timer keeps running; it does
// nothing in the title state.
void SkipToTitle(Game& game) {
    game.platform.music.SetFileName("");
    TitleHyoji(game);
}

void ResetCourseFlags(Game& game) {
    game.challenge.ChallengeMode = Modifier::None;
    game.course.ChallengeCourse = false;
}

// The difficulty of the course that a title item starts.
int16_t TitleCourseDifficulty(TitleItem item) {
    return item == TitleItem::Easy ? 0 : item == TitleItem::Hard ? 1 : 2;
}

void TitleMenu(Game& game, ClickSource source, int index) {
    const std::optional<TitleItem> item =
        source == ClickSource::Label ? TitleItemOnLabel(index) : std::nullopt;
    if (!item) return;
    switch (*item) {
        case TitleItem::Easy:
        case TitleItem::Hard:
        case TitleItem::Wonderful:
            if (game.course.ChallengeCourse) return;
            ResetCourseFlags(game);
            RunCourseFromTitle(game, Course{.difficulty = TitleCourseDifficulty(*item)});
            return;
        case TitleItem::Settings:
            OpenSettingsFromTitle(game);
            return;
        case TitleItem::Challenge:
            game.course.ChallengeCourse = true;
            RunCourseFromTitle(game, Course{.difficulty = 3});
            return;
        case TitleItem::Network:
            game.challenge.ChallengeMode = Modifier::None;
            NetRankFromTitle(game);
            return;
    }
}

}  // namespace

void ClickDispatch(Game& game, ClickSource source, int index) {
    // Read once: the screens started from here change ScreenState while they run.
    switch (game.ScreenState) {
        case Screen::Notice:
            LeaveNotice(game);
            return;
        case Screen::OpeningSubtitle:
        case Screen::Story:
            SkipToTitle(game);
            return;
        case Screen::Title:
            TitleMenu(game, source, index);
            return;
        case Screen::Challenge:
            if (source == ClickSource::Label && index >= 0 && index < kModifierCount)
                ChallengeModifierChosen(game, kModifiers[size_t(index)].modifier);
            return;
        // Before start-up, and while a blocking loop runs, clicks do nothing here; the ranking
        // display's loop takes its click through its latch (GameEvents).
        case Screen::NetRankDisplay:
        case Screen::None:
        case Screen::SongSelect:
        case Screen::Playing:
        case Screen::Settings:
        case Screen::DelayCheck:
        case Screen::NetRank:
            return;
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

// Nothing but the player ends the game: a run-time error in whatever a click or a tick started
// (a course, a song, the settings, the opening) is told and leads to the title. Clicks inside a
// blocking loop only set its state, so the error reaches the click that started the screen.
void GameEvents::AfterRunError(const std::exception& e) {
    ReportRunError(game_, e);
    TellRunError(game_, e);
    SkipToTitle(game_);
}

void GameEvents::ClickDispatch(ClickSource source, int index) {
    if (ending_) return;
    if (game_.clickLatch) {
        game_.clickLatch->Set();  // the loop that runs ends on this click
        return;
    }
    try {
        zb::ClickDispatch(game_, source, index);
    } catch (const std::exception& e) {
        AfterRunError(e);
    }
}

void GameEvents::TimerTick() {
    if (ending_) return;
    try {
        Timer1_Timer(game_);
    } catch (const std::exception& e) {
        AfterRunError(e);
    }
}

void GameEvents::CloseRequested() {
    if (ending_ || !AskExit(game_)) return;
    ending_ = true;
    EndProgram(game_);
}

}  // namespace zb
