// The heap's free memory handed back to the system. A screen that releases megabytes of pictures
// calls it, so that the memory the player's machine sees shrinks with the screen.
#pragma once

namespace zb {

void GiveBackFreeMemory();

}  // namespace zb
