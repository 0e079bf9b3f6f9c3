#include "frontend/opening.hpp"

namespace zb {

// The opening's animation is not drawn yet: the notice's click starts the title music and the
// timer, and the next click goes to the title.
void Timer1_Timer(Game&) {}

}  // namespace zb
