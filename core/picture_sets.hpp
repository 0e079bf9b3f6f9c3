// The two sets of pictures read from the img folder beside the program. The first set (notes,
// judgement frames, the drummer dog, judgement words, backgrounds) is loaded once at start-up into
// the form's hidden surfaces and frmPict. The second set (song select pictures, digits) lives in
// frmGamen: every screen reset releases it and its next use loads it again from disk; of the
// songs' own pictures only those of the song on show are loaded.
#pragma once

#include <string>

#include "core/game.hpp"

namespace zb {

// The drummer's pictures and surfaces are this many pixels square.
inline constexpr int kDrummerSize = 174;

// Loads the first set in its fixed order. A missing or unreadable file leaves its surface empty and
// the loading goes on; the result is false if any file failed.
bool LoadFirstPictureSet(Game& game);

// Reads every file of the second set once, one at a time, keeping none, for the start-up's
// warning: false if any file failed. frmGamen stays as it is.
bool CheckSecondPictureSet(const Game& game);

// frmGamen, loading the pictures that every song shows first when it is released. A missing or
// unreadable file leaves its surface empty (sized, with no picture), so the screens that use it
// still draw. Each surface is as large as the screen draws it, no larger.
GamenHolder& Gamen(Game& game);
// The same with one song's own pictures (its title and genre) loaded; those of the song shown
// before are released. Only what the screen shows is kept decoded.
GamenHolder& Gamen(Game& game, int16_t song);

// Loads one picture file into a surface; false (the surface unchanged, the failure written to
// standard error) when it cannot be read.
bool TryLoadPicture(PictureBox& box, const std::string& path);

}  // namespace zb
