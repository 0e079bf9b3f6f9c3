// The form in windows of any size: as large as fits, centred, clicks mapped back to the pixel
// under them (in full screens too), and the whole factor for sharp scaling.
#include "platform/sdl/letterbox.hpp"

#include <gtest/gtest.h>

#include "platform/form.hpp"
#include "platform/sdl/sharp_scale.hpp"

namespace zb::sdl {

TEST(Letterbox, KeepsTheAspectRatioAndCentres) {
    EXPECT_EQ(Letterbox(667, 500).x, 0);
    EXPECT_EQ(Letterbox(667, 500).w, 667);
    const Rect wide = Letterbox(1000, 600);  // bars left and right
    EXPECT_EQ(wide.h, 600);
    EXPECT_EQ(wide.w, 800);
    EXPECT_EQ(wide.x, 100);
    EXPECT_EQ(wide.y, 0);
    const Rect tall = Letterbox(667, 900);  // bars above and below
    EXPECT_EQ(tall.w, 667);
    EXPECT_EQ(tall.h, 500);
    EXPECT_EQ(tall.y, 200);
    EXPECT_EQ(Letterbox(0, 0).w, 0);
}

TEST(Letterbox, WindowPointsMapBackToFormPixels) {
    // At least one window pixel per form pixel; a smaller window merges form pixels.
    for (auto [w, h] :
         {std::pair{667, 500}, {1334, 1000}, {1000, 600}, {800, 1000}, {2001, 1500}}) {
        const Rect b = Letterbox(w, h);
        // Every form pixel's own window rectangle maps back to it.
        for (int fx : {0, 1, 200, 333, 665, 666})
            for (int fy : {0, 1, 180, 250, 498, 499}) {
                const Rect r = FormToWindow(w, h, {fx, fy, 1, 1});
                const auto p = WindowToForm(w, h, r.x + r.w / 2, r.y + r.h / 2);
                ASSERT_TRUE(p) << w << "x" << h;
                EXPECT_EQ(p->first, fx) << w << "x" << h;
                EXPECT_EQ(p->second, fy) << w << "x" << h;
            }
        EXPECT_FALSE(WindowToForm(w, h, b.x - 1, b.y)) << "on the bar";
        EXPECT_FALSE(WindowToForm(w, h, b.x + b.w, b.y + b.h - 1));
        EXPECT_TRUE(WindowToForm(w, h, b.x + b.w - 1, b.y + b.h - 1));
    }
    const auto corner = WindowToForm(400, 300, 399, 299);
    ASSERT_TRUE(corner);
    EXPECT_EQ(*corner, std::make_pair(666, 499));
}

TEST(Letterbox, ClicksInAFullScreenLandOnTheSameControls) {
    // The title's かんたん item and the form around it, in the full screens of three displays.
    MainForm form;
    LabelControl& item = form.Label[0];
    item.Left = 5500, item.Top = 2500, item.Width = 3500, item.Height = 550;
    item.Visible = true;
    const Rect px{TwipsToPx(5500), TwipsToPx(2500), TwipsToPx(3500), TwipsToPx(550)};
    for (auto [w, h] : {std::pair{1920, 1080}, {3840, 2160}, {1280, 1024}}) {
        const auto click = [&](int x, int y) -> std::optional<ClickTarget> {
            const auto p = WindowToForm(w, h, x, y);
            return p ? HitTest(form, p->first, p->second) : std::nullopt;
        };
        const Rect r = FormToWindow(w, h, px);
        for (auto [x, y] : {std::pair{r.x, r.y},
                            {r.x + r.w / 2, r.y + r.h / 2},
                            {r.x + r.w - 1, r.y + r.h - 1}}) {
            const auto t = click(x, y);
            ASSERT_TRUE(t) << w << "x" << h;
            EXPECT_EQ(t->source, ClickSource::Label) << w << "x" << h;
            EXPECT_EQ(t->index, 0);
        }
        EXPECT_EQ(click(r.x - 1, r.y)->source, ClickSource::Form) << "beside the item";
        const Rect b = Letterbox(w, h);
        EXPECT_FALSE(click(b.x > 0 ? b.x - 1 : b.x, b.y > 0 ? b.y - 1 : b.y)) << "on a bar";
    }
}

TEST(Letterbox, PrescaleIsTheSmallestWholeFactorAtLeastTheScale) {
    EXPECT_EQ(PrescaleFactor(667, 500), 1);
    EXPECT_EQ(PrescaleFactor(500, 300), 1);  // smaller than the form
    EXPECT_EQ(PrescaleFactor(1000, 600), 2);
    EXPECT_EQ(PrescaleFactor(1334, 1000), 2);
    EXPECT_EQ(PrescaleFactor(1920, 1080), 3);
    EXPECT_EQ(PrescaleFactor(100000, 100000), 8);
}

// The CPU path's scaling: whole blocks at an exact factor; at 2.16 (a 1920 x 1080 full screen)
// every pixel is one source pixel whole except where it straddles two blocks; a change redraws
// only the window pixels it reaches.
TEST(SharpScale, WholeBlocksAndMixedEdgesOnlyWhereAChangeReaches) {
    const uint32_t src[2][3] = {{0x000000, 0xFFFFFF, 0x0000FF}, {0xFF0000, 0x00FF00, 0x123456}};
    SharpScaler exact;
    exact.Prepare(3, 2, 6, 4, 2);
    uint32_t big[4][6] = {};
    exact.Draw(&src[0][0], 3, {0, 0, 3, 2}, &big[0][0], 6);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 6; ++x) EXPECT_EQ(big[y][x], src[y / 2][x / 2]) << x << "," << y;

    constexpr int kW = 13;  // 6 source columns at 2.16, blocks of 3 shrunk
    const uint32_t row[6] = {0x000000, 0xFFFFFF, 0x000000, 0xFFFFFF, 0x000000, 0xFFFFFF};
    SharpScaler s;
    s.Prepare(6, 1, kW, 2, 3);
    uint32_t out[2][kW] = {};
    s.Draw(row, 6, {0, 0, 6, 1}, &out[0][0], kW);
    int whole = 0;
    for (int x = 0; x < kW; ++x) {
        const uint32_t p = out[0][x];
        EXPECT_EQ(p, out[1][x]);
        EXPECT_EQ(p & 0xFF, (p >> 8) & 0xFF) << "grey stays grey";
        whole += p == 0 || p == 0xFFFFFF;
    }
    EXPECT_EQ(out[0][0], 0u);
    EXPECT_EQ(out[0][kW - 1], 0xFFFFFFu);
    EXPECT_GE(whole, kW - 5) << "at most one mixed pixel per block edge";

    uint32_t again[2][kW] = {};
    const Rect drawn = s.Draw(row, 6, {5, 0, 1, 1}, &again[0][0], kW);
    EXPECT_GE(drawn.x, kW - 3);
    EXPECT_EQ(drawn.x + drawn.w, kW);
    for (int x = 0; x < drawn.x; ++x) EXPECT_EQ(again[0][x], 0u) << "left alone";
    EXPECT_EQ(again[0][kW - 1], 0xFFFFFFu);
}

}  // namespace zb::sdl
