// The practice screen「練習」: one song's bars A to B looped at a tempo of the player's, on the
// play screen's layout with a panel in the background's place. Its keys are none of the play
// keys by default, and one the player bound to a strike strikes and does nothing here:
//   ← → (and the d-pad) the tempo, 50-150 % in 5 % steps, from the next pass on;
//   ↑ ↓ (and the d-pad) bar A, PageUp / PageDown bar B, from the next pass on;
//   R the ramp, Home / End its ceiling; Esc (or a pad's START or BACK that strikes nothing)
//   leaves to song select;
//   F5 ドラム (あり, 小さく, なし), F6 the metronome, F7 待つ, at once.
// It writes nothing but the choice of drums: no score, replay, course total or ranking.
#pragma once

#include <array>
#include <limits>
#include <memory>
#include <optional>
#include <string>

#include "core/arrow_repeat.hpp"
#include "core/screen_stack.hpp"
#include "core/songs.hpp"
#include "play/frame_pacer.hpp"
#include "play/hit_feedback.hpp"
#include "play/practice_play.hpp"

namespace zb {

// The bars a practice starts with: the first four that hold notes; from a song that was
// paused, the bar being played and the next.
inline constexpr int kPracticeFirstBars = 4, kPracticeFromPauseBars = 2;

class PracticeScreen : public GameScreen {
  public:
    // `from`: the moment of the song (seconds of its music) whose bar the section starts at;
    // none starts at the first bar with notes.
    explicit PracticeScreen(ChartId chart, std::optional<double> from = std::nullopt);
    ~PracticeScreen() override;

    Screen Id() const override { return Screen::Practice; }
    Step Start(Game& game) override;
    Step Pass(Game& game) override;
    double WakeAt(Game& game) override;
    bool JudgesStrikes() const override { return play_ != nullptr; }

    // The practice under way (none once left, or when the song's bars could not be read).
    const PracticePlay* Play() const { return play_.get(); }

  private:
    Step Practise(Game& game);
    Step Leave(Game& game);
    bool LeaveAsked(Game& game);
    // One look at the practice keys; true when one changed something.
    bool ReadKeys(Game& game);
    // The key of `keys` that counts as down (skipping any bound to a strike), 0 for none.
    int Held(Game& game, std::initializer_list<int> keys, bool withPad);
    void Show(Game& game);

    ChartId chart_;
    std::optional<double> from_;
    std::unique_ptr<PracticePlay> play_;
    std::optional<StrikeSounds> sounds_;
    FramePacer frames_;
    ArrowRepeat repeat_;
    int fromBar_ = 1, toBar_ = 1;  // as set for the next pass
    std::array<std::string, 5> shown_;
};

// Song select's way into practice: P, or a pad's BACK that strikes nothing, went down since the
// previous look (and at or after `from`: song select reads no press typed into its search line).
bool PracticeAsked(Game& game, double from = -std::numeric_limits<double>::infinity());

}  // namespace zb
