// The pause menu over a song: 「一時停止」 with つづける, やりなおす, 練習 and やめる (the ranking
// course offers つづける and やめる only, the challenge course no 練習). Arrows or a pad's d-pad
// move the highlight, Enter or A takes it, a click takes an item, and Esc (or the pad's back) goes
// on playing.
#pragma once

#include <optional>
#include <vector>

#include "core/menu_keys.hpp"
#include "core/screen_stack.hpp"

namespace zb {

enum class PauseChoice { Continue, Retry, Practice, Leave };

class PauseScreen : public GameScreen {
  public:
    explicit PauseScreen(bool retryOffered, bool practiceOffered = false)
        : retryOffered_(retryOffered), practiceOffered_(practiceOffered) {}
    Screen Id() const override { return Screen::Paused; }
    Step Start(Game& game) override;
    Step Pass(Game& game) override;
    Step Click(Game& game, ClickSource source, int index) override;
    double WakeAt(Game& game) override;

    PauseChoice choice = PauseChoice::Continue;

  private:
    Step Choose(Game& game, PauseChoice c);
    void Draw(Game& game);

    bool retryOffered_, practiceOffered_;
    std::vector<PauseChoice> items_;
    size_t cursor_ = 0;
    std::optional<MenuKeys> keys_;
    std::optional<PauseChoice> chosen_;  // by Enter, taken once the key is up
    // A pad's START pauses and is the menus' Enter too: held from the pause, it chooses nothing
    // until it has gone up.
    bool enterHeld_ = false;
};

}  // namespace zb
