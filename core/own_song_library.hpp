// The players' own songs: every MIDI file in the songs/ folder beside the program, what the game
// makes of each, and their high scores, which live in a file of their own (never in score.dat).
#pragma once

#include <array>
#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "core/own_song_chart.hpp"

namespace zb {

// Own songs travel through the game as song numbers from here on (the built-in ones are 0-9), so
// a ChartId names an own song's chart as it names a built-in one.
inline constexpr int16_t kOwnSongBase = 1000;
// More files than this in the folder are left out (the last by path), with one line on standard
// error and a count on the song select screen. kOwnSongBase + kOwnSongMax - 1 still fits a song
// number's 16 bits.
inline constexpr size_t kOwnSongMax = 30000;
static_assert(kOwnSongBase + kOwnSongMax - 1 <= 32767);

// What tells that a file changed since it was read: its size and modification time, and those
// of the chart files beside it.
struct OwnSongStamp {
    int64_t size = -1;
    int64_t modified = 0;     // nanoseconds on the file system's clock
    uint64_t chartFiles = 0;  // a hash of the chart files' sizes and times; 0 for none
    bool operator==(const OwnSongStamp&) const = default;
};

// What the song select screen needs of one file: kept small, since there may be thousands.
struct OwnSong {
    std::string path;   // the MIDI file
    std::string title;  // the file's track name, or its file name
    // 16 hex digits of the file's content hash: its name in the score file and in replays, so
    // that a renamed file keeps its scores.
    std::string id;
    bool playable = false;
    std::string reason;  // why it cannot be played
    std::array<int16_t, kOwnDifficulties> levels{};
    std::array<int16_t, kOwnDifficulties> notes{};
    OwnSongStamp stamp;      // of the file as it was read
    int chartVersion = 0;    // kOwnChartVersion of the charts it was read with
    int64_t lastPlayed = 0;  // seconds since 1970; 0 for never
};

// A file read in full: the entry and its three charts (chart files beside it replace them).
struct OwnSongFile {
    OwnSong song;
    OwnSongCharts charts;
    std::array<bool, kOwnDifficulties> handMade{};  // the chart came from a chart file
};

// High scores by the file's id; columns as in score.dat's tables: difficulty 0-2, and
// difficulty + 3 in the challenge course.
using OwnScoreColumns = std::array<int32_t, 6>;

class OwnSongScan;

struct OwnSongLibrary {
    bool scanned = false;
    // Song number kOwnSongBase + index. Songs read during a run join at the end, so a number
    // keeps its song for the whole run.
    std::vector<OwnSong> songs;
    std::unordered_map<std::string, size_t> indexOf;  // by path
    std::map<std::string, OwnScoreColumns> scores;
    bool scoresWritable = true;  // false when the score file is of a newer game
    // The background reading of the folder, and how far it is.
    std::shared_ptr<OwnSongScan> scan;
    size_t readDone = 0, readTotal = 0, leftOut = 0;
    bool walking = false, reading = false;
    bool hasFolder = false;  // songs/ exists: song select shows the finder's lines
};

bool IsOwnSong(int song);

// "song_d1.txt" beside "song.mid": the chart file a player may write for a difficulty.
std::string OwnChartFilePath(const std::string& midiPath, int difficulty);

// The reason of a file that cannot be read.
inline constexpr const char* kOwnSongUnreadable = "読めません";

// Reads, hashes and charts one MIDI file; chart files beside it replace the generated charts of
// their difficulty. Never throws for a bad file: the entry is then unplayable with its reason.
OwnSongFile ReadOwnSong(const std::string& path);

// Reads every .mid/.midi file under `folder` (subfolders too), in path order, at once (the tools;
// the game reads the folder in the background: core/own_song_scan.hpp). A missing folder gives
// none.
std::vector<OwnSong> ScanOwnSongFolder(const std::string& folder);

// The score file's text and its reading; `why` names a line it could not read.
std::string EncodeOwnScores(const std::map<std::string, OwnScoreColumns>& scores);
bool DecodeOwnScores(const std::string& text, std::map<std::string, OwnScoreColumns>& scores,
                     std::string& why);

// FNV-1a, 64 bits, as 16 hex digits.
std::string ContentId(std::string_view bytes);

}  // namespace zb
