// The title's ネットワーク item: the player's ranking name, the download, the ranking shown
// before play, the ranking course and the session after it. A run-time error before the
// session ends the course as a failed connection does; the session tells its own.
#pragma once

#include "core/screen_stack.hpp"

namespace zb {

class RankingCourseScreen : public GameScreen {
  public:
    Screen Id() const override { return Screen::NetRank; }
    Step Start(Game& game) override;
    Step Resumed(Game& game, GameScreen& child) override;
    bool TellsRunError(Game& game, const std::exception& e) override;
};

}  // namespace zb
