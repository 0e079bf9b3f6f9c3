// The play screen that is prepared before every song: the drummer, the gauge and its pictures,
// the combo and score labels, the lane and its back buffer, the course line and the background.
#pragma once

#include <cstdint>
#include <string>

#include "core/game.hpp"
#include "core/play_request.hpp"
#include "core/songs.hpp"

namespace zb {

// The lane's colour, on the play screen and the delay check; the blank under the judgement word
// area matches it.
inline constexpr Color kLaneColor = Color::Rgb(24, 24, 40);

// The course line says which course the request's song is played for.
void PlayScreenSetup(Game& game, const PlayRequest& request);
// A song of a local course (or of the ranking course).
void PlayScreenSetup(Game& game, ChartId chart, bool autoPlay, bool secondSong,
                     bool rankingCourse = false);

// The course line: course, "オート"/"１曲目"/"２曲目", and the song's name.
std::string CourseLineText(const Game& game, const PlayRequest& request);
std::string CourseLineText(const Game& game, ChartId chart, bool autoPlay, bool secondSong,
                           bool rankingCourse = false);

}  // namespace zb
