// キット (F6 on the settings screen): a kit set up by its pads. Every stroke of a kit shows as it
// arrives, its note, its velocity and the strike it makes, or why nothing came of it (下限, the
// note's floor; 二度打ち, a double trigger; クロストーク, another pad's stroke heard; 割り当てなし,
// a note of no strike). ↑ ↓ choose a line: on a strike's line, three strokes of one pad set that
// note's floor a little above the softest of them, and ← → move it; on 叩いた音, ← → switch the
// game's hit sound for the kit. It shows the kit struck last (else the first connected); what it
// sets is the settings' and is saved with them (Enter there). Esc or F6 go back.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <vector>

#include "core/game.hpp"
#include "core/menu_keys.hpp"
#include "core/screen_stack.hpp"

namespace zb {

class KitPageScreen : public GameScreen {
  public:
    Screen Id() const override { return Screen::Settings; }
    Step Start(Game& game) override;
    Step Pass(Game& game) override;
    double WakeAt(Game& game) override;

    // A floor a little above the softest of the strokes struck to set it.
    static constexpr int kFloorMargin = 4;
    static constexpr int kFloorStrokes = 3;

  private:
    // A stroke as the page lists it, and what it does to the chosen line.
    void Take(Game& game, const InputEvent& e);
    void Draw(Game& game);
    const KitInfo* Shown() const;

    std::optional<MenuKeys> keys_;
    std::vector<KitInfo> kits_;
    uint64_t kitsSeen_ = ~uint64_t{0};
    std::string struck_;                           // the kit struck last
    size_t cursor_ = 0;                            // 左足, 右足, 左手, 右手, 叩いた音
    std::array<int, 4> lineNote_{-1, -1, -1, -1};  // the note each strike's line shows
    std::vector<int> soft_;  // the velocities struck on the chosen line's note so far
    int softNote_ = -1;
    std::vector<std::string> log_;  // the newest stroke last
};

}  // namespace zb
