// history.txt: every finished hand play, one line each (play/play_record), appended where a
// play's outcome is kept (play/play_outcome), crash-safely, in the save folder. A damaged line is
// skipped with one line on standard error. Practice writes nothing here.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "core/game.hpp"
#include "play/play_outcome.hpp"
#include "play/play_record.hpp"

namespace zb {

// The history's text as it stands: the file's, or while it is missing the lines it will start
// with, one for each replay in the replays/ folder. Nullopt when the file cannot be read (said).
std::optional<std::string> PlayHistoryText(const Game& game);
// The plays in a history's text, oldest first; a damaged line is skipped and said.
std::vector<PlayRecord> DecodePlayHistory(const Game& game, const std::string& text);
// The plays in the save folder's history (PlayHistoryText), oldest first.
std::vector<PlayRecord> ReadPlayHistory(const Game& game);
// A finished hand play's line (the replay's file, when one was kept), and the history written
// again as `text` (PlayHistoryText, read before) with the line after it (see KeepPlayOutcome).
PlayRecord PlayRecordOf(Game& game, const PlayOutcome& o, const std::string& replayFile);
void AppendPlayHistory(Game& game, std::string text, const PlayRecord& r);

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
