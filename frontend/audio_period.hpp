// 音の遅れ on the settings screen: F5 steps the sound output's period through 自動 and 64, 128,
// 256 and 512 frames (kept in options.txt, in effect at once), and a line under the items says
// it with its milliseconds. Under JACK the server's period rules, and the line says so.
#pragma once

#include <string>

#include "core/game.hpp"

namespace zb {

void StepAudioPeriod(Game& game);
std::string AudioPeriodLine(Game& game);

}  // namespace zb
