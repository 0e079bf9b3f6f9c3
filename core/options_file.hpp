// options.txt: the game's own choices beyond the six of config.dat, beside the other data files.
// Text, one "name value" a line after a "version N" line; "#" starts a comment. Lines this build
// does not know (a newer build's) are kept as they were when it saves the file again.
#pragma once

#include <string>

#include "core/game.hpp"

namespace zb {

inline constexpr int kOptionsVersion = 1;

// ドラム's caption (あり, 小さく, なし) and the choice after it, as F5 steps through them.
const char* DrumPartCaption(DrumPart part);
DrumPart NextDrumPart(DrumPart part);
// What a song plays with: the ranking course plays every song's music as it is.
DrumPart DrumsFor(const GameOptions& o, bool rankingCourse);

std::string EncodeOptions(const GameOptions& o);
// Applies a file's text; names it does not know go to OtherLines, values it cannot read leave
// their option as it was (those lines are named in `why`, when given).
void DecodeOptions(const std::string& text, GameOptions& o, std::string* why = nullptr);

// Reads SaveDir + "options.txt". A missing file leaves the defaults (every run before the first
// save has none); an unreadable one, or a value it cannot read, says so in one line on standard
// error. Never a start-up failure.
void LoadOptions(Game& game);
// Writes it crash-safely; a failure is written to standard error and the options stay in memory.
void SaveOptions(Game& game);

}  // namespace zb
