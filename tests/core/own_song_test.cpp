// Own songs from MIDI files: the reader, the charts built from a file's rhythm, and the songs/
// folder with its chart files.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <map>

#include "core/chart_data.hpp"
#include "core/midi_file.hpp"
#include "core/own_song_library.hpp"
#include "core/songs.hpp"
#include "tests/common/midi_writer.hpp"
#include "tests/common/temp_dir.hpp"
#include "tests/common/typical_song.hpp"

namespace zb {
namespace {

using testing::MidiFileBytes;
using testing::MidiTrack;

MidiSong Read(const std::string& bytes) {
    MidiSong song;
    std::string why;
    EXPECT_TRUE(ReadMidi(bytes, song, why)) << why;
    return song;
}

TEST(MidiReader, FormatsZeroAndOneRunningStatusTempoAndMeterChanges) {
    // Two bars of 4/4 at 120 BPM, then 240 BPM and 3/4; a triplet of snares in the first beat.
    MidiTrack conductor;
    conductor.Name(0, "My Song")
        .Meter(0, 4, 2)
        .Tempo(0, 500000)
        .Tempo(3840, 250000)
        .Meter(3840, 3, 2);
    MidiTrack drums(true);
    drums.Note(0, 9, 36).Note(160, 9, 38).Note(320, 9, 38).Note(3840, 9, 36).Note(4320, 9, 38);
    const std::string one = MidiFileBytes(1, 480, {conductor.Chunk(4800), drums.Chunk(4800)});
    MidiTrack all(true);
    all.Name(0, "My Song").Meter(0, 4, 2).Tempo(0, 500000);
    all.Note(0, 9, 36).Note(160, 9, 38).Note(320, 9, 38).Tempo(3840, 250000).Meter(3840, 3, 2);
    all.Note(3840, 9, 36).Note(4320, 9, 38);
    const std::string zero = MidiFileBytes(0, 480, {all.Chunk(4800)});

    for (const std::string* bytes : {&one, &zero}) {
        const MidiSong s = Read(*bytes);
        EXPECT_EQ(s.name, "My Song");
        ASSERT_EQ(s.notes.size(), 5u);
        const double ms[] = {0, 500.0 / 3, 1000.0 / 3, 4000, 4250};
        for (size_t i = 0; i < 5; ++i) EXPECT_NEAR(s.notes[i].ms, ms[i], 1e-6) << i;
        EXPECT_NEAR(s.notes[4].beat, 9.0, 1e-9);
        ASSERT_EQ(s.meters.size(), 2u);
        EXPECT_EQ(s.meters[1].numerator, 3);
        EXPECT_DOUBLE_EQ(s.meters[1].beat, 8.0);
        EXPECT_NEAR(s.endMs, 4000 + 960 * 250.0 / 480, 1e-6);
        EXPECT_NEAR(MidiBeatToMs(s, 9.0), 4250, 1e-6);
    }

    // SMPTE time: 25 frames of 40 ticks, a millisecond a tick whatever the tempo says.
    MidiTrack smpte;
    smpte.Tempo(0, 250000).Note(1500, 9, 36);
    const MidiSong s =
        Read(MidiFileBytes(0, uint16_t((0x100 - 25) << 8 | 40), {smpte.Chunk(2000)}));
    ASSERT_EQ(s.notes.size(), 1u);
    EXPECT_NEAR(s.notes[0].ms, 1500, 1e-9);
    EXPECT_NEAR(s.notes[0].beat, 6, 1e-9);
}

TEST(MidiReader, BrokenAndHostileFilesAreRefusedWithAReason) {
    MidiTrack ok;
    ok.Note(0, 9, 36);
    const std::string good = MidiFileBytes(0, 480, {ok.Chunk(10)});
    const std::string body = good.substr(22);  // the events after the track header
    auto track = [](const std::string& events) {
        return "MTrk" + MidiTrack::Be32(uint32_t(events.size())) + events;
    };
    const std::string eot("\x00\xFF\x2F\x00", 4);
    const std::vector<std::pair<const char*, std::string>> cases = {
        {"empty", ""},
        {"not MIDI", "RIFF0000WAVEfmt "},
        {"header cut", good.substr(0, 12)},
        {"track cut", good.substr(0, good.size() - 3)},
        {"chunk longer than the file",
         testing::MidiHeader(0, 1, 480) + "MTrk" + MidiTrack::Be32(1000) + body},
        {"a declared track missing", testing::MidiHeader(1, 2, 480) + track(body)},
        {"running status with no status",
         testing::MidiHeader(0, 1, 480) + track(std::string("\x00\x24\x64", 3) + eot)},
        {"tempo 0", testing::MidiHeader(0, 1, 480) +
                        track(std::string("\x00\xFF\x51\x03\x00\x00\x00", 7) + eot)},
        {"a data byte with its top bit",
         testing::MidiHeader(0, 1, 480) + track(std::string("\x00\x99\xA4\x64", 4) + eot)},
        {"a delta of five bytes", testing::MidiHeader(0, 1, 480) +
                                      track(std::string("\x81\x81\x81\x81\x01\x99\x24\x64", 8))},
        {"a meta event longer than its track",
         testing::MidiHeader(0, 1, 480) + track(std::string("\x00\xFF\x01\x7F\x41", 5))},
        {"format 3", testing::MidiHeader(3, 1, 480) + track(body)},
        {"division 0", testing::MidiHeader(0, 1, 0) + track(body)},
        {"23 frames a second",
         testing::MidiHeader(0, 1, uint16_t((0x100 - 23) << 8 | 4)) + track(body)},
        {"9 MB", good + std::string(9u << 20, '\0')},
    };
    for (const auto& [what, bytes] : cases) {
        MidiSong song;
        song.name = "left over";
        std::string why;
        EXPECT_FALSE(ReadMidi(bytes, song, why)) << what;
        EXPECT_FALSE(why.empty()) << what;
        EXPECT_TRUE(song.notes.empty() && song.name.empty()) << what;
    }
}

// The MIDI events a chart's notes may come from: the drums' bass drums, snares, toms and
// cymbals.
std::vector<double> DrumEventMs(const MidiSong& s) {
    std::vector<double> ms;
    for (const MidiNote& n : s.notes)
        if (n.channel == 9) ms.push_back(n.ms);
    return ms;
}

double NearestDistance(const std::vector<double>& sorted, double t) {
    auto it = std::lower_bound(sorted.begin(), sorted.end(), t);
    double d = 1e18;
    if (it != sorted.end()) d = *it - t;
    if (it != sorted.begin()) d = std::min(d, t - *(it - 1));
    return d;
}

TEST(OwnSongChart, DrumsMakeThreeNestedChartsWithin5msOfTheirEvents) {
    testing::TypicalSong t;
    t.bars = 48;
    const MidiSong midi = Read(testing::TypicalSongBytes(t));
    const OwnSongCharts charts = BuildOwnCharts(midi);
    ASSERT_TRUE(charts.playable) << charts.reason;
    const std::vector<double> events = DrumEventMs(midi);
    std::vector<double> kicks;
    for (const MidiNote& n : midi.notes)
        if (n.channel == 9 && n.key == 36) kicks.push_back(n.ms);

    const int minGapMs[] = {190, 100, 80};
    const int lowest[] = {1, 3, 8}, highest[] = {4, 7, 10};
    std::vector<int32_t> harder;
    for (int d = 2; d >= 0; --d) {
        const OwnChart& c = charts.charts[size_t(d)];
        SCOPED_TRACE(d);
        EXPECT_EQ(c.text.size(), size_t(charts.partEndTime));
        EXPECT_LE(c.maxErrorMs, 5.0);
        ASSERT_EQ(c.due.size(), size_t(c.notes));
        ASSERT_GT(c.notes, 20);
        std::vector<int32_t> at;
        int bigs = 0;
        for (size_t i = 0; i < c.due.size(); ++i) {
            const DueNote& n = c.due[i];
            at.push_back(n.ms);
            EXPECT_LE(NearestDistance(events, n.ms), 5.0) << "note at " << n.ms;
            EXPECT_GE(n.ms, kOwnLeadInMs - 5);
            // A note on a bass drum is a 鈍.
            if (NearestDistance(kicks, n.ms) <= 5.0) {
                EXPECT_TRUE(n.kind == 1 || n.kind == 3);
            }
            bigs += n.kind >= 3;
            if (i > 0) {
                EXPECT_GE(n.ms - c.due[i - 1].ms, minGapMs[d]);
            }
        }
        EXPECT_GT(bigs, 0);
        EXPECT_LE(bigs, c.notes / 3);
        EXPECT_GE(c.level, lowest[d]);
        EXPECT_LE(c.level, highest[d]);
        // Each easier chart thins the harder one.
        if (!harder.empty()) {
            for (int32_t ms : at) EXPECT_TRUE(std::binary_search(harder.begin(), harder.end(), ms));
            EXPECT_LT(at.size(), harder.size());
        }
        harder = at;
    }
    // A bar line on every bar's first centisecond: 4/4 throughout, the tempo changing by 8 bars.
    const std::string& text = charts.charts[0].text;
    for (int bar = 1; bar < t.bars; ++bar) {
        const long w = std::lround(MidiBeatToMs(midi, bar * 4.0) / 10.0);
        EXPECT_GE(text[size_t(w - 1)], '5') << "bar " << bar;
    }
    EXPECT_EQ(std::count_if(text.begin(), text.end(), [](char c) { return c >= '5'; }),
              t.bars - 1);  // the first bar line stands before the lead-in ends
}

TEST(OwnSongChart, AFileWithoutDrumsTakesItsLowestAndBusiestPartsOrIsRefused) {
    testing::TypicalSong t;
    t.drums = false;
    t.bars = 24;
    const MidiSong midi = Read(testing::TypicalSongBytes(t));
    const OwnSongCharts charts = BuildOwnCharts(midi);
    ASSERT_TRUE(charts.playable) << charts.reason;
    std::vector<double> bass, melody;
    for (const MidiNote& n : midi.notes) (n.channel == 0 ? bass : melody).push_back(n.ms);
    std::vector<double> tune;
    for (const MidiNote& n : midi.notes)
        if (n.channel == 2) tune.push_back(n.ms);
    for (const DueNote& n : charts.charts[2].due) {
        const bool onBass = NearestDistance(bass, n.ms) <= 5.0;
        EXPECT_TRUE(onBass || NearestDistance(tune, n.ms) <= 5.0) << n.ms;
        EXPECT_EQ(n.kind == 1 || n.kind == 3, onBass) << n.ms;  // the chords give nothing
    }

    // Long chords alone: no rhythm a player could strike.
    MidiTrack pad;
    for (uint32_t bar = 0; bar < 6; ++bar)
        for (uint8_t k : {60, 64, 67}) pad.Note(bar * 1920, 0, k);
    const OwnSongCharts none = BuildOwnCharts(Read(MidiFileBytes(0, 480, {pad.Chunk(12000)})));
    EXPECT_FALSE(none.playable);
    EXPECT_FALSE(none.reason.empty());
}

// Bars of 4/4 at 125 BPM (a tick a millisecond) as loose hands play them: a tambourine on every
// sixteenth 10 ms early, a bass drum on one and three (a crash 15 ms ahead of it every fourth
// bar), a snare on two and four with a hi-hat 20 ms ahead; every fourth bar the tambourine alone.
// The bass drum plays on `lowChannel`, the rest on `highChannel`.
std::string LooseHandsBytes(uint8_t lowChannel, uint8_t highChannel) {
    constexpr uint32_t q = 480, bar = 4 * q, end = 13 * bar;
    MidiTrack conductor, low(true), high(true);
    conductor.Meter(0, 4, 2).Tempo(0, 480000);
    for (uint32_t t = bar; t < end; t += q / 4) {
        const bool drums = t / bar % 4 != 3 && t % q == 0;
        const bool kick = drums && t / q % 2 == 0, snare = drums && t / q % 2 == 1;
        if (snare) high.Note(t - 20, highChannel, 42);
        if (kick && t % (4 * bar) == 0) high.Note(t - 15, highChannel, 49);
        high.Note(t - 10, highChannel, 54);
        if (snare) high.Note(t, highChannel, 38);
        if (kick) low.Note(t, lowChannel, 36);
    }
    return MidiFileBytes(1, q, {conductor.Chunk(end), low.Chunk(end), high.Chunk(end)});
}

TEST(OwnSongChart, ANoteStandsOnTheDrumsThatMakeItNotOnAFillerAhead) {
    const MidiSong midi = Read(LooseHandsBytes(9, 9));
    const OwnSongCharts charts = BuildOwnCharts(midi);
    ASSERT_TRUE(charts.playable) << charts.reason;
    std::map<int, std::vector<double>> at;  // by key
    for (const MidiNote& n : midi.notes) at[n.key].push_back(n.ms);
    const std::vector<double>& kicks = at[36];
    const std::vector<double>& snares = at[38];
    std::vector<double> crashed, lone;
    for (double t : kicks)
        if (NearestDistance(at[49], t) < 30) crashed.push_back(t);
    for (double t : at[54])
        if (NearestDistance(kicks, t) > 30 && NearestDistance(snares, t) > 30) lone.push_back(t);
    for (int d = 0; d < 3; ++d) {
        SCOPED_TRACE(d);
        int dons = 0, kans = 0, fills = 0;
        for (const DueNote& n : charts.charts[size_t(d)].due) {
            if (n.kind % 2 == 1) {
                ++dons;
                EXPECT_LE(NearestDistance(kicks, n.ms), 5.0) << "don at " << n.ms;
                // The crash ahead still makes its bass drum big.
                EXPECT_EQ(n.kind == 3, NearestDistance(crashed, n.ms) <= 5.0) << n.ms;
            } else if (NearestDistance(snares, n.ms) <= 5.0) {
                ++kans;
            } else {
                ++fills;  // a tambourine's time only where it plays alone
                EXPECT_LE(NearestDistance(lone, n.ms), 5.0) << "kan at " << n.ms;
            }
        }
        EXPECT_GT(dons, 0);
        EXPECT_GT(kans, 0);
        if (d == 2) {
            EXPECT_GT(fills, 0);
        }
    }

    // Without drums the parts give the notes: a busy part ahead must not pull a 鈍 off the
    // lowest part's note.
    const MidiSong parts = Read(LooseHandsBytes(0, 1));
    const OwnSongCharts partCharts = BuildOwnCharts(parts);
    ASSERT_TRUE(partCharts.playable) << partCharts.reason;
    std::vector<double> bass;
    for (const MidiNote& n : parts.notes)
        if (n.channel == 0) bass.push_back(n.ms);
    int dons = 0;
    for (const DueNote& n : partCharts.charts[2].due)
        if (n.kind % 2 == 1) {
            ++dons;
            EXPECT_LE(NearestDistance(bass, n.ms), 5.0) << "don at " << n.ms;
        }
    EXPECT_GT(dons, 0);
}

TEST(OwnSongChart, TheStarScaleGivesTheBuiltInChartsTheirLevels) {
    for (int16_t song = 0; song < kSongCount; ++song)
        for (int16_t d = 0; d < 3; ++d) {
            const ChartId id{song, d};
            std::vector<double> times;
            double start = 0;
            for (int part = 0; part < PartCount(song); ++part) {
                std::string text;
                for (const std::string& m : ChartMeasures(id, part)) text += m;
                const double step = ChartSpanOf(song, part) / double(text.size());
                for (size_t w = 1; w <= text.size(); ++w)
                    if (text[w - 1] != '0' && text[w - 1] != '5') times.push_back(start + w * step);
                start += ChartSpanOf(song, part);
            }
            const double nps = times.size() / ((times.back() - times.front()) / 100.0);
            EXPECT_NEAR(StarLevel(d, nps), SongLevelOf(id), 1) << song << " " << d;
        }
}

TEST(OwnSongChart, AMillionNotesAreReadAndThinnedToAChart) {
    MidiTrack drums(true);
    for (uint32_t i = 0; i < 1000000; ++i) drums.Note(i, 9, i % 2 ? 38 : 36);
    const std::string bytes = MidiFileBytes(0, 960, {drums.Chunk(1000000)});
    const MidiSong midi = Read(bytes);
    EXPECT_EQ(midi.notes.size(), 1000000u);
    const OwnSongCharts charts = BuildOwnCharts(midi);
    ASSERT_TRUE(charts.playable) << charts.reason;
    EXPECT_LE(charts.charts[2].maxErrorMs, 5.0);
    EXPECT_LT(charts.charts[2].notes, 10000);
}

TEST(OwnSongLibrary, TheFolderWithSubfoldersChartFilesAndBadFiles) {
    testing::TempDir dir;
    const std::filesystem::path root = dir.File("songs");
    std::filesystem::create_directories(root / "rock");
    auto write = [](const std::filesystem::path& p, const std::string& bytes) {
        std::ofstream(p, std::ios::binary) << bytes;
    };
    testing::TypicalSong t;
    t.bars = 24;
    t.name = "Track 1";  // a sequencer's placeholder: the file name says more
    write(root / "b_song.mid", testing::TypicalSongBytes(t));
    t.name = "ロックの歌";
    write(root / "rock" / "a.MIDI", testing::TypicalSongBytes(t));
    write(root / "broken.mid", "MThd\0\0");
    write(root / "notes.txt", "not a song");
    // A chart file beside a.MIDI replaces its かんたん chart.
    write(root / "rock" / "a_d0.txt", "# mine\n0000000000\n6000000000200000000010000000002\n");

    const std::vector<OwnSong> songs = ScanOwnSongFolder(root.string());
    ASSERT_EQ(songs.size(), 3u);
    EXPECT_EQ(songs[0].title, "b_song");
    EXPECT_TRUE(songs[0].playable);
    EXPECT_EQ(songs[1].title, "broken");
    EXPECT_FALSE(songs[1].playable);
    EXPECT_FALSE(songs[1].reason.empty());
    EXPECT_EQ(songs[2].title, "ロックの歌");
    EXPECT_EQ(songs[2].notes[0], 4);
    EXPECT_EQ(songs[2].levels[0], 4);  // four notes in 0.3 s: dense for かんたん
    EXPECT_EQ(songs[2].notes[1], songs[0].notes[1]);
    // The id follows the content, not the name.
    EXPECT_NE(songs[0].id, songs[2].id);
    EXPECT_EQ(ReadOwnSong((root / "b_song.mid").string()).song.id, songs[0].id);

    EXPECT_TRUE(ScanOwnSongFolder(dir.File("none")).empty());
}

TEST(OwnSongLibrary, TheScoreFileReadsBackAndANewerOneIsNotRead) {
    std::map<std::string, OwnScoreColumns> scores{{"0123456789abcdef", {1, 2, 3, 4, 5, 6}},
                                                  {"fedcba9876543210", {0, 0, 987654, 0, 0, 0}}};
    std::map<std::string, OwnScoreColumns> back;
    std::string why;
    ASSERT_TRUE(DecodeOwnScores(EncodeOwnScores(scores), back, why));
    EXPECT_EQ(back, scores);
    back.clear();
    EXPECT_FALSE(DecodeOwnScores("zubakko own-song scores 2\n", back, why));
    EXPECT_TRUE(DecodeOwnScores(EncodeOwnScores(scores) + "garbage line\n", back, why));
    EXPECT_EQ(back, scores);
    EXPECT_FALSE(why.empty());
}

}  // namespace
}  // namespace zb
