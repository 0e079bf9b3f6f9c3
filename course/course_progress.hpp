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

// Carries the course on after a song whose results are on the results panel. `score` is the song's
// final score (challenge points included). Returns how the course ended, or nothing when the course
// goes on with another pick; the ranking course ends in the ranking session.
std::optional<CourseEnd> CourseProgress(Game& game, bool autoPlay, ChartId chart, int32_t score,
                                        bool rankingCourse = false);

}  // namespace zb
