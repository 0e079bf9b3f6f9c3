// A hand play on the headless platform, as the course tests strike one.
#pragma once

#include "core/chart_loader.hpp"
#include "platform/headless/headless.hpp"
#include "play/play_screen_setup.hpp"
#include "play/play_song.hpp"

namespace zb::testing {

// Strikes the chart by hand, from now on as its music starts: the notes struck `lateMs` after
// they are due, 4 ms either side in turn, but every `skip`th note left to pass (0: none).
inline void StrikeByHand(headless::HeadlessPlatform& hp, Game& game, const PlayRequest& q,
                         double lateMs, int skip) {
    PlayScreenSetup(game, q);
    LoadChart(game, q.chart, 0);
    const Chart& c = game.chart;
    const double msPerPx = double(c.ChartSpan) * 10 / (double(c.ChartText.size()) * c.NoteSpacing);
    const double start = hp.clock.Now();
    int turn[2] = {0, 0};
    for (int i = 1; i <= c.NoteCount; ++i) {
        if (skip && i % skip == 0) continue;
        const double late = lateMs + (i % 2 ? 4 : -4);
        const double at = start + ((c.NotePos[size_t(i)] - c.ChartOffset) * msPerPx + late) / 1000;
        const int colour = (c.NoteKinds[size_t(i - 1)] - '0') % 5 % 2 ? 0 : 1;
        const int key = game.settings.KeyCodes[size_t(colour * 2 + turn[colour]++ % 2)];
        hp.keyboard.At(at, key, true);
        hp.keyboard.At(at + 0.01, key, false);
    }
}

// Plays the chart so.
inline SongResult PlayByHand(headless::HeadlessPlatform& hp, Game& game, const PlayRequest& q,
                             double lateMs, int skip) {
    StrikeByHand(hp, game, q, lateMs, skip);
    return PlaySong(game, q);
}

}  // namespace zb::testing
