// The drummer's hit pose and the drum sound of one key press (or one auto-played stroke).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "core/game.hpp"
#include "core/strike_inputs.hpp"

namespace zb {

// Key 0/1 (左足/右足) strike don, key 2/3 (左手/右手) kan. Other values do nothing.
// Pose and sound together: auto play's stroke.
void HitFeedback(Game& game, int16_t keyIndex);
// The pose alone: a player's press, whose sound started when its key went down.
void HitPose(Game& game, int16_t keyIndex);
// The sound alone, as struck at `stamp` (the clock's timeline): the output places it the same
// time after its stamp for every strike.
void HitSound(Game& game, int16_t keyIndex, double stamp);

// The files of the hit sounds, for reading them ahead at start-up.
std::vector<std::string> HitSoundFiles(const Game& game);

// While it lives, a play key's sound starts the moment the window sees the key go down (it looks
// about once a millisecond), not when the next frame registers the press.
class StrikeSounds {
  public:
    explicit StrikeSounds(Game& game);
    ~StrikeSounds();
    StrikeSounds(const StrikeSounds&) = delete;
    StrikeSounds& operator=(const StrikeSounds&) = delete;

  private:
    Game& game_;
    StrikeMap inputs_;
};

}  // namespace zb
