// The scheduling priority of the game's background work.
#pragma once

namespace zb {

// Lowers the calling thread's priority to the least (nice 19 on Linux), so that a background
// worker takes only what the window, the sound and the judging leave. Does nothing where the
// system does not allow it.
void LowerThreadPriority();

}  // namespace zb
