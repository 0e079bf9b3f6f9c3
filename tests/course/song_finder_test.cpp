// Finding a song among thousands: the sorts, paging and ends, and the search over the own songs'
// titles and paths, none of which renumbers a song; and 30,000 songs in every course.
#include "course/song_finder.hpp"

#include <gtest/gtest.h>

#include "course/song_list.hpp"

namespace zb {
namespace {

OwnSong Own(const std::string& path, const std::string& title, int16_t level, int64_t played,
            bool playable = true) {
    OwnSong s;
    s.path = "/g/songs/" + path;
    s.title = title;
    s.playable = playable;
    s.levels = {level, level, level};
    s.lastPlayed = played;
    return s;
}

std::vector<std::string> OwnTitles(const SongFinder& f, const SongList& list,
                                   const std::vector<OwnSong>& songs) {
    std::vector<std::string> out;
    for (int p = list.BuiltInLength(); p < f.Size(); ++p)
        out.push_back(songs[size_t(list.ChartAt(f.IndexAt(p)).song - kOwnSongBase)].title);
    return out;
}

TEST(SongFinder, SortsPagesAndSearchesWithoutRenumbering) {
    const std::vector<OwnSong> songs{
        Own("b/ドラム.mid", "ドラムの歌", 3, 0),
        Own("a/zeta.mid", "Zeta", 2, 1700000300),
        Own("c/broken.mid", "broken", 0, 0, false),
        Own("a/alpha.mid", "alpha ＲＯＣＫ", 4, 1700000100),
    };
    const SongList list = BuildSongList(1, false, songs);
    SongFinder f;
    f.Build(list, songs, "/g/songs/");
    ASSERT_EQ(f.Size(), 10 + 4);
    using V = std::vector<std::string>;
    EXPECT_EQ(OwnTitles(f, list, songs), (V{"alpha ＲＯＣＫ", "Zeta", "ドラムの歌", "broken"}));
    f.SetSort(SongSort::Title);
    EXPECT_EQ(OwnTitles(f, list, songs), (V{"alpha ＲＯＣＫ", "broken", "Zeta", "ドラムの歌"}));
    f.SetSort(SongSort::Stars);
    EXPECT_EQ(OwnTitles(f, list, songs), (V{"Zeta", "ドラムの歌", "alpha ＲＯＣＫ", "broken"}));
    f.SetSort(SongSort::LastPlayed);
    EXPECT_EQ(OwnTitles(f, list, songs), (V{"Zeta", "alpha ＲＯＣＫ", "ドラムの歌", "broken"}));
    // The built-in songs stay first in the course's order; each entry keeps its song number.
    for (int p = 0; p < 10; ++p) EXPECT_EQ(f.IndexAt(p), p);
    const int zeta = f.IndexAt(10);
    EXPECT_EQ(list.ChartAt(zeta).song, kOwnSongBase + 1);

    // Arrows wrap one by one; pages of ten stop at the ends; Home and End.
    EXPECT_EQ(f.Move(f.Last(), +1), 0);
    EXPECT_EQ(f.Move(0, -1), f.Last());
    EXPECT_EQ(f.Move(0, +10), zeta);
    EXPECT_EQ(f.Move(zeta, +10), f.Last());
    EXPECT_EQ(f.Move(f.Last(), -10), f.IndexAt(3));
    EXPECT_EQ(f.Move(f.IndexAt(3), -10), 0);
    EXPECT_EQ(f.First(), 0);
    EXPECT_EQ(list.ChartAt(f.Last()).song, kOwnSongBase + 2);  // broken: listed, not playable

    // Any case, full-width or half-width, katakana or hiragana; titles, file names and folders.
    auto found = [&](const std::string& q) {
        std::vector<int16_t> out;
        for (int i : f.Find(q)) out.push_back(list.ChartAt(i).song - kOwnSongBase);
        return out;
    };
    using N = std::vector<int16_t>;
    EXPECT_EQ(found("rock"), (N{3}));
    EXPECT_EQ(found("どらむ"), (N{0}));
    EXPECT_EQ(found("ZETA"), (N{1}));
    EXPECT_EQ(found("a/"), (N{1, 3}));  // the folder, in the view's order (last played)
    EXPECT_EQ(found("nothing"), N{});
    EXPECT_EQ(found(""), N{});
    EXPECT_EQ(f.IndexOf(list.ChartAt(zeta)), zeta);
}

TEST(SongFinder, ThirtyThousandSongsInTheChallengeCourse) {
    std::vector<OwnSong> songs;
    for (int i = 0; i < int(kOwnSongMax); ++i)
        songs.push_back(Own("s" + std::to_string(100000 + i) + ".mid", "Song " + std::to_string(i),
                            int16_t(1 + i % 10), i));
    const SongList list = BuildSongList(0, true, songs);
    EXPECT_EQ(list.Count(), 31 + 3 * 30000);
    EXPECT_EQ(list.Position(list.Length() - 1), 31 + 3 * 30000);
    EXPECT_EQ(list.ChartAt(list.Length() - 1).song, kOwnSongBase + 29999);
    SongFinder f;
    f.Build(list, songs, "/g/songs/");
    f.SetSort(SongSort::LastPlayed);
    EXPECT_EQ(list.ChartAt(f.IndexAt(31)).song, kOwnSongBase + 29999);
    EXPECT_EQ(f.Find("song 29999").size(), 3u);
}

}  // namespace
}  // namespace zb
