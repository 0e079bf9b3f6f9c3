#include "frontend/ranking_course.hpp"

#include "course/song_select.hpp"
#include "netrank/netrank_display.hpp"
#include "netrank/netrank_session.hpp"

namespace zb {

Step RankingCourseScreen::Start(Game& game) {
    // The name is typed: a player at a pad is told so and may go back.
    if (byPad_ &&
        game.platform.dialogs.MessageBox(kRankNeedsKeyboard, MsgButtons::OkCancel,
                                         MsgIcon::Information, kAppTitle) != MsgResult::Ok)
        return Step::Pop();
    if (NetRankNameEntry(game) == NetRankEntryEnd::NameRefused) return Step::Pop();
    download_ = std::make_unique<RankingDownload>(game);
    return Step::Stay();
}

Step RankingCourseScreen::Pass(Game& game) {
    if (!download_) return Step::Stay();
    const std::optional<bool> fetched = download_->Look(game);
    if (!fetched) return Step::Stay();
    download_.reset();
    if (*fetched) return Step::Push(std::make_unique<NetRankDisplayScreen>(true));
    NetRankCourseFailed(game);
    return Step::Pop();
}

double RankingCourseScreen::WakeAt(Game& game) {
    return download_ ? game.platform.clock.Now() + RankExchange::kLookEvery : kNoWake;
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
    download_.reset();
    NetRankCourseFailed(game);
    return true;
}

}  // namespace zb
