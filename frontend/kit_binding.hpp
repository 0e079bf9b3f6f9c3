// Binding a drum kit on the settings screen: with the cursor on 左足…右手, a stroke of a kit's
// note binds that note to the strike (taking it from the strike it had); F4 steps the velocity
// from which the kit's strokes are big notes. Both apply to the kit struck last (else the first
// connected) and are kept by the kit's name.
#pragma once

#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "core/game.hpp"

namespace zb {

class KitSettings {
  public:
    explicit KitSettings(InputQueue& keys) : keys_(keys) {}
    // One pass of the screen: a stroke binds its note to `strike` (none for -1), and `stepBig`
    // moves the shown kit's big-note velocity on.
    void Pass(Settings& s, int strike, bool stepBig);
    // " / MIDI 38": the shown kit's note for the strike; empty without a kit or note.
    std::string NoteText(const Settings& s, int strike) const;
    // The F4 line under the items.
    std::string BigVelocityLine(const Settings& s) const;

    // The kit the screen shows now: the one struck last, else the first connected.
    const KitInfo* Shown() const;

  private:
    // The kit and note struck since the previous look, if any.
    std::optional<std::pair<KitInfo, int>> Struck();

    InputQueue& keys_;
    std::vector<KitInfo> kits_;
    uint64_t kitsSeen_ = ~uint64_t{0};
    std::string struck_;  // the name of the kit struck last here
};

// The velocities F4 steps through, from the softest; 128 makes no stroke a big note.
int NextBigVelocity(int velocity);

}  // namespace zb
