// Strikes as a player makes them, played by zubakko-play on real charts at their own lane speeds
// (song 0 about 459 pixels a second, song 4 about 267): short taps at any frame rate, big notes in
// the wait mode, and each hit sound at its key's down stamp.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <map>
#include <set>
#include <sstream>

#include "core/chart_loader.hpp"
#include "core/devices_file.hpp"
#include "core/midi_file.hpp"
#include "core/own_songs.hpp"
#include "frontend/config_file.hpp"
#include "platform/headless/headless.hpp"
#include "tests/common/midi_writer.hpp"
#include "tests/common/temp_dir.hpp"
#include "tests/common/typical_song.hpp"
#include "tools/play/play_tool.hpp"

namespace zb::tool {
namespace {

enum class Big { BothKeys, OneKey };

// Keys that strike every note on time with taps of `tapMs`: the two keys of a colour take turns,
// and a big note takes both (the second `gapMs` later) or one. Note i is struck `late(i)` ms
// after its due time when given; `offsets` receives each note's offset as struck (whole ms).
std::vector<KeyEvent> OnTime(ChartId id, int64_t tapMs, Big big, int64_t gapMs = 0,
                             std::function<int64_t(int)> late = nullptr,
                             std::vector<double>* offsets = nullptr,
                             const std::string& songFile = "") {
    testing::TempDir dir;
    headless::HeadlessPlatform hp(dir.Dir());
    Game game(hp.ports);
    game.settings.DelaySetting = 0;
    if (!songFile.empty()) id.song = AddOwnSong(game, songFile);
    LoadChart(game, id, 0);
    const Chart& c = game.chart;
    const double msPerPx = double(c.ChartSpan) * 10 / (double(c.ChartText.size()) * c.NoteSpacing);
    std::vector<KeyEvent> keys;
    auto tap = [&](int64_t at, int vk) {
        keys.push_back({at, vk, true});
        keys.push_back({at + tapMs, vk, false});
    };
    int turn[2] = {0, 0};
    for (int i = 1; i <= c.NoteCount; ++i) {
        // Song 4's hard chart scrolls four times as fast from its speed-up on.
        const bool fast = IsSpeedUpNote(id.song, id.difficulty, i);
        const double due =
            (c.NotePos[size_t(i)] - c.ChartOffset) * msPerPx / (fast ? kSpeedUpFactor : 1);
        const int64_t at = std::llround(due) + (late ? late(i) : 0);
        if (offsets) offsets->push_back(double(at) - due);
        const int kind = (c.NoteKinds[size_t(i - 1)] - '0') % 5;
        const int colour = kind % 2 ? 0 : 1, first = colour ? 100 : 97;
        if (kind >= 3 && big == Big::BothKeys) {
            tap(at, first);
            tap(at + gapMs, first + 1);
        } else {
            tap(at, first + turn[colour]++ % 2);
        }
    }
    return keys;
}

struct Played {
    SongResult r;
    PlayMeasures m;
};

Played Play(ChartId id, double fps, bool bigWait, const std::vector<KeyEvent>& keys) {
    testing::TempDir dir;
    Options o;
    o.song = id.song, o.difficulty = id.difficulty, o.delay = 0, o.fps = fps, o.bigWait = bigWait;
    Played p;
    p.r = PlayChart(o, keys, dir.Dir(), &p.m);
    return p;
}

TEST(Strikes, TenMillisecondTapsAllCountAtAnyFrameRateAndSoundAtTheirStamp) {
    const ChartId id{.song = 0, .difficulty = 2};
    const auto keys = OnTime(id, 10, Big::BothKeys);
    for (double fps : {30.0, 60.0, 144.0}) {
        const Played p = Play(id, fps, false, keys);
        EXPECT_EQ(p.r.CountBest, 784) << fps << " fps";
        ASSERT_TRUE(p.m.hitSoundLagMaxMs) << "a strike without its sound at " << fps << " fps";
        EXPECT_LE(*p.m.hitSoundLagMaxMs, 2.0) << fps << " fps";
    }
}

TEST(Strikes, BigNotesInTheWaitModeAreJudgedWhereTheFirstKeyWentDown) {
    // One key on time: 良 at two thirds, as without the wait; a second key one to three frames
    // later: big 良, as both keys together. Song 0 is left out at 30 fps: there the eight frames
    // of the wait's cycle and the five that hold keys after a judgement outlast the 174 ms
    // between two of its big notes, which joins them (the game runs at 60).
    const struct {
        ChartId id;
        std::vector<double> rates;
    } charts[] = {{{.song = 4, .difficulty = 0}, {30, 60, 144}},
                  {{.song = 0, .difficulty = 0}, {60, 144}}};
    for (const auto& chart : charts) {
        const auto oneKey = OnTime(chart.id, 10, Big::OneKey);
        const double twoThirds = Play(chart.id, 60, false, oneKey).r.Score;
        const double bigBest =
            Play(chart.id, 60, false, OnTime(chart.id, 10, Big::BothKeys)).r.Score;
        for (double fps : chart.rates) {
            const Played one = Play(chart.id, fps, true, oneKey);
            const std::string where = "song " + std::to_string(chart.id.song) + " at " +
                                      std::to_string(int(fps)) + " fps";
            EXPECT_EQ(one.r.CountMiss + one.r.CountGood, 0) << where;
            EXPECT_DOUBLE_EQ(one.r.Score, twoThirds) << where;
            for (int frames : {1, 3}) {
                const auto two =
                    OnTime(chart.id, 10, Big::BothKeys, int64_t(std::floor(frames * 1000 / fps)));
                EXPECT_DOUBLE_EQ(Play(chart.id, fps, true, two).r.Score, bigBest)
                    << where << ", keys " << frames << " frames apart";
            }
        }
    }
}

TEST(Strikes, AKeyBoundToTwoStrikesStrikesBoth) {
    // The player's config.dat (as zubakko-play --config reads it) binds one key twice. Song 4's
    // easy chart: its big dons stand apart, so the wait's eight-frame cycle never joins two.
    const ChartId id{.song = 4, .difficulty = 0};
    testing::TempDir dir;
    auto play = [&](std::array<int16_t, 4> keyCodes, bool bigWait,
                    const std::vector<KeyEvent>& keys, Replay* record = nullptr) {
        Settings s;
        s.KeyCodes = keyCodes;
        s.DelaySetting = 0;
        dir.Write("config.dat", EncodeConfig(s));
        Options o;
        o.song = id.song, o.difficulty = id.difficulty, o.bigWait = bigWait;
        o.configFile = dir.File("config.dat");
        return PlayChart(o, keys, dir.Dir(), nullptr, record);
    };
    auto onto = [](std::vector<KeyEvent> keys, int from, int to) {
        for (KeyEvent& k : keys) k.vk = k.vk == from ? to : k.vk;
        return keys;
    };
    const auto both = OnTime(id, 10, Big::BothKeys);
    const SongResult allBest = Play(id, 60, false, both).r;
    ASSERT_EQ(allBest.CountGood + allBest.CountMiss, 0);

    // 左足 = 左手: the key strikes dons and kans alike.
    const SongResult footIsHand = play({97, 98, 97, 101}, false, onto(both, 100, 97));
    EXPECT_EQ(footIsHand.Judgements, allBest.Judgements);
    EXPECT_DOUBLE_EQ(footIsHand.Score, allBest.Score);

    // 左足 = 右足: one key alone for every don. A big don is judged before the second strike
    // arrives (two thirds, as one key), or the wait takes it (big 良, as a second key a frame
    // later); the second strike of a small don never judges the note after it.
    const auto feet = onto(both, 98, 97);
    const auto secondFootLater = OnTime(id, 10, Big::BothKeys, 16);
    for (bool wait : {false, true}) {
        const SongResult ref = Play(id, 60, wait, wait ? secondFootLater : feet).r;
        Replay record;
        const SongResult oneKey = play({97, 97, 100, 101}, wait, feet, &record);
        EXPECT_EQ(oneKey.Judgements, ref.Judgements) << (wait ? "wait mode" : "at once");
        EXPECT_DOUBLE_EQ(oneKey.Score, ref.Score) << (wait ? "wait mode" : "at once");
        ReplayCheck check;
        PlayReplay(record, dir.Dir(), check);
        EXPECT_TRUE(check.reproduced) << check.message;
    }
}

TEST(Strikes, APadScriptPlaysAsTheKeyScriptOfTheSameMoments) {
    // The default keys' twins on a standard gamepad, as --pad-bindings prints them.
    EXPECT_EQ(PadBindingsJson(),
              "{\"左足\": \"lefttrigger\", \"右足\": \"righttrigger\", "
              "\"左手\": \"leftshoulder\", \"右手\": \"rightshoulder\"}");
    const std::map<int, std::string> twin{
        {97, "lefttrigger"}, {98, "righttrigger"}, {100, "leftshoulder"}, {101, "rightshoulder"}};
    const ChartId id{.song = 4, .difficulty = 1};
    const auto keys = OnTime(id, 10, Big::BothKeys);
    std::string script;
    for (const KeyEvent& k : keys)
        script += std::to_string(k.ms) + " " + twin.at(k.vk) + (k.down ? " down\n" : " up\n");
    const Played byKeys = Play(id, 60, false, keys), byPad = Play(id, 60, false, ParsePad(script));
    EXPECT_EQ(ToJson(byPad.r, byPad.m), ToJson(byKeys.r, byKeys.m));
    EXPECT_EQ(byPad.r.CountMiss + byPad.r.CountGood, 0);
    // Keys and the pad side by side: the feet on the pad, the hands on keys.
    std::vector<KeyEvent> mixed;
    for (const KeyEvent& k : keys)
        mixed.push_back(k.vk < 100 ? ParsePad(std::to_string(k.ms) + " " + twin.at(k.vk) +
                                              (k.down ? " down" : " up"))[0]
                                   : k);
    const Played both = Play(id, 60, false, mixed);
    EXPECT_EQ(ToJson(both.r, both.m), ToJson(byKeys.r, byKeys.m));
    EXPECT_THROW(ParsePad("100 b3 down"), std::invalid_argument) << "not a controller's input";
}

TEST(Strikes, AKitScriptPlaysAsTheKeysOfTheSameStrikes) {
    const std::string defaults = KitMapDefaultsJson();
    EXPECT_EQ(defaults.rfind("{\"notes\": {\"35\": 0, \"36\": 0, \"37\": 2, \"38\": 2", 0), 0u)
        << defaults;
    EXPECT_NE(defaults.find("\"44\": 1, \"45\": 2, \"46\": 3"), std::string::npos) << defaults;
    EXPECT_NE(defaults.find("\"57\": 3, \"59\": 3}, \"bigVelocity\": 112, \"floors\": {}, "
                            "\"retrigger\": 8, \"crosstalk\": {\"ms\": 5, \"ratio\": 0.5}}"),
              std::string::npos)
        << defaults;

    // Bass drum, hi-hat pedal, snare and closed hi-hat for the four keys.
    const std::map<int, int> noteOf{{97, 36}, {98, 44}, {100, 38}, {101, 42}};
    testing::TempDir dir;
    const std::string own = dir.File("typical.mid");
    dir.Write("typical.mid", testing::TypicalSongBytes({.bars = 24}));
    for (const auto& [id, file] : {std::pair{ChartId{.song = 4, .difficulty = 2}, std::string()},
                                   std::pair{ChartId{.song = -1, .difficulty = 2}, own}}) {
        Options o;
        o.song = id.song, o.difficulty = id.difficulty, o.delay = 0, o.songFile = file;
        const auto keys = OnTime(id, 10, Big::BothKeys, 0, nullptr, nullptr, file);
        PlayMeasures m;
        const SongResult byKeys = PlayChart(o, keys, dir.Dir(), &m);
        const std::string expected = ToJson(byKeys, m);
        ASSERT_EQ(byKeys.CountGood + byKeys.CountMiss, 0) << expected;

        // Big notes by both pads of a pair, softly; notes outside the map between the strokes.
        std::vector<KitStroke> pairs, hard;
        for (size_t i = 0; i < keys.size(); ++i) {
            const KeyEvent& k = keys[i];
            if (!k.down) continue;
            pairs.push_back({k.ms, noteOf.at(k.vk), 80});
            pairs.push_back({k.ms + 5, 60, 127});
            // Big notes by one hard stroke: its pair's second key goes down at the same moment.
            const bool big = i + 2 < keys.size() && keys[i + 2].down && keys[i + 2].ms == k.ms;
            const bool second = i >= 2 && keys[i - 2].down && keys[i - 2].ms == k.ms;
            if (!second) hard.push_back({k.ms, noteOf.at(k.vk), big ? 127 : 111});
        }
        for (const auto* script : {&pairs, &hard}) {
            o.kitStrokes = *script;
            const SongResult byKit = PlayChart(o, {}, dir.Dir(), &m);
            EXPECT_EQ(ToJson(byKit, m), expected)
                << (file.empty() ? "song 4" : "own song")
                << (script == &hard ? ", hard strokes" : ", pairs");
        }
    }
    // A map of the player's own: the strikes the other way round.
    Options o;
    o.song = 4, o.difficulty = 2, o.delay = 0;
    o.kitMap = ParseKitMap("# snare for the feet\n38 0\n39 1\n36 2\n37 3\nbig 100\n");
    const auto keys = OnTime({.song = 4, .difficulty = 2}, 10, Big::OneKey);
    for (const KeyEvent& k : keys)
        if (k.down) o.kitStrokes.push_back({k.ms, k.vk < 100 ? 38 : 36, 99});
    Options byKeys = o;
    byKeys.kitStrokes.clear();
    byKeys.kitMap.reset();
    const SongResult mine = PlayChart(o, {}, dir.Dir());
    EXPECT_EQ(mine.Judgements, PlayChart(byKeys, keys, dir.Dir()).Judgements);
    EXPECT_EQ(mine.CountMiss, 0);
    EXPECT_THROW(ParseKitMap("38 4\n"), std::invalid_argument) << "no strike 4";
    EXPECT_THROW(ParseKit("100 38\n"), std::invalid_argument) << "no velocity";
}

TEST(Strikes, AKitsGhostStrokesDoubleTriggersAndCrosstalkAreJudgedAsTheCleanScript) {
    const ChartId id{.song = 4, .difficulty = 2};
    const std::map<int, int> noteOf{{97, 36}, {98, 44}, {100, 38}, {101, 42}};
    const std::map<int, int> neighbour{{36, 44}, {44, 36}, {38, 42}, {42, 38}};
    Options o;
    o.song = id.song, o.difficulty = id.difficulty, o.delay = 0;
    const auto keys = OnTime(id, 10, Big::OneKey);
    std::vector<KitStroke> clean, dirty;
    for (const KeyEvent& k : keys) {
        if (!k.down) continue;
        const int note = noteOf.at(k.vk), velocity = 60 + int(clean.size() % 60);
        clean.push_back({k.ms, note, velocity});
        dirty.push_back({k.ms, note, velocity});
        // The pad read twice; the stroke heard faintly by the pad beside it; then the snare's and
        // the bass drum's ghost strokes under their floors, well between the notes.
        dirty.push_back(
            {k.ms + (note == 42 ? 10 : 3 + int(clean.size() % 5)), note, velocity - 20});
        dirty.push_back({k.ms + 2, neighbour.at(note), velocity / 3});
        dirty.push_back({k.ms + 60, 38, 24});
        dirty.push_back({k.ms + 90, 36, 15});
    }
    std::sort(dirty.begin(), dirty.end(),
              [](const KitStroke& a, const KitStroke& b) { return a.ms < b.ms; });
    testing::TempDir dir;
    const auto play = [&](const std::vector<KitStroke>& strokes, const std::string& map,
                          bool sounds = true) {
        Options run = o;
        run.kitStrokes = strokes;
        run.kitMap = ParseKitMap(map);
        run.offsets.SetSounds("kit zubakko-play kit", sounds);
        PlayMeasures m;
        return ToJson(PlayChart(run, {}, dir.Dir(), &m), m);
    };
    const std::string strikes = "36 0\n44 1\n38 2\n42 3\n";
    const std::string expected = play(clean, strikes);
    const std::string hygiene = strikes + "floor 38 30\nfloor 36 20\nretrigger 42 12\n";
    EXPECT_EQ(play(dirty, hygiene), expected);
    ASSERT_EQ(expected.find("\"HitSoundLagMaxMs\":null"), std::string::npos) << expected;
    // 叩いた音: なし for the kit: judged the same, with no hit sound.
    std::string quiet = expected;
    quiet.replace(quiet.find("\"HitSoundLagMaxMs\":") + 19, std::string::npos, "null}");
    EXPECT_EQ(play(dirty, hygiene, false), quiet);
    // Not by chance: with no floors, no retrigger window and no crosstalk rule, the same script
    // strikes much more.
    std::string bare = strikes + "crosstalk 0 0\n";
    for (const int note : {36, 44, 38, 42}) bare += "retrigger " + std::to_string(note) + " 0\n";
    EXPECT_NE(play(dirty, bare), expected);
    EXPECT_THROW(ParseKitMap("crosstalk 5 0.555\n"), std::invalid_argument);
    EXPECT_THROW(ParseKitMap("floor 38\n"), std::invalid_argument);
}

TEST(Strikes, APlayExportedAsAMidiFileReadsBackAlikeInTheGameAndInASecondReader) {
    // An own song in one track (format 0), with running status, at a resolution whose ticks
    // last 6.7 ms at its slower tempo until the export cuts them finer.
    testing::TempDir dir;
    testing::MidiTrack t(true);
    constexpr uint32_t q = 96;
    t.Name(0, "One track").Tempo(0, 645161);
    for (uint32_t beat = 0; beat < 96; ++beat) {
        const uint32_t at = beat * q;
        if (beat == 48) t.Tempo(at, 500000);
        t.Note(at, 9, beat % 2 ? 38 : 36, 100).Note(at, 9, 42, 70);
        t.Event(at + q / 2, {0x89, 42, 0}).Note(at + q / 2 + 1, 9, 42, 60);
    }
    dir.Write("one.mid", testing::MidiFileBytes(0, q, {t.Chunk(96 * q)}));
    const std::string song = dir.File("one.mid");
    const ChartId id{.song = -1, .difficulty = 1};
    Options o;
    o.song = id.song, o.difficulty = id.difficulty, o.delay = 0, o.songFile = song;
    const std::map<int, int> noteOf{{97, 36}, {98, 44}, {100, 38}, {101, 42}};
    for (const KeyEvent& k : OnTime(id, 10, Big::OneKey, 0, nullptr, nullptr, song))
        if (k.down)
            o.kitStrokes.push_back({k.ms + int64_t(o.kitStrokes.size() % 7), noteOf.at(k.vk),
                                    30 + int(o.kitStrokes.size() * 13 % 98)});
    ASSERT_GT(o.kitStrokes.size(), 50u);
    Replay record;
    PlayChart(o, {}, dir.Dir(), nullptr, &record);
    const std::string out = dir.File("take.mid");
    const PlayMidi written = ExportReplayMidi(record, song, out, dir.Dir());
    EXPECT_FALSE(written.strikesOnly);
    EXPECT_EQ(written.strokes, int(o.kitStrokes.size())) << "a hard stroke is one note";

    // The game's reader: the song's own notes at their times, then every stroke within 1 ms.
    MidiSong before, after;
    std::string why;
    ASSERT_TRUE(ReadMidi(dir.Read("one.mid"), before, why)) << why;
    ASSERT_TRUE(ReadMidi(dir.Read("take.mid"), after, why)) << why;
    EXPECT_EQ(after.format, 1);
    std::vector<MidiNote> own, strokes;
    for (const MidiNote& n : after.notes) (n.track == 1 ? strokes : own).push_back(n);
    ASSERT_EQ(own.size(), before.notes.size());
    for (size_t i = 0; i < own.size(); ++i) {
        EXPECT_NEAR(own[i].ms, before.notes[i].ms, 1e-6) << i;
        EXPECT_EQ(own[i].key * 1000 + own[i].velocity,
                  before.notes[i].key * 1000 + before.notes[i].velocity);
    }
    ASSERT_EQ(strokes.size(), o.kitStrokes.size());
    for (size_t i = 0; i < strokes.size(); ++i) {
        const KitStroke& k = o.kitStrokes[i];
        EXPECT_NEAR(strokes[i].ms, double(k.ms), 0.999) << i;
        EXPECT_EQ(strokes[i].channel, 9);
        EXPECT_EQ(strokes[i].key * 1000 + strokes[i].velocity, k.note * 1000 + k.velocity) << i;
    }
    // A second reader (mido) reads the same notes at the same times.
    const std::string listing = dir.File("notes.txt");
    // The system's Python, where Debian's python3-mido is (scripts/packages.txt).
    ASSERT_EQ(std::system(("/usr/bin/python3 " ZB_SOURCE_DIR "/tests/play_tool/midi_notes.py " +
                           out + " > " + listing)
                              .c_str()),
              0);
    std::istringstream lines(dir.Read("notes.txt"));
    std::string word;
    int type = 0, tracks = 0;
    lines >> word >> type >> tracks;
    EXPECT_EQ(type * 10 + tracks, 12);
    size_t n = 0;
    for (int track, channel, key, velocity; lines >> track; ++n) {
        double ms = 0;
        lines >> ms >> channel >> key >> velocity;
        ASSERT_LT(n, after.notes.size());
        const MidiNote& game = track == 1 ? strokes[n - own.size()] : own[n];
        EXPECT_NEAR(ms, game.ms, 1e-3) << n;
        EXPECT_EQ(key * 1000 + velocity, game.key * 1000 + game.velocity) << n;
    }
    EXPECT_EQ(n, after.notes.size());

    // Never over a file: the second export is refused, and the name beside a replay moves on.
    EXPECT_THROW(ExportReplayMidi(record, song, out, dir.Dir()), std::runtime_error);
    EXPECT_EQ(MidiPathBeside(dir.File("take.zbr")), dir.File("take-2.mid"));
    // A replay from before strokes kept their notes: its key strikes alone, said so.
    std::ifstream in(std::string(ZB_SOURCE_DIR) + "/tests/play_tool/format1.zbr", std::ios::binary);
    const Replay old = DecodeReplay(std::string(std::istreambuf_iterator<char>(in), {}));
    const PlayMidi strikes = ExportReplayMidi(old, "", dir.File("old.mid"), dir.Dir());
    EXPECT_TRUE(strikes.strikesOnly);
    EXPECT_GT(strikes.strokes, 100);
}

TEST(Strikes, ADevicesOffsetComesOffItsOwnStrikesAloneAndItsReplayKnowsTheDevice) {
    // Keys and kit strokes 20 ms late: "keyboard 20" puts the keys on time and leaves the kit's
    // late strokes as they were; "kit 20" puts the kit's on time.
    const ChartId id{.song = 1, .difficulty = 0};
    const auto late = [](int) { return int64_t(20); };
    const std::map<int, int> noteOf{{97, 36}, {98, 44}, {100, 38}, {101, 42}};
    const auto kit = [&](const std::vector<KeyEvent>& keys) {
        std::vector<KitStroke> strokes;
        for (const KeyEvent& k : keys)
            if (k.down) strokes.push_back({k.ms, noteOf.at(k.vk), 40 + int(strokes.size() % 60)});
        return strokes;
    };
    testing::TempDir dir;
    const auto play = [&](const std::vector<KeyEvent>& keys, const std::vector<KitStroke>& strokes,
                          const char* offsets, Replay* record = nullptr) {
        Options o;
        o.song = id.song, o.difficulty = id.difficulty, o.delay = 0, o.kitStrokes = strokes;
        o.offsets = ReadOffsetLines(offsets);
        return PlayChart(o, strokes.empty() ? keys : std::vector<KeyEvent>{}, dir.Dir(), nullptr,
                         record);
    };
    const auto onTime = OnTime(id, 10, Big::OneKey),
               lateKeys = OnTime(id, 10, Big::OneKey, 0, late);
    const SongResult keys = play(onTime, {}, ""), kitOnTime = play({}, kit(onTime), "");
    const SongResult kitLate = play({}, kit(lateKeys), "");
    ASSERT_GT(kitLate.Timing.meanMs, 15);
    // Judged alike: every judgement and the score; the figures within rounding.
    const auto alike = [](const SongResult& a, const SongResult& b) {
        EXPECT_EQ(a.Judgements, b.Judgements);
        EXPECT_EQ(a.ShownScore, b.ShownScore);
        EXPECT_NEAR(a.Timing.meanMs, b.Timing.meanMs, 1e-6);
        EXPECT_NEAR(a.Timing.spreadMs, b.Timing.spreadMs, 1e-6);
    };
    alike(play(lateKeys, {}, "keyboard 20\n"), keys);
    alike(play({}, kit(lateKeys), "keyboard 20\n"), kitLate);
    Replay record;
    const SongResult kitCorrected = play({}, kit(lateKeys), "# the kit\nkit 20\n", &record);
    alike(kitCorrected, kitOnTime);
    const std::string json = WithOffsetByDevice("{}", kitCorrected);
    EXPECT_EQ(json.rfind("{\"OffsetByDevice\":{\"kit zubakko-play kit\":", 0), 0u) << json;
    EXPECT_EQ(WithOffsetByDevice("{}", keys).rfind("{\"OffsetByDevice\":{\"keyboard\":", 0), 0u);
    for (const char* bad : {"keyboard 51\n", "kit\n", "pad +x\n"})
        EXPECT_THROW(ReadOffsetLines(bad), std::runtime_error) << bad;

    // The replay keeps the kit, its offset, and every stroke's note and velocity, and plays back.
    const Replay kept = DecodeReplay(EncodeReplay(record));
    ASSERT_EQ(kept.devices.size(), 1u);
    EXPECT_EQ(kept.devices[0].offsetMs, 20);
    std::multiset<std::pair<int, int>> struck, replayed;
    for (const KitStroke& k : kit(lateKeys)) struck.insert({k.note, k.velocity});
    for (const ReplayKeyEvent& e : kept.keys)
        if (e.kind == ReplayKeyEvent::Kind::Press) replayed.insert({e.note, e.velocity});
    EXPECT_EQ(replayed, struck);
    ReplayCheck check;
    testing::TempDir watch;
    EXPECT_EQ(PlayReplay(kept, watch.Dir(), check).Judgements, kitCorrected.Judgements);
    EXPECT_TRUE(check.reproduced) << check.message;
    // A replay written before the devices were kept still plays back to its figures.
    std::ifstream in(std::string(ZB_SOURCE_DIR) + "/tests/play_tool/format1.zbr", std::ios::binary);
    const Replay old = DecodeReplay(std::string(std::istreambuf_iterator<char>(in), {}));
    EXPECT_TRUE(old.devices.empty());
    ReplayCheck oldCheck;
    const SongResult again = PlayReplay(old, watch.Dir(), oldCheck);
    EXPECT_TRUE(oldCheck.reproduced) << oldCheck.message;
    EXPECT_EQ(again.CountBest * 10000 + again.CountGood * 100 + again.CountMiss, 273113);
}

TEST(Strikes, TheirTimingIsReportedAndTheirReplayReproducesThePlay) {
    // Strikes 30 ms late (or early) by a wobbling hand: -8 to +8 ms about that. Every one is
    // judged (song 0 scrolls 459 pixels a second: 38 ms is within 可).
    const ChartId id{.song = 0, .difficulty = 2};
    for (int64_t shift : {30, -30}) {
        std::vector<double> script;
        const auto keys = OnTime(
            id, 40, Big::BothKeys, 0, [&](int i) { return shift + (i % 5 - 2) * 4; }, &script);
        double mean = 0, square = 0;
        for (double o : script) mean += o / double(script.size());
        for (double o : script) square += (o - mean) * (o - mean) / double(script.size());
        testing::TempDir dir;
        Options o;
        o.song = id.song, o.difficulty = id.difficulty, o.delay = 0;
        Replay record;
        const SongResult r = PlayChart(o, keys, dir.Dir(), nullptr, &record);
        const std::string where = "strikes " + std::to_string(shift) + " ms late";
        ASSERT_EQ(r.Timing.count, int(script.size())) << where;
        EXPECT_NEAR(r.Timing.meanMs, double(shift), 1.0) << where;
        EXPECT_NEAR(r.Timing.meanMs, mean, 0.05) << where;
        EXPECT_NEAR(r.Timing.spreadMs, std::sqrt(square), 0.05) << where;
        EXPECT_EQ(shift > 0 ? r.Timing.late : r.Timing.early, int(script.size())) << where;
        // The ディレイ that cancels it: 30 ms at 459 pixels a second is 14 steps.
        EXPECT_EQ(r.SuggestedDelay, shift > 0 ? 14 : 0) << where;
        EXPECT_NE(ToJsonWithTiming(r).find("\"Early\":" + std::to_string(r.Timing.early)),
                  std::string::npos);

        // The replay, through its file, gives every judgement, the score and the figures again;
        // watched, it writes nothing (the cleared play's high score stays the player's own).
        ReplayCheck check;
        testing::TempDir watch;
        const SongResult again = PlayReplay(DecodeReplay(EncodeReplay(record)), watch.Dir(), check);
        EXPECT_TRUE(check.reproduced) << check.message;
        EXPECT_TRUE(again.NormaCleared);
        EXPECT_FALSE(std::filesystem::exists(watch.Dir() + "score.dat")) << where;
        EXPECT_EQ(again.Judgements, r.Judgements);
        EXPECT_EQ(again.Score, r.Score);
        EXPECT_EQ(again.Gauge, r.Gauge);
        EXPECT_EQ(again.Timing.meanMs, r.Timing.meanMs);
    }
}

TEST(Strikes, AReplayThatNoLongerFitsSaysSoInsteadOfShowingFigures) {
    const ChartId id{.song = 1, .difficulty = 0};
    testing::TempDir dir;
    Options o;
    o.song = id.song, o.difficulty = id.difficulty;
    Replay record;
    PlayChart(o, OnTime(id, 40, Big::OneKey, 0, [](int i) { return i % 7 * 5; }), dir.Dir(),
              nullptr, &record);
    ReplayCheck check;

    Replay changed = record;
    changed.chartPrint ^= 1;  // as after an edit of the chart file
    PlayReplay(changed, dir.Dir(), check);
    EXPECT_FALSE(check.reproduced);
    EXPECT_NE(check.message.find("chart has changed"), std::string::npos) << check.message;

    Replay older = record;
    older.build = "older";
    PlayReplay(older, dir.Dir(), check);
    EXPECT_TRUE(check.reproduced) << "the same judgement in another build reproduces";
    older.outcome.judgements[3] = older.outcome.judgements[3] == '3' ? '2' : '3';
    PlayReplay(older, dir.Dir(), check);
    EXPECT_FALSE(check.reproduced);
    EXPECT_NE(check.message.find("recorded by build older"), std::string::npos) << check.message;

    std::string bytes = EncodeReplay(record);
    bytes[bytes.size() / 2] ^= 0x20;
    EXPECT_THROW(DecodeReplay(bytes), std::runtime_error);
    EXPECT_THROW(DecodeReplay(bytes.substr(0, 40)), std::runtime_error);

    // A frame rate no play is recorded at is damage, even under a good checksum (found by
    // tests/file_fuzz: the play would pace on it).
    for (double fps : {0.0, -60.0, 1e300, std::nan("")}) {
        Replay odd = record;
        odd.framesPerSecond = fps;
        EXPECT_THROW(DecodeReplay(EncodeReplay(odd)), std::runtime_error) << fps;
    }
}

}  // namespace
}  // namespace zb::tool
