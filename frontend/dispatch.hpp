// Every click on the window, a label or an image, routed by the current screen; the timer; and the
// question when the player closes the window.
#pragma once

#include <string>

#include "core/game.hpp"

namespace zb {

// Acts on a click according to ScreenState. source is "Label", "Image1" or "Form" (index 0).
void ClickDispatch(Game& game, const std::string& source, int index);

// Asks "終了しますか？". OK empties netrank.dat, waits 1 ms and ends the program by throwing
// ProgramEnd; Cancel returns and the game goes on where it was.
void ConfirmExit(Game& game);

// The window's events for the game.
class GameEvents : public FormEvents {
  public:
    explicit GameEvents(Game& game) : game_(game) {}
    void ClickDispatch(const std::string& source, int index) override;
    void TimerTick() override;
    void CloseRequested() override;

  private:
    Game& game_;
};

}  // namespace zb
