// The challenge menu: the ten modifiers and their points, shown before every song of the
// challenge course. A click on a modifier chooses it at once. The first arrow (the d-pad) or Enter
// (a pad's A) only shows a highlight, Enter's on the first modifier; the arrows move it and the
// next Enter chooses the highlighted one.
#pragma once

#include <cstdint>

#include "core/challenge_modifiers.hpp"
#include "core/screen_stack.hpp"
#include "core/songs.hpp"

namespace zb {

class ChallengeMenuScreen : public GameScreen {
  public:
    explicit ChallengeMenuScreen(ChartId chart) : chart_(chart) {}
    Screen Id() const override { return Screen::Challenge; }
    Step Start(Game& game) override;
    Step Pass(Game& game) override;
    Step Click(Game& game, ClickSource source, int index) override;
    double WakeAt(Game& game) override { return MenuWakeAt(game); }

    // The modifier chosen and its points.
    Modifier chosen = Modifier::None;
    int32_t points = 0;

  private:
    Step Choose(int index);

    ChartId chart_;
    int cursor_ = -1;  // the highlighted choice; -1 before a key or the d-pad was used
};

}  // namespace zb
