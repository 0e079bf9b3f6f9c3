// config.dat: the six settings, ten little-endian signed 16-bit fields (20 bytes), no header:
// the four keys, delay, frame position, volume, "judgement effect off", "big notes judged at
// once", and a reserved 0. The two flags are stored inverted (0 = on).
#pragma once

#include <string>

#include "core/game.hpp"

namespace zb {

inline constexpr int kConfigFileSize = 20;

std::string EncodeConfig(const Settings& s);
// Applies a file's bytes to the settings; fields past the end of a short file read 0. A file whose
// first two fields are both 0 (empty, all zeros) counts as absent and changes nothing.
void DecodeConfig(const std::string& bytes, Settings& s);

// Writes SaveDir + "config.dat", replacing it crash-safely. When it cannot be written the settings
// stay in effect in memory, and standard error says so.
void SaveConfig(Game& game);

// Reads SaveDir + "config.dat" into the settings. False (a start-up failure) when the file is
// missing, not a regular file or unreadable (written to standard error); the settings are then
// unchanged. No range checks:
// the start-up's volume rule and the screens deal with odd values.
bool LoadConfig(Game& game);

}  // namespace zb
