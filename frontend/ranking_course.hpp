// The title's ネットワーク item: the player's ranking name, the download, the ranking shown
// before play, the ranking course and the session after it. A run-time error before the
// session ends the course as a failed connection does; the session tells its own. The download
// runs on the ranking's worker while the screen looks at it, so a close request is asked at
// once; the exit's OK stops it with the screen.
#pragma once

#include <memory>

#include "core/screen_stack.hpp"
#include "netrank/netrank_entry.hpp"

namespace zb {

class RankingCourseScreen : public GameScreen {
  public:
    // `byPad`: chosen with a pad, whose player may have no keyboard for the name.
    explicit RankingCourseScreen(bool byPad = false) : byPad_(byPad) {}
    Screen Id() const override { return Screen::NetRank; }
    Step Start(Game& game) override;
    Step Pass(Game& game) override;
    double WakeAt(Game& game) override;
    Step Resumed(Game& game, GameScreen& child) override;
    bool TellsRunError(Game& game, const std::exception& e) override;

  private:
    bool byPad_;
    std::unique_ptr<RankingDownload> download_;  // while the ranking comes
};

}  // namespace zb
