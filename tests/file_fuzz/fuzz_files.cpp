// Any bytes as one of the game's own files: songcache.dat, kits.txt, pads.txt, options.txt,
// devices.txt, a replay or history.txt's lines. ZB_FUZZ_FILE names which. The reader must neither
// crash, hang nor allocate without bound; what it accepts must be what its writer writes (written
// again, it reads back the same), and a file it refuses is refused with a reason. Files guarded by
// a checksum are also tried with the checksum put right, so that the fuzzer reaches what lies
// behind it.
//
// ZB_FUZZ_WRITE_SEEDS=<folder> writes the seeds with the game's own writers instead (committed in
// seeds/<file>/).
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "core/devices_file.hpp"
#include "core/options_file.hpp"
#include "core/own_song_cache.hpp"
#include "frontend/kit_file.hpp"
#include "frontend/pad_file.hpp"
#include "platform/pad_inputs.hpp"
#include "play/play_record.hpp"
#include "play/replay.hpp"

namespace {

enum class File { SongCache, Kits, Pads, Options, Replay, Devices, History };
File gFile = File::SongCache;
const char* const kNames[] = {"songcache", "kits",    "pads",   "options",
                              "replay",    "devices", "history"};
constexpr int kFiles = 7;
const std::string kFolder = "/songs/";

uint64_t Fnv(std::string_view bytes) {
    uint64_t h = 0xcbf29ce484222325ull;
    for (unsigned char c : bytes) h = (h ^ c) * 0x100000001b3ull;
    return h;
}

[[noreturn]] void Fail(const char* what) {
    std::fprintf(stderr, "fuzz_files: %s: %s\n", kNames[int(gFile)], what);
    std::abort();
}

// The cache's end line put right: the hash of all before it, and the count of its rows (or, when
// the last byte is odd, a count far past them).
std::string SealCache(std::string_view body) {
    std::string s(body);
    if (s.empty() || s.back() != '\n') s += '\n';
    uint64_t rows = 0;
    for (char c : s) rows += c == '\n';
    if (!body.empty() && (body.back() & 1)) rows = Fnv(s) >> 1;
    char hex[17];
    std::snprintf(hex, sizeof hex, "%llx", static_cast<unsigned long long>(Fnv(s)));
    return s + "end\t" + std::to_string(rows - 1) + '\t' + hex + '\n';
}

void SongCache(const std::string& bytes) {
    std::vector<zb::OwnSong> songs;
    std::string why;
    switch (zb::DecodeOwnSongCache(bytes, kFolder, songs, why)) {
        case zb::OwnCacheRead::Read:
            break;
        case zb::OwnCacheRead::Damaged:
        case zb::OwnCacheRead::Newer:
            if (why.empty() || !songs.empty()) Fail("refused without a reason, or kept rows");
            return;
    }
    for (const zb::OwnSong& s : songs) {
        if (s.path.empty() || !(s.id.empty() || s.id.size() == 16)) Fail("a row it should refuse");
        for (int16_t l : s.levels)
            if (l < 0 || l > 99) Fail("a level no chart has");
        for (int16_t n : s.notes)
            if (n < 0) Fail("a negative note count");
    }
    const std::string again = zb::EncodeOwnSongCache(songs, kFolder);
    std::vector<zb::OwnSong> back;
    if (zb::DecodeOwnSongCache(again, kFolder, back, why) != zb::OwnCacheRead::Read ||
        zb::EncodeOwnSongCache(back, kFolder) != again)
        Fail("what it read does not write back the same");
}

void Kits(const std::string& bytes) {
    zb::Settings s;
    std::string why;
    if (!zb::DecodeKitBindings(bytes, s, &why)) {
        if (why.empty() || !s.KitBindings.empty()) Fail("refused without a reason, or kept kits");
        return;
    }
    for (const auto& [name, b] : s.KitBindings) {
        if (name.empty() || name.find('\n') != name.npos) Fail("a kit name it cannot write");
        if (b.bigVelocity < 1 || b.bigVelocity > 128) Fail("a velocity out of range");
        for (int8_t k : b.strikes)
            if (k < -1 || k > 3) Fail("a strike out of range");
        for (int16_t n : b.shown)
            if (n < -1 || n > 127) Fail("a shown note out of range");
        for (size_t n = 0; n < b.hygiene.floor.size(); ++n)
            if (b.hygiene.floor[n] > 127 || b.hygiene.retriggerMs[n] > zb::kit::kMaxWindowMs)
                Fail("a floor or retrigger window out of range");
        if (b.hygiene.crosstalkMs > zb::kit::kMaxWindowMs || b.hygiene.crosstalkPercent > 100)
            Fail("a crosstalk rule out of range");
    }
    zb::Settings back;
    std::string why2;
    if (!zb::DecodeKitBindings(zb::EncodeKitBindings(s), back, &why2) || !why2.empty() ||
        back.KitBindings != s.KitBindings)
        Fail("what it read does not write back the same");
}

void Pads(const std::string& bytes) {
    zb::Settings s;
    std::string why;
    if (!zb::DecodePadBindings(bytes, s, &why)) {
        if (why.empty() || !s.PadInputs.empty()) Fail("refused without a reason, or kept pads");
        return;
    }
    for (const auto& [guid, inputs] : s.PadInputs) {
        if (guid.size() != 32) Fail("a GUID it should refuse");
        for (int16_t in : inputs)
            if (in != -1 && zb::pad::InputName(in).empty()) Fail("an input with no name");
    }
    zb::Settings back;
    std::string why2;
    if (!zb::DecodePadBindings(zb::EncodePadBindings(s), back, &why2) || !why2.empty() ||
        back.PadInputs != s.PadInputs)
        Fail("what it read does not write back the same");
}

void Options(const std::string& bytes) {
    zb::GameOptions o;
    zb::DecodeOptions(bytes, o);
    const std::string once = zb::EncodeOptions(o);
    zb::GameOptions back;
    zb::DecodeOptions(once, back);
    if (back.HitErrorBar != o.HitErrorBar || back.OtherLines != o.OtherLines ||
        zb::EncodeOptions(back) != once)
        Fail("what it read does not write back the same");
}

void Devices(const std::string& bytes) {
    zb::DeviceOptions d;
    std::string why;
    zb::DecodeDevices(bytes, d, &why);
    for (const std::string& device : d.silent)
        if (device.empty() || device.find_first_of("\t\n") != device.npos)
            Fail("a device name it cannot write");
    for (const auto& [device, ms] : d.offsetMs) {
        if (device.empty() || device.find_first_of("\t\n") != device.npos)
            Fail("a device name it cannot write");
        if (ms < -50 || ms > 50) Fail("an offset out of range");
    }
    const std::string once = zb::EncodeDevices(d);
    zb::DeviceOptions back;
    std::string why2;
    zb::DecodeDevices(once, back, &why2);
    if (!why2.empty() || back.offsetMs != d.offsetMs || back.silent != d.silent ||
        zb::EncodeDevices(back) != once)
        Fail("what it read does not write back the same");
}

// history.txt is only ever appended to, so each line it reads must give a line of its own that
// reads back the same.
void History(const std::string& bytes) {
    size_t from = 0;
    while (from <= bytes.size()) {
        const size_t end = std::min(bytes.find('\n', from), bytes.size());
        const std::optional<zb::PlayRecord> r =
            zb::DecodePlayRecord(bytes.substr(from, end - from));
        from = end + 1;
        if (!r) continue;
        const std::string once = zb::EncodePlayRecord(*r);
        if (once.find('\n') != std::string::npos) Fail("a line it writes holds a line break");
        const std::optional<zb::PlayRecord> back = zb::DecodePlayRecord(once);
        if (!back || zb::EncodePlayRecord(*back) != once)
            Fail("what it read does not write back the same");
    }
}

// The replay's checksum (FNV-1a of all before it, 8 bytes little-endian) put right.
std::string SealReplay(std::string_view body) {
    std::string s(body);
    uint64_t h = Fnv(s);
    for (int i = 0; i < 8; ++i, h >>= 8) s += char(h & 0xFF);
    return s;
}

void Replay(const std::string& bytes) {
    zb::Replay r;
    try {
        r = zb::DecodeReplay(bytes);
    } catch (const std::runtime_error& e) {
        if (!*e.what()) Fail("refused without a reason");
        return;
    }
    if (!(r.framesPerSecond >= 1 && r.framesPerSecond <= 10000)) Fail("a frame rate no play has");
    const std::string once = zb::EncodeReplay(r);
    if (zb::EncodeReplay(zb::DecodeReplay(once)) != once)
        Fail("what it read does not write back the same");
}

void WriteSeed(const std::string& folder, const char* name, const std::string& bytes) {
    std::ofstream(folder + "/" + name, std::ios::binary) << bytes;
}

// Seeds from the game's own writers: small files of each kind, as a player's game writes them.
void WriteSeeds(const std::string& folder) {
    switch (gFile) {
        case File::SongCache: {
            zb::OwnSong a;
            a.path = kFolder + "drums/beat.mid";
            a.title = "ビート\t1";
            a.id = "0123456789abcdef";
            a.playable = true;
            a.levels = {2, 5, 9};
            a.notes = {120, 240, 480};
            a.stamp = {4096, 1700000000123456789, 0xfeed};
            a.chartVersion = 3;
            a.lastPlayed = 1700000100;
            zb::OwnSong b;
            b.path = "/elsewhere/song.mid";
            b.title = "song";
            b.reason = "叩けるリズムがありません";
            b.stamp = {64, 1, 0};
            WriteSeed(folder, "two_songs.dat", zb::EncodeOwnSongCache({a, b}, kFolder));
            WriteSeed(folder, "empty.dat", zb::EncodeOwnSongCache({}, kFolder));
            break;
        }
        case File::Kits: {
            zb::Settings s;
            zb::KitBinding k;
            k.strikes.fill(-1);
            k.strikes[36] = 0, k.strikes[38] = 2, k.strikes[42] = 3, k.strikes[35] = 1;
            k.bigVelocity = 100;
            k.shown = {36, 35, 38, 42};
            k.hygiene.floor[38] = 24, k.hygiene.floor[36] = 10;
            k.hygiene.retriggerMs[42] = 12;
            k.hygiene.crosstalkMs = 7, k.hygiene.crosstalkPercent = 35;
            s.KitBindings["TD-17 MIDI 1"] = k;
            zb::KitBinding j;
            j.strikes.fill(-1);
            j.strikes[60] = 1;
            s.KitBindings["Alesis Nitro"] = j;
            WriteSeed(folder, "two_kits.txt", zb::EncodeKitBindings(s));
            break;
        }
        case File::Pads: {
            zb::Settings s;
            s.PadInputs["030000005e0400008e02000014010000"] = {
                int16_t(*zb::pad::InputFromName(zb::pad::InputName(0))), -1,
                int16_t(*zb::pad::InputFromName(zb::pad::InputName(1))), -1};
            WriteSeed(folder, "one_pad.txt", zb::EncodePadBindings(s));
            break;
        }
        case File::Options: {
            zb::GameOptions o;
            o.HitErrorBar = true;
            o.OtherLines = {"newer_option 3"};
            WriteSeed(folder, "options.txt", zb::EncodeOptions(o));
            break;
        }
        case File::Replay: {
            zb::Replay r;
            r.build = "seed";
            r.chart = {3, 1};
            r.randomState = 12345;
            r.chartPrint = 678;
            r.keyCodes = {70, 74, 68, 75};
            r.musicReads = {0, 1, 2, 2, 3, 5, 8};
            r.keys = {{1, 0, zb::ReplayKeyEvent::Kind::Press, 0.013},
                      {1, 0, zb::ReplayKeyEvent::Kind::Down, 0},
                      {3, 0, zb::ReplayKeyEvent::Kind::Release, 0.05},
                      {3, 0, zb::ReplayKeyEvent::Kind::Up, 0}};
            r.outcome.judgements = "0121";
            r.outcome.frames = 4;
            WriteSeed(folder, "built_in.zbr", zb::EncodeReplay(r));
            r.ownSong = "0123456789abcdef";
            r.chart = {1000, 2};
            r.modifier = zb::Modifier(1);
            r.devices = {{"kit TD-17", -3}};
            r.keys[0].device = 0, r.keys[0].raw = 0.016, r.keys[0].note = 38;
            r.keys[0].velocity = 100;
            WriteSeed(folder, "own_song.zbr", zb::EncodeReplay(r));
            break;
        }
        case File::Devices: {
            zb::DeviceOptions d;
            d.SetOffset("keyboard", 4);
            d.SetOffset("pad 030000005e0400008e02000014010000 Xbox 360 パッド", -12);
            d.SetOffset("kit TD-17 MIDI 1", 50);
            d.otherChoices["kit TD-17 MIDI 1"] = {"newer_choice 3"};
            d.SetSounds("kit TD-17 MIDI 1", false);
            d.SetSounds("pad 030000005e0400008e02000014010000 Xbox 360 パッド", false);
            WriteSeed(folder, "devices.txt", zb::EncodeDevices(d));
            break;
        }
        case File::History: {
            zb::PlayRecord a;
            a.when = "2026-04-01 21:05:09", a.song = "3", a.difficulty = 2, a.score = 812300;
            a.best = 300, a.good = 20, a.miss = 4, a.maxCombo = 211, a.seconds = 101.5;
            a.replay = "000012_s3_d2.zbr";
            a.devices = {{-4.5, 12.25, 300, "keyboard"}, {8, 20.5, 24, "kit TD-17 MIDI 1"}};
            zb::PlayRecord b;
            b.song = "0123456789abcdef", b.course = "ranking", b.modifier = 3;
            WriteSeed(folder, "history.txt",
                      "# ズバッコミュージック: every play by hand\nversion 1\n" +
                          zb::EncodePlayRecord(a) + "\n" + zb::EncodePlayRecord(b) + "\n");
            break;
        }
    }
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    const char* file = std::getenv("ZB_FUZZ_FILE");
    int i = 0;
    while (i < kFiles && !(file && std::strcmp(file, kNames[i]) == 0)) ++i;
    if (i == kFiles) {
        std::fprintf(stderr,
                     "fuzz_files: set ZB_FUZZ_FILE to songcache, kits, pads, options, replay, "
                     "devices or history\n");
        std::exit(2);
    }
    gFile = File(i);
    if (const char* seeds = std::getenv("ZB_FUZZ_WRITE_SEEDS")) {
        WriteSeeds(seeds);
        std::exit(0);
    }
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    switch (gFile) {
        case File::SongCache:
            SongCache(bytes);
            SongCache(SealCache(bytes));
            break;
        case File::Kits:
            Kits(bytes);
            break;
        case File::Pads:
            Pads(bytes);
            break;
        case File::Options:
            Options(bytes);
            break;
        case File::Replay:
            Replay(bytes);
            if (size >= 8) Replay(SealReplay(std::string_view(bytes).substr(0, size - 8)));
            break;
        case File::Devices:
            Devices(bytes);
            break;
        case File::History:
            History(bytes);
            break;
    }
    return 0;
}
