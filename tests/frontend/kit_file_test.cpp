#include "frontend/kit_file.hpp"

#include <gtest/gtest.h>

namespace zb {
namespace {

// A line that is skipped changes nothing of its kit, not even the numbers before the one it could
// not read (found by tests/file_fuzz).
TEST(KitFile, ASkippedLineChangesNothing) {
    Settings s;
    std::string why;
    ASSERT_TRUE(DecodeKitBindings("zubakko-kits 1\nkit Pad\nshown 36 38 42 46\nshown 1 2 900 3\n"
                                  "shown 1 2 3 4 5\nbig 90\nbig 90 91\nnote 36 0\nnote 38 1 7\n",
                                  s, &why));
    EXPECT_EQ(why, "line 4 skipped; line 5 skipped; line 7 skipped; line 9 skipped");
    const KitBinding& b = s.KitBindings.at("Pad");
    EXPECT_EQ(b.shown, (std::array<int16_t, 4>{36, 38, 42, 46}));
    EXPECT_EQ(b.bigVelocity, 90);
    EXPECT_EQ(b.strikes[36], 0);
    EXPECT_EQ(b.strikes[38], -1);

    // What it read writes back and reads again the same.
    Settings again;
    std::string none;
    ASSERT_TRUE(DecodeKitBindings(EncodeKitBindings(s), again, &none));
    EXPECT_TRUE(none.empty());
    EXPECT_EQ(again.KitBindings, s.KitBindings);
}

}  // namespace
}  // namespace zb
