// The music is the game's clock: every song's percussion line must strike each note of its
// hardest chart when the play loop says the note is due. The MIDI files are read here with a
// reader of the test's own, and the due times come from the charts and the song table by the
// play loop's scroll formula.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "core/chart_data.hpp"
#include "core/delay_check_beat.hpp"
#include "core/songs.hpp"
#include "platform/audio/music_sequence.hpp"

namespace zb {

namespace {

struct MidiNote {
    double time;  // seconds
    int key, velocity;
};

struct MidiFile {
    std::map<std::string, std::vector<MidiNote>> notesByTrack;
    double lastNoteOff = 0;
    double length = 0;  // the end of the longest track
    bool ok = false;
};

uint32_t Be(const std::string& s, size_t at, int n) {
    uint32_t v = 0;
    for (int i = 0; i < n; ++i) v = (v << 8) | uint8_t(s.at(at + size_t(i)));
    return v;
}

// A small Standard MIDI File reader: tempo map from every track, note-ons per track name.
MidiFile ReadMidi(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    const std::string s((std::istreambuf_iterator<char>(in)), {});
    MidiFile file;
    if (s.size() < 14 || s.compare(0, 4, "MThd") != 0) return file;
    const int tracks = int(Be(s, 10, 2));
    const int division = int(Be(s, 12, 2));
    if (division & 0x8000) return file;
    struct Raw {
        uint64_t tick;
        std::string track;
        int kind;  // 0 tempo, 1 note on, 2 note off, 3 end of track
        uint32_t a, b;
    };
    std::vector<Raw> raw;
    size_t at = 14;
    for (int t = 0; t < tracks; ++t) {
        if (s.compare(at, 4, "MTrk") != 0) return file;
        const size_t end = at + 8 + Be(s, at + 4, 4);
        at += 8;
        uint64_t tick = 0;
        uint8_t status = 0;
        std::string name;
        std::vector<Raw> mine;
        while (at < end) {
            uint32_t delta = 0;
            uint8_t c;
            do {
                c = uint8_t(s.at(at++));
                delta = (delta << 7) | (c & 0x7F);
            } while (c & 0x80);
            tick += delta;
            if (uint8_t(s.at(at)) & 0x80) status = uint8_t(s.at(at++));
            if (status == 0xFF) {
                const uint8_t type = uint8_t(s.at(at++));
                uint32_t len = 0;
                do {
                    c = uint8_t(s.at(at++));
                    len = (len << 7) | (c & 0x7F);
                } while (c & 0x80);
                if (type == 0x51) mine.push_back({tick, "", 0, Be(s, at, 3), 0});
                if (type == 0x03) name = s.substr(at, len);
                if (type == 0x2F) mine.push_back({tick, "", 3, 0, 0});
                at += len;
                status = 0;
            } else if (status == 0xF0 || status == 0xF7) {
                uint32_t len = 0;
                do {
                    c = uint8_t(s.at(at++));
                    len = (len << 7) | (c & 0x7F);
                } while (c & 0x80);
                at += len;
            } else {
                const int hi = status >> 4;
                const uint32_t d1 = uint8_t(s.at(at++));
                const uint32_t d2 = (hi == 0xC || hi == 0xD) ? 0 : uint8_t(s.at(at++));
                if (hi == 0x9 && d2 > 0) mine.push_back({tick, "", 1, d1, d2});
                if (hi == 0x8 || (hi == 0x9 && d2 == 0)) mine.push_back({tick, "", 2, d1, 0});
            }
        }
        for (Raw& r : mine) r.track = name;
        raw.insert(raw.end(), mine.begin(), mine.end());
        at = end;
    }
    std::stable_sort(raw.begin(), raw.end(), [](const Raw& x, const Raw& y) {
        return x.tick != y.tick ? x.tick < y.tick : x.kind == 0 && y.kind != 0;
    });
    double seconds = 0, perTick = 0.5 / division;  // 120 bpm until told otherwise
    uint64_t lastTick = 0;
    for (const Raw& r : raw) {
        seconds += double(r.tick - lastTick) * perTick;
        lastTick = r.tick;
        if (r.kind == 0) perTick = r.a * 1e-6 / division;
        if (r.kind == 1) file.notesByTrack[r.track].push_back({seconds, int(r.a), int(r.b)});
        if (r.kind == 2) file.lastNoteOff = std::max(file.lastNoteOff, seconds);
        if (r.kind == 3) file.length = std::max(file.length, seconds);
    }
    file.ok = true;
    return file;
}

struct Due {
    double time;  // seconds into the music
    int kind;     // 1 don, 2 kan, 3 big don, 4 big kan
};

int Hardest(int song) {
    int d = 0;
    for (int k = 0; k < kDifficultyCount; ++k)
        if (SongLevelOf({int16_t(song), int16_t(k)}) != 0) d = k;
    return d;
}

// When each note of the hardest chart stands on the judgement frame (frame position 0, no
// delay): the play loop's scroll position reaches the note's lane position.
std::vector<Due> DueTimes(int song) {
    const int d = Hardest(song);
    std::vector<Due> due;
    for (int part = 0; part < PartCount(song); ++part) {
        std::string text;
        for (const auto& m : ChartMeasures({int16_t(song), int16_t(d)}, part)) text += m;
        const double span = ChartSpanOf(song, part);  // centiseconds
        const double len = double(text.size());
        const double offset = ChartOffsetOf({int16_t(song), int16_t(d)}, part);
        const double spacing = ChartConstantsOf({int16_t(song), int16_t(d)}).NoteSpacing;
        for (size_t w = 1; w <= text.size(); ++w) {
            const int kind = (text[w - 1] - '0') % 5;
            if (kind == 0) continue;
            // Song 4's hardest chart runs at four times the spacing past position 360, and
            // so does the scroll once the speed-up has happened.
            const bool fast = song == 4 && d == 2 && w > 360;
            const double s = fast ? 4 * spacing : spacing;
            // scroll(t) = t / 100 * len * s / (span / 100) + offset = s * w
            const double cs = (s * double(w) - offset) * span / (len * s);
            due.push_back({(PartStartTime(song, part) + cs) / 100.0, kind});
        }
    }
    return due;
}

std::string MusicPath(int song) {
    return std::string(ZB_SOURCE_DIR) + "/assets/" + SongMusicFile(song);
}

}  // namespace

class SongMusic : public ::testing::TestWithParam<int> {};

TEST_P(SongMusic, PercussionStrikesEveryNoteOfTheHardestChartOnTime) {
    const int song = GetParam();
    const MidiFile midi = ReadMidi(MusicPath(song));
    ASSERT_TRUE(midi.ok) << MusicPath(song);
    ASSERT_TRUE(midi.notesByTrack.count("Chart drums"));
    // Notes struck together (a big note's layers) form one onset.
    std::vector<std::vector<MidiNote>> onsets;
    for (const MidiNote& n : midi.notesByTrack.at("Chart drums")) {
        if (!onsets.empty() && n.time - onsets.back()[0].time < 0.001)
            onsets.back().push_back(n);
        else
            onsets.push_back({n});
    }
    const std::vector<Due> due = DueTimes(song);
    int16_t notes = 0;
    for (int part = 0; part < PartCount(song); ++part)
        notes = int16_t(notes + PartNoteCount({int16_t(song), int16_t(Hardest(song))}, part));
    ASSERT_EQ(int(due.size()), notes);
    ASSERT_EQ(onsets.size(), due.size());

    double worst = 0;
    std::map<int, std::set<int>> keysByKind;
    std::map<int, int> loudest;
    for (size_t i = 0; i < due.size(); ++i) {
        worst = std::max(worst, std::abs(onsets[i][0].time - due[i].time));
        int low = 127, vel = 0;
        for (const MidiNote& n : onsets[i])
            low = std::min(low, n.key), vel = std::max(vel, n.velocity);
        keysByKind[due[i].kind].insert(low);
        loudest[due[i].kind] = std::max(loudest[due[i].kind], vel);
    }
    EXPECT_LT(worst, 0.005) << "song " << song;
    // Don and kan sound different; big notes are accented.
    for (int kind = 1; kind <= 4; ++kind) EXPECT_LE(keysByKind[kind].size(), 1u) << kind;
    if (keysByKind.count(1) && keysByKind.count(2)) {
        EXPECT_NE(keysByKind[1], keysByKind[2]);
    }
    if (loudest.count(3) && loudest.count(1)) {
        EXPECT_GT(loudest[3], loudest[1]);
    }
    if (loudest.count(4) && loudest.count(2)) {
        EXPECT_GT(loudest[4], loudest[2]);
    }
}

// The renderer hands the synth each event at its time through the file's tempo map: the
// note-ons of the percussion line must be due when the chart's notes are.
TEST_P(SongMusic, TheSynthIsGivenThePercussionOnTime) {
    const int song = GetParam();
    std::ifstream in(MusicPath(song), std::ios::binary);
    const audio::MusicSequence music =
        audio::MusicSequence::FromMidi(std::string(std::istreambuf_iterator<char>(in), {}));
    std::vector<double> times;
    for (const audio::MusicEvent& e : music.events)
        if (e.status == 0x99 && e.data2 > 0 && (e.data1 == 36 || e.data1 == 37))
            times.push_back(e.song);

    const std::vector<Due> due = DueTimes(song);
    ASSERT_EQ(times.size(), due.size());
    double worst = 0;
    for (size_t i = 0; i < due.size(); ++i)
        worst = std::max(worst, std::abs(times[i] - due[i].time));
    EXPECT_LT(worst, 0.005) << "song " << song;
}

TEST_P(SongMusic, PlaysOnAtLeastTwoSecondsPastTheEndTime) {
    const int song = GetParam();
    MidiFile midi = ReadMidi(MusicPath(song));
    ASSERT_TRUE(midi.ok);
    const int last = PartCount(song) - 1;
    const double end = (PartStartTime(song, last) + PartEndTimeOf(song, last)) / 100.0;
    EXPECT_GE(midi.lastNoteOff, end + 2.0);
    EXPECT_GE(midi.length, end + 2.0);
    // Melody, bass and chords are there, not only drums.
    for (const char* track : {"Melody", "Bass", "Chords"})
        EXPECT_GT(midi.notesByTrack[track].size(), 20u) << track;
}

INSTANTIATE_TEST_SUITE_P(AllSongs, SongMusic, ::testing::Range(0, kSongCount));

TEST(TitleAndStoryMusic, LastLongEnough) {
    const MidiFile title = ReadMidi(std::string(ZB_SOURCE_DIR) + "/assets/sound/title.mid");
    ASSERT_TRUE(title.ok);
    EXPECT_GE(title.lastNoteOff, 17.0);
    const MidiFile story = ReadMidi(std::string(ZB_SOURCE_DIR) + "/assets/sound/kibohika.mid");
    ASSERT_TRUE(story.ok);
    EXPECT_GE(story.lastNoteOff, 90.0);
}

}  // namespace zb

namespace zb {
namespace {

TEST(DelayCheckBeat, EveryBeatSoundsWhenTheCheckScrollsItsNote) {
    const MidiFile beat = ReadMidi(std::string(ZB_SOURCE_DIR) + "/assets/" + kCheckMusicFile);
    ASSERT_TRUE(beat.ok);
    const auto& notes = beat.notesByTrack.at("Beat");
    std::vector<double> bass;
    for (const MidiNote& n : notes)
        if (n.key == 36) bass.push_back(n.time);
    ASSERT_EQ(bass.size(), size_t(kCheckBeats));
    for (int k = 0; k < kCheckBeats; ++k)
        EXPECT_NEAR(bass[size_t(k)], CheckBeatTime(kCheckCountIn + k), 0.001) << "beat " << k;
    EXPECT_GE(beat.length, CheckBeatTime(kCheckCountIn + kCheckBeats - 1) + kCheckTail - 0.01);
}

}  // namespace
}  // namespace zb
