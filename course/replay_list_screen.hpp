// リプレイ: song select's F7 lists the chart's replays (course/replay_list.hpp); ↑ ↓ choose one,
// Enter watches it on the play screen with the settings and random state it was played with
// (the player's come back when the watch ends), Esc or a pad's B goes back to song select.
// Nothing here or in the watch writes a file.
#pragma once

#include <memory>
#include <optional>
#include <vector>

#include "core/menu_keys.hpp"
#include "core/screen_stack.hpp"
#include "core/songs.hpp"
#include "course/replay_list.hpp"
#include "play/replay_watch.hpp"

namespace zb {

class ReplayListScreen : public GameScreen {
  public:
    explicit ReplayListScreen(ChartId chart) : chart_(chart) {}
    ~ReplayListScreen() override;
    Screen Id() const override { return Screen::Replays; }
    Step Start(Game& game) override;
    Step Pass(Game& game) override;
    Step Resumed(Game& game, GameScreen& child) override;
    double WakeAt(Game& game) override { return MenuWakeAt(game); }

    ChartId Chart() const { return chart_; }
    const std::vector<ReplayEntry>& Entries() const { return entries_; }
    int Cursor() const { return cursor_; }

  private:
    void Draw(Game& game);

    ChartId chart_;
    std::optional<MenuKeys> keys_;
    std::vector<ReplayEntry> entries_;
    int cursor_ = 0;
    std::unique_ptr<WatchedSettings> watched_;  // while a watch is on top
};

}  // namespace zb
