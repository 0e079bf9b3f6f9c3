// The screen reset that every screen calls before drawing itself.
#pragma once

#include "core/game.hpp"

namespace zb {

// Hides every label, image and picture box, releases the song select pictures (frmGamen) and
// clears pGamen. Leaves the background colour and every caption and position alone. Despite its
// name it enables nothing: it is the blank page every screen starts from.
void AllEnable(Game& game);

}  // namespace zb
