// Replays of songs played by hand: what a play read from the machine (every position of the
// music it read and, per frame, the keys' presses, releases and states), with the chart and the
// settings in force and the outcome the player saw. Played back, the same reads give the same
// judgements, score and gauge on any machine.
#pragma once

#include <array>
#include <cstdint>
#include <deque>
#include <map>
#include <string>
#include <vector>

#include "core/game.hpp"
#include "core/songs.hpp"
#include "play/frame_pacer.hpp"

namespace zb {

struct PressSource;

struct ReplayKeyEvent {
    enum class Kind : uint8_t {
        Press = 0,    // the key went down (music: the position of its stamp)
        Release = 1,  // it went up (music: the position of its stamp)
        Down = 2,     // the frame found it down
        Up = 3,       // the frame found it up
    };
    int32_t frame = 0;  // the frame that took it
    uint8_t key = 0;    // 0 左足, 1 右足, 2 左手, 3 右手
    Kind kind = Kind::Press;
    double music = 0;  // seconds since the start of the music file; Press and Release only
    // A press's source (none in a replay of format 1): its device (Replay::devices, -1 none),
    // the music's position of its stamp before the device's offset, a kit's note and velocity.
    int16_t device = -1;
    double raw = 0;
    int16_t note = -1, velocity = 0;
    bool operator==(const ReplayKeyEvent&) const = default;
};

// A device that struck in the play, and its input offset then.
struct ReplayDevice {
    std::string name;
    int16_t offsetMs = 0;
    bool operator==(const ReplayDevice&) const = default;
};

// What the player saw, kept to check a replay against.
struct ReplayOutcome {
    int32_t validScore = 0;  // challenge points included
    double score = 0;
    int16_t maxCombo = 0, countBest = 0, countGood = 0, countMiss = 0;
    int16_t gauge = 0, gaugeLevel = 0;
    int32_t frames = 0;
    std::string judgements;  // one digit a note: see PlayState::Judgements
    bool operator==(const ReplayOutcome&) const = default;
};

struct Replay {
    std::string build;  // the build that recorded it
    // The chart: a built-in song and difficulty, or an own song by its id, with the modifier.
    ChartId chart;
    std::string ownSong;  // empty for a built-in song
    Modifier modifier = Modifier::None;
    bool challengeCourse = false;
    int32_t challengePoints = 0;
    uint64_t randomState = 0;  // the random generator before the chart's first part was loaded
    uint64_t chartPrint = 0;   // every part as loaded (see ChartPrint)
    // The settings in force.
    std::array<int16_t, 4> keyCodes{};
    int16_t delay = 0, framePosition = 0;
    bool bigNoteWait = false, judgeEffect = true, hitErrorBar = false;
    double framesPerSecond = kPlayFramesPerSecond;
    std::vector<ReplayDevice> devices;  // the devices that struck, with their offsets in force

    std::vector<int32_t> musicReads;  // every read of the music's position, whole centiseconds
    std::vector<ReplayKeyEvent> keys;
    ReplayOutcome outcome;
};

// A fingerprint of a loaded chart part: its notes and every constant the play reads. Parts fold
// into one value in the order they load.
uint64_t ChartPrint(const Chart& chart, uint64_t before = 0);

// The file: "ZBRP", a format version, then the fields above; a checksum ends it. Format 2 added
// the devices and the presses' sources; a file of format 1 reads with none.
std::string EncodeReplay(const Replay& r);
// The settings the replay was played with, put in force.
void PutReplaySettings(Settings& s, const Replay& r);
// Throws std::runtime_error saying what is wrong with a damaged file or one of another format.
Replay DecodeReplay(const std::string& bytes);

// Appends a play's reads to a replay as it runs.
class PlayRecorder {
  public:
    explicit PlayRecorder(Replay& r) : r_(r) {}
    void MusicRead(int32_t centiseconds) { r_.musicReads.push_back(centiseconds); }
    // The presses the frame took of strike k (the queue's entries from `fresh` on) and whether
    // it found the strike down; also takes the releases of its codes stamped from `from` on.
    void Keys(Game& game, int32_t frame, int k, const std::vector<int>& codes, double from,
              const std::deque<double>& queue, size_t fresh, bool down,
              const std::map<double, PressSource>& sources);

  private:
    // The device's place in the replay's list, which it joins with its offset now.
    int16_t Device(const Game& game, const std::string& name);

    Replay& r_;
    std::array<bool, 4> down_{};
};

// Serves a replay's reads to the play loop in the order they were recorded.
class ReplayFeed {
  public:
    explicit ReplayFeed(const Replay& r) : r_(r) {}
    // The next read of the music's position; throws std::runtime_error past the last one.
    int32_t MusicRead();
    // Appends the presses of key k that frame `frame` takes to `queue`; returns whether the
    // frame finds the key down.
    bool TakeKey(int32_t frame, int k, std::deque<double>& queue);
    // Every read and key event was used.
    bool Done() const;

  private:
    const Replay& r_;
    size_t music_ = 0;
    std::array<size_t, 4> next_{};
    std::array<bool, 4> down_{};
};

// The build this program is (the source's commit), for telling replays of other builds.
const char* BuildId();

}  // namespace zb
