#include "platform/surface.hpp"

#include <gtest/gtest.h>

namespace zb {

namespace {
Surface Pattern(int w, int h) {
    Surface s(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) s.SetPixel(x, y, uint32_t(x * 1000 + y * 7 + 0x101010));
    return s;
}
}  // namespace

TEST(Blit, MaskedWithBlackMaskLeavesDestinationUnchanged) {
    // By the sprite convention a sprite is white wherever its mask is black.
    Surface sprite(64, 64, colors::White), mask(64, 64, colors::Black);
    Surface dst = Pattern(100, 80), before = dst;
    BlitMasked(sprite, mask, 0, 0, 64, 64, dst, 10, 5);
    EXPECT_EQ(dst.Pixels(), before.Pixels());
}

TEST(Blit, MaskedWithWhiteMaskShowsTheSpriteExactly) {
    Surface sprite = Pattern(64, 64), mask(64, 64, colors::White);
    Surface dst(100, 80, Color::Rgb(12, 200, 7));
    BlitMasked(sprite, mask, 0, 0, 64, 64, dst, 10, 5);
    for (int y = 0; y < 64; ++y)
        for (int x = 0; x < 64; ++x) ASSERT_EQ(dst.Pixel(x + 10, y + 5), sprite.Pixel(x, y));
    EXPECT_EQ(dst.At(9, 5), Color::Rgb(12, 200, 7));
    EXPECT_EQ(dst.At(74, 68), Color::Rgb(12, 200, 7));
}

TEST(Blit, MaskedKeepsTheBackgroundWhereTheSpriteIsTransparent) {
    // Left half opaque red, right half transparent (sprite white, mask black).
    Surface sprite(4, 1, colors::White), mask(4, 1, colors::Black);
    for (int x = 0; x < 2; ++x)
        sprite.SetPixel(x, 0, colors::Red.rgb), mask.SetPixel(x, 0, colors::White.rgb);
    Surface dst(4, 1, colors::Blue);
    BlitMasked(sprite, mask, 0, 0, 4, 1, dst, 0, 0);
    EXPECT_EQ(dst.At(0, 0), colors::Red);
    EXPECT_EQ(dst.At(3, 0), colors::Blue);
}

TEST(Blit, RasterOpsActPerChannel) {
    Surface a(1, 1), d(1, 1);
    a.SetPixel(0, 0, 0x00F0F00F);
    d.SetPixel(0, 0, 0x000FF0F0);
    Blit(a, 0, 0, 1, 1, d, 0, 0, RasterOp::SrcPaint);
    EXPECT_EQ(d.Pixel(0, 0), 0x00FFF0FFu);
    Blit(a, 0, 0, 1, 1, d, 0, 0, RasterOp::SrcAnd);
    EXPECT_EQ(d.Pixel(0, 0), 0x00F0F00Fu);
}

TEST(Blit, CopiesAreClippedAtEveryEdge) {
    const Surface src = Pattern(20, 20);
    for (int dx : {-30, -19, -5, 0, 7, 15, 19, 20, 45})
        for (int dy : {-30, -19, -5, 0, 7, 15, 19, 20, 45})
            for (int sx : {-25, -3, 0, 5, 19, 20})
                for (int sy : {-25, -3, 0, 5, 19, 20}) {
                    Surface dst(20, 20, colors::Black);
                    BlitCopy(src, sx, sy, 20, 20, dst, dx, dy);
                    for (int y = 0; y < 20; ++y)
                        for (int x = 0; x < 20; ++x) {
                            const int ox = x - dx + sx, oy = y - dy + sy;
                            const bool covered = x >= dx && y >= dy && x < dx + 20 && y < dy + 20 &&
                                                 ox >= 0 && oy >= 0 && ox < 20 && oy < 20;
                            ASSERT_EQ(dst.Pixel(x, y), covered ? src.Pixel(ox, oy) : 0u)
                                << dx << "," << dy << " from " << sx << "," << sy;
                        }
                }
    Surface dst(5, 5);
    EXPECT_TRUE(BlitCopy(src, 0, 0, 1000, 1500, dst, 0, 0));  // larger than both: clipped
    EXPECT_TRUE(BlitCopy(src, 0, 0, -4, 10, dst, 0, 0));      // empty rectangle
    Surface empty;
    EXPECT_TRUE(BlitCopy(empty, 0, 0, 64, 64, dst, 0, 0));
}

TEST(Blit, CopyWithinOneSurfaceHandlesOverlap) {
    Surface s = Pattern(10, 10), ref = s;
    BlitCopy(s, 0, 0, 8, 8, s, 2, 2);
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x) ASSERT_EQ(s.Pixel(x + 2, y + 2), ref.Pixel(x, y));
    s = ref;
    BlitCopy(s, 2, 2, 8, 8, s, 0, 0);
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x) ASSERT_EQ(s.Pixel(x, y), ref.Pixel(x + 2, y + 2));
}

TEST(Blit, OrAndAndWithinOneSurfaceReadTheOriginalPixels) {
    Surface s(4, 1);
    s.SetPixel(0, 0, 0x000001);
    // Shifting right by one: each pixel ORs its left neighbour as it was, not as it became.
    Blit(s, 0, 0, 3, 1, s, 1, 0, RasterOp::SrcPaint);
    EXPECT_EQ(s.Pixel(1, 0), 1u);
    EXPECT_EQ(s.Pixel(2, 0), 0u);
    EXPECT_EQ(s.Pixel(3, 0), 0u);
    Surface a(3, 1, colors::White);
    a.SetPixel(0, 0, 0);
    Blit(a, 0, 0, 2, 1, a, 1, 0, RasterOp::SrcAnd);
    EXPECT_EQ(a.Pixel(1, 0), 0u);
    EXPECT_EQ(a.Pixel(2, 0), 0xFFFFFFu);
}

}  // namespace zb
