#include "frontend/menu_routes.hpp"

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

// Not built yet: the settings screen and the internet ranking. Until they join here, choosing
// them leaves the title menu on screen.
void OpenSettingsFromTitle(Game&) {}
void NetRankFromTitle(Game&) {}

}  // namespace zb
