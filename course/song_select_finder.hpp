// The song select screen's ways to find a song among the own songs: the keys (Tab opens the
// search line, Page Up/Down step ten, Home/End jump, S cycles the sort), the search line typed
// through the input method, the songs that join as the folder is read, and the screen's lines
// (the reading's progress, the sort, the search, the songs left out). With no songs/ folder, and
// in the ranking course, it does nothing and draws nothing.
#pragma once

#include <functional>
#include <optional>
#include <string>

#include "core/game.hpp"
#include "core/menu_keys.hpp"
#include "course/song_finder.hpp"
#include "course/song_list.hpp"

namespace zb {

class SongSelectFinder {
  public:
    // `list` is the screen's list, rebuilt here when songs join (with `rebuild`).
    SongSelectFinder(Game& game, SongList& list, std::function<SongList()> rebuild, bool active);
    ~SongSelectFinder();
    SongSelectFinder(const SongSelectFinder&) = delete;
    SongSelectFinder& operator=(const SongSelectFinder&) = delete;

    // What Pass asks to be drawn again: the finder's lines, or the song shown (and the lines).
    static constexpr int kLines = 1, kSong = 2;
    // One pass: takes the songs read since the last pass and the finder's keys. Moves `index`
    // and returns what must be drawn again.
    int Pass(MenuKeys& keys, int& index);
    // While the search line is open (and until the Enter that closed it is up), the screen's
    // other keys do nothing.
    bool Searching() const { return search_.has_value() || releasing_; }
    // The arrows: one entry on in the view's order, with wrap-around.
    int Step(int index, int dir, const std::function<void()>& onStep) const;
    // Draws the finder's lines over the song select picture.
    void Draw();

  private:
    int Keys(MenuKeys& keys, int& index);
    int Typing(MenuKeys& keys, int& index);
    void Close();

    Game& game_;
    SongList& list_;
    std::function<SongList()> rebuild_;
    bool active_;
    SongFinder finder_;
    MenuKeys pages_;  // Page Up/Down, held to repeat as the arrows do
    std::optional<std::string> search_;
    std::string composing_;  // the input method's composition, as last drawn
    double lastTaken_ = -1;
    bool releasing_ = false;
};

}  // namespace zb
