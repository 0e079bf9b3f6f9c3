// 記録: the play history plotted. "This song" shows one chart's plays (song select's chart, or
// the one played last); ← → go through the songs played, ↑ ↓ through the song's difficulties, Tab
// switches to all songs (minutes per day, the songs played most) and back; Esc or a pad's B
// goes back. It reads history.txt when it opens and writes nothing.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "core/menu_keys.hpp"
#include "core/screen_stack.hpp"
#include "core/songs.hpp"
#include "course/history_drawing.hpp"

namespace zb {

class HistoryScreen : public GameScreen {
  public:
    explicit HistoryScreen(std::optional<ChartId> chart = std::nullopt) : start_(chart) {}
    Screen Id() const override { return Screen::History; }
    Step Start(Game& game) override;
    Step Pass(Game& game) override;
    double WakeAt(Game& game) override { return MenuWakeAt(game); }

    // What is on show.
    const HistoryDrawing& Drawn() const { return drawn_; }

  private:
    void Draw(Game& game);
    // The difficulties of the song on show that have plays (and the one it opened on).
    std::vector<int> Difficulties() const;

    std::optional<ChartId> start_;
    std::string startSong_;  // start_'s song as the history names it
    std::optional<MenuKeys> keys_;
    std::vector<PlayRecord> plays_;
    std::vector<ChartHistory> charts_;
    std::vector<std::string> songs_;  // the songs played, in the charts' order
    size_t song_ = 0;
    int difficulty_ = 0;
    bool allSongs_ = false;
    HistoryDrawing drawn_;
};

}  // namespace zb
