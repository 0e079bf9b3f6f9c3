// Practice: one chart played in passes over a section of bars (or the whole song once) at a
// tempo of the player's, on the play loop's own frame (PlayFrame) and judgement. The music runs
// on its transport at the tempo, so a strike on a note's music is 良 at any tempo and the windows
// keep their lane width; the ディレイ's lane distance is scaled by the tempo so that it stays the
// same milliseconds of the player's time. Practice writes nothing: no score, replay or ranking.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "core/game.hpp"
#include "core/song_bars.hpp"
#include "core/songs.hpp"
#include "play/frame_pacer.hpp"
#include "play/play_state.hpp"
#include "play/practice_tempo.hpp"

namespace zb {

struct PracticeRequest {
    ChartId chart;
    double rate = 1.0;
    // Bars A and B; none: the whole song once from its start, with no lead-in.
    std::optional<int> fromBar, toBar;
    int loops = 1;  // passes over the section; 0: until the player stops
    bool ramp = false;
    double ceiling = 1.0;  // the ramp's highest tempo
    bool autoPlay = false;
    bool drawField = true;
    // 待つ: the song halts at each note of the section until a stroke of its kind comes.
    bool wait = false;
    // The MIDI file whose bars are counted; empty: the song's own music file.
    std::string musicFile;
};

// The MIDI file of a chart's music: a built-in song's beside the program, an own song's file.
std::string PracticeMusicFile(const Game& game, ChartId chart);

class PracticePlay {
  public:
    // Reads the song's bars; a file that cannot be read throws std::runtime_error naming it.
    PracticePlay(Game& game, const PracticeRequest& request);

    const SongBars& Bars() const { return bars_; }
    const Section& SectionPlayed() const { return section_; }
    bool WholeSong() const { return whole_; }
    // The first bar that holds a note of the chart (loads its first part).
    int FirstNoteBar();

    // Starts the first pass: loads the chart's part, sets the tempo and moves the music there.
    void Begin();
    // One frame of play, from reading the music to the drummer's face; the caller then waits
    // for the next frame's turn and calls Advance.
    void Frame();
    // The part change as in the full song and the frame's counts; the whole song's pass ends
    // here. False once the last pass has ended.
    bool Advance();
    // The clock's moment at which the section's end is heard (none for the whole song, or while
    // paused), or, under 待つ, the music reaches the next note: the caller's wait stops there
    // and calls EndIfDue, so that the next pass's lead-in follows the section's end at once
    // rather than at the next frame, and the song halts right at the note. While the song
    // stands at a note, a millisecond on: the caller looks for the stroke (StrokeWaiting).
    std::optional<double> SectionEndAt();
    // Halts the song at a note that is due (待つ); ends the pass when the music has reached the
    // section's end and starts the next.
    void EndIfDue();
    bool Done() const { return done_; }

    // The tempo of the pass playing and of the next (the tempo keys set the next).
    double Rate() const { return rate_; }
    double NextRate() const { return nextRate_; }
    void SetNextRate(double rate) { nextRate_ = SnapRate(rate); }
    void SetRamp(bool on) { request_.ramp = on; }
    bool Ramp() const { return request_.ramp; }
    void SetCeiling(double rate) { request_.ceiling = SnapRate(rate); }
    double Ceiling() const { return request_.ceiling; }
    // Under 待つ, at a note due or while the song stands at one: a strike's input went down
    // since the last look. The caller runs a frame at once (before EndIfDue), so that a stroke
    // in time is judged in time and the song goes on as the stroke comes.
    bool StrokeWaiting();
    // 待つ, at once (a song halted goes on).
    void SetWait(bool on);
    bool Wait() const { return request_.wait; }
    // The song stands at a note, waiting for its stroke.
    bool Halted() const { return halted_; }
    // When the latest stroke of the wrong kind came while the song waited (-1: none yet).
    double WrongStrokeAt() const { return wrongAt_; }
    // Bars A to B from the next pass on (the section playing plays to its end).
    void SetNextSection(int fromBar, int toBar);

    const std::vector<PracticePass>& Passes() const { return passes_; }
    // This pass so far; the best pass yet over the section playing.
    PracticePass Current() const;
    std::optional<PracticePass> Best() const;
    const PlayState& State() const { return st_; }

  private:
    void BeginPass();
    void EndPass();
    // Loads a part of the chart with the ディレイ at this tempo.
    void LoadPart(int16_t part);
    // After the part's play state is set up: when its notes are struck, the first judged (the
    // lead-in's are shown, not judged) and how many the section holds.
    void EnterPart();
    // Seconds of the song at which each note of the loaded part is struck (index = note).
    std::vector<double> PartNoteTimes() const;
    // Takes the notes judged since the last look into this pass's counts.
    void Collect();
    // The music's position at which the current note stands on the judgement frame, when it is
    // one of the section's waiting to be struck.
    std::optional<double> NextDue() const;
    bool DueNow() const;
    void HaltIfDue();
    // The song goes on once the note it waits for is judged; a stroke of the other kind is
    // noted as wrong.
    void ReleaseIfStruck();
    void Release();

    Game& game_;
    PracticeRequest request_;
    SongBars bars_;
    Section section_;
    std::optional<Section> nextSection_;
    bool whole_ = true;
    bool done_ = false;
    double rate_ = 1.0, nextRate_ = 1.0;
    PlayState st_;
    // Seconds of the song at which each note of the loaded part is struck (index = note).
    std::vector<double> noteMusic_;
    int16_t seenNote_ = 1;    // the first note of the part not yet taken by Collect
    size_t seenStrikes_ = 0;  // the strikes taken
    int sectionNotes_ = 0;    // notes of the section in the parts loaded this pass
    PracticePass pass_;
    std::vector<double> offsets_;  // this pass's strikes, ms of the song
    bool halted_ = false;
    int16_t haltNote_ = 0;
    double haltedAt_ = 0;  // on the clock
    double wrongAt_ = -1;
    std::vector<bool> waitedFor_;  // the loaded part's notes struck after a wait
    std::vector<PracticePass> passes_;
};

struct PracticeResult {
    std::vector<PracticePass> passes;
    Section section;
    bool wholeSong = true;
    int bars = 0;  // the song's
    bool wait = false;
};

// Plays the request through on the game's ports, frame by frame: the tool's and the tests' way.
PracticeResult RunPractice(Game& game, const PracticeRequest& request,
                           double framesPerSecond = kPlayFramesPerSecond);

}  // namespace zb
