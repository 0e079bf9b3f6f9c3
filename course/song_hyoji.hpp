// The song select screen: the song under the course runner's cursor, composed from the song
// select pictures onto pGamen, with the song's music as a preview.
#pragma once

#include <cstdint>

#include "core/game.hpp"
#include "core/songs.hpp"

namespace zb {

// Whether drawing the screen starts the song's music again from its beginning.
enum class Preview { Restart, Keep };

// Draws the screen for one entry and restarts the preview (or keeps the one playing, for the same
// song drawn again). `level` is the entry's star count (1-11), `count` the number of entries the
// course offers, `position` the entry's 1-based place.
void SongHyoji(Game& game, ChartId chart, int16_t level, int32_t highScore, int32_t count,
               int32_t position, bool challengeCourse = false, Preview preview = Preview::Restart);

// Where the screen's origin lies in pGamenUra: the 697 x 499 picture centred on the window.
int16_t SongScreenX0();
int16_t SongScreenY0();

}  // namespace zb
