// What follows a song's results in a course: the same pick again after an auto play, the second
// pick after the first song, and after the second song the duplicate notice or the course total
// with its high score.
#pragma once

#include <cstdint>
#include <optional>

#include "core/game.hpp"
#include "core/songs.hpp"
#include "course/song_select.hpp"

namespace zb {

// What the course does after a song: go on with another pick, or end after showing its notice or
// total for `waitSeconds`.
struct CourseStep {
    std::optional<CourseEnd> end;
    double waitSeconds = 0;
};

// Carries the course on after a song whose results are on the results panel. `score` is the
// song's final score (challenge points included); `place` is the course's, which this updates.
// The ranking course ends in the ranking session.
CourseStep CourseProgress(Game& game, CourseState& place, const Course& course, bool autoPlay,
                          ChartId chart, int32_t score);

}  // namespace zb
