// The songs/ folder read in the background. The cache is read at once, so that the songs read
// before are there for the first picture; then a worker thread at the lowest priority walks the
// folder and reads only the files that are new or changed, one at a time, handing each over as it
// is read. Play pauses it, so a song is judged and sounded as without a scan.
#pragma once

#include <condition_variable>
#include <cstddef>
#include <mutex>
#include <string>
#include <thread>
#include <unordered_map>
#include <vector>

#include "core/own_song_cache.hpp"
#include "core/own_song_library.hpp"

namespace zb {

class OwnSongScan {
  public:
    // `folder` is the songs folder with its trailing separator; the cache lives at `cachePath`.
    OwnSongScan(std::string folder, std::string cachePath);
    // Stops the worker at its next file, waits for it and keeps what it read in the cache.
    ~OwnSongScan();
    OwnSongScan(const OwnSongScan&) = delete;
    OwnSongScan& operator=(const OwnSongScan&) = delete;

    // The songs the cache knew, in path order (handed over once).
    std::vector<OwnSong> TakeKnown();

    struct News {
        std::vector<OwnSong> read;      // new or changed since the last Take, in path order
        std::vector<std::string> gone;  // files known before that the folder no longer has
        size_t done = 0, total = 0;     // files read, of those the walk found to read
        size_t leftOut = 0;             // files past kOwnSongMax
        bool walking = true;            // the folder is still being walked (total unknown)
        bool finished = false;
    };
    News Take();

    // Holds the worker at its next file (a file being read is finished first); Resume lets it
    // go on. Nested pairs are fine.
    void Pause();
    void Resume();
    // For tests and benchmarks: until the worker is done.
    void WaitFinished();

    // Keeps when a song was last played in the cache (the worker writes it).
    void NotePlayed(const std::string& path, int64_t when);

  private:
    // The worker's body: every failure in it is one line on standard error, never the end of
    // the game.
    void Run();
    // Walks the folder and reads what is new or changed.
    void Scan();
    // Waits while paused; false once the scan is to stop.
    bool Proceed(std::unique_lock<std::mutex>& lock);
    // Writes the cache if anything changed since it was last written.
    void Save();

    const std::string folder_, cachePath_;
    std::mutex mutex_, saveMutex_;
    std::condition_variable wake_;
    std::unordered_map<std::string, OwnSong> rows_;  // every file known, by path
    std::vector<OwnSong> known_;
    News news_;
    bool cacheWritable_ = true;  // false for a newer build's cache
    bool dirty_ = false;
    int pauses_ = 0;
    bool busy_ = false;  // reading a file
    bool stop_ = false;
    std::thread worker_;
};

}  // namespace zb
