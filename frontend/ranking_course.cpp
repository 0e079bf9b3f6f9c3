#include "frontend/ranking_course.hpp"

#include "course/song_select.hpp"
#include "netrank/netrank_display.hpp"
#include "netrank/netrank_entry.hpp"
#include "netrank/netrank_session.hpp"

namespace zb {

Step RankingCourseScreen::Start(Game& game) {
    switch (NetRankNameEntry(game)) {
        case NetRankEntryEnd::NameRefused:
        case NetRankEntryEnd::ServerFailed:
            return Step::Pop();
        case NetRankEntryEnd::Fetched:
            return Step::Push(std::make_unique<NetRankDisplayScreen>(true));
    }
    return Step::Pop();
}

Step RankingCourseScreen::Resumed(Game& game, GameScreen& child) {
    if (dynamic_cast<NetRankDisplayScreen*>(&child))
        return Step::Push(std::make_unique<CourseScreen>(Course{.difficulty = 2, .ranking = true}));
    const auto* course = dynamic_cast<CourseScreen*>(&child);
    if (course && course->end && course->end->kind == CourseEnd::Kind::NetRank) {
        const CourseEnd& e = *course->end;
        return Step::Replace(std::make_unique<NetRankSessionScreen>(
            NetRankCourseResult{e.firstScore, e.secondScore, e.firstSong, e.secondSong}));
    }
    if (course && course->end && course->end->kind == CourseEnd::Kind::Left)
        game.platform.dialogs.MessageBox(kRankNotSentAfterLeaving, MsgButtons::Ok, MsgIcon::None,
                                         kAppTitle);
    return Step::Pop();
}

bool RankingCourseScreen::TellsRunError(Game& game, const std::exception&) {
    NetRankCourseFailed(game);
    return true;
}

}  // namespace zb
