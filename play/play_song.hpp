// One song from its first frame to the end of its results: the play loop, its part changes and
// speed-up, auto play, the results text, the waits and the song high score. The course
// progression after the results is the caller's.
#pragma once

#include <cstdint>
#include <string>

#include "core/game.hpp"
#include "core/songs.hpp"

namespace zb {

struct SongResult {
    // The score that counts: in the challenge course it includes the challenge points.
    int32_t ShownScore = 0;
    int16_t GaugeLevel = 0;
    bool NormaCleared = false;  // GaugeLevel of kNormaLevel or more
    double Score = 0;           // the running score before rounding (no challenge points)
    int16_t MaxCombo = 0, CountBest = 0, CountGood = 0, CountMiss = 0;
    int16_t Gauge = 0;
    int32_t Frames = 0;
    std::string Caption;  // the results text shown during the results wait
};

struct PlayOptions {
    // Frames run at this fixed rate, so frame-counted effects last the same on every machine.
    double FramesPerSecond = 60;
};

// Plays the loaded chart (the caller has prepared the play screen and loaded the chart's first
// part, which started the music) and shows its results.
SongResult PlaySong(Game& game, bool autoPlay, ChartId chart);
SongResult PlaySong(Game& game, bool autoPlay, ChartId chart, const PlayOptions& options);

}  // namespace zb
