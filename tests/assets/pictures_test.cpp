// Every picture the game loads is present under assets/img with its size, sprites follow the
// mask convention, and pictures copied opaque onto others fit in without a visible box.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <map>
#include <string>
#include <vector>

#include "platform/form.hpp"

namespace zb {

namespace {
struct Expected {
    std::string name;
    int w, h;
};

std::vector<Expected> AllPictures() {
    std::vector<Expected> v;
    auto add = [&v](const std::string& n, int w, int h) { v.push_back({n, w, h}); };
    for (const char* n :
         {"don_s.bmp", "kan_s.bmp", "s_mask.bmp", "don_b.bmp", "kan_b.bmp", "b_mask.bmp"})
        add(std::string("note/") + n, 64, 64);
    for (const char* n : {"waku", "waku-1", "waku0", "waku1", "waku2", "waku3"}) {
        add(std::string("note/") + n + ".gif", 64, 64);
        add(std::string("note/") + n + "_mask.gif", 64, 64);
    }
    add("note/line.gif", 64, 91);
    add("note/line_mask.gif", 64, 91);
    for (const char* n : {"great", "good", "bad", "cool"}) {
        add(std::string("hantei/") + n + "_1.gif", 64, 64);
        add(std::string("hantei/") + n + "_mask.gif", 64, 64);
    }
    add("wan/inu.gif", 174, 174);
    for (const char* n : {"asi1", "asi2"}) {
        add(std::string("wan/") + n + ".gif", 75, 103);
        add(std::string("wan/") + n + "_mask.gif", 75, 103);
    }
    for (const char* n : {"te1", "te2"}) {
        add(std::string("wan/") + n + ".gif", 71, 86);
        add(std::string("wan/") + n + "_mask.gif", 71, 86);
    }
    add("haikei/hiru.gif", 650, 176);
    add("haikei/yoru.gif", 650, 176);
    for (int i = 0; i < 15; ++i)
        add("haikei/" + std::to_string(i) + ".gif", i < 5 ? 50 : 65, i < 5 ? 50 : 65);
    add("gage/gage2.gif", 384, 32);
    add("gage/gage1.gif", 8, 32);
    add("gage/gage3.gif", 8, 32);
    add("other/uchu.gif", 697, 499);
    add("other/gal.gif", 448, 311);
    add("other/gal_mask.gif", 448, 311);
    for (int i = 0; i < 10; ++i) add("other/song" + std::to_string(i) + ".gif", 394, 49);
    for (const char* n : {"kantan", "muzu", "wonder", "challenge"})
        add(std::string("other/") + n + ".bmp", 200, 35);
    for (const char* n : {"game", "origin", "cla", "heavy"})
        add(std::string("other/") + n + ".gif", 370, 32);
    for (const char* n : {"star1", "star2", "star3", "star_mask"})
        add(std::string("other/") + n + ".bmp", 38, 38);
    for (int i = 0; i < 10; ++i) {
        const std::string d = std::to_string(i);
        add("other/" + d + ".bmp", 45, 60);
        add("other/" + d + "_mask.bmp", 45, 60);
        add("other/" + d + "s.bmp", 18, 24);
        add("other/" + d + "s_mask.bmp", 18, 24);
    }
    add("other/slash.bmp", 18, 24);
    add("other/slash_mask.bmp", 18, 24);
    add("other/setumei.bmp", 603, 99);
    return v;
}

// Sprite and mask file names, as the game pairs them.
std::vector<std::pair<std::string, std::string>> SpritePairs() {
    std::vector<std::pair<std::string, std::string>> v = {
        {"note/don_s.bmp", "note/s_mask.bmp"},      {"note/kan_s.bmp", "note/s_mask.bmp"},
        {"note/don_b.bmp", "note/b_mask.bmp"},      {"note/kan_b.bmp", "note/b_mask.bmp"},
        {"note/line.gif", "note/line_mask.gif"},    {"other/gal.gif", "other/gal_mask.gif"},
        {"other/slash.bmp", "other/slash_mask.bmp"}};
    for (const char* n : {"waku", "waku-1", "waku0", "waku1", "waku2", "waku3"})
        v.push_back({std::string("note/") + n + ".gif", std::string("note/") + n + "_mask.gif"});
    for (const char* n : {"great", "good", "bad", "cool"})
        v.push_back(
            {std::string("hantei/") + n + "_1.gif", std::string("hantei/") + n + "_mask.gif"});
    for (const char* n : {"asi1", "asi2", "te1", "te2"})
        v.push_back({std::string("wan/") + n + ".gif", std::string("wan/") + n + "_mask.gif"});
    for (const char* n : {"star1", "star2", "star3"})
        v.push_back({std::string("other/") + n + ".bmp", "other/star_mask.bmp"});
    for (int i = 0; i < 10; ++i) {
        const std::string d = std::to_string(i);
        v.push_back({"other/" + d + ".bmp", "other/" + d + "_mask.bmp"});
        v.push_back({"other/" + d + "s.bmp", "other/" + d + "s_mask.bmp"});
    }
    return v;
}

const std::string kImg = std::string(ZB_SOURCE_DIR) + "/assets/img/";

// Loads each file once for the whole test program.
const Surface& Picture(const std::string& name) {
    static std::map<std::string, Surface> cache;
    auto it = cache.find(name);
    if (it == cache.end()) it = cache.emplace(name, LoadPictureFile(kImg + name)).first;
    return it->second;
}
}  // namespace

TEST(Pictures, EveryPictureTheGameLoadsIsThereWithItsSize) {
    for (const Expected& e : AllPictures()) {
        SCOPED_TRACE(e.name);
        Surface s;
        ASSERT_NO_THROW(s = LoadPictureFile(kImg + e.name));
        EXPECT_EQ(s.Width(), e.w);
        EXPECT_EQ(s.Height(), e.h);
    }
    // The logo stands at the title's top left and must stay clear of the menu (x from 367).
    Surface logo;
    ASSERT_NO_THROW(logo = LoadPictureFile(kImg + "logo.gif"));
    EXPECT_LE(logo.Width(), 366);
    EXPECT_GT(logo.Width(), 100);
    EXPECT_GT(logo.Height(), 100);
}

TEST(Pictures, SpritesAreWhiteWhereTheirMasksAreBlackAndMasksAreTwoColoured) {
    for (const auto& [spriteName, maskName] : SpritePairs()) {
        SCOPED_TRACE(spriteName + " / " + maskName);
        const Surface& sprite = Picture(spriteName);
        const Surface& mask = Picture(maskName);
        ASSERT_EQ(sprite.Width(), mask.Width());
        ASSERT_EQ(sprite.Height(), mask.Height());
        int opaque = 0;
        for (int y = 0; y < mask.Height(); ++y)
            for (int x = 0; x < mask.Width(); ++x) {
                const uint32_t m = mask.Pixel(x, y);
                ASSERT_TRUE(m == 0 || m == 0xFFFFFF) << "mask pixel " << x << "," << y;
                if (m == 0)
                    ASSERT_EQ(sprite.Pixel(x, y), 0xFFFFFFu) << "sprite pixel " << x << "," << y;
                else
                    ++opaque;
            }
        // A sprite that shows nothing would be a broken picture.
        EXPECT_GT(opaque, 0);
    }
}

TEST(Pictures, SpritesHaveADarkOutlineSoTheyReadOnLightAndDarkGround) {
    // Every opaque pixel on a sprite's edge is dark ink, so no light fringe shows over the dark
    // song select background and the sprite stands out on the white lane. The drummer's
    // strikes (cut from the drummer's own picture) and the empty star slot (on white only) are
    // the exceptions.
    for (const auto& [spriteName, maskName] : SpritePairs()) {
        if (spriteName.rfind("wan/", 0) == 0 || spriteName == "other/star2.bmp") continue;
        SCOPED_TRACE(spriteName);
        const Surface& sprite = Picture(spriteName);
        const Surface& mask = Picture(maskName);
        auto opaque = [&mask](int x, int y) {
            return x >= 0 && y >= 0 && x < mask.Width() && y < mask.Height() &&
                   mask.Pixel(x, y) != 0;
        };
        int edge = 0, dark = 0;
        for (int y = 0; y < mask.Height(); ++y)
            for (int x = 0; x < mask.Width(); ++x) {
                if (!opaque(x, y)) continue;
                if (opaque(x - 1, y) && opaque(x + 1, y) && opaque(x, y - 1) && opaque(x, y + 1))
                    continue;
                const uint32_t c = sprite.Pixel(x, y);
                const int luma =
                    (299 * int((c >> 16) & 255) + 587 * int((c >> 8) & 255) + 114 * int(c & 255)) /
                    1000;
                ++edge;
                dark += luma < 110;
            }
        ASSERT_GT(edge, 0);
        EXPECT_GE(dark * 100, edge * 95) << dark << " of " << edge << " edge pixels are dark";
    }
}

TEST(Pictures, SmallNotesFillAboutTwoThirdsAndBigNotesAllOfTheSquare) {
    auto span = [](const Surface& m) {
        int lo = m.Width(), hi = -1;
        for (int y = 0; y < m.Height(); ++y)
            for (int x = 0; x < m.Width(); ++x)
                if (m.Pixel(x, y) == 0xFFFFFF) lo = std::min(lo, x), hi = std::max(hi, x);
        return hi - lo + 1;
    };
    EXPECT_GE(span(Picture("note/s_mask.bmp")), 38);
    EXPECT_LE(span(Picture("note/s_mask.bmp")), 48);
    EXPECT_GE(span(Picture("note/b_mask.bmp")), 60);
    // The judgement frame is a ring: the notes passing through it stay visible.
    EXPECT_EQ(Picture("note/waku_mask.gif").Pixel(32, 32), 0u);
}

TEST(Pictures, RunningFriendsMatchBothScenesAtTheirEdges) {
    // The friends are copied opaque onto either scene, so the border of every frame must be the
    // scene itself at that place, by day and by night.
    struct Place {
        int first, x, y, size;
    };
    for (const Place& p : {Place{0, 280, 90, 50}, Place{5, 100, 80, 65}, Place{10, 460, 80, 65}}) {
        for (int f = 0; f < 5; ++f) {
            const std::string name = "haikei/" + std::to_string(p.first + f) + ".gif";
            SCOPED_TRACE(name);
            const Surface& tile = Picture(name);
            for (const char* scene : {"haikei/hiru.gif", "haikei/yoru.gif"}) {
                const Surface& bg = Picture(scene);
                int differ = 0;
                for (int i = 0; i < p.size; ++i)
                    for (auto [x, y] : {std::pair{i, 0}, {i, p.size - 1}, {0, i}, {p.size - 1, i}})
                        differ += tile.Pixel(x, y) != bg.Pixel(p.x + x, p.y + y);
                EXPECT_LE(differ, p.size / 4) << scene;
            }
        }
    }
}

TEST(Pictures, SongSelectPlatesSitOnThePanelWithoutABox) {
    // The screen copies the plates opaque over the background and the masked panel; their
    // corners must be what lies beneath them.
    Surface screen(667, 500, colors::Black);
    const int X0 = -15, Y0 = 0;
    BlitCopy(Picture("other/uchu.gif"), 0, 0, 697, 499, screen, X0, Y0);
    BlitMasked(Picture("other/gal.gif"), Picture("other/gal_mask.gif"), 0, 0, 448, 311, screen,
               X0 + 120, Y0 + 20);
    struct Plate {
        std::string name;
        int x, y;
    };
    std::vector<Plate> plates = {{"other/setumei.bmp", X0 + 30, Y0 + 350}};
    for (const char* n : {"kantan", "muzu", "wonder", "challenge"})
        plates.push_back({std::string("other/") + n + ".bmp", X0 + 243, Y0 + 21});
    for (int i = 0; i < 10; ++i)
        plates.push_back({"other/song" + std::to_string(i) + ".gif", X0 + 146, Y0 + 65});
    for (const char* n : {"game", "origin", "cla", "heavy"})
        plates.push_back({std::string("other/") + n + ".gif", X0 + 158, Y0 + 114});
    for (int i = 0; i < 11; ++i)
        for (const char* n : {"star1", "star2", "star3"})
            plates.push_back({std::string("other/") + n + ".bmp", X0 + 148 + 35 * i, Y0 + 155});
    for (const Plate& p : plates) {
        SCOPED_TRACE(p.name + " at " + std::to_string(p.x) + "," + std::to_string(p.y));
        const Surface& s = Picture(p.name);
        for (auto [cx, cy] : {std::pair{0, 0},
                              {s.Width() - 1, 0},
                              {0, s.Height() - 1},
                              {s.Width() - 1, s.Height() - 1}})
            EXPECT_EQ(s.Pixel(cx, cy), screen.Pixel(p.x + cx, p.y + cy))
                << "corner " << cx << "," << cy;
    }
}

TEST(Pictures, GaugeSegmentsFitTheEmptyGauge) {
    // A filled slot keeps the gauge's frame rows, so the bar reads as one piece.
    const Surface& empty = Picture("gage/gage2.gif");
    for (const char* seg : {"gage/gage1.gif", "gage/gage3.gif"}) {
        SCOPED_TRACE(seg);
        const Surface& s = Picture(seg);
        for (int k : {1, 20, 40})
            for (int x = 0; x < 8; ++x) {
                EXPECT_EQ(s.Pixel(x, 0), empty.Pixel(8 * k + 24 + x, 0));
                EXPECT_EQ(s.Pixel(x, 31), empty.Pixel(8 * k + 24 + x, 31));
            }
    }
    // The two zones look different when filled.
    EXPECT_NE(Picture("gage/gage1.gif").Pixel(3, 16), Picture("gage/gage3.gif").Pixel(3, 16));
}

TEST(Pictures, DrummerStrikesComposeWithEachOther) {
    // A hand and a foot on the same side overlap in rows 60 to 85 of the drummer; the foot
    // strikes leave those rows alone so both show whole.
    for (const char* foot : {"wan/asi1_mask.gif", "wan/asi2_mask.gif"}) {
        SCOPED_TRACE(foot);
        const Surface& m = Picture(foot);
        for (int y = 0; y < 86 - 60; ++y)
            for (int x = 0; x < m.Width(); ++x) ASSERT_EQ(m.Pixel(x, y), 0u) << x << "," << y;
    }
    // Each strike changes its own side: most of the left strikes' pixels lie left of the middle.
    for (const char* name : {"wan/te1_mask.gif", "wan/asi1_mask.gif"}) {
        const Surface& m = Picture(name);
        int left = 0, all = 0;
        for (int y = 0; y < m.Height(); ++y)
            for (int x = 0; x < m.Width(); ++x)
                if (m.Pixel(x, y)) ++all, left += x < m.Width() / 2;
        EXPECT_GT(all, 200) << name;
        EXPECT_GT(left * 2, all) << name;
    }
}

TEST(Pictures, ThePulseGrowsFromTheFirstToTheLastFrame) {
    // The pulse is where each frame's picture differs from the plain frame; its mean distance
    // from the centre grows from waku-1 to waku3.
    const Surface& plain = Picture("note/waku.gif");
    double last = 0;
    for (const char* name : {"note/waku-1.gif", "note/waku0.gif", "note/waku1.gif",
                             "note/waku2.gif", "note/waku3.gif"}) {
        SCOPED_TRACE(name);
        const Surface& p = Picture(name);
        double sum = 0;
        int n = 0;
        for (int y = 0; y < 64; ++y)
            for (int x = 0; x < 64; ++x)
                if (p.Pixel(x, y) != plain.Pixel(x, y)) sum += std::hypot(x - 31.5, y - 31.5), ++n;
        ASSERT_GT(n, 20);
        EXPECT_GT(sum / n, last + 1);
        last = sum / n;
    }
}

TEST(Pictures, EachSongTitleAndEachRunFrameIsItsOwnPicture) {
    for (int a = 0; a < 10; ++a)
        for (int b = a + 1; b < 10; ++b)
            EXPECT_NE(Picture("other/song" + std::to_string(a) + ".gif").Pixels(),
                      Picture("other/song" + std::to_string(b) + ".gif").Pixels())
                << a << " and " << b;
    for (int first : {0, 5, 10})
        for (int f = 0; f < 4; ++f)
            EXPECT_NE(Picture("haikei/" + std::to_string(first + f) + ".gif").Pixels(),
                      Picture("haikei/" + std::to_string(first + f + 1) + ".gif").Pixels())
                << first + f;
}

TEST(Pictures, TheLogoSitsOnTheTitleScreensYellow) {
    const Surface& logo = Picture("logo.gif");
    const uint32_t yellow = colors::Yellow.rgb;
    for (auto [x, y] : {std::pair{0, 0},
                        {logo.Width() - 1, 0},
                        {0, logo.Height() - 1},
                        {logo.Width() - 1, logo.Height() - 1},
                        {logo.Width() - 1, logo.Height() / 2}})
        EXPECT_EQ(logo.Pixel(x, y), yellow) << x << "," << y;
}

}  // namespace zb
