#include "frontend/menu_routes.hpp"

#include <exception>

#include "core/run_error.hpp"
#include "frontend/settings_screen.hpp"
#include "frontend/title.hpp"
#include "netrank/netrank_entry.hpp"
#include "netrank/netrank_session.hpp"

namespace zb {

void AfterCourse(Game& game, const CourseEnd& end) {
    switch (end.kind) {
        case CourseEnd::Kind::ChallengeMenu:
            return;  // the menu waits for its click
        case CourseEnd::Kind::NetRank:
            NetRankSession(game, {end.firstScore, end.secondScore, end.firstSong, end.secondSong});
            TitleHyoji(game);
            return;
        case CourseEnd::Kind::Title:
            TitleHyoji(game);
            return;
    }
}

void RunCourseFromTitle(Game& game, Course course) {
    AfterCourse(game, SongSelect(game, course));
}

void ChallengeModifierChosen(Game& game, Modifier mode) {
    AfterCourse(game, StartChallengeSong(game, mode));
}

void OpenSettingsFromTitle(Game& game) {
    SettingsScreen(game);
}

void NetRankFromTitle(Game& game) {
    // A run-time error in the ranking display or in the songs ends the ranking course as a
    // failed connection does; the session after play catches its own.
    try {
        switch (NetRankNameEntry(game)) {
            case NetRankEntryEnd::NameRefused:
                return;
            case NetRankEntryEnd::ServerFailed:
                TitleHyoji(game);
                return;
            case NetRankEntryEnd::ShowedRanking:
                RunCourseFromTitle(game, Course{.difficulty = 2, .ranking = true});
                return;
        }
    } catch (const std::exception& e) {
        ReportRunError(game, e);
        NetRankCourseFailed(game);
        TitleHyoji(game);
    }
}

}  // namespace zb
