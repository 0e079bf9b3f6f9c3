// The game's process-wide state, grouped by owner, and the ports it reaches the machine through.
// Screens are functions that take the Game by reference.
#pragma once

#include <array>
#include <cstdint>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "core/challenge_modifiers.hpp"
#include "core/chart_timing.hpp"
#include "core/own_song_library.hpp"
#include "core/screen_state.hpp"
#include "core/songs.hpp"
#include "platform/input_queue.hpp"
#include "platform/ports.hpp"

namespace zb {

// The three music volumes of the settings screen, in 1/100 dB.
inline constexpr int16_t kLoudVolume = -300, kNormalVolume = -600, kQuietVolume = -900;

// The drum keys until the player sets others: 左足, 右足, 左手, 右手 on the number pad.
inline constexpr std::array<int16_t, 4> kDefaultKeyCodes{vk::Numpad1, vk::Numpad2, vk::Numpad4,
                                                         vk::Numpad5};

// A pad's inputs for 左足, 右足, 左手, 右手 (platform/pad_inputs.hpp numbers; -1 for none).
using PadStrikeInputs = std::array<int16_t, 4>;

// A MIDI drum kit's binding (core/kit_map.hpp): the strike of each note (0-3, -1 for none), the
// velocity from which a stroke strikes both strikes of its pair (a big note; 128 for never), and
// the note last bound to each strike, which the settings screen shows, and its hygiene.
struct KitBinding {
    std::array<int8_t, 128> strikes{};
    int16_t bigVelocity = 112;
    std::array<int16_t, 4> shown{-1, -1, -1, -1};
    kit::Hygiene hygiene;  // which strokes are dropped
    bool operator==(const KitBinding&) const = default;
};

// Settings screen values; saved in config.dat, the pads' in the pad bindings file. The initial
// values are the defaults.
struct Settings {
    std::array<int16_t, 4> KeyCodes = kDefaultKeyCodes;  // 左足, 右足, 左手, 右手
    // The pads bound on the settings screen, by the pad's GUID; other pads play with defaults.
    std::map<std::string, PadStrikeInputs> PadInputs;
    // The kits bound on the settings screen, by the kit's name; other kits play the default map.
    std::map<std::string, KitBinding> KitBindings;
    int16_t DelaySetting = kDefaultDelay;
    int16_t FramePosition = 0;
    int16_t BgmVolume = 0;  // 1/100 dB
    bool JudgeEffect = true;
    bool BigNoteWait = false;
};

// Choices beyond config.dat's; saved in the game's own options.txt.
// The periods 音の遅れ steps through after 自動 (automatic), and the one 自動 asks for first.
inline constexpr int kAudioPeriods[] = {64, 128, 256, 512};
inline constexpr int kAutoPeriod = 128;

struct GameOptions {
    bool HitErrorBar = false;  // the bar under the lane that shows each strike's timing
    bool Ghost = false;  // ゴースト: a hand play races the chart's best replay (play/ghost.hpp)
    DrumPart Drums = DrumPart::Full;  // ドラム: the song's drum part in play and practice
    // The sound output's period in frames (音の遅れ): 0 automatic, else one of kAudioPeriods.
    int AudioPeriod = 0;
    // The automatic period for this run: it starts at kAutoPeriod and goes up a step after a
    // song with underruns (play/underrun_report). Not saved.
    int AutoPeriodNow = kAutoPeriod;
    int WantedPeriod() const { return AudioPeriod ? AudioPeriod : AutoPeriodNow; }
    // Lines of the file that this build does not know (a newer build's), kept when it is saved.
    std::vector<std::string> OtherLines;
};

// The choices made per input device, kept in devices.txt (core/devices_file.hpp). A device is
// named "keyboard", "pad <GUID> <name>" (identical pads share a GUID, and so their choices) or
// "kit <name>" (without the numbers the system gives it this session, as kits.txt names it).
inline constexpr int kDeviceOffsetLimit = 50;  // ms, either way
struct DeviceOptions {
    // The device's input offset in ms, -50 to +50: how late its stamps come beside the others'
    // (the ディレイ keeps what all share). A kind alone ("pad", "kit") stands for each of its
    // devices without a line of its own (zubakko-play's --offsets).
    std::map<std::string, int> offsetMs;
    // The devices whose strokes start no hit sound (叩いた音: なし; a kit's module sounds its own).
    std::set<std::string> silent;
    // The choices of each device this build does not know (a newer build's), kept as written.
    std::map<std::string, std::vector<std::string>> otherChoices;
    uint64_t changes = 0;  // counts every change: what is built from the offsets is built again

    int OffsetOf(const std::string& device) const {
        if (const auto it = offsetMs.find(device); it != offsetMs.end()) return it->second;
        const auto kind = offsetMs.find(device.substr(0, device.find(' ')));
        return kind != offsetMs.end() ? kind->second : 0;
    }
    bool Sounds(const std::string& device) const { return !silent.contains(device); }
    void SetSounds(const std::string& device, bool sounds) {
        if (sounds)
            silent.erase(device);
        else
            silent.insert(device);
        ++changes;
    }
    void SetOffset(const std::string& device, int ms) {
        offsetMs[device] = ms;
        ++changes;
    }
};

// A chart's high-score column: its difficulty 0-2, or difficulty + 3 in the challenge course (for
// the built-in songs and the own songs alike).
constexpr int HighScoreColumn(int difficulty, bool challenge) {
    return challenge ? difficulty + 3 : difficulty;
}

// Local high scores; saved in score.dat.
struct HighScoreTables {
    // HighScores[column][song], column as HighScoreColumn gives it.
    std::array<std::array<int32_t, kSongCount>, 7> HighScores{};
    std::array<int32_t, 4> CourseHighScores{};  // difficulty 0-2, 3 = challenge course

    // From this high score of the hard course on, the title shows all six items and the credits
    // every course's high score.
    static constexpr int32_t kFullMenuScore = 1000000;
    bool FullMenu() const { return CourseHighScores[1] >= kFullMenuScore; }
};

// The loaded chart: note model and per-chart constants, written by every LoadChart.
struct Chart {
    std::string ChartText;  // one digit per chart position, positions from 1
    int16_t NoteCount = 0;
    std::vector<int32_t> NotePos;  // indices 0 .. NoteCount + 100; lane pixels of note i
    std::string NoteKinds;         // digit of note i at index i - 1
    int16_t NoteSpacing = 40;      // lane pixels per chart position
    int16_t LaneBlitWidth = 64;
    // 32-bit: an own song may last longer than the 327 s that 16 bits of centiseconds hold.
    int32_t PartEndTime = 0;  // centiseconds
    int32_t ChartSpan = 0;    // centiseconds
    int16_t ChartOffset = 0;  // lane pixels
    int16_t ChartDelay = 0;   // lane pixels
    double MusicVolumeScale = 1.0;
    int16_t SongLevel = 0;
    int16_t ComboBonusStep = 0;
    int16_t GaugeGainBest = 0, GaugeGainGood = 0, GaugeLoss = 0, GaugeUnit = 0;
    int16_t JudgeWindow1 = kDefaultJudgeWindows.w1, JudgeWindow2 = kDefaultJudgeWindows.w2,
            JudgeWindow3 = kDefaultJudgeWindows.w3;
    int16_t SongPart = 0;  // part 0-2 of the three-part songs
    // The random generator's state before this load drew from it (a replay loads the same).
    uint64_t RandomStateAtLoad = 0;
    // The challenge modifier the chart is loaded and played with; the play screen sets it from
    // its request before the load.
    Modifier Mode = Modifier::None;
};

// A course's place: held by the course screen that runs it, handed to what needs it.
struct CourseState {
    bool OnSecondSong = false;
    int16_t FirstSongNo = 0;
    int32_t FirstSongScore = 0;
};

struct ChallengeState {
    // State of the game's pseudo-random generator (core/random.hpp): the same seed on every run,
    // so every run draws the same sequence.
    uint64_t RandomState = 0x5A7BA4C0D0A11CE5ull;
};

// The internet ranking as read from netrank.dat; place 50 is the overflow slot.
struct RankingTables {
    static constexpr int kPlaces = 51;
    static constexpr int kSongs = 21;
    std::array<int32_t, kPlaces> NetTotalScore{};
    std::array<std::string, kPlaces> NetTotalName{};
    std::array<std::array<int16_t, 2>, kPlaces> NetTotalSongs{};
    std::array<std::array<int32_t, kPlaces>, kSongs> NetSongScore{};
    std::array<std::array<std::string, kPlaces>, kSongs> NetSongName{};
    std::string NetPlayerName;
};

// The opening's one-time steps. Never reset: the opening runs once per run.
struct OpeningState {
    std::array<bool, 4> StepDone{};  // subtitle, 鈍, 感 and the title shown
};

struct Game {
    explicit Game(Platform& p) : platform(p), form(p.window.Form()), input(p.keyboard) {}
    Game(const Game&) = delete;
    Game& operator=(const Game&) = delete;

    Platform& platform;
    MainForm& form;
    // Every input, stamped, in the order it came; the keys' state as the screen on top sees it.
    InputQueue input;

    // The screen on top of the stack, as the stack last set it (core/screen_stack.hpp).
    Screen ScreenState = Screen::None;
    std::array<std::string, 21> SongTitles;

    Settings settings;
    GameOptions options;
    DeviceOptions devices;
    HighScoreTables scores;
    Chart chart;
    ChallengeState challenge;
    RankingTables ranking;
    OpeningState opening;
    OwnSongLibrary ownSongs;

    const std::string& AppDir() const { return platform.appDir; }
    // The player's files: settings, scores, the ranking file, replays, songs/ and the game's own.
    const std::string& SaveDir() const {
        return platform.saveDir.empty() ? platform.appDir : platform.saveDir;
    }
};

}  // namespace zb
