// The own songs of a running game: the songs/ folder read once, their high scores in
// ownscore.dat, and the chart loader's part for them.
#pragma once

#include <cstdint>
#include <string>

#include "core/game.hpp"
#include "core/own_song_library.hpp"

namespace zb {

inline constexpr const char* kOwnSongFolder = "songs";
inline constexpr const char* kOwnScoreFile = "ownscore.dat";

// Reads the songs/ folder beside the program and the own songs' high scores, once per run (the
// first song select screen does it, so the title comes as quickly with a full folder).
void EnsureOwnSongs(Game& game);

// Makes one file an own song (the tools play a file from anywhere); returns its song number.
int16_t AddOwnSong(Game& game, const std::string& path);

// The entry of an own song number, or nullptr.
const OwnSong* FindOwnSong(const Game& game, int song);

// The high score of an own song in a column (difficulty, or difficulty + 3 in the challenge
// course); 0 for none.
int32_t OwnHighScore(const Game& game, int song, int column);
// Sets it and saves ownscore.dat crash-safely; a failed save says so on standard error.
void SetOwnHighScore(Game& game, int song, int column, int32_t score);

// The chart loader's part for an own song: reads the file again and loads the chart of its
// difficulty. Throws std::runtime_error when the file can no longer be played.
void LoadOwnChart(Game& game, ChartId chart);

}  // namespace zb
