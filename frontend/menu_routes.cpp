#include "frontend/menu_routes.hpp"

#include "frontend/settings_screen.hpp"
#include "frontend/title.hpp"

namespace zb {

void AfterCourse(Game& game, const CourseEnd& end) {
    switch (end.kind) {
        case CourseEnd::Kind::ChallengeMenu:
            return;                     // the menu waits for its click
        case CourseEnd::Kind::NetRank:  // the ranking session is not built yet: back to the title
        case CourseEnd::Kind::Title:
            TitleHyoji(game);
            return;
    }
}

void RunCourseFromTitle(Game& game, int16_t course) {
    AfterCourse(game, SongSelect(game, course));
}

void ChallengeModifierChosen(Game& game, Modifier mode) {
    AfterCourse(game, StartChallengeSong(game, mode));
}

void OpenSettingsFromTitle(Game& game) {
    SettingsScreen(game);
}

// Not built yet: the internet ranking. Until it joins here, choosing it leaves the title menu on
// screen.
void NetRankFromTitle(Game&) {}

}  // namespace zb
