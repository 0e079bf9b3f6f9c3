// The tables of one song pick: the star level of every chart, the course's entries in display
// order, and the cursor over them. Rebuilt on every entry into the song select screen.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <vector>

#include "core/own_song_library.hpp"
#include "core/songs.hpp"

namespace zb {

struct SongList {
    static constexpr int kSongs = 21;
    static constexpr int kDifficulties = 4;
    static constexpr int kChallengeEntries = 31;
    static constexpr int kCourseEntries = 10;

    // Stars[song][difficulty]: the chart's level; 0 where there is no chart (not offered).
    std::array<std::array<int16_t, kDifficulties>, kSongs> Stars{};
    // The course's entries in display order (ascending level). In the challenge course each entry
    // is difficulty * 100 + song; elsewhere only the first ten are used, each a song number.
    std::array<int16_t, kChallengeEntries> Order{};
    bool challenge = false;
    int16_t difficulty = 0;  // the course's difficulty outside the challenge course

    // The players' own songs follow the built-in entries, in the songs folder's order: one
    // entry per song, or per chart in the challenge course. A song the game cannot play is
    // listed (with its reason) but cannot be started.
    struct OwnEntry {
        ChartId chart;
        int16_t level = 0;
        bool playable = false;
    };
    std::vector<OwnEntry> own;

    int BuiltInLength() const { return challenge ? kChallengeEntries : kCourseEntries; }
    int Length() const { return BuiltInLength() + int(own.size()); }
    const OwnEntry* OwnAt(int index) const {
        return index >= BuiltInLength() ? &own.at(size_t(index - BuiltInLength())) : nullptr;
    }
    int16_t SongAt(int index) const;
    int16_t DifficultyAt(int index) const;
    ChartId ChartAt(int index) const {
        return {.song = SongAt(index), .difficulty = DifficultyAt(index)};
    }
    int16_t LevelAt(int index) const {
        if (const OwnEntry* e = OwnAt(index)) return e->level;
        return Stars[SongAt(index)][DifficultyAt(index)];
    }
    bool Offered(int index) const { return OwnAt(index) || LevelAt(index) != 0; }
    // Whether Enter or Space can start the entry.
    bool Playable(int index) const {
        const OwnEntry* e = OwnAt(index);
        return e ? e->playable : LevelAt(index) != 0;
    }
    // The number of offered entries: every chart with a level in the challenge course, else the
    // songs with a level at the course's difficulty.
    // 32-bit: 30,000 own songs make 90,000 entries in the challenge course.
    int32_t Count() const;
    // 1 + the index of the first entry equal to the one at `index`.
    int32_t Position(int index) const;
    // The first offered index (0 unless the first entry has been withdrawn).
    int FirstIndex() const;
    // Steps from `index` by `dir` (+1 right, -1 left) with wrap-around, on over withdrawn
    // entries, calling `onStep` after every single step. Returns the new index.
    int Step(int index, int dir, const std::function<void()>& onStep = {}) const;
    // Withdraws a song at a difficulty (the ranking course's second pick).
    void Withdraw(int16_t song, int16_t difficulty) { Stars.at(song).at(difficulty) = 0; }
};

// The display orders of the three difficulty courses and of the challenge course.
const std::array<int16_t, SongList::kChallengeEntries>& CourseOrder(int16_t course, bool challenge);

// The tables for a course: `course` is the difficulty 0-2; `challenge` selects the 31 charts.
// Levels come from the song table: songs 0-9 at difficulties 0-3 where a chart exists. The own
// songs (none for the ranking course) are numbered from kOwnSongBase in their order.
SongList BuildSongList(int16_t course, bool challenge, const std::vector<OwnSong>& own = {});

}  // namespace zb
