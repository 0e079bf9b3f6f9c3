#include "core/checked.hpp"

#include <gtest/gtest.h>

#include "core/helpers.hpp"

namespace zb {

TEST(Checked, RoundsHalvesToEvenAndChecksRange) {
    EXPECT_EQ(Round16(2.5), 2);
    EXPECT_EQ(Round16(3.5), 4);
    EXPECT_EQ(Round16(-2.5), -2);
    EXPECT_EQ(Round16(-3.5), -4);
    EXPECT_EQ(Round16(0.5), 0);
    EXPECT_EQ(Round16(1.5000001), 2);
    EXPECT_EQ(Round16(32767.4), 32767);
    EXPECT_THROW(Round16(32767.5), OverflowError);
    EXPECT_EQ(Round16(-32768.5), -32768);
    EXPECT_THROW(Round16(-32768.6), OverflowError);
    EXPECT_EQ(Round32(2147483647.0), 2147483647);
    EXPECT_THROW(Round32(2147483647.5), OverflowError);
    EXPECT_THROW(Round32(std::nan("")), OverflowError);
}

TEST(Checked, SixteenAndThirtyTwoBitArithmeticRaisesInsteadOfWrapping) {
    EXPECT_EQ(Add<int16_t>(32766, 1), 32767);
    EXPECT_THROW(Add<int16_t>(32767, 1), OverflowError);
    EXPECT_THROW(Sub<int16_t>(-32768, 1), OverflowError);
    EXPECT_THROW(Mul<int16_t>(256, 128), OverflowError);
    EXPECT_EQ(Mul<int16_t>(-256, 128), -32768);
    EXPECT_THROW(Neg<int16_t>(-32768), OverflowError);
    EXPECT_THROW(Add<int32_t>(2147483647, 1), OverflowError);
    EXPECT_THROW(Mul<int32_t>(65536, 32768), OverflowError);
    EXPECT_EQ(Narrow<int16_t>(int64_t{-32768}), -32768);
    EXPECT_THROW(Narrow<int16_t>(40000), OverflowError);
    EXPECT_THROW(Narrow<int32_t>(uint32_t{0x80000000u}), OverflowError);
}

TEST(Checked, DivisionTruncatesAndModKeepsTheDividendsSign) {
    EXPECT_EQ(IntDiv<int16_t>(7, 2), 3);
    EXPECT_EQ(IntDiv<int16_t>(-7, 2), -3);
    EXPECT_EQ(Mod<int16_t>(-7, 2), -1);
    EXPECT_EQ(Mod<int16_t>(7, -2), 1);
    EXPECT_EQ(Mod<int16_t>(-5 + 640, 641), 635);
    EXPECT_THROW(IntDiv<int16_t>(-32768, -1), OverflowError);
    EXPECT_THROW(IntDiv<int32_t>(1, 0), OverflowError);
    EXPECT_THROW(Mod<int16_t>(1, 0), OverflowError);
}

TEST(Checked, TwipConversionsRoundLikeTheGame) {
    EXPECT_EQ(TwipsToPixelsY(7500), 500);
    EXPECT_EQ(TwipsToPixelsY(22.5), 2);  // 1.5 -> 2
    EXPECT_EQ(TwipsToPixelsY(37.5), 2);  // 2.5 -> 2
    EXPECT_EQ(PixelsToTwipsX(190), 2850);
    EXPECT_THROW(PixelsToTwipsX(3000), OverflowError);
}

}  // namespace zb
