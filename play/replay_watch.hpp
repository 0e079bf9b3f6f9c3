// Watching a replay on the play screen: the speed and seek steps its keys take, and the settings
// it is played with. Space pauses, ← → seek 5 s to a bar's start (played again from the song's
// start without showing it), ↑ ↓ step the speed 50-200 % (the transport's tempo: the pitch
// stays), Esc goes back. A watch writes nothing (play/play_outcome).
#pragma once

#include <cstdint>

#include "core/game.hpp"
#include "core/play_request.hpp"
#include "core/song_bars.hpp"
#include "play/replay.hpp"

namespace zb {

inline constexpr double kWatchSlowest = 0.5, kWatchFastest = 2.0, kWatchStep = 0.25;
inline constexpr double kWatchSeekSeconds = 5.0;

// The speed `steps` steps faster (negative: slower), within 50-200 %.
double WatchSpeed(double rate, int steps);

// Where a seek of `delta` seconds from the song's moment `now` lands: the start of the bar that
// holds the moment it reaches (the moment itself when the bars are not known), never before 0.
double SeekTarget(const SongBars* bars, double now, double delta);

// The request a replay is watched with, its song as this run numbers it (an own song by its
// content id: the caller finds it).
PlayRequest WatchRequest(const Replay& replay, int16_t song);

// While it lives, the settings, the hit-error bar (always shown) and the random state of the
// replay's play are in force; it gives the player's back whichever way the watch ends.
class WatchedSettings {
  public:
    WatchedSettings(Game& game, const Replay& replay);
    ~WatchedSettings();
    WatchedSettings(const WatchedSettings&) = delete;
    WatchedSettings& operator=(const WatchedSettings&) = delete;

  private:
    Game& game_;
    Settings settings_;
    bool hitErrorBar_;
    uint64_t randomState_;
    Modifier mode_;
};

}  // namespace zb
