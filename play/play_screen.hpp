// The play screen: one song from its first frame to the end of its results, on the stack. Frames
// run at a fixed rate on the song's timeline; Esc (or a pad's START that strikes nothing) pauses
// the song under the pause menu; the results stay for their wait, then the screen pops with
// the song's result for the course that started it.
#pragma once

#include <memory>
#include <optional>

#include "core/own_songs.hpp"
#include "core/play_request.hpp"
#include "core/screen_stack.hpp"
#include "core/song_bars.hpp"
#include "play/frame_pacer.hpp"
#include "play/ghost.hpp"
#include "play/hit_feedback.hpp"
#include "play/play_history.hpp"
#include "play/play_outcome.hpp"
#include "play/play_song.hpp"
#include "play/play_state.hpp"
#include "play/replay.hpp"
#include "play/results.hpp"

namespace zb {

class PlayScreen : public GameScreen {
  public:
    // `prepared`: the caller has set up the play screen and loaded the chart's first part
    // (which started the music); otherwise the screen does both as it starts.
    PlayScreen(PlayRequest request, PlayOptions options = {}, bool prepared = false);
    ~PlayScreen() override;

    Screen Id() const override { return Screen::Playing; }
    Step Start(Game& game) override;
    Step Pass(Game& game) override;
    Step Resumed(Game& game, GameScreen& child) override;
    double WakeAt(Game& game) override;
    bool JudgesStrikes() const override;

    const PlayRequest& Request() const { return request_; }
    // The song's result once the screen has popped; `left` when the player left it (then it
    // wrote nothing and the result is empty).
    SongResult result;
    bool left = false;
    // Left for practice from the pause menu: the moment of the song (seconds of its music)
    // where it was paused.
    std::optional<double> practiceFrom;
    // The course that plays it takes a play that counts for its total (see KeepPlayOutcome).
    CourseKeeper course;

  private:
    friend std::optional<GhostRun> PlayUnseen(Game& game, const Replay& replay, int16_t song);
    enum class Phase { Playing, Paused, CountIn, Results };
    Step Frame(Game& game);
    void Finish(Game& game);
    // Hands the play's end to the outcome handler: what it leaves behind is decided there.
    void Keep(Game& game, PlayEnd end);
    std::unique_ptr<PlayScreen> Again() const;
    // The stamp of the press that asks for the pause, if one came.
    std::optional<double> PauseAsked(Game& game);
    void GoOn(Game& game);
    // A watched replay's keys: what they ask for, if anything ends the screen.
    std::optional<Step> Steer(Game& game);
    // Plays the replay again from the song's start, unseen, up to `target` (the song's seconds).
    void SeekTo(Game& game, double target);
    void BeginFrames(Game& game);

    PlayRequest request_;
    PlayOptions options_;
    bool prepared_;
    Phase phase_ = Phase::Playing;
    PlayState st_;
    Replay record_;
    std::unique_ptr<PlayRecorder> recorder_;
    std::optional<ReplayFeed> feed_;
    std::optional<StrikeSounds> strikes_;
    std::optional<OwnSongScanPause> scanPause_;  // the songs folder is read after the song
    FramePacer frames_;
    uint64_t underrunsAtStart_ = 0;  // the sound output's count when the song started
    double countEnd_ = 0;
    double pausedAt_ = 0;  // the song's position under the pause menu
    double resultsEnd_ = 0;
    // Watching: the speed, the watcher's pause and the song's bars (read at the first seek).
    double watchRate_ = 1.0;
    bool watchPaused_ = false;
    std::optional<SongBars> bars_;
    // The race's ghost; and, while this screen is a ghost played unseen, its scores go here.
    std::optional<GhostRun> ghost_;
    std::vector<std::pair<int32_t, int32_t>>* track_ = nullptr;
    // The input offset the last hand plays ask for, offered on the results until F5 takes it.
    std::optional<OffsetAdvice> advice_;
    bool midiSaved_ = false;  // F7 wrote the play as a MIDI file
    uint64_t print_ = 0;
    ResultsText shown_;
};

// Plays a replay through at once, unseen, with its settings (the player's come back), its song
// numbered `song` in this run; the music stops after it. What it did, or nullopt (with the reason
// on standard error) when it does not give its own figures again or cannot be played.
std::optional<GhostRun> PlayUnseen(Game& game, const Replay& replay, int16_t song);

// One beat of the chart's music in seconds: the count before a paused song goes on.
double BeatSeconds(const Game& game, ChartId chart);

}  // namespace zb
