// A pad through the real SDL adapter: an SDL virtual game controller, plugged into the real
// window (SDL's offscreen driver draws it), plays a whole song as the same strikes on keys do,
// and is pulled out and plugged in again mid-song.
#include <SDL.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <deque>
#include <functional>

#include "core/chart_loader.hpp"
#include "core/strike_inputs.hpp"
#include "platform/headless/headless.hpp"
#include "platform/pad_inputs.hpp"
#include "platform/sdl/sdl_platform.hpp"
#include "play/play_screen_setup.hpp"
#include "tests/common/temp_dir.hpp"
#include "tools/play/play_tool.hpp"

namespace zb {
namespace {

// SDL's virtual game controller: buttons in SDL's order, axes 4 and 5 the triggers.
class VirtualPad {
  public:
    void Attach() {
        const int index = SDL_JoystickAttachVirtual(SDL_JOYSTICK_TYPE_GAMECONTROLLER, 6, 21, 0);
        ASSERT_GE(index, 0) << SDL_GetError();
        joystick_ = SDL_JoystickOpen(index);
        ASSERT_NE(joystick_, nullptr) << SDL_GetError();
        instance_ = SDL_JoystickInstanceID(joystick_);
    }
    void Detach() {
        for (int i = 0; i < SDL_NumJoysticks(); ++i) {
            if (SDL_JoystickGetDeviceInstanceID(i) != instance_) continue;
            SDL_JoystickClose(joystick_);
            SDL_JoystickDetachVirtual(i);
        }
        joystick_ = nullptr;
    }
    // Presses or lets go of a controller input (pad_inputs.hpp numbers).
    void Set(int input, bool down) {
        if (!joystick_) return;
        if (input < pad::kButtonCount)
            SDL_JoystickSetVirtualButton(joystick_, input, down ? 1 : 0);
        else  // the triggers' full-range axes rest at their lowest value
            SDL_JoystickSetVirtualAxis(joystick_, (input - pad::Axis(0, false)) / 2,
                                       down ? 32767 : -32768);
    }

  private:
    SDL_Joystick* joystick_ = nullptr;
    SDL_JoystickID instance_ = -1;
};

// The real window, acting on the pad at the moments of a script as the game waits in it.
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
    }
    void Present() override { w_.Present(); }
    void SetTextInput(bool on) override { w_.SetTextInput(on); }
    bool TextInput() const override { return w_.TextInput(); }

    void At(double t, std::function<void()> act) {
        auto pos = std::upper_bound(script_.begin(), script_.end(), t,
                                    [](double a, const auto& s) { return a < s.first; });
        script_.insert(pos, {t, std::move(act)});
    }

  private:
    void Act() {
        while (!script_.empty() && script_.front().first <= clock_.Now()) {
            const auto act = std::move(script_.front().second);
            script_.pop_front();
            act();
        }
    }
    sdl::SdlWindow& w_;
    Clock& clock_;
    std::deque<std::pair<double, std::function<void()>>> script_;
};

// The real clock, keys, pads and window; music and hit sounds that follow the clock.
struct RealWindowRig {
    RealWindowRig() { setenv("SDL_VIDEODRIVER", "offscreen", 0); }
    testing::TempDir dir;
    sdl::SdlClock clock;
    sdl::SdlKeyboard keyboard;
    sdl::SdlWindow window{clock, keyboard};
    ScriptedWindow scripted{window, clock};
    sdl::SdlDialogs dialogs{window};
    headless::ClockMusicPlayer music{clock};
    headless::RecordingWavePlayer wave{&clock};
    Platform ports{clock, keyboard, music, wave, dialogs, scripted, dir.Dir()};
};

// Strikes on every note of a chart: taps of 10 ms, the two keys of a colour taking turns, both
// on a big note.
std::vector<tool::KeyEvent> OnTime(ChartId id) {
    testing::TempDir dir;
    headless::HeadlessPlatform hp(dir.Dir());
    Game game(hp.ports);
    game.settings.DelaySetting = 0;
    LoadChart(game, id, 0);
    const Chart& c = game.chart;
    const double msPerPx = double(c.ChartSpan) * 10 / (double(c.ChartText.size()) * c.NoteSpacing);
    std::vector<tool::KeyEvent> keys;
    int turn[2] = {0, 0};
    for (int i = 1; i <= c.NoteCount; ++i) {
        const int64_t at = std::llround((c.NotePos[size_t(i)] - c.ChartOffset) * msPerPx);
        const int kind = (c.NoteKinds[size_t(i - 1)] - '0') % 5;
        const int colour = kind % 2 ? 0 : 1, first = colour ? vk::Numpad4 : vk::Numpad1;
        for (int vk : kind >= 3 ? std::vector<int>{first, first + 1}
                                : std::vector<int>{first + turn[colour]++ % 2}) {
            keys.push_back({at, vk, true});
            keys.push_back({at + 10, vk, false});
        }
    }
    return keys;
}

// The standard gamepad's default input for a default key.
int PadTwin(int vkCode) {
    const PadInfo gamepad{0, "", "gamepad", true};
    const PadStrikeInputs in = DefaultPadInputs(gamepad);
    for (size_t k = 0; k < 4; ++k)
        if (kDefaultKeyCodes[k] == vkCode) return in[k];
    return -1;
}

TEST(SdlPads, AVirtualPadPlaysAWholeSongAsItsKeyTwinAndMayBePulledMidSong) {
    const ChartId id{.song = 4, .difficulty = 0};
    const std::vector<tool::KeyEvent> keys = OnTime(id);
    testing::TempDir twinDir;
    tool::Options o;
    o.song = id.song, o.difficulty = id.difficulty, o.delay = 0;
    const SongResult twin = tool::PlayChart(o, keys, twinDir.Dir());
    ASSERT_GT(twin.CountBest, 100);

    RealWindowRig rig;
    VirtualPad pad;
    pad.Attach();
    Game game(rig.ports);
    game.settings.DelaySetting = 0;
    PlayScreenSetup(game, id, false, false);
    LoadChart(game, id, 0);
    const double start = rig.clock.Now();
    for (const tool::KeyEvent& k : keys)
        rig.scripted.At(start + double(k.ms) / 1000, [&pad, k] { pad.Set(PadTwin(k.vk), k.down); });
    // Mid-song, between two notes, the pad is pulled out with a trigger held and plugged in
    // again: the trigger's next strike must count.
    const size_t mid = keys.size() / 2 / 2 * 2;  // a down
    const double gapAt = start + double(keys[mid].ms + keys[mid + 2].ms) / 2000;
    rig.scripted.At(gapAt - 0.030, [&pad] { pad.Set(pad::Axis(pad::LeftTrigger, true), true); });
    rig.scripted.At(gapAt - 0.020, [&pad] { pad.Detach(); });
    rig.scripted.At(gapAt - 0.010, [&pad] { pad.Attach(); });

    const SongResult r = PlaySong(game, false, id);
    EXPECT_EQ(r.CountBest, twin.CountBest);
    EXPECT_EQ(r.CountGood, twin.CountGood);
    EXPECT_EQ(r.CountMiss, twin.CountMiss);
    EXPECT_EQ(r.MaxCombo, twin.MaxCombo);
    EXPECT_EQ(r.ShownScore, twin.ShownScore);
    // Every strike sounded when the window saw it (the held trigger is one more).
    const auto downs = std::count_if(keys.begin(), keys.end(), [](auto& k) { return k.down; });
    EXPECT_EQ(rig.wave.played.size(), size_t(downs + 1));

}

}  // namespace
}  // namespace zb
