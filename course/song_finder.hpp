// Finding a song among thousands on the song select screen: a view over a song list that sorts
// the own songs (by path, title, stars or last play), pages, jumps to either end and searches.
// The view only orders: every entry keeps its index in the list and its song number, so a course
// in progress always points at the song it chose.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "core/own_song_library.hpp"
#include "course/song_list.hpp"

namespace zb {

enum class SongSort { Path, Title, Stars, LastPlayed };
inline constexpr int kSongSorts = 4;

// The sort's name as the screen shows it.
const char* SongSortName(SongSort sort);

// Folds text for a search: Latin letters to lower case, full-width letters and digits to
// half-width, katakana to hiragana, so that any of them finds the others.
std::string FoldForSearch(std::string_view text);

class SongFinder {
  public:
    // The view of `list`: the built-in entries first in the course's order, then the own songs
    // (`songs`, whose paths begin with `root`, the songs folder) in the current sort.
    void Build(const SongList& list, const std::vector<OwnSong>& songs, std::string_view root);
    SongSort Sort() const { return sort_; }
    void SetSort(SongSort sort);

    int Size() const { return int(view_.size()); }
    // The list index at a place of the view, and the place of a list index (-1 for none).
    int IndexAt(int place) const { return view_.at(size_t(place)); }
    int PlaceOf(int index) const;
    // The list index of a chart (-1 for none): a cursor kept across a rebuild.
    int IndexOf(ChartId chart) const;

    // From the entry at `index`, `places` places on in the view (back for negative), over entries
    // not offered: by one with wrap-around (the arrows), by more stopping at the ends (paging).
    int Move(int index, int places) const;
    int First() const;
    int Last() const;

    // The entries whose title, file name or folder holds `query` (see FoldForSearch), in view
    // order; the built-in songs are not searched.
    std::vector<int> Find(std::string_view query) const;

  private:
    void Order();
    bool Offered(int index) const { return list_->Offered(index); }

    const SongList* list_ = nullptr;
    const std::vector<OwnSong>* songs_ = nullptr;
    SongSort sort_ = SongSort::Path;
    std::vector<int> view_;            // list indices in view order
    std::vector<int> placeOf_;         // by list index
    std::vector<std::string> keys_;    // by own song: the folded title, file name and folder
    std::vector<std::string> titles_;  // by own song: the folded title
};

}  // namespace zb
