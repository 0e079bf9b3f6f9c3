// The course runner: the song picks of a course, the songs they start, and what follows each
// song's results, run as one loop so that any number of songs keeps the stack flat.
#pragma once

#include <cstdint>

#include "core/game.hpp"

namespace zb {

// How a course left the runner.
struct CourseEnd {
    enum class Kind {
        Title,          // the course is over: the title screen comes next
        NetRank,        // the ranking course is over: the ranking session comes next
        ChallengeMenu,  // the challenge menu is up and waits for a click on a modifier
    } kind = Kind::Title;
    // The two songs of a finished course and their scores (the second score without the first).
    int32_t firstScore = 0, secondScore = 0;
    int16_t firstSong = 0, secondSong = 0;
};

// The course that the runner is given.
struct Course {
    // 0 かんたん, 1 むずかしい, 2 ワンだフル; with ChallengeCourse set, 3 offers all 31 charts.
    int16_t difficulty = 0;
    // The internet-ranking course (at difficulty 2): its second song differs from the first, it
    // has no auto play, and the ranking session follows it.
    bool ranking = false;
};

// Runs a course from its song select screen. The challenge course returns as soon as the
// challenge menu is shown; any other course returns when it is over.
CourseEnd SongSelect(Game& game, Course course);

// The click on a modifier of the challenge menu: plays the pending song under that modifier and
// carries the course on until it ends or the next challenge menu is shown.
CourseEnd StartChallengeSong(Game& game, Modifier mode);

}  // namespace zb
