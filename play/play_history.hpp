// history.txt: every finished hand play, one line each, appended where a play's outcome is kept
// (play/play_outcome), crash-safely, in the save folder. Text: a "version N" line, then one line a
// play, its fields separated by tabs: the date and time ("2026-04-01 21:05:09"; "-" for a play
// read from an older replay), the song (a built-in song's number, or an own song's content id),
// the difficulty, the modifier's code, the course ("local", "challenge", "ranking"), the score,
// 良, 可, 不可, the max combo, the seconds of the song played, the replay's file name ("-" for
// none), then one field per device that struck: "<mean ms> <spread ms> <judged strikes> <device>".
// A damaged line is skipped with one line on standard error. Practice writes nothing here.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "core/game.hpp"
#include "play/play_outcome.hpp"

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
// Nullopt for a line that is not a play's.
std::optional<PlayRecord> DecodePlayRecord(const std::string& line);

// The plays in the save folder's history, oldest first. A missing file is no play; the
// replays/ folder's replays join it once, when it is first written.
std::vector<PlayRecord> ReadPlayHistory(const Game& game);
// A finished hand play's line (the replay's file, when one was kept), and the line appended (see
// KeepPlayOutcome).
PlayRecord PlayRecordOf(Game& game, const PlayOutcome& o, const std::string& replayFile);
void AppendPlayHistory(Game& game, const PlayOutcome& o, const std::string& replayFile);

// An input offset the last plays ask for: three hand plays in a row whose strikes on one device
// came late (or early) by more than 8 ms on average, each with 50 judged strikes or more and a
// spread under 30 ms. `offset` is what the device's offset becomes (within ±50 ms).
struct OffsetAdvice {
    std::string device;
    int meanMs = 0, offset = 0;
};
std::optional<OffsetAdvice> LearnedOffset(const std::vector<PlayRecord>& history,
                                          const DeviceOptions& devices);
// "入力が平均 +14 ms 遅れています。F5 で補正".
std::string OffsetAdviceText(const OffsetAdvice& a);

}  // namespace zb
