// The settings screen on the headless platform, entered with a click on the title's せってい and
// played with ordinary taps (each key down for 100 ms).
#include "frontend/settings_screen.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <map>
#include <stdexcept>

#include "core/delay_check_beat.hpp"
#include "core/kit_map.hpp"
#include "frontend/config_file.hpp"
#include "frontend/kit_file.hpp"
#include "frontend/settings_items.hpp"
#include "frontend/settings_slots.hpp"
#include "frontend/title.hpp"
#include "frontend_fixture.hpp"
#include "platform/pad_inputs.hpp"

namespace zb {
namespace {

using testing::Fields16;

struct SettingsScreenTest : testing::FrontendTest {
    double next = 0;
    // Rows the cursor stood on and delays shown, each recorded when it changed.
    std::vector<int> rows;
    std::vector<std::string> delays;
    // The screen as last seen before it closed: every label's caption by index.
    std::map<int, std::string> seen;
    std::function<void()> watch;
    std::function<void()> anyYield;  // also on the screens the settings screen opens

    SettingsScreenTest() { game.settings.BgmVolume = -600; }

    // Taps keys one after another, each down 100 ms with 100 ms between taps.
    void Taps(std::initializer_list<int> keys) {
        next = std::max(next, hp.clock.Now() + 0.2);
        for (int k : keys) {
            hp.keyboard.At(next, k, true);
            hp.keyboard.At(next + 0.1, k, false);
            next += 0.2;
        }
    }
    // Strikes every beat of the delay check that just opened `lateMs` late for the ディレイ 9,
    // taking turns on the two don keys; the taps that follow come after its last beat.
    void StrikeTheCheck(double lateMs) {
        const double start = hp.clock.Now() - hp.music.CurrentPosition();
        for (int k = 0; k < kCheckBeats; ++k) {
            const double at = start + CheckBeatTime(kCheckCountIn + k) + (9 * 2.5 + lateMs) / 1000;
            hp.keyboard.At(at, vk::Numpad1 + k % 2, true);
            hp.keyboard.At(at + 0.05, vk::Numpad1 + k % 2, false);
        }
        next = start + CheckBeatTime(kCheckCountIn + kCheckBeats) + 2;
    }
    // Clicks せってい and runs the screen until it has closed.
    void Visit() {
        Open(std::make_unique<TitleScreen>());
        const double limit = hp.clock.Now() + 60;
        hp.window.onYield = [this, limit] {
            if (hp.clock.Now() > limit) throw std::runtime_error("the settings screen stayed");
            if (anyYield) anyYield();
            if (game.ScreenState != Screen::Settings) return;
            const auto& L = game.form.Label;
            const int row = L[0].Top / 500 - 1;
            if (rows.empty() || rows.back() != row) rows.push_back(row);
            if (delays.empty() || delays.back() != L[11].Caption) delays.push_back(L[11].Caption);
            for (int i = 0; i < 21; ++i)
                if (L[size_t(i)].Visible) seen[i] = L[size_t(i)].Caption;
            if (watch) watch();
        };
        hp.window.Click(ClickSource::Label, 2);
        stack.RunWhile([&] { return hp.window.Pending() || game.ScreenState != Screen::Title; });
        hp.window.onYield = nullptr;
    }
};

TEST_F(SettingsScreenTest, TapsStepOnceBindSaveAndReturnToTheTitle) {
    Taps({vk::Down, vk::Down, vk::Down, vk::Down, vk::Right, vk::Right, vk::Right, vk::Up, vk::Up,
          vk::A + 25, vk::Enter});
    // A key typed on the title screen before is not taken for a binding.
    hp.keyboard.Press(vk::A + 16);
    hp.keyboard.Release(vk::A + 16);
    // Midway the player closes the window and thinks better of it; a click does nothing.
    hp.dialogs.answers = {MsgResult::Cancel};
    hp.window.CloseAt(hp.clock.Now() + 0.5);
    hp.window.ClickAt(hp.clock.Now() + 0.7, ClickSource::Label, 1);
    bool firstPass = true;
    watch = [&] {
        if (!firstPass) return;
        firstPass = false;
        EXPECT_EQ(game.form.BackColor, colors::Black);
        EXPECT_EQ(game.form.Label[0].ForeColor, colors::Yellow);
        EXPECT_EQ(game.form.Label[1].ForeColor, colors::Red);
        EXPECT_EQ(game.form.Label[0].Top, game.form.Label[1].Top);
    };
    Visit();

    std::vector<int> visible;
    for (const auto& [i, caption] : seen) visible.push_back(i);
    EXPECT_EQ(visible.size(), 21u);
    EXPECT_EQ(seen[20],
              "F2：ヒットエラーバー　なし\r\nF3：タイミング調整（ディレイを測る）\r\n"
              "F4：キットの強打で大音符（キットをつなぐと設定できます）\r\n"
              "F5：音の遅れ　自動　128 フレーム（2.7 ms）");
    // What the defaults look like on the first pass, as changed by the taps.
    EXPECT_EQ(seen[7] + seen[8] + seen[9] + seen[10], "12Z5");
    EXPECT_EQ(seen[12] + seen[16] + seen[17] + seen[19], "0普通あり押した瞬間に判定");
    EXPECT_EQ(std::count(seen[13].begin(), seen[13].end(), '\n'), 3);
    // One step per tap.
    EXPECT_EQ(rows, (std::vector<int>{0, 1, 2, 3, 4, 3, 2}));
    EXPECT_EQ(delays, (std::vector<std::string>{"9", "10", "11", "12"}));

    ASSERT_EQ(hp.dialogs.shown.size(), 1u);
    EXPECT_EQ(hp.dialogs.shown[0].text, "終了しますか？");
    EXPECT_EQ(dir.Read("config.dat"), Fields16({97, 98, 90, 101, 12, 0, -600, 0, 1, 0}));
    EXPECT_EQ(ScreenName(game.ScreenState), "タイトル画面");
    EXPECT_EQ(game.form.BackColor, colors::Yellow);
    EXPECT_EQ(VisibleLabels(), (std::vector<int>{0, 1, 2}));
    EXPECT_EQ(game.form.Label[2].Caption, "せってい");
}

TEST_F(SettingsScreenTest, AHeldArrowRepeatsAndAKeyBindsOncePerPress) {
    Taps({vk::Down, vk::Down, vk::Down, vk::Down});
    const double hold = next;
    hp.keyboard.At(hold, vk::Right, true);
    hp.keyboard.At(hold + 1.3, vk::Right, false);
    next = hold + 1.4;
    std::string early;
    watch = [&] {
        if (early.empty() && hp.clock.Now() > hold + 0.28) early = game.form.Label[11].Caption;
    };
    Taps({vk::Left, vk::Right, vk::Left, vk::Down, vk::Down, vk::Right, vk::Down, vk::Right});
    // On 左足: "Z" held down while the cursor moves on to 右足 binds 左足 only.
    Taps({vk::Up, vk::Up, vk::Up, vk::Up, vk::Up, vk::Up, vk::Up});
    hp.keyboard.At(next, vk::A + 25, true);
    next += 0.1;
    Taps({vk::Down});
    hp.keyboard.At(next, vk::A + 25, false);
    Taps({vk::Down, vk::Digit0 + 2, vk::Down});
    // Two keys in the same pass on 右手: the higher code wins.
    hp.keyboard.At(next, vk::A, true);
    hp.keyboard.At(next, vk::A + 16, true);
    hp.keyboard.At(next + 0.1, vk::A, false);
    hp.keyboard.At(next + 0.1, vk::A + 16, false);
    next += 0.2;
    Taps({vk::Down, vk::A});  // a letter on the delay binds nothing
    Taps({vk::Enter});
    Visit();

    EXPECT_EQ(early, "10") << "the press steps once, the repeat waits 300 ms";
    const int held = std::stoi(delays.at(delays.size() - 2)) - 10;
    EXPECT_GE(held, 20) << "about 25 steps a second after the first repeat";
    EXPECT_LE(held, 26);
    EXPECT_EQ(seen[11], std::to_string(9 + held));
    EXPECT_EQ(seen[7] + seen[8] + seen[9] + seen[10], "Z2ふQ");
    EXPECT_EQ(seen[16] + seen[17], "小さいなし");
    const Settings& s = game.settings;
    EXPECT_EQ(s.KeyCodes, (std::array<int16_t, 4>{90, 98, 50, 81}));
    EXPECT_EQ(dir.Read("config.dat"),
              Fields16({90, 98, 50, 81, int16_t(9 + held), 0, -900, 1, 1, 0}));
}

TEST_F(SettingsScreenTest, APadBindsOnThePlayKeysItsOkSavesElsewhereAndNothingIsWrittenBefore) {
    const PadInfo gamepad{1, "030000005e0400008e02000014010000", "Xbox pad", true};
    hp.keyboard.PlugAt(0, gamepad);
    auto padTaps = [&](std::initializer_list<int> inputs) {
        std::vector<int> codes;
        for (int in : inputs) codes.push_back(pad::Code(gamepad.slot, in));
        for (int code : codes) Taps({code});
    };
    // Y on 左足; down; A on 右足 binds A there rather than saving; the d-pad down to the delay,
    // right steps it, F7 turns the pad's hit sounds off, A saves.
    padTaps({pad::Y, pad::DpDown, pad::A, pad::DpDown, pad::DpDown, pad::DpDown, pad::DpRight});
    Taps({vk::F7});
    padTaps({pad::A});
    bool written = false;
    watch = [&] { written = written || std::filesystem::exists(dir.File("pads.txt")); };
    Visit();
    EXPECT_FALSE(written) << "written before the save";
    EXPECT_EQ(seen[7], "1 / Yボタン");
    EXPECT_EQ(seen[8], "2 / Aボタン");
    EXPECT_EQ(seen[9], "4 / LB");
    EXPECT_EQ(dir.Read("pads.txt"), "zubakko-pads 1\n# GUID 左足 右足 左手 右手\n" + gamepad.guid +
                                        " y a leftshoulder rightshoulder\n");
    EXPECT_EQ(dir.Read("config.dat"), Fields16({97, 98, 100, 101, 10, 0, -600, 0, 1, 0}));
    EXPECT_NE(dir.Read("devices.txt").find("pad " + gamepad.guid + " Xbox pad\thit_sound off\n"),
              std::string::npos)
        << dir.Read("devices.txt");
}

TEST_F(SettingsScreenTest, AKitStrokeBindsItsNoteF4StepsItsBigStrokeAndBothOutliveARestart) {
    const KitInfo kit{0, "TD-17:TD-17 MIDI 1"};
    hp.keyboard.PlugKitAt(0, kit);
    auto stroke = [&](int note) {
        next = std::max(next, hp.clock.Now() + 0.2);
        hp.keyboard.StrikeKitAt(next, kit.slot, note, 90);
        next += 0.2;
    };
    // The ride's bell (右手 by default) on 左手; F4 twice; a snare on the delay's item binds
    // nothing; Enter saves.
    Taps({vk::Down, vk::Down});
    stroke(53);
    Taps({vk::F4, vk::F4, vk::Down, vk::Down});
    stroke(38);
    Taps({vk::Enter});
    Visit();
    EXPECT_EQ(seen[7], "1 / MIDI 36");
    EXPECT_EQ(seen[9], "4 / MIDI 53");
    EXPECT_EQ(seen[10], "5 / MIDI 42");
    EXPECT_NE(seen[20].find("F4：キットの強打で大音符　強さ 127 以上"), std::string::npos)
        << seen[20];
    // The next start reads kits.txt: the kit plays as bound.
    Game again{hp.ports};
    LoadKitBindings(again);
    const KitBinding b = KitBindingOf(again.settings, kit.name);
    EXPECT_EQ(b.strikes[53], 2);
    EXPECT_EQ(b.strikes[38], 2);
    EXPECT_EQ(b.strikes[51], 3);
    EXPECT_EQ(b.bigVelocity, 127);
    EXPECT_EQ(b, game.settings.KitBindings.at(kit.name));
}

TEST_F(SettingsScreenTest, TheKitPageShowsEachStrokesFateSetsAFloorByStrikingAndSilencesTheKit) {
    const KitInfo kit{0, "TD-17:TD-17 MIDI 1"};
    hp.keyboard.PlugKitAt(0, kit);
    double last = 0;
    auto stroke = [&](int note, int velocity) {
        last = next = std::max(next, hp.clock.Now() + 0.2);
        hp.keyboard.StrikeKitAt(next, kit.slot, note, velocity);
        next += 0.2;
    };
    // On 左足's line: a snare read twice 3 ms apart, a note of no strike.
    Taps({vk::F6});
    stroke(38, 90);
    hp.keyboard.StrikeKitAt(last + 0.003, kit.slot, 38, 91);
    stroke(60, 90);
    // On 左手's line: three soft snare strokes set its floor, then one under it; → raises it.
    Taps({vk::Down, vk::Down});
    for (int v : {30, 20, 26}) stroke(38, v);
    stroke(38, 22);
    Taps({vk::Right, vk::Down, vk::Down, vk::Right, vk::Escape, vk::Enter});
    std::vector<std::string> strokes, lines;
    watch = [&] {
        const auto& L = game.form.Label;
        if (L[settings_slots::kNameLabel[4]].Caption != "叩いた音") return;
        for (const std::string& s : {L[20].Caption, L[9].Caption, L[11].Caption})
            if (std::find(lines.begin(), lines.end(), s) == lines.end()) lines.push_back(s);
        const std::string& log = L[20].Caption;
        const size_t last = log.rfind("MIDI", log.size() - 2);
        if (last != std::string::npos) {
            const std::string line = log.substr(last, log.find('\r', last) - last);
            if (strokes.empty() || strokes.back() != line) strokes.push_back(line);
        }
    };
    Visit();
    EXPECT_EQ(strokes, (std::vector<std::string>{
                           "MIDI 38　強さ 90　左手", "MIDI 38　強さ 91　落とした：二度打ち",
                           "MIDI 60　強さ 90　落とした：割り当てなし", "MIDI 38　強さ 30　左手",
                           "MIDI 38　強さ 20　左手", "MIDI 38　強さ 26　左手",
                           "MIDI 38　強さ 22　落とした：下限"}));
    const auto shown = [&](const std::string& s) {
        return std::find(lines.begin(), lines.end(), s) != lines.end();
    };
    EXPECT_TRUE(shown("MIDI 38　下限 24")) << "three strokes: a little above the softest";
    EXPECT_TRUE(shown("MIDI 38　下限 25")) << "→";
    EXPECT_TRUE(shown("なし"));
    EXPECT_NE(dir.Read("kits.txt").find("\nfloor 38 25\n"), std::string::npos)
        << dir.Read("kits.txt");
    EXPECT_NE(dir.Read("devices.txt").find("kit TD-17:TD-17 MIDI 1\thit_sound off\n"),
              std::string::npos)
        << dir.Read("devices.txt");
}

TEST_F(SettingsScreenTest, HandEditedValuesAtTheSixteenBitEdgeAreClampedBeforeAStep) {
    dir.Write("config.dat", Fields16({97, 98, 100, 101, 32767, 32767, -600, 0, 1, 0}));
    ASSERT_TRUE(LoadConfig(game));
    Taps({vk::Down, vk::Down, vk::Down, vk::Down, vk::Right, vk::Left, vk::Down, vk::Right,
          vk::Left, vk::Enter});
    Visit();
    EXPECT_EQ(dir.Read("config.dat"), Fields16({97, 98, 100, 101, 640, 20, -600, 0, 1, 0}));

    // Every 16-bit value steps without overflow; other odd values keep the ordinary rules.
    for (int v = -32768; v <= 32767; ++v) {
        for (int dir : {+1, -1}) {
            const int d = StepDelay(int16_t(v), dir), f = StepFrame(int16_t(v), dir);
            EXPECT_TRUE(v < 0 || (d >= 0 && d <= 640)) << v;
            EXPECT_TRUE(f >= -20 && f <= 20) << v;
        }
    }
    EXPECT_EQ(StepDelay(-5, +1), -4);
    EXPECT_EQ(StepDelay(-5, -1), 635);
    EXPECT_EQ(StepDelay(32767, -1), 639);
    EXPECT_EQ(StepFrame(-20, -1), 20);
    EXPECT_EQ(StepFrame(20, +1), -20);
    EXPECT_EQ(StepFrame(32746, +1), -12);
    EXPECT_EQ(StepFrame(32747, +1), -20);
}

TEST_F(SettingsScreenTest, F3ChecksTheDelayEnterTakesItAndF2SwitchesTheBar) {
    // Two checks with strikes a steady 30 ms late for the ディレイ 9: the first suggests the
    // ディレイ that cancels them and Enter takes it; with it the second finds them on time within
    // a step, and Esc leaves it. Then F2, F5 twice and Enter.
    Taps({vk::F3});
    std::vector<std::string> figures;
    Screen before = Screen::None;
    anyYield = [&] {
        const Screen now = game.ScreenState;
        if (now == Screen::DelayCheck && before != Screen::DelayCheck) {
            StrikeTheCheck(30);
            figures.emplace_back();
            Taps(figures.size() == 1
                     ? std::initializer_list<int>{vk::Enter, vk::F3}
                     : std::initializer_list<int>{vk::Escape, vk::F2, vk::F5, vk::F5, vk::Enter});
        }
        if (now == Screen::DelayCheck) figures.back() = game.form.Label[7].Caption;
        before = now;
    };
    Visit();

    ASSERT_EQ(figures.size(), 2u);
    // 30 ms at the check's 400 pixels a second are 12 steps.
    EXPECT_NE(figures[0].find("平均 +30 ms（遅め）"), std::string::npos) << figures[0];
    EXPECT_NE(figures[0].find("ディレイ 9 → 21"), std::string::npos) << figures[0];
    EXPECT_NE(figures[1].find("平均 ±0 ms"), std::string::npos) << figures[1];
    EXPECT_EQ(delays, (std::vector<std::string>{"9", "21"}));
    EXPECT_EQ(seen[20].substr(0, seen[20].find('\r')), "F2：ヒットエラーバー　あり");
    // F5 twice: 自動, 64, 128 frames, asked of the sound output at once.
    EXPECT_EQ(seen[20].substr(seen[20].rfind('\n') + 1), "F5：音の遅れ　128 フレーム（2.7 ms）");
    EXPECT_EQ(hp.music.wantedPeriod, 128);
    EXPECT_EQ(dir.Read("config.dat"), Fields16({97, 98, 100, 101, 21, 0, -600, 0, 1, 0}));
    EXPECT_NE(dir.Read("options.txt").find("\nhit_error_bar 1\n"), std::string::npos);
    EXPECT_NE(dir.Read("options.txt").find("\naudio_frames 128\n"), std::string::npos);
}

TEST_F(SettingsScreenTest, F5InTheDelayCheckKeepsTheOffsetForTheDeviceStruckAlone) {
    // Keys a steady 20 ms late: F5 keeps +20 ms for the keyboard and leaves the ディレイ; the
    // settings screen shows it, and Enter saves it to devices.txt.
    Taps({vk::F3});
    std::string figures;
    Screen before = Screen::None;
    anyYield = [&] {
        const Screen now = game.ScreenState;
        if (now == Screen::DelayCheck && before != Screen::DelayCheck) {
            StrikeTheCheck(20);
            Taps({vk::F5, vk::Enter});
        }
        if (now == Screen::DelayCheck) figures = game.form.Label[7].Caption;
        before = now;
    };
    Visit();

    EXPECT_NE(figures.find("キーボードだけ：入力オフセット ±0 ms → +20 ms"), std::string::npos)
        << figures;
    EXPECT_NE(seen[20].find("\r\nF3：タイミング調整　入力オフセット キーボード +20 ms\r\n"),
              std::string::npos)
        << seen[20];
    EXPECT_EQ(delays, (std::vector<std::string>{"9"}));
    EXPECT_NE(dir.Read("devices.txt").find("\nkeyboard\toffset 20\n"), std::string::npos);
}

}  // namespace
}  // namespace zb
