// The pad bindings file, pads.txt beside config.dat (which keeps its 20 bytes): one line per pad
// bound on the settings screen, by the pad's GUID, with its inputs for 左足, 右足, 左手, 右手 as
// SDL names them ("-" for none). Text, versioned by its first line, replaced crash-safely.
#pragma once

#include <string>

#include "core/game.hpp"

namespace zb {

std::string EncodePadBindings(const Settings& s);
// Reads the lines it understands into s.PadInputs; false (with the reason in `why`) for a file
// of another version or none of ours, which then changes nothing. Lines it can't read are
// skipped and named in `why`.
bool DecodePadBindings(const std::string& text, Settings& s, std::string* why);

// Writes SaveDir + "pads.txt" when any pad was bound; the bindings stay in memory when it fails.
void SavePadBindings(Game& game);
// Reads SaveDir + "pads.txt" if there is one; a file that can't be read is named on standard
// error and the pads play with their defaults.
void LoadPadBindings(Game& game);

}  // namespace zb
