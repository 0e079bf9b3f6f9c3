// A drum kit through the real MIDI adapter: a JACK dummy server of the test's own, a fake kit (an
// RtMidi output port) that plays a whole own song into the real window, strokes on time, big
// notes by one hard stroke; a second kit appears mid-song, plays a few notes and leaves. Every
// stroke must sound at its stamp and be judged as the same strikes on keys are.
#include "platform/midi/midi_kits.hpp"

#include <RtMidi.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <memory>
#include <mutex>
#include <thread>

#include "core/chart_loader.hpp"
#include "core/kit_map.hpp"
#include "core/own_songs.hpp"
#include "frontend/kit_page.hpp"
#include "frontend/settings_slots.hpp"
#include "platform/fault_switch.hpp"
#include "platform/kit_inputs.hpp"
#include "play/play_screen_setup.hpp"
#include "play/play_song.hpp"
#include "tests/common/jack_server.hpp"
#include "tests/common/real_window_rig.hpp"
#include "tests/common/typical_song.hpp"

namespace zb {
namespace {

struct Stroke {
    double at;  // seconds since the song's music started
    int note, velocity;
    int kit = 0;  // which fake kit strikes it
};

// Strokes on every note: bass drum and hi-hat pedal, snare and hi-hat taking turns, one hard
// stroke on a big note.
std::vector<Stroke> OnTime(Game& game) {
    const Chart& c = game.chart;
    const double perPx = double(c.ChartSpan) / 100 / (double(c.ChartText.size()) * c.NoteSpacing);
    std::vector<Stroke> out;
    int turn[2] = {0, 0};
    for (int i = 1; i <= c.NoteCount; ++i) {
        const double at = std::round((c.NotePos[size_t(i)] - c.ChartOffset) * perPx * 1000) / 1000;
        const int kind = (c.NoteKinds[size_t(i - 1)] - '0') % 5;
        const int colour = kind % 2 ? 0 : 1;
        const int note = colour ? (turn[1]++ % 2 ? 42 : 38) : (turn[0]++ % 2 ? 44 : 36);
        out.push_back({at, note, kind >= 3 ? 120 : 90});
    }
    return out;
}

// A fake kit: an output port of its own on the JACK server.
struct FakeKit {
    explicit FakeKit(const std::string& name) : out(RtMidi::UNIX_JACK, name) {
        out.openVirtualPort("out");
    }
    void Strike(int note, int velocity) {
        const unsigned char on[3] = {0x99, uint8_t(note), uint8_t(velocity)};
        const unsigned char off[3] = {0x89, uint8_t(note), 0};
        out.sendMessage(on, 3);
        out.sendMessage(off, 3);
    }
    RtMidiOut out;
};

TEST(MidiKits, AFakeKitOverJackPlaysAWholeSongAsTheSameStrikesOnKeys) {
    testing::JackServer jack(64);
    ASSERT_TRUE(jack.Ready()) << "jackd -d dummy did not start";
    testing::RealWindowRig rig;
    midi::MidiKits kits(rig.clock, rig.keyboard, &sdl::SdlWindow::Wake);
    rig.window.SetInputPump([&kits] { return kits.Pump(); });

    rig.dir.Write("song.mid", testing::TypicalSongBytes({.bars = 7}));
    Game game(rig.ports);
    game.settings.DelaySetting = 0;
    ChartId id{.song = AddOwnSong(game, rig.dir.File("song.mid")), .difficulty = 2};
    LoadChart(game, id, 0);
    std::vector<Stroke> script = OnTime(game);
    ASSERT_GT(script.size(), 40u);

    FakeKit first("fake kit");
    std::unique_ptr<FakeKit> second;
    kits.LookNow();
    rig.window.DoEvents();
    ASSERT_EQ(rig.keyboard.Kits().size(), 1u);
    EXPECT_EQ(rig.keyboard.Kits()[0].name, "fake kit:out");
    // Strokes off the map, one every tenth of a second until one comes, show the path live
    // before the song: a new JACK client's first cycles can be slow, under a sanitizer seconds.
    const int warmUp = kit::Code(0, 60, false);
    bool live = false;
    for (const double end = rig.clock.Now() + 20; !live && rig.clock.Now() < end;) {
        first.Strike(60, 90);
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        rig.window.DoEvents();
        live = !game.input.TakeDownStamps(warmUp).empty();
    }
    ASSERT_TRUE(live) << "the kit's strokes never came";
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    rig.window.DoEvents();
    game.input.TakeDownStamps(warmUp);
    game.input.TakeUpStamps(warmUp);

    // The second kit comes an eighth of the way in; after the next look (two seconds at most,
    // and more for a busy machine, whose looks at JACK's ports take their time) it strikes for
    // a second and a half, then goes half a second after its last stroke (which a busy JACK
    // server may still be carrying) while the first plays on.
    const double comes = script[script.size() / 8].at, goes = comes + 6.0;
    for (Stroke& s : script)
        if (s.at > comes + 4.0 && s.at < goes - 0.5) s.kit = 1;
    ASSERT_GT(script.back().at, goes + 2.5);
    ASSERT_GT(std::count_if(script.begin(), script.end(), [](const Stroke& s) { return s.kit; }),
              5);

    PlayScreenSetup(game, id, false, false);
    LoadChart(game, id, 0);
    const double start = rig.clock.Now();
    // A JACK client takes tens of milliseconds to open or close: the second kit comes and goes
    // on a thread of its own, as a real device would, so that the strokes keep their time.
    std::thread coming, going;
    rig.scripted.At(start + comes, [&] {
        coming = std::thread([&] { second = std::make_unique<FakeKit>("second kit"); });
    });
    rig.scripted.At(start + goes, [&] { going = std::thread([&] { second.reset(); }); });
    size_t kitsSeen = 1;
    rig.scripted.At(start + comes + 3.9, [&] {
        coming.join();
        kitsSeen = rig.keyboard.Kits().size();
    });
    for (const Stroke& s : script)
        rig.scripted.At(start + s.at,
                        [&, s] { (s.kit ? *second : first).Strike(s.note, s.velocity); });
    rig.scripted.TakeLongestHold();
    const SongResult r = PlaySong(game, false, id);
    const double held = rig.scripted.TakeLongestHold();
    for (std::thread* t : {&coming, &going})
        if (t->joinable()) t->join();
    EXPECT_EQ(kitsSeen, 2u) << "the second kit was not seen";
    EXPECT_EQ(rig.keyboard.Kits().size(), 1u) << "the second kit did not go";

    // Every stroke sounded once, at its stamp; its key twin strikes at that stamp's music
    // position with the key of each strike it makes.
    ASSERT_EQ(rig.wave.played.size(), script.size());
    testing::TempDir dir;
    headless::HeadlessPlatform hp(dir.Dir());
    Game twin(hp.ports);
    twin.settings.DelaySetting = 0;
    id.song = AddOwnSong(twin, rig.dir.File("song.mid"));
    PlayScreenSetup(twin, id, false, false);
    LoadChart(twin, id, 0);
    const double twinStart = hp.clock.Now() - hp.music.CurrentPosition();
    double late = 0;
    for (size_t i = 0; i < script.size(); ++i) {
        const Stroke& s = script[i];
        const double at = rig.music.PositionAt(rig.wave.playedAt[i]);
        EXPECT_GE(at, s.at) << "stroke " << i;
        late = std::max(late, at - s.at);
        const int strike = s.note == 36 ? 0 : s.note == 44 ? 1 : s.note == 38 ? 2 : 3;
        std::vector<int> strikes{strike};
        if (s.velocity >= 112) strikes.push_back(strike ^ 1);
        for (int k : strikes) {
            hp.keyboard.At(twinStart + at, kDefaultKeyCodes[size_t(k)], true);
            hp.keyboard.At(twinStart + at + 0.005, kDefaultKeyCodes[size_t(k)], false);
        }
    }
    // Strokes heard far behind their time, or frames run far behind their turn, mean the machine
    // held the game up, and the play's frame-counted rules then part from the twin's even pace.
    if (std::max(late, held) > 0.05)
        GTEST_SKIP() << "the machine held the game up " << int(std::max(late, held) * 1000)
                     << " ms";
    const SongResult expected = PlaySong(twin, false, id);
    EXPECT_EQ(r.Judgements, expected.Judgements);
    EXPECT_EQ(r.ShownScore, expected.ShownScore);
    EXPECT_EQ(r.CountMiss, 0) << r.Judgements;
}

// The kit thread's failures and a slow wake-up: a kit the kit thread fails to open is dropped
// with one line and found at the next look; and while the window's wake-up is held up (it may
// wait for SDL's lock), the MIDI thread, which must never wait, goes on stamping every stroke
// on time.
TEST(MidiKits, AFailedKitIsLookedForAgainAndAHeldWakeNeverHoldsUpTheStrokes) {
    testing::JackServer jack(64);
    ASSERT_TRUE(jack.Ready()) << "jackd -d dummy did not start";
    sdl::SdlClock clock;
    sdl::SdlKeyboard keyboard;
    InputQueue input(keyboard);
    std::mutex held;  // the wake-up waits on it while the test holds it
    midi::MidiKits kits(clock, keyboard, [&held] { std::lock_guard lk(held); });
    kits.LookNow();  // the first look, before the kit comes

    fault::Arm(fault::Place::Kit);
    FakeKit kit("fake kit");
    ::testing::internal::CaptureStderr();
    kits.LookNow();
    kits.Pump();
    const std::string said = ::testing::internal::GetCapturedStderr();
    EXPECT_TRUE(keyboard.Kits().empty());
    EXPECT_NE(said.find("zubakko: MIDI kit fake kit:out dropped (test fault: kit): it is looked "
                        "for again\n"),
              std::string::npos)
        << said;
    kits.LookNow();
    kits.Pump();
    ASSERT_EQ(keyboard.Kits().size(), 1u);

    const int warmUp = kit::Code(0, 60, false), snare = kit::Code(0, 38, false);
    bool live = false;
    for (const double end = clock.Now() + 20; !live && clock.Now() < end;) {
        kit.Strike(60, 90);
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        kits.Pump();
        live = !input.TakeDownStamps(warmUp).empty();
    }
    ASSERT_TRUE(live) << "the kit's strokes never came";
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    kits.Pump();
    input.TakeDownStamps(warmUp);

    std::vector<double> struck;
    {
        std::lock_guard lk(held);
        for (int i = 0; i < 5; ++i) {
            struck.push_back(clock.Now());
            kit.Strike(38, 90);
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(500));
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    kits.Pump();
    const std::vector<double> stamps = input.TakeDownStamps(snare);
    ASSERT_EQ(stamps.size(), struck.size());
    for (size_t i = 0; i < stamps.size(); ++i) {
        EXPECT_GE(stamps[i], struck[i]) << i;
        EXPECT_LT(stamps[i] - struck[i], 0.2) << "stroke " << i << " waited for the wake-up";
    }
}

TEST(MidiKits, TheKitPageShowsAFakeKitsStrokesAndSetsAFloorByStriking) {
    testing::JackServer jack(64);
    ASSERT_TRUE(jack.Ready()) << "jackd -d dummy did not start";
    testing::RealWindowRig rig;
    midi::MidiKits kits(rig.clock, rig.keyboard, &sdl::SdlWindow::Wake);
    rig.window.SetInputPump([&kits] { return kits.Pump(); });
    Game game(rig.ports);
    FakeKit kit("fake kit");
    kits.LookNow();
    rig.window.DoEvents();
    ASSERT_EQ(rig.keyboard.Kits().size(), 1u);

    game.input.StartScreen(rig.clock.Now());
    KitPageScreen page;
    page.Start(game);
    const auto& log = game.form.Label[settings_slots::kExtrasLabel].Caption;
    // Passes until the page lists `line` (a new JACK client's first cycles can be slow, under a
    // sanitizer seconds).
    const auto lists = [&](const std::string& line, double seconds = 20) {
        for (const double end = rig.clock.Now() + seconds; rig.clock.Now() < end;) {
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
            rig.window.DoEvents();
            page.Pass(game);
            if (log.find(line) != std::string::npos) return true;
        }
        return false;
    };
    // Until the path is live: a note of no strike.
    bool live = false;
    for (int tries = 0; tries < 100 && !live; ++tries) {
        kit.Strike(60, 90);
        live = lists("MIDI 60　強さ 90　落とした：割り当てなし", 0.2);
    }
    ASSERT_TRUE(live) << log;
    // On 左足's line, the bass drum struck softly three times, then under its new floor.
    for (int v : {40, 30, 35}) {
        kit.Strike(36, v);
        ASSERT_TRUE(lists("MIDI 36　強さ " + std::to_string(v) + "　左足")) << log;
    }
    EXPECT_EQ(game.form.Label[settings_slots::kValueLabel[0]].Caption, "MIDI 36　下限 34");
    kit.Strike(36, 20);
    EXPECT_TRUE(lists("MIDI 36　強さ 20　落とした：下限")) << log;
    EXPECT_EQ(KitBindingOf(game.settings, "fake kit:out").hygiene.floor[36], 34);
}

TEST(MidiKits, AKitIsKnownByItsNameWithoutTheNumbersOfThisSession) {
    EXPECT_EQ(midi::MidiKits::StableName("TD-17:TD-17 MIDI 1 20:0"), "TD-17:TD-17 MIDI 1");
    EXPECT_EQ(midi::MidiKits::StableName("fake kit:out"), "fake kit:out");
    EXPECT_EQ(midi::MidiKits::StableName("Alesis Nitro 24:0"), "Alesis Nitro");
    EXPECT_EQ(midi::MidiKits::StableName("Kit 2"), "Kit 2");
}

}  // namespace
}  // namespace zb
