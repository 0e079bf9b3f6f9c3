// The arrow pacing of the song select screen's key loop, driven pass by pass.
#include "core/arrow_repeat.hpp"

#include <gtest/gtest.h>

namespace zb {
namespace {

// Runs the key loop at one pass per millisecond from `from` to `to` seconds with `arrow` held
// (0 = none) and counts the steps.
int Hold(ArrowRepeat& r, int arrow, double from, double to) {
    int steps = 0;
    for (double t = from; t < to - 1e-9; t += 0.001) steps += r.Step(arrow, t);
    return steps;
}

TEST(ArrowRepeat, TapStepsOnceWhateverTheLoopRate) {
    ArrowRepeat r;
    EXPECT_EQ(Hold(r, +1, 0.0, 0.120), 1);  // a quick tap: 120 passes see the key down
    EXPECT_EQ(Hold(r, 0, 0.120, 0.5), 0);
    EXPECT_EQ(Hold(r, +1, 0.5, 0.75), 1);  // a slow tap of a quarter second
    EXPECT_EQ(Hold(r, 0, 0.75, 0.8), 0);
    EXPECT_EQ(Hold(r, -1, 0.8, 0.85), 1);
}

TEST(ArrowRepeat, HeldArrowStepsAboutEveryHundredFiftyMs) {
    ArrowRepeat r;
    std::vector<double> at;
    for (double t = 0; t < 2.0; t += 0.001)
        if (r.Step(+1, t)) at.push_back(t);
    ASSERT_GE(at.size(), 10u);
    EXPECT_NEAR(at[1] - at[0], ArrowRepeat::kFirstRepeat, 0.002);
    for (size_t i = 2; i < at.size(); ++i) EXPECT_NEAR(at[i] - at[i - 1], 0.150, 0.002);
    // Two seconds: the press, then one step per 150 ms after the first repeat.
    EXPECT_EQ(at.size(), 1u + size_t((2.0 - ArrowRepeat::kFirstRepeat) / 0.150) + 1u);
}

TEST(ArrowRepeat, SwitchingArrowsStepsAtOnceAndSlowPassesDoNotBurst) {
    ArrowRepeat r;
    EXPECT_TRUE(r.Step(+1, 0.0));
    EXPECT_FALSE(r.Step(+1, 0.1));
    EXPECT_TRUE(r.Step(-1, 0.101));  // the other arrow is a new press
    EXPECT_FALSE(r.Step(-1, 0.2));
    // A loop that stalls for a second steps once on its next pass, not six times.
    EXPECT_TRUE(r.Step(-1, 1.5));
    EXPECT_FALSE(r.Step(-1, 1.501));
    EXPECT_FALSE(r.Step(-1, 1.6));
    EXPECT_TRUE(r.Step(-1, 1.651));
}

}  // namespace
}  // namespace zb
