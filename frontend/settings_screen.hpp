// The settings screen (せってい): the four play keys, the delay, the frame position, the music's
// volume, the judgement effect and the big-note mode, changed in place with the keyboard.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "core/game.hpp"
#include "core/menu_keys.hpp"
#include "core/screen_stack.hpp"
#include "frontend/kit_binding.hpp"

namespace zb {

// Up/Down move the cursor over the nine items (wrapping), Right/Left change the value under it,
// and any key with a label binds the play key under the cursor. Every change is in effect at
// once; Enter writes config.dat and pops back to the title. Each press steps once; a held arrow
// repeats after 300 ms, then on every 40 ms pass. F3 opens the delay check over it.
class SettingsScreen : public GameScreen {
  public:
    Screen Id() const override { return Screen::Settings; }
    Step Start(Game& game) override;
    Step Pass(Game& game) override;
    Step Resumed(Game& game, GameScreen& child) override;
    double WakeAt(Game& game) override;

  private:
    std::optional<MenuKeys> keys_;
    std::optional<KitSettings> kits_;  // kits bound by striking, and the big-note velocity
    size_t cursor_ = 0;
    std::string shownPad_;       // the GUID of the pad last pressed here
    std::vector<PadInfo> pads_;  // as of padsSeen_
    uint64_t padsSeen_ = 0;
};

}  // namespace zb
