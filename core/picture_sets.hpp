// The two sets of pictures read from the img folder beside the program. The first set (notes,
// judgement frames, the drummer dog, judgement words, backgrounds) is loaded once at start-up into
// the form's hidden surfaces and frmPict. The second set (song select pictures, digits) lives in
// frmGamen: every screen reset releases it and its next use loads it again from disk.
#pragma once

#include <string>

#include "core/game.hpp"

namespace zb {

// The drummer's pictures and surfaces are this many pixels square.
inline constexpr int kDrummerSize = 174;

// Loads the first set in its fixed order. A missing or unreadable file leaves its surface empty and
// the loading goes on; the result is false if any file failed.
bool LoadFirstPictureSet(Game& game);

// Reads the second set once without keeping it, for the start-up's warning: false if any file
// failed. frmGamen stays as it is.
bool CheckSecondPictureSet(const Game& game);

// frmGamen, loading the whole second set first when it is released. A missing or unreadable file
// leaves its surface empty (sized, with no picture), so the screens that use it still draw.
GamenHolder& Gamen(Game& game);

// Loads one picture file into a surface; false (the surface unchanged, the failure written to
// standard error) when it cannot be read.
bool TryLoadPicture(PictureBox& box, const std::string& path);

}  // namespace zb
