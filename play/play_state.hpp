// The state of one play of a song: the clock and lane, the notes judged so far, the keys, the
// judgement on display, and combo, score and gauge. It lives for one PlaySong call.
#pragma once

#include <array>
#include <cstdint>
#include <deque>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "core/play_request.hpp"
#include "core/songs.hpp"
#include "core/strike_inputs.hpp"
#include "platform/surface.hpp"
#include "play/timing_figures.hpp"

namespace zb {

class PlayRecorder;
class ReplayFeed;

// Where a press came from: its device (core/devices_file.hpp), the music's position of its stamp
// before the device's offset came off, and a kit stroke's note and velocity (-1 and 0 for others).
struct PressSource {
    std::string device;
    double raw = 0;
    int note = -1, velocity = 0;
};

// What a picture box was last drawn to show, so that a frame that would draw the same again
// leaves it alone: its pixels untouched are neither copied, compared nor shown again. Anything
// else drawn on the box since makes it draw again.
struct ShownPicture {
    int what = -1;
    uint64_t version = 0;  // the box's surface version after that drawing
    bool Shows(int w, const Surface& s) const { return what == w && version == s.Version(); }
    void Drawn(int w, const Surface& s) { what = w, version = s.Version(); }
};

struct PlayState {
    bool AutoPlay = false;
    ChartId Chart;
    // The course place the song is played for (the challenge's points, the score's column).
    PlayRequest Request;
    // False: the play field's pictures are not drawn (a tool that wants only the results); what
    // is judged and counted stays the same.
    bool DrawField = true;

    int32_t PlayTime = 0;   // centiseconds since the start of the song part
    int32_t ScrollPos = 0;  // lane position at the left edge of the lane surface
    int16_t FrameX = 0;     // x of the judgement frame on the lane surface
    int16_t LaneY = 0;      // y of the note row on the lane surface
    int16_t FrameCount = 0;
    int32_t Frames = 0;  // frames run in all (not wrapped)
    int16_t CurrentNote = 1;
    // The note that was current when the last press registered: a note is judged only while it
    // is current and the press was made for it, so a held key never judges a second note.
    int16_t LastPressNote = 0;
    std::vector<bool> NoteJudged, NoteHit;  // indices 0 .. NoteCount + 100
    std::array<bool, 4> KeyHeld{};
    StrikeMap StrikeInputs;  // the keys and pad inputs and the strikes each makes
    bool SpeedUpDone = false;
    int16_t W1 = 0, W2 = 0, W3 = 0;  // windows in force this frame
    int16_t JudgeKind = 0;           // 0 none, 1 不可, 2 可, 3 良, 4 big 良
    int16_t JudgeAge = 0;
    int16_t WaitCount = 0;
    bool WaitReady = false;
    // Practice's 待つ holds the song at a note: a big note is then struck only by both strikes of
    // its pair, each held from its press until the other comes.
    bool BigNeedsPair = false;

    int16_t Combo = 0, MaxCombo = 0, CountBest = 0, CountGood = 0, CountMiss = 0;
    int16_t Gauge = 0, GaugeLevel = 0;
    double Score = 0;
    int32_t ShownScore = 0;
    double NoteBase = 0;
    double NoteTotal = 0;

    // The music's position read for this frame (seconds since the start of its file).
    double FrameMusic = 0;
    // A press is judged at the lane position of the moment its key went down: the scroll
    // position at that moment, for each key whose press registered in this frame, and the
    // music's position then.
    std::array<std::optional<int32_t>, 4> PressScroll{};
    std::array<double, 4> PressMusic{};
    // The presses that have not registered yet (a key struck twice between two frames), as the
    // music's positions of their down stamps, and the scroll position of the earliest: passed
    // notes are not swept beyond it, so that the press still finds the note it was meant for
    // when it registers.
    std::array<std::deque<double>, 4> QueuedPresses;
    std::optional<int32_t> PendingScroll;
    // The clock's moment the strikes count from: the song's start (a practice pass's, the delay
    // check's run), or where it went on after a pause. Presses stamped before are not the song's.
    double StrikesFrom = 0;
    // The source of each press taken, by the music's position it is judged at (a replay played
    // back has none).
    std::map<double, PressSource> PressSources;
    // The second strike of a pair made by one input (a key bound to both feet) follows the first
    // a frame later, and only onto the note the first was made for: Companions holds them until
    // the first registers, LateStrikes until the next frame.
    struct LateStrike {
        double music;
        int16_t note;
    };
    std::array<std::deque<double>, 4> Companions;
    std::array<std::optional<LateStrike>, 4> LateStrikes;
    // The big-note wait's note, its colour (0 don, 1 kan) and the scroll position where the
    // press that started it went down: the note is judged there, and that press stays held
    // until the wait has run.
    int16_t WaitNote = 0;
    int WaitColour = -1;
    int32_t WaitScroll = 0;
    double WaitMusic = 0;

    // Each note's judgement in order: '3' 良, '4' big 良, '2' 可, '1' 不可, '0' passed.
    std::string Judgements;
    // The timing of every judged strike (the hit-error bar and the results read it).
    std::vector<StrikeTiming> Strikes;
    // Records what the play read (music positions and keys) for its replay; or, while a replay
    // plays, serves the recorded reads instead of the ports. Null for neither.
    PlayRecorder* Recorder = nullptr;
    ReplayFeed* Feed = nullptr;

    // In a race, the ghost's judgement of each note (play/ghost.hpp), marked above the lane, and
    // the number of the song's notes before the part loaded now.
    const std::string* GhostMarks = nullptr;
    size_t PartFirstNote = 0;
    // A watch draws each strike on the lane where it was made, early ones blue, late ones red.
    bool ShowStrikes = false;

    // The gauge's level and the background's sky and running frame as last drawn.
    ShownPicture GaugeShown, BackgroundShown;
};

// Resizes and clears the per-note flags for a chart of noteCount notes.
void ResetNoteFlags(PlayState& st, int16_t noteCount);

}  // namespace zb
