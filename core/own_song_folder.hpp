// The walk of the songs/ folder: every MIDI file under it with what tells whether it changed,
// without reading any. Players link their collections in, so linked folders are followed; a
// link back to a folder already walked is walked once.
#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <vector>

#include "core/own_song_library.hpp"

namespace zb {

struct OwnSongFolderFile {
    std::string path;
    OwnSongStamp stamp;
};

struct OwnSongFolderList {
    std::vector<OwnSongFolderFile> files;  // in path order, at most kOwnSongMax
    size_t leftOut = 0;                    // files past kOwnSongMax, the last by path
    bool complete = true;  // false when a folder could not be read or `stop` said so
};

// Walks `folder` (none when it is missing). `stop` is asked now and then; true ends the walk.
OwnSongFolderList ListOwnSongFiles(const std::string& folder,
                                   const std::function<bool()>& stop = {});

// Whether a file name is a MIDI file's (.mid or .midi, any case).
bool IsMidiFileName(const std::string& name);

}  // namespace zb
