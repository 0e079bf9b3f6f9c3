// One line of history.txt: a "version N" line starts the file, then one line a play, its fields
// separated by tabs: the date and time ("2026-04-01 21:05:09"; "-" for a play read from an older
// replay), the song (a built-in song's number, or an own song's content id), the difficulty, the
// modifier's code, the course ("local", "challenge", "ranking"), the score, 良, 可, 不可, the max
// combo, the seconds of the song played, the replay's file name ("-" for none), then one field
// per device that struck: "<mean ms> <spread ms> <judged strikes> <device>".
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace zb {

inline constexpr int kHistoryVersion = 1;

struct DeviceTiming {
    double meanMs = 0, spreadMs = 0;
    int count = 0;  // judged strikes
    std::string device;
    bool operator==(const DeviceTiming&) const = default;
};

struct PlayRecord {
    std::string when = "-";
    std::string song;
    int difficulty = 0, modifier = 0;
    std::string course = "local";
    int32_t score = 0;
    int best = 0, good = 0, miss = 0, maxCombo = 0;
    double seconds = 0;
    std::string replay = "-";
    std::vector<DeviceTiming> devices;
    bool operator==(const PlayRecord&) const = default;
};

std::string EncodePlayRecord(const PlayRecord& r);
// Nullopt for a line that is not a play's, or whose figures no play can have.
std::optional<PlayRecord> DecodePlayRecord(const std::string& line);

}  // namespace zb
