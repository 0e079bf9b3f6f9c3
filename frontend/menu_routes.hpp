// Where the title menu and the challenge menu lead. The dispatcher has done the flag resets of each
// item before it calls these; each runs its screen to the end and comes back to the title itself.
// This is the one place where the courses, the settings screen and the internet ranking join the
// menu.
#pragma once

#include <cstdint>

#include "core/game.hpp"
#include "course/song_select.hpp"

namespace zb {

// かんたん, むずかしい, ワンだフル！ and チャレンジ.
void RunCourseFromTitle(Game& game, Course course);
// せってい.
void OpenSettingsFromTitle(Game& game);
// ネットワーク: the player's name entry, then the internet-ranking course.
void NetRankFromTitle(Game& game);
// A click on a modifier of the challenge menu starts the pending song with it.
void ChallengeModifierChosen(Game& game, Modifier mode);
// What follows the course runner: the title screen, the ranking session after the ranking
// course, or nothing while the challenge menu waits for its click.
void AfterCourse(Game& game, const CourseEnd& end);

}  // namespace zb
