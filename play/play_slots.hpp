// The form slots of the play screen (play/play_screen_setup.cpp lays them out).
#pragma once

#include <array>
#include <cstddef>

namespace zb::play_slots {

inline constexpr size_t kGhostLabel = 2;       // the ghost's score, in a race (play/ghost.hpp)
inline constexpr size_t kComboLabel = 3;       // "COMBO: n", top left
inline constexpr size_t kScoreLabel = 4;       // the score, under the lane
inline constexpr size_t kResultsLabel = 5;     // the results panel (play/results_panel.hpp)
inline constexpr size_t kCourseLineLabel = 6;  // course, song number and title, under the lane
// The timing of a song played by hand, left of the results (play/timing_panel.hpp).
inline constexpr size_t kTimingFiguresLabel = 7;  // mean, spread, early and late
inline constexpr size_t kTimingDelayLabel = 8;    // the ディレイ that suits the song
// Picture1: the strikes' histogram; also 記録's and リプレイ's box (course/history_slots.hpp).
inline constexpr size_t kTimingHistogramPicture = 0;
// The pause menu and the count before the song goes on, in the background's place.
inline constexpr size_t kPauseTitleLabel = 15;
inline constexpr std::array<size_t, 4> kPauseItemLabels{16, 17, 18, 19};
// Practice's panel in the background's place: tempo and ramp, section, this pass, best pass,
// drums, metronome and 待つ, and its keys.
inline constexpr std::array<size_t, 6> kPracticeLabels{9, 10, 11, 12, 13, 14};

}  // namespace zb::play_slots
