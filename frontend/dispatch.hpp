// Every click on the window, a label or an image, routed by the current screen; the timer; and the
// question when the player closes the window.
#pragma once

#include <exception>

#include "core/game.hpp"

namespace zb {

// Acts on a click according to ScreenState; a click on the form itself has index 0.
void ClickDispatch(Game& game, ClickSource source, int index);

// Asks "終了しますか？"; true when the player answers OK.
bool AskExit(Game& game);
// Empties netrank.dat, waits 1 ms and ends the program by throwing ProgramEnd.
[[noreturn]] void EndProgram(Game& game);

// The window's events for the game. A click goes to the latch of the blocking loop that a click
// ends, while one runs, else to ClickDispatch. Closing the window asks first: Cancel goes on where
// the game was, OK ends it. Once the end is decided no click or tick reaches the game any more, not
// even during the last short wait.
class GameEvents : public FormEvents {
  public:
    explicit GameEvents(Game& game) : game_(game) {}
    void ClickDispatch(ClickSource source, int index) override;
    void TimerTick() override;
    void CloseRequested() override;

  private:
    void AfterRunError(const std::exception& e);

    Game& game_;
    bool ending_ = false;
};

}  // namespace zb
