// The kit bindings file, kits.txt beside pads.txt: each drum kit bound on the settings screen, by
// its name, with the velocity from which a stroke is a big note and the strike of each note it
// plays. Text, versioned by its first line, replaced crash-safely.
#pragma once

#include <string>

#include "core/game.hpp"

namespace zb {

std::string EncodeKitBindings(const Settings& s);
// Reads the kits it understands into s.KitBindings; false (with the reason in `why`) for a file
// of another version or none of ours, which then changes nothing. Lines it can't read are
// skipped and named in `why`.
bool DecodeKitBindings(const std::string& text, Settings& s, std::string* why);

// Writes AppDir + "kits.txt" when any kit was bound; the bindings stay in memory when it fails.
void SaveKitBindings(Game& game);
// Reads AppDir + "kits.txt" if there is one; a file that can't be read is named on standard
// error and the kits play the default map.
void LoadKitBindings(Game& game);

}  // namespace zb
