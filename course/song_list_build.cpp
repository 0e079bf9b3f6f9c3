#include "core/songs.hpp"
#include "course/song_list.hpp"

namespace zb {

SongList BuildSongList(int16_t course, bool challenge) {
    SongList list;
    list.challenge = challenge;
    list.difficulty = challenge ? int16_t(0) : course;
    // Only the ten built-in songs have charts; song numbers 10-20 stay at level 0.
    for (int16_t song = 0; song < kSongCount; ++song)
        for (int16_t d = 0; d < SongList::kDifficulties; ++d)
            list.Stars[song][d] = SongLevelOf({.song = song, .difficulty = d});
    list.Order = CourseOrder(course, challenge);
    return list;
}

}  // namespace zb
