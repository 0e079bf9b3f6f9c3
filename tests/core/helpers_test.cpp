// The yielding wait and the twip conversions.
#include "core/helpers.hpp"

#include <gtest/gtest.h>

#include "core/checked.hpp"
#include "platform/headless/headless.hpp"

namespace zb {

TEST(WaitMs, ZeroReturnsAtOnceAndAnyPositiveWaitYields) {
    headless::HeadlessPlatform hp("/tmp/");
    WaitMs(hp.ports, 0);
    EXPECT_EQ(hp.window.yields, 0);
    WaitMs(hp.ports, -5);
    EXPECT_EQ(hp.window.yields, 0);
    WaitMs(hp.ports, 1);
    EXPECT_GE(hp.window.yields, 1);
    // A yield longer than the whole wait: the wait ends right after it (the tick is read
    // before each yield, so one more yield passes before the wait sees the time is up).
    hp.window.yieldStep = 0.5;
    const int before = hp.window.yields;
    WaitMs(hp.ports, 1);
    EXPECT_GE(hp.window.yields, before + 1);
    EXPECT_LE(hp.window.yields, before + 2);
}

TEST(WaitMs, WaitsAtLeastTheTimeAndRunsClicksMeanwhile) {
    headless::HeadlessPlatform hp("/tmp/");
    struct Events : FormEvents {
        int clicks = 0, ticks = 0;
        void ClickDispatch(ClickSource, int) override { ++clicks; }
        void TimerTick() override { ++ticks; }
        void CloseRequested() override {}
    } events;
    hp.window.SetEvents(&events);
    hp.window.Form().Timer1[0] = {true, 75};
    hp.window.ClickAt(0.050, ClickSource::Label, 3);
    const double start = hp.clock.Now();
    WaitMs(hp.ports, 260);
    EXPECT_GE(hp.clock.Now() - start, 0.260);
    EXPECT_LT(hp.clock.Now() - start, 0.263);
    EXPECT_EQ(events.clicks, 1);
    EXPECT_EQ(events.ticks, 3);  // at 75, 150 and 225 ms
}

TEST(WaitMs, SleepsUntilSomethingHappensInsteadOfWakingEveryMillisecond) {
    // A yield that takes no time at all: only the window's sleep moves the clock on.
    headless::HeadlessPlatform hp("/tmp/");
    hp.window.yieldStep = 0;
    const double start = hp.clock.Now();
    WaitMs(hp.ports, 20);
    EXPECT_GE(hp.clock.Now() - start, 0.020);
    EXPECT_LE(hp.window.yields, 2);
    // A key change wakes the wait, which then sleeps on; weeks of uptime change nothing.
    hp.clock.Set(30.0 * 24 * 3600);  // past 2^31 milliseconds
    hp.keyboard.At(hp.clock.Now() + 0.005, vk::Enter, true);
    const int before = hp.window.yields;
    WaitMs(hp.ports, 20);
    EXPECT_EQ(InputQueue(hp.keyboard).GetAsyncKeyState(vk::Enter), kKeyDown | kKeyPressedSince);
    EXPECT_GE(hp.window.yields - before, 2);
    EXPECT_LE(hp.window.yields - before, 3);
}

TEST(TwipConversions, FifteenTwipsAPixelRoundedHalfToEven) {
    EXPECT_EQ(TwipsToPixelsY(7500), 500);
    EXPECT_EQ(TwipsToPixelsY(22.5), 2);  // 1.5 -> 2
    EXPECT_EQ(TwipsToPixelsY(37.5), 2);  // 2.5 -> 2
    EXPECT_EQ(PixelsToTwipsX(64), 960);
    EXPECT_EQ(PixelsToTwipsY(0.5), 8);  // 7.5 -> 8
    EXPECT_THROW(PixelsToTwipsX(3000), OverflowError);
}

}  // namespace zb
