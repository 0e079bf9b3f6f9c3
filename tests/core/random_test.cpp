#include "core/random.hpp"

#include <gtest/gtest.h>

#include "core/checked.hpp"
#include "platform/headless/headless.hpp"

namespace zb {
namespace {

TEST(TimeMixedRandom, EveryRunDrawsTheSameSequenceMixedWithTheTimeOfDay) {
    headless::HeadlessPlatform a{"/a/"}, b{"/b/"};
    Game ga{a.ports}, gb{b.ports};
    a.clock.SetLocalTime({12, 59, 59});  // m = 5959
    b.clock.SetLocalTime({12, 59, 59});
    int high = 0, odd = 0;
    for (int i = 0; i < 2000; ++i) {
        const int16_t r = TimeMixedRandom(ga, 100);
        EXPECT_EQ(r, TimeMixedRandom(gb, 100));
        ASSERT_GE(r, 0);
        ASSERT_LT(r, 6059);
        high += r >= 5000;
        odd += r % 2;
    }
    EXPECT_GT(high, 200);  // the time of day widens the range
    EXPECT_GT(odd, 850);
    EXPECT_LT(odd, 1150);

    a.clock.SetLocalTime({7, 0, 0});  // m = 0: only n remains
    for (int i = 0; i < 200; ++i) ASSERT_LT(TimeMixedRandom(ga, 100), 100);
}

TEST(TimeMixedRandom, ARangeBeyondSixteenBitsIsAnOverflow) {
    headless::HeadlessPlatform p{"/a/"};
    Game g{p.ports};
    p.clock.SetLocalTime({0, 0, 1});
    EXPECT_THROW(TimeMixedRandom(g, 32767), OverflowError);
    p.clock.SetLocalTime({0, 0, 0});
    EXPECT_LT(TimeMixedRandom(g, 32767), 32767);
}

TEST(TimeMixedRandom, UniformNumbersStayInTheUnitInterval) {
    uint64_t state = 1;
    double lo = 1, hi = 0;
    for (int i = 0; i < 10000; ++i) {
        const double u = NextUniform(state);
        ASSERT_GE(u, 0.0);
        ASSERT_LT(u, 1.0);
        lo = std::min(lo, u);
        hi = std::max(hi, u);
    }
    EXPECT_LT(lo, 0.01);
    EXPECT_GT(hi, 0.99);
}

}  // namespace
}  // namespace zb
