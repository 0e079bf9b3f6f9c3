// The library's cache: what was read of each own song's file (its stamp, content id, title,
// whether it plays and why not, its charts' stars and notes, the chart builder's version) and
// when it was last played, so that a file that did not change is never read again.
//
// A text file of the game's own: a version line, one line per file (tab-separated, the path
// relative to the songs folder), and an end line with the count and a hash of all before it. A
// cache that fails the hash or a line is damaged and rebuilt, never trusted; a newer version's is
// left alone.
#pragma once

#include <string>
#include <vector>

#include "core/own_song_library.hpp"

namespace zb {

inline constexpr int kOwnSongCacheVersion = 1;
inline constexpr const char* kOwnSongCacheFile = "songcache.dat";

enum class OwnCacheRead {
    Read,
    Damaged,  // rebuilt from the files
    Newer,    // a newer build's: ignored, and kept as it is
};

// `folder` is the songs folder's path with its trailing separator.
std::string EncodeOwnSongCache(const std::vector<OwnSong>& songs, const std::string& folder);
OwnCacheRead DecodeOwnSongCache(const std::string& bytes, const std::string& folder,
                                std::vector<OwnSong>& songs, std::string& why);

}  // namespace zb
