// One song's result and the options it is played with; the play screen (play/play_screen.hpp)
// plays it. The course progression after the results is the caller's.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "core/game.hpp"
#include "core/play_request.hpp"
#include "core/songs.hpp"
#include "play/frame_pacer.hpp"
#include "play/timing_figures.hpp"

namespace zb {

struct Replay;

struct SongResult {
    // The score that counts: in the challenge course it includes the challenge points.
    int32_t ShownScore = 0;
    int16_t GaugeLevel = 0;
    bool NormaCleared = false;  // GaugeLevel of kNormaLevel or more
    double Score = 0;           // the running score before rounding (no challenge points)
    int16_t MaxCombo = 0, CountBest = 0, CountGood = 0, CountMiss = 0;
    int16_t Gauge = 0;
    int32_t Frames = 0;
    std::string Caption;     // the results text shown during the results wait
    std::string Judgements;  // each note's judgement in order (see PlayState::Judgements)
    // The timing of the judged strikes and its figures; the windows in force at the end, in ms.
    std::vector<StrikeTiming> Strikes;
    TimingFigures Timing;
    WindowsMs Windows;
    // The ディレイ that would have cancelled the mean offset of this song.
    int16_t SuggestedDelay = 0;
    uint64_t Underruns = 0;   // buffers the sound output played empty during the song
    uint64_t ChartPrint = 0;  // the chart's parts as they were loaded (see ChartPrint)
    bool Left = false;        // the player left the song from the pause menu: nothing counts
};

struct PlayOptions {
    // Frames run at this fixed rate, so frame-counted effects last the same on every machine.
    double FramesPerSecond = kPlayFramesPerSecond;
    // Plays this replay: its reads stand in for the music's position and the keys.
    const Replay* replay = nullptr;
    // A player watches the replay: Space, ← →, ↑ ↓ and Esc steer it (play/replay_watch.hpp).
    bool watch = false;
    // A hand play's replay is kept in the replays/ folder beside the scores, and copied here.
    bool keepReplay = true;
    Replay* record = nullptr;
    // Whether the lane, the gauge, the drummer's face and the background are drawn; a tool that
    // only reads the results skips them and plays many times faster.
    bool DrawField = true;
};

// Plays the loaded chart (the caller has prepared the play screen and loaded the chart's first
// part, which started the music) and shows its results: the play screen run on its own. The
// request's modifier is the one the chart was loaded with.
SongResult PlaySong(Game& game, const PlayRequest& request, const PlayOptions& options = {});
// The same for a song played outside any course.
SongResult PlaySong(Game& game, bool autoPlay, ChartId chart, const PlayOptions& options = {});

}  // namespace zb
