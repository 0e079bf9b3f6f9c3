// The chart checker behind zubakko-play: options, the keys file, one play on the headless
// platform, and the JSON report.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "play/history_summary.hpp"
#include "play/midi_export.hpp"
#include "play/play_song.hpp"
#include "play/practice_play.hpp"
#include "play/replay.hpp"

namespace zb::tool {

struct KeyEvent {
    int64_t ms;  // music position since the start of the song's music file
    int vk;
    bool down;
};

// A stroke of a MIDI drum kit's note.
struct KitStroke {
    int64_t ms;  // music position, as KeyEvent's
    int note, velocity;
};

struct Options {
    int16_t song = -1, difficulty = -1;
    std::string songFile;  // an own song's MIDI file instead of a built-in song
    bool autoPlay = false;
    int mode = -1;  // a challenge modifier: plays as in the challenge course
    std::string keysFile;
    std::string padFile;       // a pad's script, played with a standard gamepad's default bindings
    bool padBindings = false;  // print the default bindings instead of playing
    std::string kitFile;       // a drum kit's script, played with the kit map
    std::string kitMapFile;    // the kit map instead of the General MIDI one
    std::string exportMidi;    // with replayFile: the MIDI file to write the play to
    bool kitMapDefaults = false;        // print the default kit map instead of playing
    std::vector<KitStroke> kitStrokes;  // read from kitFile
    std::optional<KitBinding> kitMap;   // read from kitMapFile
    std::string configFile;             // a config.dat whose keys, delay and frame the play takes
    std::optional<int16_t> delay, frame;
    std::string offsetsFile;  // lines "<device> <ms>": each device's input offset
    DeviceOptions offsets;    // read from offsetsFile
    bool bigWait = false;
    double fps = kPlayFramesPerSecond;
    std::string historyDir;  // prints this save folder's play history instead
    bool json = false;       // --json: the history's report form (the only one)
    std::string replayFile;  // plays this replay instead (the chart and settings come from it)
    std::string saveReplay;  // writes the replay of a keys play here
    std::string ghostFile;   // a replay of the same chart that a keys play races
    // Practice: the tempo, a section of bars looped, the ramp. Writes nothing.
    bool practice = false;
    double rate = 1.0;
    std::optional<int> fromBar, toBar;
    int loops = 1;
    bool ramp = false;
    bool wait = false;  // 待つ: the song halts at each note until it is struck
    // Pauses when the music reaches pauseAt ms, for pauseFor ms of the player's clock, then goes
    // on; or leaves the song from the pause menu at leaveAt ms.
    std::optional<int32_t> pauseAt, pauseFor, leaveAt;
};

// Throws std::invalid_argument with a message for the user.
Options ParseOptions(const std::vector<std::string>& args);
// Lines "<ms> <vk> down|up"; blank lines and lines starting with '#' are skipped.
std::vector<KeyEvent> ParseKeys(const std::string& text);
// Lines "<ms> <input> down|up", the input named as SDL names a game controller's ("a",
// "dpleft", "lefttrigger", "-leftx"); the events carry the input's code on the scripted pad.
std::vector<KeyEvent> ParsePad(const std::string& text);
// The standard gamepad's default bindings: {"左足": "lefttrigger", ...}.
std::string PadBindingsJson();

// Lines "<ms> <note> <velocity>" (note 0-127, velocity 1-127).
std::vector<KitStroke> ParseKit(const std::string& text);
// Lines "<note> <strike>" (strike 0-3 as in config.dat: 左足, 右足, 左手, 右手), and optionally
// "big <velocity>"; notes not named strike nothing.
KitBinding ParseKitMap(const std::string& text);
// The General MIDI map: {"notes": {"35": 0, ...}, "bigVelocity": 112}.
std::string KitMapDefaultsJson();

// What a play shows beyond its result.
struct PlayMeasures {
    // The largest gap, in milliseconds on the headless clock, between a play key's down stamp
    // and the start of its hit sound; none when a key's sound never started.
    std::optional<double> hitSoundLagMaxMs = 0.0;
};

// Plays on the headless platform with the program folder `appDir` (scores are written there).
// A play with keys fills `record` with its replay when given.
SongResult PlayChart(const Options& o, const std::vector<KeyEvent>& keys, const std::string& appDir,
                     PlayMeasures* measures = nullptr, Replay* record = nullptr);

// Plays a replay on the headless platform and checks that it reproduces the play it recorded.
struct ReplayCheck {
    bool reproduced = false;
    // Why not, in words for the user; or, when it reproduced, a note about it (another build).
    std::string message;
};
// An own song's replay needs the MIDI file it was played on (`songFile`).
SongResult PlayReplay(const Replay& replay, const std::string& appDir, ReplayCheck& check,
                      const std::string& songFile = "");

// The built-in music beside the program, or beside a folder it is in (the build's tools and
// tests sit below the folder that holds the game and its music); throws when it is not there.
std::string BuiltInMusic(int song);

// The replay's play as a Standard MIDI File (play/midi_export.hpp) written to `out`, never over a
// file; an own song's needs its MIDI file. Throws std::runtime_error saying what failed.
PlayMidi ExportReplayMidi(const Replay& replay, const std::string& songFile, const std::string& out,
                          const std::string& appDir);
// The ghost a keys play races: the replay played through, which must be of the options' chart
// and modifier and reproduce its own figures; throws std::runtime_error saying why not.
SongResult PlayGhost(const Replay& ghost, const Options& o, const std::string& appDir);
// The play's JSON with "Ghost" (the ghost's ShownScore and counts) and "GhostDifference" (the
// player's ShownScore minus the ghost's) added.
std::string WithGhost(std::string json, const SongResult& player, const SongResult& ghost);

// Practice on the headless platform: key times are the player's clock from the start of play.
PracticeResult PracticeChart(const Options& o, const std::vector<KeyEvent>& keys,
                             const std::string& appDir);
// {"Passes": [{"Rate", "CountBest", "CountGood", "CountMiss", "MeanOffsetMs"}, ...],
//  "LeadInMs", "SectionStartMs", "SectionEndMs", "FromBar", "ToBar", "Bars"}
std::string PracticeJson(const PracticeResult& r);

// The play history of a save folder as the 記録 screen plots it: {"Plays": [each play, with its
// "BestRate" and pooled "MeanOffsetMs"/"OffsetSpreadMs"], "Charts": [per song and difficulty:
// "Plays", "BestScore", "LastBestRate", "MeanBestRate"], "MinutesPerDay": [the 30 days to
// `today`], "MostPlayed": [five songs]}.
std::string HistoryJson(const std::vector<PlayRecord>& plays, CalendarDate today);

std::string ToJson(const SongResult& r);
// The result followed by the timing figures: "MeanOffsetMs" and "OffsetSpreadMs" (null without
// a judged strike), "Early", "Late", "SuggestedDelay" and "Judgements".
std::string ToJsonWithTiming(const SongResult& r);
// The same followed by "HitSoundLagMaxMs" (null when a key's sound never started).
std::string ToJson(const SongResult& r, const PlayMeasures& m);
// The JSON with "OffsetByDevice" added: the mean offset in ms of each device's judged strikes, by
// the device's name (none for a replay played back).
std::string WithOffsetByDevice(std::string json, const SongResult& r);

}  // namespace zb::tool
