// ゴースト: a hand play races the best replay of its chart and modifier (play/best_replay.hpp).
// Before the song, the replay is played through unseen with its own settings; a replay that does
// not give its own figures again races nobody. During the song its score at the music's moment
// stands beside the player's with the difference, and its judgement of each note is a small mark
// above the lane. Not in the ranking course, nor in an auto play or a watch.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace zb {

struct GhostRun {
    // Its shown score from each moment on (the music's centiseconds), in order.
    std::vector<std::pair<int32_t, int32_t>> scores;
    std::string judgements;  // one digit a note, as PlayState::Judgements
    int32_t shownScore = 0;
    int16_t countBest = 0, countGood = 0, countMiss = 0;
    // Its score at a moment of the music.
    int32_t ScoreAt(int32_t centiseconds) const;
};

// "+12,300", "−4,500", "±0".
std::string ScoreDifferenceText(int64_t difference);
// The ghost's line: "ゴースト 182,300　+12,300".
std::string GhostLine(int32_t ghostScore, int32_t playerScore);

}  // namespace zb
