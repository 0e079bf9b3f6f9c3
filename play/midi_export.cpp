#include "play/midi_export.hpp"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <filesystem>
#include <set>
#include <stdexcept>
#include <tuple>
#include <vector>

#include "core/file_replace.hpp"
#include "core/midi_file.hpp"

namespace zb {

namespace {

[[noreturn]] void Refuse(const std::string& why) {
    throw std::runtime_error("the song's music file cannot be carried over: " + why);
}

uint32_t Big(const unsigned char* p, int bytes) {
    uint32_t v = 0;
    for (int i = 0; i < bytes; ++i) v = (v << 8) | p[i];
    return v;
}

void PutBig(std::string& out, uint32_t v, int bytes) {
    for (int i = bytes - 1; i >= 0; --i) out += char((v >> (8 * i)) & 0xFF);
}

void PutVarLen(std::string& out, uint64_t v) {
    if (v > 0x0FFFFFFF) Refuse("an event lies too far after the one before it");
    char buf[4];
    int n = 0;
    do {
        buf[n++] = char(v & 0x7F);
        v >>= 7;
    } while (v);
    while (n > 1) out += char(buf[--n] | 0x80);
    out += buf[0];
}

void PutChunk(std::string& out, const char* kind, const std::string& body) {
    out += kind;
    PutBig(out, uint32_t(body.size()), 4);
    out += body;
}

// One track's events with every delta time multiplied by `factor`; the events themselves,
// running status included, are copied as they are.
std::string ScaledTrack(const unsigned char* p, size_t n, uint32_t factor) {
    std::string out;
    out.reserve(n + n / 2);
    size_t at = 0;
    const auto need = [&](size_t k) {
        if (n - at < k) Refuse("a track ends inside an event");
    };
    const auto copy = [&](size_t k) {
        need(k);
        out.append(reinterpret_cast<const char*>(p + at), k);
        at += k;
    };
    const auto varLen = [&] {
        uint32_t v = 0;
        for (int i = 0; i < 4; ++i) {
            need(1);
            const unsigned char b = p[at++];
            v = (v << 7) | (b & 0x7F);
            if (!(b & 0x80)) return v;
        }
        Refuse("a number longer than four bytes");
    };
    // A length as it was written, then that many bytes.
    const auto copyBlock = [&] {
        const size_t from = at;
        const uint32_t len = varLen();
        const size_t lenBytes = at - from;
        at = from;
        copy(lenBytes);
        copy(len);
    };
    unsigned char running = 0;
    while (at < n) {
        PutVarLen(out, uint64_t(varLen()) * factor);
        need(1);
        unsigned char status = p[at];
        if (status & 0x80) {
            copy(1);
        } else {
            if (!running) Refuse("a running status with no status before it");
            status = running;
        }
        if (status == 0xFF) {
            copy(1);  // the meta event's type
            copyBlock();
        } else if (status == 0xF0 || status == 0xF7) {
            copyBlock();
            running = 0;
        } else if (status >= 0xF0) {
            Refuse("a system message inside a track");
        } else {
            running = status;
            copy((status & 0xF0) == 0xC0 || (status & 0xF0) == 0xD0 ? 1 : 2);
        }
    }
    return out;
}

struct Timebase {
    uint16_t division = 0;  // as the file will say it
    double ticksPerMs = 0;  // SMPTE: ticks a millisecond; else 0
    uint32_t factor = 1;
};

// The least whole factor on the resolution that makes every tick shorter than a millisecond.
Timebase FineTimebase(uint16_t division, const MidiSong& song) {
    Timebase t;
    if (division & 0x8000) {
        const int fps = -int(int8_t(division >> 8));
        const double perSecond = (fps == 29 ? 29.97 : fps) * (division & 0xFF);
        while (perSecond * t.factor <= 1000.0) ++t.factor;
        if ((division & 0xFF) * t.factor > 0xFF) Refuse("its frames cannot be cut finer");
        t.division = uint16_t((division & 0xFF00) | ((division & 0xFF) * t.factor));
        t.ticksPerMs = perSecond * t.factor / 1000.0;
        return t;
    }
    uint32_t slowest = 0;
    for (const MidiTempo& m : song.tempos) slowest = std::max(slowest, m.usPerQuarter);
    // A tick lasts slowest / (division * factor) microseconds.
    t.factor = slowest / (1000u * division) + 1;
    if (uint64_t(division) * t.factor > 0x7FFF) Refuse("its tempo is too slow to time finely");
    t.division = uint16_t(division * t.factor);
    return t;
}

// The tick of a moment of the music, in milliseconds from its start.
uint64_t TickAt(const MidiSong& song, const Timebase& t, double ms) {
    ms = std::max(ms, 0.0);
    if (t.ticksPerMs > 0) return uint64_t(std::llround(ms * t.ticksPerMs));
    const auto& tempos = song.tempos;
    auto it = std::upper_bound(tempos.begin(), tempos.end(), ms,
                               [](double m, const MidiTempo& p) { return m < p.ms; });
    const MidiTempo& p = *(it == tempos.begin() ? it : it - 1);
    const double beat = p.beat + (ms - p.ms) * 1000.0 / p.usPerQuarter;
    return uint64_t(std::llround(beat * t.division));
}

struct Stroke {
    uint64_t tick;
    int note, velocity;
    bool operator<(const Stroke& o) const {
        return std::tie(tick, note, velocity) < std::tie(o.tick, o.note, o.velocity);
    }
};

// The player's strokes: each press once (a kit's hard stroke is the presses of both strikes of
// its pair, made by one note), at the moment it was struck.
std::vector<Stroke> Strokes(const Replay& r, const MidiSong& song, const Timebase& t,
                            std::string& devices) {
    std::set<std::tuple<int, double, int>> seen;  // device, stamp, note
    std::set<int> used;
    std::vector<Stroke> out;
    for (const ReplayKeyEvent& e : r.keys) {
        if (e.kind != ReplayKeyEvent::Kind::Press || e.key > 3) continue;
        const bool own = e.note >= 0 && e.note < 128 && e.velocity > 0;
        const int note = own ? e.note : kStrikeNotes[e.key];
        const double at = e.device >= 0 ? e.raw : e.music;
        if (!seen.insert({e.device, at, note}).second) continue;
        if (e.device >= 0) used.insert(e.device);
        out.push_back({TickAt(song, t, at * 1000.0), note,
                       own ? std::min<int>(e.velocity, 127) : kStrikeVelocity});
    }
    for (int d : used)
        if (size_t(d) < r.devices.size())
            devices += (devices.empty() ? "" : ", ") + r.devices[size_t(d)].name;
    if (devices.empty()) devices = "keyboard";
    std::sort(out.begin(), out.end());
    return out;
}

// The strokes' track: its name, then each stroke's note-on and, a 64th note later or at the
// note's next stroke, its note-off.
std::string StrokeTrack(std::vector<Stroke> strokes, const std::string& name, uint16_t division) {
    struct Event {
        uint64_t tick;
        bool on;
        int note, velocity;
    };
    std::vector<Event> events;
    const uint64_t length = std::max(1, division / 16);
    for (size_t i = 0; i < strokes.size(); ++i) {
        const Stroke& s = strokes[i];
        uint64_t off = s.tick + length;
        bool twice = false;
        for (size_t j = i + 1; j < strokes.size() && strokes[j].tick < off; ++j)
            if (strokes[j].note == s.note) {
                twice = strokes[j].tick == s.tick;
                off = strokes[j].tick;
                break;
            }
        if (twice) continue;  // two strokes within one tick are one note
        events.push_back({s.tick, true, s.note, s.velocity});
        events.push_back({off, false, s.note, 0});
    }
    std::stable_sort(events.begin(), events.end(), [](const Event& a, const Event& b) {
        return a.tick != b.tick ? a.tick < b.tick : !a.on && b.on;
    });
    std::string out;
    out += char(0);
    out += "\xFF\x03";
    const std::string title = name.substr(0, 127);
    PutVarLen(out, title.size());
    out += title;
    uint64_t now = 0;
    for (const Event& e : events) {
        PutVarLen(out, e.tick - now);
        now = e.tick;
        out += char(e.on ? 0x99 : 0x89);
        out += char(e.note);
        out += char(e.velocity);
    }
    out += std::string("\0\xFF\x2F\0", 4);
    return out;
}

}  // namespace

PlayMidi ExportPlayMidi(std::string_view music, const Replay& replay) {
    MidiSong song;
    std::string why;
    if (!ReadMidi(music, song, why)) Refuse(why);
    const auto* p = reinterpret_cast<const unsigned char*>(music.data());
    const size_t n = music.size();
    const uint32_t headerLen = Big(p + 4, 4);
    const uint32_t format = Big(p + 8, 2), tracks = Big(p + 10, 2);
    if (format == 2) Refuse("its tracks are separate songs (format 2)");
    if (tracks >= 0xFFFF) Refuse("it has no room for another track");
    const Timebase t = FineTimebase(uint16_t(Big(p + 12, 2)), song);

    std::string body;
    size_t at = 8 + headerLen;
    for (uint32_t read = 0; read < tracks;) {
        const uint32_t len = Big(p + at + 4, 4);  // ReadMidi checked every chunk's length
        if (std::string_view(music.data() + at, 4) == "MTrk") {
            PutChunk(body, "MTrk", ScaledTrack(p + at + 8, len, t.factor));
            ++read;
        }
        at += 8 + size_t(len);
        if (at > n) Refuse("a chunk runs past the end");
    }
    PlayMidi out;
    std::string devices;
    const std::vector<Stroke> strokes = Strokes(replay, song, t, devices);
    out.strokes = int(strokes.size());
    out.strikesOnly = replay.devices.empty() &&
                      std::none_of(replay.keys.begin(), replay.keys.end(),
                                   [](const ReplayKeyEvent& e) { return e.device >= 0; });
    PutChunk(body, "MTrk", StrokeTrack(strokes, devices, t.division));

    std::string header;
    PutBig(header, 1, 2);
    PutBig(header, tracks + 1, 2);
    PutBig(header, t.division, 2);
    PutChunk(out.bytes, "MThd", header);
    out.bytes += body;
    return out;
}

std::string MidiPathBeside(const std::string& replayPath) {
    namespace fs = std::filesystem;
    const fs::path replay(replayPath);
    const fs::path stem = replay.parent_path() / replay.stem();
    std::error_code ec;
    std::string path = stem.string() + ".mid";
    for (int k = 2; fs::exists(path, ec) || ec; ++k)
        path = stem.string() + "-" + std::to_string(k) + ".mid";
    return path;
}

bool WriteNewFile(const std::string& path, const std::string& bytes, std::string& why) {
    namespace fs = std::filesystem;
    std::error_code ec;
    if (fs::exists(path, ec) || ec) {
        why = ec ? ec.message() : "the file exists; nothing was written over it";
        return false;
    }
    const std::string part = path + ".part";
    if (!ReplaceFileContents(part, bytes, &why)) return false;
    // A link fails where the name is taken, even by a file that came meanwhile. A folder on a
    // file system without links (a FAT stick) takes a rename, looked at just before.
    fs::create_hard_link(part, path, ec);
    std::error_code probe;
    if (ec && ec != std::errc::file_exists && !fs::exists(path, probe) && !probe)
        fs::rename(part, path, ec);
    std::error_code left;
    fs::remove(part, left);
    if (ec)
        why = ec == std::errc::file_exists ? "the file exists; nothing was written over it"
                                           : ec.message();
    return !ec;
}

}  // namespace zb
