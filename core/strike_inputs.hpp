// The four strikes (左足, 右足, 左手, 右手) and what strikes them: the bound key and, on every
// pad connected now, the pad's bound input (its own binding by GUID, else its default). A pad
// input is a key of its own in the key-state machine, so both are stamped, queued and sounded
// the same way.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "core/game.hpp"

namespace zb {

// What a pad plays with before the player binds it: a game controller's triggers are the feet
// and its shoulder buttons the hands; a controller that calls itself a drum, and any plain
// joystick (most drum controllers), strike with their first four buttons in strike order.
PadStrikeInputs DefaultPadInputs(const PadInfo& pad);
// The pad's binding: the one saved for its GUID, else its default.
PadStrikeInputs PadInputsOf(const Settings& s, const PadInfo& pad);

// The codes that strike `strike` now: its key, then each connected pad's input.
std::vector<int> StrikeCodes(Game& game, int strike);

// The same for the play loop, which reads them every frame: kept, and built again only when a
// pad came or went or a strike's key is another.
class StrikeCodeTable {
  public:
    const std::vector<int>& Of(Game& game, int strike);

  private:
    uint64_t padChanges_ = 0;
    std::array<int16_t, 4> keys_{};
    std::array<std::vector<int>, 4> codes_;
    bool built_ = false;
};
// The strike a key or pad code strikes (the first one bound to it), or -1.
int StrikeOf(Game& game, int code);

// "4", or "4 / LT" with the pad's input beside the key's label text.
std::string StrikeLabel(const std::string& keyText, const Settings& s, const PadInfo* pad,
                        int strike);

}  // namespace zb
