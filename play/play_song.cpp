#include "play/play_song.hpp"

#include "play/play_screen.hpp"

namespace zb {

SongResult PlaySong(Game& game, const PlayRequest& request, const PlayOptions& options) {
    SongResult out;
    RunScreen(game, std::make_unique<PlayScreen>(request, options, true), [&](GameScreen& s) {
        out = static_cast<PlayScreen&>(s).result;
        out.Left = static_cast<PlayScreen&>(s).left;
    });
    return out;
}

SongResult PlaySong(Game& game, bool autoPlay, ChartId chart, const PlayOptions& options) {
    return PlaySong(game,
                    PlayRequest{.chart = chart, .autoPlay = autoPlay, .modifier = game.chart.Mode},
                    options);
}

}  // namespace zb
