// What a song is played for: the chart, auto play, and the course place it holds. Handed to the
// play screen by the course that starts it; nothing of it lives in the shared Game.
#pragma once

#include <cstdint>

#include "core/challenge_modifiers.hpp"
#include "core/songs.hpp"

namespace zb {

struct PlayRequest {
    ChartId chart;
    bool autoPlay = false;
    Modifier modifier = Modifier::None;
    // The challenge course: the modifier's points are added, scores go to its own columns.
    bool challenge = false;
    int32_t challengePoints = 0;
    bool ranking = false;     // a song of the internet-ranking course
    bool secondSong = false;  // the course's second song
};

}  // namespace zb
