// A pad through the real SDL adapter: an SDL virtual game controller, plugged into the real
// window (SDL's offscreen driver draws it), plays a whole song as the same strikes on keys do,
// and is pulled out and plugged in again mid-song; and a pad alone leads from the notice to a
// song and back.
#include <SDL.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <deque>
#include <fstream>
#include <functional>
#include <thread>

#include "core/chart_loader.hpp"
#include "core/screen_stack.hpp"
#include "core/strike_inputs.hpp"
#include "course/song_select.hpp"
#include "frontend/title_screen.hpp"
#include "netrank/netrank_entry.hpp"
#include "platform/fault_switch.hpp"
#include "platform/headless/headless.hpp"
#include "platform/pad_inputs.hpp"
#include "platform/sdl/sdl_platform.hpp"
#include "play/play_screen_setup.hpp"
#include "play/play_song.hpp"
#include "tests/common/real_window_rig.hpp"
#include "tests/common/temp_dir.hpp"
#include "tests/course/temp_app_dir.hpp"

namespace zb {
namespace {

using testing::RealWindowRig;

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

struct Change {
    double at;  // seconds since the song's music started
    int vk;     // the default key; the pad strikes with its twin
    bool down;
};

// Strikes on every note of a chart: taps of 10 ms, the two keys of a colour taking turns, both
// on a big note.
std::vector<Change> OnTime(ChartId id) {
    testing::TempDir dir;
    headless::HeadlessPlatform hp(dir.Dir());
    Game game(hp.ports);
    game.settings.DelaySetting = 0;
    LoadChart(game, id, 0);
    const Chart& c = game.chart;
    const double perPx = double(c.ChartSpan) / 100 / (double(c.ChartText.size()) * c.NoteSpacing);
    std::vector<Change> keys;
    int turn[2] = {0, 0};
    for (int i = 1; i <= c.NoteCount; ++i) {
        const double at = std::round((c.NotePos[size_t(i)] - c.ChartOffset) * perPx * 1000) / 1000;
        const int kind = (c.NoteKinds[size_t(i - 1)] - '0') % 5;
        const int colour = kind % 2 ? 0 : 1, first = colour ? vk::Numpad4 : vk::Numpad1;
        for (int vk : kind >= 3 ? std::vector<int>{first, first + 1}
                                : std::vector<int>{first + turn[colour]++ % 2}) {
            keys.push_back({at, vk, true});
            keys.push_back({at + 0.010, vk, false});
        }
    }
    return keys;
}

// The song played on the headless platform with keys at the given moments.
SongResult PlayWithKeys(ChartId id, const std::vector<Change>& keys) {
    testing::TempDir dir;
    headless::HeadlessPlatform hp(dir.Dir());
    Game game(hp.ports);
    game.settings.DelaySetting = 0;
    PlayScreenSetup(game, id, false, false);
    LoadChart(game, id, 0);
    const double start = hp.clock.Now() - hp.music.CurrentPosition();  // the music's start
    for (const Change& k : keys) hp.keyboard.At(start + k.at, k.vk, k.down);
    return PlaySong(game, false, id);
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
    std::vector<Change> script = OnTime(id);
    // Mid-song, in a pause between two notes, the pad is pulled out with a trigger held and
    // plugged in again: the trigger's next strike must count.
    size_t i = script.size() / 2;
    while (i + 1 < script.size() && script[i + 1].at - script[i].at < 0.4) ++i;
    ASSERT_LT(i + 1, script.size());
    const double pause = script[i].at + 0.050;
    script.insert(script.begin() + long(i) + 1,
                  {{pause, vk::Numpad1, true}, {pause + 0.010, vk::Numpad1, false}});

    RealWindowRig rig;
    VirtualPad pad;
    pad.Attach();
    Game game(rig.ports);
    game.settings.DelaySetting = 0;
    PlayScreenSetup(game, id, false, false);
    LoadChart(game, id, 0);
    const double start = rig.clock.Now();
    for (const Change& k : script) {
        if (k.at == pause + 0.010) {
            rig.scripted.At(start + k.at, [&pad] { pad.Detach(); });
            rig.scripted.At(start + k.at + 0.010, [&pad] { pad.Attach(); });
        } else {
            rig.scripted.At(start + k.at, [&pad, k] { pad.Set(PadTwin(k.vk), k.down); });
        }
    }
    rig.scripted.TakeLongestHold();
    const SongResult r = PlaySong(game, false, id);
    const double held = rig.scripted.TakeLongestHold();

    // Every strike sounded when the window saw it, stamped then. A loaded machine may see it
    // late: its key twin, struck at the same stamps, shows what the judgement must be.
    std::vector<Change> twin;
    size_t sound = 0;
    for (const Change& k : script) {
        if (!k.down) continue;
        ASSERT_LT(sound, rig.wave.played.size()) << "a strike without its sound";
        const bool don = rig.wave.played[sound].find("don.wav") != std::string::npos;
        EXPECT_EQ(don, k.vk < vk::Numpad4) << "strike " << sound;
        // Where the music was at the stamp: the twin's music starts at its clock's 0.
        const double at = rig.music.PositionAt(rig.wave.playedAt[sound++]);
        EXPECT_GE(at, k.at);
        twin.push_back({at, k.vk, true});
        twin.push_back({at + 0.010, k.vk, false});
    }
    EXPECT_EQ(sound, rig.wave.played.size());
    // Stamps far behind their presses, or frames run far behind their turn, mean the machine held
    // the game up, and the game's frame-counted rules then part from the twin's even pace.
    double late = 0;
    for (size_t i = 0, d = 0; i < script.size(); ++i)
        if (script[i].down && d < twin.size())
            late = std::max(late, twin[2 * d++].at - script[i].at);
    if (std::max(late, held) > 0.05)
        GTEST_SKIP() << "the machine held the game up " << int(std::max(late, held) * 1000)
                     << " ms";
    const SongResult expected = PlayWithKeys(id, twin);
    EXPECT_EQ(r.CountBest, expected.CountBest);
    EXPECT_EQ(r.CountGood, expected.CountGood);
    EXPECT_EQ(r.CountMiss, expected.CountMiss);
    EXPECT_EQ(r.MaxCombo, expected.MaxCombo);
    EXPECT_EQ(r.ShownScore, expected.ShownScore);
}

TEST(SdlPads, APadsOkAPadInputAndDrawingMeetTheSameErrorBoundaryAsAClick) {
    // Settings of a hand-edited config.dat that ４倍速 cannot scale. Chosen on the challenge menu
    // with the pad's d-pad and A through the real window, the error is told in the box and the
    // title comes back, as after a click: nothing ends the game. So does a throw in the real
    // window's pumps: drawing its picture, then taking a pad's input.
    setenv("SDL_VIDEODRIVER", "offscreen", 0);
    testing::TempAppDir dir;
    sdl::SdlClock clock;
    sdl::SdlKeyboard keyboard;
    sdl::SdlWindow window{clock, keyboard};
    testing::ScriptedWindow scripted{window, clock};
    headless::ScriptedDialogs dialogs;
    headless::ClockMusicPlayer music{clock};
    headless::RecordingWavePlayer wave{&clock};
    Platform ports{clock, keyboard, music, wave, dialogs, scripted, dir.Path()};
    VirtualPad pad;
    pad.Attach();
    Game game(ports);
    game.settings.DelaySetting = 32767;
    game.settings.FramePosition = 40;

    ScreenStack stack(game);
    SetUpGameStack(stack, game);
    stack.Push(game, std::make_unique<TitleScreen>());
    stack.Push(game, std::make_unique<CourseScreen>(Course{.difficulty = 3, .challenge = true}));
    ASSERT_EQ(game.ScreenState, Screen::SongSelect);
    const double t = clock.Now();
    const auto tap = [&](double at, int input) {
        scripted.At(t + at, [&pad, input] { pad.Set(input, true); });
        scripted.At(t + at + 0.05, [&pad, input] { pad.Set(input, false); });
    };
    tap(0.3, pad::Button(pad::A));  // the first song, then the menu
    tap(0.8, pad::Button(pad::DpDown));
    tap(1.0, pad::Button(pad::DpDown));  // ４倍速
    tap(1.2, pad::Button(pad::A));
    bool menuSeen = false;
    stack.RunWhile([&] {
        menuSeen = menuSeen || game.ScreenState == Screen::Challenge;
        return clock.Now() < t + 20 && !(menuSeen && game.ScreenState == Screen::Title);
    });
    EXPECT_TRUE(menuSeen);
    EXPECT_EQ(game.ScreenState, Screen::Title);
    ASSERT_EQ(dialogs.shown.size(), 1u);
    EXPECT_NE(dialogs.shown[0].text.find("「ゲーム中」でエラーが発生しました。"), std::string::npos)
        << dialogs.shown[0].text;

    // A's release, still to come, goes to the title (song select would pick on a held A).
    stack.RunWhile([&] { return clock.Now() < t + 1.5; });
    const auto failsOnce = [&](fault::Place place, const std::function<void()>& act) {
        const size_t boxes = dialogs.shown.size();
        stack.Push(game, std::make_unique<CourseScreen>(Course{}));
        ASSERT_EQ(game.ScreenState, Screen::SongSelect);
        fault::Arm(place);
        act();
        const double until = clock.Now() + 5;
        stack.RunWhile([&] { return clock.Now() < until && dialogs.shown.size() == boxes; });
        EXPECT_EQ(game.ScreenState, Screen::Title);
        ASSERT_EQ(dialogs.shown.size(), boxes + 1);
        EXPECT_NE(dialogs.shown.back().text.find("「曲選択」でエラーが発生しました。"),
                  std::string::npos)
            << dialogs.shown.back().text;
    };
    failsOnce(fault::Place::Draw, [] {});
    failsOnce(fault::Place::Pad,
              [&] { tap(clock.Now() - t + 0.2, pad::Button(pad::LeftShoulder)); });
}

// The real SDL boxes, each answered by a press of one pad button from another thread, as a player
// holding only the pad would answer; a box that asks for typing fails the test.
class PadAnsweredDialogs : public Dialogs {
  public:
    PadAnsweredDialogs(Dialogs& real, VirtualPad& pad, int button)
        : real_(real), pad_(pad), button_(button) {}
    MsgResult MessageBox(const std::string& text, MsgButtons buttons, MsgIcon icon,
                         const std::string& title) override {
        said.push_back(text);
        std::thread press([this] {
            std::this_thread::sleep_for(std::chrono::milliseconds(300));
            pad_.Set(button_, true);
            std::this_thread::sleep_for(std::chrono::milliseconds(60));
            pad_.Set(button_, false);
        });
        const MsgResult r = real_.MessageBox(text, buttons, icon, title);
        press.join();
        answers.push_back(r);
        return r;
    }
    std::string InputBox(const std::string& prompt, const std::string&,
                         const std::string&) override {
        ADD_FAILURE() << "a pad's player was asked to type: " << prompt;
        return "";
    }
    std::vector<std::string> said;
    std::vector<MsgResult> answers;

  private:
    Dialogs& real_;
    VirtualPad& pad_;
    int button_;
};

TEST(SdlPads, APadAloneGoesFromTheNoticeToASongAndBack) {
    // The full menu (a million in the hard course) and settings of a player, so that no start-up
    // box comes.
    setenv("SDL_VIDEODRIVER", "offscreen", 0);
    testing::TempAppDir dir;
    {
        int32_t scores[74] = {};
        scores[1] = 1000000;
        std::ofstream(dir.File("score.dat"), std::ios::binary)
            .write(reinterpret_cast<const char*>(scores), sizeof scores);
        const int16_t config[10] = {97, 98, 100, 101, 9, 0, -600, 0, 1, 0};
        std::ofstream(dir.File("config.dat"), std::ios::binary)
            .write(reinterpret_cast<const char*>(config), sizeof config);
    }
    sdl::SdlClock clock;
    sdl::SdlKeyboard keyboard;
    sdl::SdlWindow window{clock, keyboard};
    testing::ScriptedWindow scripted{window, clock};
    sdl::SdlDialogs boxes{window};
    VirtualPad pad;
    pad.Attach();
    PadAnsweredDialogs dialogs{boxes, pad, pad::Button(pad::B)};
    headless::ClockMusicPlayer music{clock};
    headless::RecordingWavePlayer wave{&clock};
    Platform ports{clock, keyboard, music, wave, dialogs, scripted, dir.Path()};
    Game game(ports);

    // Each stage waits for what the player would see, then taps its buttons 0.3 s later, 0.15 s
    // apart.
    struct Stage {
        std::function<bool()> ready;
        std::vector<int> taps;
    };
    const auto on = [&game](Screen s) { return [&game, s] { return game.ScreenState == s; }; };
    const int a = pad::Button(pad::A), up = pad::Button(pad::DpUp), down = pad::Button(pad::DpDown);
    double playing = 0;
    const std::vector<Stage> stages = {
        {on(Screen::Notice), {a}},
        {[&] {
             return game.ScreenState == Screen::OpeningSubtitle ||
                    game.ScreenState == Screen::Story;
         },
         {a}},
        // ネットワーク: the first Down lights かんたん, Up wraps to せってい, Up again.
        {[&] { return game.ScreenState == Screen::Title && dialogs.said.empty(); },
         {down, up, up, a}},
        // The name box needs a keyboard: the box says so and B (キャンセル) goes back.
        {[&] { return game.ScreenState == Screen::Title && !dialogs.said.empty(); }, {down, a}},
        {on(Screen::SongSelect), {a}},  // song 6
        {[&] { return game.ScreenState == Screen::Playing && clock.Now() > playing + 1.5; },
         {pad::Button(pad::Start)}},
        {on(Screen::Paused), {up, a}},  // やめる
        {on(Screen::SongSelect), {}},
    };

    ScreenStack stack(game);
    SetUpGameStack(stack, game);
    stack.Push(game, std::make_unique<NoticeScreen>());
    const double t0 = clock.Now();
    size_t next = 0;
    Screen last = Screen::None;
    std::string path;  // the screens in turn, for a failure's message
    stack.RunWhile([&] {
        if (game.ScreenState != last && game.ScreenState == Screen::Playing) playing = clock.Now();
        if (game.ScreenState != last) path += " → " + std::string(ScreenName(game.ScreenState));
        last = game.ScreenState;
        if (next < stages.size() && stages[next].ready()) {
            double at = clock.Now() + 0.3;
            for (int input : stages[next].taps) {
                scripted.At(at, [&pad, input] { pad.Set(input, true); });
                scripted.At(at + 0.05, [&pad, input] { pad.Set(input, false); });
                at += 0.15;
            }
            ++next;
        }
        return next < stages.size() && clock.Now() < t0 + 20;
    });

    EXPECT_EQ(next, stages.size()) << "stuck: " << path;
    EXPECT_EQ(game.ScreenState, Screen::SongSelect);
    ASSERT_EQ(dialogs.said, std::vector<std::string>{kRankNeedsKeyboard});
    EXPECT_EQ(dialogs.answers.at(0), MsgResult::Cancel);
    EXPECT_GT(playing, 0) << "no song was played";
    // A song left writes nothing.
    EXPECT_FALSE(std::filesystem::exists(dir.File("replays")));
}

}  // namespace
}  // namespace zb
