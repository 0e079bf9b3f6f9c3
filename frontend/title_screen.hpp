// The title screen on the stack, and the screens before it: the notice, and the opening with the
// story and the credits. The title's items start the courses, the settings and the ranking course
// as screens over it; when they pop, the title is drawn again.
#pragma once

#include <functional>
#include <optional>
#include <utility>

#include "core/screen_stack.hpp"
#include "frontend/title_menu.hpp"

namespace zb {

// A click on an item, or (once the arrows or the d-pad moved the highlight) Enter or a pad's A.
// F8 opens 記録 (the play history's plots) without changing the title's look.
class TitleScreen : public GameScreen {
  public:
    Screen Id() const override { return Screen::Title; }
    Step Start(Game& game) override;
    Step Pass(Game& game) override;
    Step Click(Game& game, ClickSource source, int index) override;
    Step Resumed(Game& game, GameScreen& child) override;
    double WakeAt(Game& game) override { return MenuWakeAt(game); }

  private:
    void Draw(Game& game);
    int cursor_ = -1;  // the highlighted item in the menu's order on show; -1 none yet
    // The item Enter (or A) chose, opened once that key is up: song select would take the
    // held key as its own and start its first song.
    std::optional<std::pair<TitleItem, bool>> chosen_;  // the item, and whether a pad chose it
};

// The copyright notice of the first screen: the start-up runs as it opens; a click, Enter or a
// pad's A goes on to the opening.
class NoticeScreen : public GameScreen {
  public:
    Screen Id() const override { return Screen::Notice; }
    Step Start(Game& game) override;
    Step Pass(Game& game) override;
    Step Click(Game& game, ClickSource, int) override;
    double WakeAt(Game& game) override { return MenuWakeAt(game); }
};

// The opening, the story and the credits, run by the timer from the music's position; a click,
// Enter or a pad's A goes to the title.
class OpeningScreen : public GameScreen {
  public:
    Screen Id() const override { return Screen::OpeningSubtitle; }
    Step Start(Game& game) override;
    Step Pass(Game& game) override;
    Step Click(Game& game, ClickSource, int) override;
    Step Tick(Game& game) override;
    double WakeAt(Game& game) override { return MenuWakeAt(game); }
};

// The window's close button asks "終了しますか？"; OK lets every screen leave (`leaveScreens`: a
// ranking exchange stops), empties netrank.dat and ends the program.
void AskExitAndEnd(Game& game, const std::function<void()>& leaveScreens = nullptr);

// The game's stack: a run-time error leads to the title, closing the window asks.
void SetUpGameStack(ScreenStack& stack, Game& game);
// The game from its notice to the exit: one main loop over the stack of screens.
void RunGame(Game& game);

}  // namespace zb
