// The real window (SDL's offscreen driver draws it), the real clock and keyboard, with music and
// hit sounds that follow the clock, and a script of acts on a device at given moments.
#pragma once

#include <algorithm>
#include <cstdlib>
#include <deque>
#include <functional>
#include <utility>

#include "platform/headless/headless.hpp"
#include "platform/sdl/sdl_platform.hpp"
#include "tests/common/temp_dir.hpp"

namespace zb::testing {

// The real window, acting on a device (a virtual pad, a fake kit) at the moments of a script as
// the game waits in it.
class ScriptedWindow : public Window {
  public:
    ScriptedWindow(sdl::SdlWindow& w, Clock& clock) : w_(w), clock_(clock) {}
    MainForm& Form() override { return w_.Form(); }
    void SetEvents(FormEvents* e) override { w_.SetEvents(e); }
    void DoEvents() override {
        Act();
        w_.DoEvents();
    }
    void WaitUntil(double until) override {
        while (!script_.empty() && script_.front().first < until) {
            w_.WaitUntil(script_.front().first);
            Act();
        }
        w_.WaitUntil(until);
        held_ = std::max(held_, clock_.Now() - until);
    }
    // The longest the game got back to a wait's end late since the last call (play waits for
    // each frame's turn): a machine that held the game's frames up parts its frame-counted rules
    // from an even pace.
    double TakeLongestHold() { return std::exchange(held_, 0.0); }
    void WaitForEvent(double until) override {
        const bool acting = !script_.empty() && script_.front().first < until;
        w_.WaitForEvent(acting ? script_.front().first : until);
        if (acting) Act();
    }
    void Present() override { w_.Present(); }
    void SetTextInput(bool on) override { w_.SetTextInput(on); }
    bool TextInput() const override { return w_.TextInput(); }
    TextRenderer& Text() override { return w_.Text(); }

    void At(double t, std::function<void()> act) {
        auto pos = std::upper_bound(script_.begin(), script_.end(), t,
                                    [](double a, const auto& s) { return a < s.first; });
        script_.insert(pos, {t, std::move(act)});
    }

  private:
    // A virtual pad is a state SDL reads as it pumps, where a real one queues every change: each
    // change is pumped at once, so that none is lost to the next.
    void Act() {
        while (!script_.empty() && script_.front().first <= clock_.Now()) {
            const auto act = std::move(script_.front().second);
            script_.pop_front();
            act();
            w_.DoEvents();
        }
    }
    sdl::SdlWindow& w_;
    Clock& clock_;
    std::deque<std::pair<double, std::function<void()>>> script_;
    double held_ = 0;
};

// The real clock, keys, pads and window; music and hit sounds that follow the clock.
struct RealWindowRig {
    RealWindowRig() { setenv("SDL_VIDEODRIVER", "offscreen", 0); }
    TempDir dir;
    sdl::SdlClock clock;
    sdl::SdlKeyboard keyboard;
    sdl::SdlWindow window{clock, keyboard};
    ScriptedWindow scripted{window, clock};
    sdl::SdlDialogs dialogs{window};
    headless::ClockMusicPlayer music{clock};
    headless::RecordingWavePlayer wave{&clock};
    Platform ports{clock, keyboard, music, wave, dialogs, scripted, dir.Dir()};
};

}  // namespace zb::testing
