#include "core/checked.hpp"
#include "core/songs.hpp"
#include "course/song_list.hpp"

namespace zb {

SongList BuildSongList(int16_t course, bool challenge, const std::vector<OwnSong>& own) {
    SongList list;
    list.challenge = challenge;
    list.difficulty = challenge ? int16_t(0) : course;
    // Only the ten built-in songs have charts; song numbers 10-20 stay at level 0.
    for (int16_t song = 0; song < kSongCount; ++song)
        for (int16_t d = 0; d < SongList::kDifficulties; ++d)
            list.Stars[song][d] = SongLevelOf({.song = song, .difficulty = d});
    list.Order = CourseOrder(course, challenge);
    for (size_t i = 0; i < own.size(); ++i) {
        const OwnSong& o = own[i];
        const int16_t song = Narrow<int16_t>(kOwnSongBase + i);
        // A song that cannot be played is listed once, with its reason.
        const int16_t first = challenge ? 0 : course, last = challenge && o.playable ? 2 : first;
        for (int16_t d = first; d <= last; ++d)
            list.own.push_back({.chart = {.song = song, .difficulty = d},
                                .level = o.playable ? o.levels[size_t(d)] : int16_t(0),
                                .playable = o.playable});
    }
    return list;
}

}  // namespace zb
