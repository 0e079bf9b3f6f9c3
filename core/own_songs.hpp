// The own songs of a running game: the songs/ folder read once, their high scores in
// ownscore.dat, and the chart loader's part for them.
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>

#include "core/game.hpp"
#include "core/own_song_library.hpp"

namespace zb {

inline constexpr const char* kOwnSongFolder = "songs";
inline constexpr const char* kOwnScoreFile = "ownscore.dat";

// Starts reading the songs/ folder beside the program and reads the own songs' high scores, once
// per run (the first song select screen does it). The songs the cache knows are listed at once;
// the others join as the background reading hands them over (TakeOwnSongNews).
void EnsureOwnSongs(Game& game);

// Starts the reading if need be and waits until the whole folder is read and taken (tools, tests
// and benchmarks that want every song at once).
void FinishOwnSongs(Game& game);

// Takes what the background reading has read since the last call: new songs join at the end of
// the numbering, a changed one is replaced under its number, a vanished one stays as unplayable.
// True when the list or the reading's progress changed.
bool TakeOwnSongNews(Game& game);

// Holds the background reading while it lives (play: a song is judged and sounded as without it).
class OwnSongScanPause {
  public:
    explicit OwnSongScanPause(Game& game);
    ~OwnSongScanPause();
    OwnSongScanPause(const OwnSongScanPause&) = delete;
    OwnSongScanPause& operator=(const OwnSongScanPause&) = delete;

  private:
    std::shared_ptr<OwnSongScan> scan_;
};

// Keeps now as when an own song was last played (the sort by last played; kept in the cache).
void NoteOwnSongPlayed(Game& game, int song);

// Makes one file an own song (the tools play a file from anywhere); returns its song number.
int16_t AddOwnSong(Game& game, const std::string& path);

// The folder of an own song's file within songs/ ("rock/80s"), "" for one at the top.
std::string OwnSongFolder(const Game& game, const OwnSong& song);

// The entry of an own song number, or nullptr.
const OwnSong* FindOwnSong(const Game& game, int song);

// The high score of an own song in a column (difficulty, or difficulty + 3 in the challenge
// course); 0 for none.
int32_t OwnHighScore(const Game& game, int song, int column);
// Sets it and saves ownscore.dat crash-safely; a failed save says so on standard error.
void SetOwnHighScore(Game& game, int song, int column, int32_t score);

// An own song's file was moved or deleted after the list was read: the player is told, not the
// run-time error box.
class OwnSongFileGone : public std::runtime_error {
  public:
    OwnSongFileGone(int song, const std::string& name);
    int song;
    std::string name;  // the file's path within songs/
};

// Throws OwnSongFileGone when `song` is an own song whose file is no longer there.
void CheckOwnSongFile(const Game& game, int song);

// Tells the player that the file is gone (「曲のファイルが見つかりません: NAME」, and a line on
// standard error) and marks the song as one that cannot be played for the rest of the run.
void TellOwnSongFileGone(Game& game, const OwnSongFileGone& gone);

// The chart loader's part for an own song: reads the file again and loads the chart of its
// difficulty. Throws OwnSongFileGone when the file is gone, std::runtime_error when it can no
// longer be played.
void LoadOwnChart(Game& game, ChartId chart);

}  // namespace zb
