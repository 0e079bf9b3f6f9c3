// The play screen that is prepared before every song: the drummer, the gauge and its pictures,
// the combo and score labels, the lane and its back buffer, the course line and the background.
#pragma once

#include <cstdint>
#include <string>

#include "core/game.hpp"
#include "core/songs.hpp"

namespace zb {

// `rankingCourse`: the song is one of the internet-ranking course, as its course line says.
void PlayScreenSetup(Game& game, ChartId chart, bool autoPlay, bool secondSong,
                     bool rankingCourse = false);

// The course line: course, "オート"/"１曲目"/"２曲目", and the song's name.
std::string CourseLineText(const Game& game, ChartId chart, bool autoPlay, bool secondSong,
                           bool rankingCourse = false);

}  // namespace zb
