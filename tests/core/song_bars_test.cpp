#include "core/song_bars.hpp"

#include <gtest/gtest.h>

#include "core/songs.hpp"
#include "tests/common/midi_writer.hpp"

namespace zb {
namespace {

using testing::MidiFileBytes;
using testing::MidiTrack;

TEST(SongBars, CountFromTheMetreAndTempoChangesAndSectionsKeepWithinTheSong) {
    // Two bars of 4/4 at 120 bpm, then 3/4 at 60 bpm from beat 8 (a conductor track and a
    // drum track, as a sequencer writes them); the last note ends at beat 14.
    MidiTrack conductor, drums;
    conductor.Meter(0, 4, 2).Tempo(0, 500000).Meter(8 * 480, 3, 2).Tempo(8 * 480, 1000000);
    drums.Note(0, 9, 36).Note(13 * 480, 9, 36).Event(14 * 480, {0x89, 36, 0});
    MidiSong song;
    std::string why;
    ASSERT_TRUE(ReadMidi(MidiFileBytes(1, 480, {conductor.Chunk(8 * 480), drums.Chunk(14 * 480)}),
                         song, why))
        << why;
    const SongBars bars = BarsOf(song);
    EXPECT_EQ(bars.starts, (std::vector<double>{0, 2, 4, 7}));
    EXPECT_DOUBLE_EQ(bars.end, 10);

    const Section s = SectionOf(bars, 3, 4);
    EXPECT_EQ(s.leadIn, 2);  // bar 2 leads in
    EXPECT_EQ(s.start, 4);
    EXPECT_EQ(s.end, 10);
    const Section first = SectionOf(bars, 0, 1);  // bar 1 has no bar before it
    EXPECT_EQ(first.fromBar, 1);
    EXPECT_EQ(first.leadIn, 0);
    EXPECT_EQ(first.end, 2);
    const Section reversed = SectionOf(bars, 9, 2);
    EXPECT_EQ(reversed.fromBar, 4);
    EXPECT_EQ(reversed.toBar, 4);
    EXPECT_EQ(WholeSong(bars).end, 10);
}

TEST(SongBars, BuiltInSongsCountTheirBarsOverTheWholeMusic) {
    // The three-part songs are one file: their bars run on across the parts.
    for (int song = 0; song < kSongCount; ++song) {
        SongBars bars;
        std::string why;
        ASSERT_TRUE(ReadSongBars(ZB_SOURCE_DIR "/assets/" + SongMusicFile(song), bars, why)) << why;
        ASSERT_GT(bars.Count(), 20) << "song " << song;
        for (int b = 1; b < bars.Count(); ++b) ASSERT_LT(bars.Start(b), bars.Start(b + 1));
        EXPECT_GE(bars.end * 100, PartStartTime(song, PartCount(song) - 1)) << "song " << song;
    }
}

}  // namespace
}  // namespace zb
