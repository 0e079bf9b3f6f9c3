// What a MIDI drum kit's notes strike: the General MIDI drum map until the player binds a kit on
// the settings screen, which keeps a binding per kit by the kit's name.
#pragma once

#include <string>

#include "core/game.hpp"

namespace zb {

// Bass drums 35/36 左足; hi-hat pedal 44 右足; snares, side stick, clap and toms 左手; hi-hats,
// cymbals, ride and its bell 右手; a stroke of velocity 112 or more strikes both of its pair.
KitBinding DefaultKitBinding();
// The kit's binding: the one saved for its name, else the default.
KitBinding KitBindingOf(const Settings& s, const std::string& kitName);
// Makes `note` strike `strike` on the kit (it no longer strikes the one it struck).
void BindKitNote(Settings& s, const std::string& kitName, int strike, int note);
// Sets the velocity from which the kit's strokes are big notes (128: never).
void SetKitBigVelocity(Settings& s, const std::string& kitName, int velocity);

// Sets the velocity below which the kit's strokes of `note` do nothing (0: none).
void SetKitFloor(Settings& s, const std::string& kitName, int note, int velocity);

// The crosstalk share as kits.txt and the kit map write it: "0.5", "0.35", "1".
std::string CrosstalkRatioText(int percent);
// Reads a share from 0 to 1 with at most two decimals into percent; false for anything else.
bool ReadCrosstalkRatio(const std::string& text, int& percent);

}  // namespace zb
