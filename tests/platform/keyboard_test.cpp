// GetAsyncKeyState as the game relies on it, read through the input queue from both keyboards,
// and the virtual-key mapping.
#include <SDL_scancode.h>
#include <gtest/gtest.h>

#include "platform/headless/headless.hpp"
#include "platform/input_queue.hpp"
#include "platform/pad_inputs.hpp"
#include "platform/sdl/sdl_platform.hpp"

namespace zb {

TEST(ScriptedKeyboard, PressIsReportedOnceThenHeldThenReleased) {
    headless::VirtualClock clock;
    headless::ScriptedKeyboard kb(clock);
    InputQueue q(kb);
    EXPECT_EQ(q.GetAsyncKeyState(vk::Space), 0);
    kb.At(1.0, vk::Space, true);
    kb.At(2.0, vk::Space, false);
    EXPECT_EQ(q.GetAsyncKeyState(vk::Space), 0) << "the press lies in the future";
    clock.Set(1.0);
    EXPECT_EQ(q.GetAsyncKeyState(vk::Space), 0x8001);
    EXPECT_EQ(q.GetAsyncKeyState(vk::Space), 0x8000);
    EXPECT_EQ(q.GetAsyncKeyState(vk::Space), 0x8000);
    clock.Set(2.5);
    EXPECT_EQ(q.GetAsyncKeyState(vk::Space), 0);
    EXPECT_EQ(q.TakeDownStamps(vk::Space), std::vector<double>{1.0});
}

TEST(ScriptedKeyboard, QuickTapBetweenQueriesLeavesThePressBit) {
    headless::VirtualClock clock;
    headless::ScriptedKeyboard kb(clock);
    InputQueue q(kb);
    kb.At(0.010, vk::A + 5, true);
    kb.At(0.012, vk::A + 5, false);
    clock.Set(0.016);
    EXPECT_EQ(q.GetAsyncKeyState(vk::A + 5), 0x0001);
    EXPECT_EQ(q.GetAsyncKeyState(vk::A + 5), 0);
    // The bit is per key: querying another key leaves it alone.
    kb.At(0.020, vk::Numpad0 + 1, true);
    clock.Set(0.021);
    EXPECT_EQ(q.GetAsyncKeyState(vk::Numpad0 + 2), 0);
    EXPECT_EQ(q.GetAsyncKeyState(vk::Numpad0 + 1), 0x8001);
}

TEST(SdlKeyboard, FollowsTheSameRulesAndForgetsEverythingOnReset) {
    sdl::SdlKeyboard kb;
    InputQueue q(kb);
    kb.OnKey(vk::Enter, true, 1.0);
    kb.OnKey(vk::Enter, true, 1.5);  // a repeat does not count as a new press
    EXPECT_EQ(q.GetAsyncKeyState(vk::Enter), 0x8001);
    EXPECT_EQ(q.GetAsyncKeyState(vk::Enter), 0x8000);
    EXPECT_EQ(q.TakeDownStamps(vk::Enter), std::vector<double>{1.0});
    kb.OnKey(vk::Enter, false, 2.0);
    EXPECT_EQ(q.GetAsyncKeyState(vk::Enter), 0);

    kb.OnKey(vk::Left, true, 3.0);
    kb.OnKey(vk::Left, false, 3.001);
    EXPECT_EQ(q.GetAsyncKeyState(vk::Left), 0x0001);

    // Focus lost: keys come up, but a press not yet seen still counts.
    kb.OnKey(vk::Up, true, 4.0);
    kb.ReleaseAll();
    EXPECT_EQ(q.GetAsyncKeyState(vk::Up), 0x0001);
    // After a dialog: nothing of before is left.
    kb.OnKey(vk::Down, true, 5.0);
    kb.Reset();
    EXPECT_EQ(q.GetAsyncKeyState(vk::Down), 0);
    kb.OnKey(0, true, 6.0);  // keys without a code are ignored
    EXPECT_EQ(q.GetAsyncKeyState(0), 0);

    // A screen that came on top sees the presses stamped since, however late they arrive; a
    // key held from before is held.
    kb.OnKey(vk::Space, true, 6.5);
    q.StartScreen(7.0);
    kb.OnKey(vk::Escape, true, 6.9);
    kb.OnKey(vk::Escape, false, 7.2);
    kb.OnKey(vk::Escape, true, 7.3);
    EXPECT_EQ(q.GetAsyncKeyState(vk::Space), 0x8000);
    EXPECT_EQ(q.TakeDownStamps(vk::Space), std::vector<double>{});
    EXPECT_EQ(q.TakeDownStamps(vk::Escape), std::vector<double>{7.3});
    EXPECT_EQ(q.TakeUpStamps(vk::Escape), std::vector<double>{7.2});
}

TEST(PadKeys, APulledPadLetsGoOfItsInputsAndMenuKeysAndStrikesAgainWhenBack) {
    sdl::SdlKeyboard kb;
    InputQueue q(kb);
    const PadInfo pad{2, "03000000de280000ff11000001000000", "pad", true};
    const int trigger = pad::Code(2, pad::Axis(pad::LeftTrigger, true));
    const int right = pad::Code(2, pad::DpRight);
    kb.PadAdded(pad);
    kb.OnKey(trigger, true, 1.0);
    kb.OnKey(right, true, 1.0);
    EXPECT_EQ(q.GetAsyncKeyState(pad::MenuCode(vk::Right)), 0x8001) << "the d-pad is an arrow";
    EXPECT_EQ(q.GetAsyncKeyState(pad::MenuCode(vk::Enter)), 0);
    kb.PadRemoved(2, 2.0);
    EXPECT_TRUE(kb.Pads().empty());
    EXPECT_EQ(q.GetAsyncKeyState(trigger) & kKeyDown, 0);
    EXPECT_EQ(q.GetAsyncKeyState(pad::MenuCode(vk::Right)), 0);
    EXPECT_EQ(q.TakeDownStamps(trigger), std::vector<double>{1.0});
    // Back in a slot, the held trigger of before is no obstacle to its next strike.
    kb.PadAdded(pad);
    kb.OnKey(trigger, true, 3.0);
    EXPECT_EQ(q.TakeDownStamps(trigger), std::vector<double>{3.0});
    // A plain joystick steers with its hat; two pads holding one arrow keep it down until both
    // let go.
    kb.PadAdded({0, "03000000aaaa0000bbbb000000000000", "drum", false});
    kb.OnKey(pad::Code(0, pad::RawHat(0, 1)), true, 4.0);
    kb.OnKey(right, true, 4.0);
    kb.OnKey(pad::Code(0, pad::RawHat(0, 1)), false, 4.1);
    EXPECT_EQ(q.GetAsyncKeyState(pad::MenuCode(vk::Right)), 0x8001);
    kb.OnKey(right, false, 4.2);
    EXPECT_EQ(q.GetAsyncKeyState(pad::MenuCode(vk::Right)), 0);
}

TEST(PadKeys, InputNamesReadBackAsTheirInputs) {
    for (int input = 0; input < pad::kInputs; ++input) {
        const std::string name = pad::InputName(input);
        if (name.empty()) continue;
        EXPECT_EQ(pad::InputFromName(name), input) << name;
    }
    EXPECT_EQ(pad::InputFromName("lefttrigger"), pad::Axis(pad::LeftTrigger, true));
    EXPECT_EQ(pad::InputFromName("h0.8"), pad::RawHat(0, 3));
    for (const char* bad : {"", "+lefttrigger", "b64", "h0.3", "a2", "leftx", "bx"})
        EXPECT_FALSE(pad::InputFromName(bad)) << bad;
}

TEST(VirtualKeys, ScancodesMapToTheCodesTheSettingsStore) {
    using sdl::VirtualKeyFromScancode;
    for (int i = 0; i < 26; ++i) EXPECT_EQ(VirtualKeyFromScancode(SDL_SCANCODE_A + i), 65 + i);
    EXPECT_EQ(VirtualKeyFromScancode(SDL_SCANCODE_0), 48);
    for (int i = 0; i < 9; ++i) EXPECT_EQ(VirtualKeyFromScancode(SDL_SCANCODE_1 + i), 49 + i);
    EXPECT_EQ(VirtualKeyFromScancode(SDL_SCANCODE_KP_0), 96);
    for (int i = 0; i < 9; ++i) EXPECT_EQ(VirtualKeyFromScancode(SDL_SCANCODE_KP_1 + i), 97 + i);
    EXPECT_EQ(VirtualKeyFromScancode(SDL_SCANCODE_LEFT), 37);
    EXPECT_EQ(VirtualKeyFromScancode(SDL_SCANCODE_UP), 38);
    EXPECT_EQ(VirtualKeyFromScancode(SDL_SCANCODE_RIGHT), 39);
    EXPECT_EQ(VirtualKeyFromScancode(SDL_SCANCODE_DOWN), 40);
    EXPECT_EQ(VirtualKeyFromScancode(SDL_SCANCODE_RETURN), 13);
    EXPECT_EQ(VirtualKeyFromScancode(SDL_SCANCODE_KP_ENTER), 13);
    EXPECT_EQ(VirtualKeyFromScancode(SDL_SCANCODE_SPACE), 32);
    EXPECT_EQ(VirtualKeyFromScancode(SDL_SCANCODE_ESCAPE), 27);
    EXPECT_EQ(VirtualKeyFromScancode(SDL_SCANCODE_F1), 112);
    EXPECT_EQ(VirtualKeyFromScancode(SDL_SCANCODE_F12), 123);
    EXPECT_EQ(VirtualKeyFromScancode(SDL_SCANCODE_LSHIFT), 16);
    EXPECT_EQ(VirtualKeyFromScancode(SDL_SCANCODE_RSHIFT), 16);
    EXPECT_EQ(VirtualKeyFromScancode(SDL_SCANCODE_KP_PLUS), 107);
    EXPECT_EQ(VirtualKeyFromScancode(SDL_SCANCODE_COMMA), 188);
    EXPECT_EQ(VirtualKeyFromScancode(SDL_SCANCODE_UNKNOWN), 0);
    // No two physical keys of the main block share a code, except the left/right twins.
    std::map<int, int> seen;
    for (int sc = SDL_SCANCODE_A; sc <= SDL_SCANCODE_KP_PERIOD; ++sc) {
        const int code = VirtualKeyFromScancode(sc);
        if (code == 0 || sc == SDL_SCANCODE_KP_ENTER) continue;
        EXPECT_TRUE(seen.emplace(code, sc).second) << "scancodes " << seen[code] << " and " << sc;
    }
}

}  // namespace zb
