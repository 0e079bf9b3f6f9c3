#include "frontend/menu_routes.hpp"

namespace zb {

// Not built yet: the course runner, the settings screen and the internet ranking. Until they join
// here, choosing them leaves the title menu on screen.
void RunCourseFromTitle(Game&, int16_t) {}
void OpenSettingsFromTitle(Game&) {}
void NetRankFromTitle(Game&) {}
void ChallengeModifierChosen(Game&, int16_t) {}

}  // namespace zb
