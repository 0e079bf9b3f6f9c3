// The ranking display: eleven pages (the total ranking, then songs 0..9), ten places at a time,
// paged with the cursor keys until the player clicks (or presses Enter or a pad's OK).
#pragma once

#include <optional>

#include "core/menu_keys.hpp"
#include "core/screen_stack.hpp"

namespace zb {

// Shows the ranking in game.ranking from page 0, block 0, and pops on the click: before play
// the ranking course follows, after play the title.
class NetRankDisplayScreen : public GameScreen {
  public:
    explicit NetRankDisplayScreen(bool beforePlay) : beforePlay_(beforePlay) {}
    Screen Id() const override { return Screen::NetRankDisplay; }
    Step Start(Game& game) override;
    Step Pass(Game& game) override;
    Step Click(Game&, ClickSource, int) override { return Step::Pop(); }
    double WakeAt(Game& game) override;

  private:
    bool beforePlay_;
    std::optional<MenuKeys> keys_;
    int16_t page_ = 0, block_ = 0;
    // A page key waits this long before it turns the page, so a held key pages about this
    // often.
    int16_t pageStep_ = 0, blockStep_ = 0;
    double stepAt_ = 0;
    bool going_ = false;  // Enter (or OK) went down: the display pops once it is up
};

}  // namespace zb
