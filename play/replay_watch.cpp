#include "play/replay_watch.hpp"

#include <algorithm>
#include <cmath>

namespace zb {

double WatchSpeed(double rate, int steps) {
    const double stepped = std::round(rate / kWatchStep + steps) * kWatchStep;
    return std::clamp(stepped, kWatchSlowest, kWatchFastest);
}

double SeekTarget(const SongBars* bars, double now, double delta) {
    const double to = std::max(0.0, now + delta);
    if (!bars || bars->Count() == 0) return to;
    // A seek forward inside the bar it starts in would land back where it was: the next bar.
    double start = bars->Start(bars->BarAt(to));
    if (delta > 0 && start <= now) start = bars->Start(bars->BarAt(now) + 1);
    return std::max(0.0, start);
}

PlayRequest WatchRequest(const Replay& r, int16_t song) {
    PlayRequest q;
    q.chart = {.song = song, .difficulty = r.chart.difficulty};
    q.modifier = r.modifier;
    q.challenge = r.challengeCourse;
    q.challengePoints = r.challengePoints;
    return q;
}

WatchedSettings::WatchedSettings(Game& game, const Replay& r)
    : game_(game),
      settings_(game.settings),
      hitErrorBar_(game.options.HitErrorBar),
      randomState_(game.challenge.RandomState),
      mode_(game.chart.Mode) {
    PutReplaySettings(game.settings, r);
    game.options.HitErrorBar = true;  // what the watcher came for: each strike's timing
    game.challenge.RandomState = r.randomState;
    game.chart.Mode = r.modifier;
}

WatchedSettings::~WatchedSettings() {
    game_.settings = settings_;
    game_.options.HitErrorBar = hitErrorBar_;
    game_.challenge.RandomState = randomState_;
    game_.chart.Mode = mode_;
}

}  // namespace zb
