#include "core/midi_file.hpp"

#include <algorithm>
#include <cstring>

namespace zb {

namespace {

// More notes than any song holds; a file past it is refused rather than charted for minutes.
constexpr size_t kMaxNotes = 1u << 20;

struct Failure {
    std::string why;
};

// Reads the bytes of one chunk, never past its end.
class Cursor {
  public:
    Cursor(const unsigned char* p, size_t n) : p_(p), n_(n) {}
    bool AtEnd() const { return i_ >= n_; }
    size_t Left() const { return n_ - i_; }
    uint8_t Byte() {
        if (i_ >= n_) throw Failure{"トラックが途中で切れています"};
        return p_[i_++];
    }
    uint8_t Peek() const { return i_ < n_ ? p_[i_] : 0; }
    uint32_t VarLen() {
        uint32_t v = 0;
        for (int k = 0; k < 4; ++k) {
            const uint8_t b = Byte();
            v = (v << 7) | (b & 0x7F);
            if (!(b & 0x80)) return v;
        }
        throw Failure{"可変長の数が長すぎます"};
    }
    std::string_view Take(uint32_t len) {
        if (len > Left()) throw Failure{"イベントの長さがトラックを越えています"};
        std::string_view s(reinterpret_cast<const char*>(p_ + i_), len);
        i_ += len;
        return s;
    }

  private:
    const unsigned char* p_;
    size_t n_;
    size_t i_ = 0;
};

uint32_t Big32(const unsigned char* p) {
    return uint32_t(p[0]) << 24 | uint32_t(p[1]) << 16 | uint32_t(p[2]) << 8 | p[3];
}
uint16_t Big16(const unsigned char* p) {
    return uint16_t(p[0] << 8 | p[1]);
}

struct RawNote {
    uint64_t tick;
    uint8_t channel, key, velocity;
    uint16_t track;
};
struct RawTempo {
    uint64_t tick;
    uint32_t us;
};
struct RawMeter {
    uint64_t tick;
    int num, den;
};

struct Raw {
    std::vector<RawNote> notes;
    std::vector<RawTempo> tempos;
    std::vector<RawMeter> meters;
    std::string name;
    uint64_t endTick = 0;
    size_t events = 0;
};

// Printable UTF-8 without control characters, trimmed; empty when the bytes are not such text
// (many files carry Shift_JIS or Latin-1 names, which the file name replaces).
std::string CleanName(std::string_view s) {
    std::string out;
    size_t i = 0;
    while (i < s.size()) {
        const unsigned char c = static_cast<unsigned char>(s[i]);
        int len = c < 0x80 ? 1 : (c >> 5) == 6 ? 2 : (c >> 4) == 14 ? 3 : (c >> 3) == 30 ? 4 : 0;
        if (len == 0 || i + len > s.size()) return "";
        for (int k = 1; k < len; ++k)
            if ((static_cast<unsigned char>(s[i + k]) & 0xC0) != 0x80) return "";
        if (len == 1 && (c < 0x20 || c == 0x7F)) {
            if (c == 0) break;  // a C string's end
            return "";
        }
        out.append(s.substr(i, len));
        i += len;
    }
    const auto first = out.find_first_not_of(' ');
    if (first == std::string::npos) return "";
    out = out.substr(first, out.find_last_not_of(' ') - first + 1);
    return out;
}

void ReadTrack(Cursor c, uint16_t track, Raw& raw) {
    uint64_t tick = 0;
    int status = -1;  // running status
    while (!c.AtEnd()) {
        tick += c.VarLen();
        if (++raw.events > kMidiMaxEvents) throw Failure{"イベントが多すぎます"};
        raw.endTick = std::max(raw.endTick, tick);
        uint8_t b = c.Peek();
        if (b >= 0x80) {
            c.Byte();
            if (b == 0xFF) {
                const uint8_t type = c.Byte();
                const std::string_view data = c.Take(c.VarLen());
                const auto* d = reinterpret_cast<const unsigned char*>(data.data());
                if (type == 0x2F) return;  // end of track
                if (type == 0x51 && data.size() >= 3) {
                    const uint32_t us = uint32_t(d[0]) << 16 | uint32_t(d[1]) << 8 | d[2];
                    if (us == 0) throw Failure{"テンポが0です"};
                    raw.tempos.push_back({tick, us});
                } else if (type == 0x58 && data.size() >= 2) {
                    // A meter the game cannot draw (0 beats, notes shorter than 1/64) is skipped.
                    if (d[0] > 0 && d[1] <= 6) raw.meters.push_back({tick, d[0], 1 << d[1]});
                } else if (type == 0x03 && track == 0 && raw.name.empty()) {
                    raw.name = CleanName(data);
                }
                continue;
            }
            if (b == 0xF0 || b == 0xF7) {
                c.Take(c.VarLen());
                continue;
            }
            if (b >= 0xF0) throw Failure{"ファイルに置けないイベントがあります"};
            status = b;
        } else if (status < 0) {
            throw Failure{"ステータスのないランニングステータスがあります"};
        }
        const int kind = status >> 4;
        const uint8_t d1 = c.Byte();
        uint8_t d2 = 0;
        if (kind != 0xC && kind != 0xD) d2 = c.Byte();
        if ((d1 | d2) & 0x80) throw Failure{"データバイトが壊れています"};
        if (kind == 0x9 && d2 > 0) {
            if (raw.notes.size() >= kMaxNotes) throw Failure{"音符が多すぎます"};
            raw.notes.push_back({tick, uint8_t(status & 0x0F), d1, d2, track});
        }
    }
}

// Piecewise-linear maps from ticks to milliseconds and quarter notes.
class TimeMap {
  public:
    TimeMap(std::vector<RawTempo> tempos, uint16_t division) {
        std::stable_sort(tempos.begin(), tempos.end(),
                         [](const RawTempo& a, const RawTempo& b) { return a.tick < b.tick; });
        smpte_ = division & 0x8000;
        if (smpte_) {
            int fps = -int(int8_t(division >> 8));
            const double rate = fps == 29 ? 29.97 : fps;
            ticksPerSecond_ = rate * (division & 0xFF);
        } else {
            ppq_ = division;
        }
        points_.push_back({0, 0, 0, 500000});
        for (const RawTempo& t : tempos) {
            Point p = At(t.tick);
            p.us = t.us;
            if (points_.back().tick == t.tick)
                points_.back() = p;
            else
                points_.push_back(p);
        }
    }
    double Ms(uint64_t tick) const { return At(tick).ms; }
    double Beat(uint64_t tick) const { return At(tick).beat; }
    std::vector<MidiTempo> Tempos() const {
        std::vector<MidiTempo> out;
        for (const Point& p : points_) out.push_back({p.ms, p.beat, p.us});
        return out;
    }

  private:
    struct Point {
        uint64_t tick;
        double ms, beat;
        uint32_t us;
    };
    Point At(uint64_t tick) const {
        auto it = std::upper_bound(points_.begin(), points_.end(), tick,
                                   [](uint64_t t, const Point& p) { return t < p.tick; });
        const Point& p = *(it - 1);
        const double dt = double(tick - p.tick);
        Point q = p;
        q.tick = tick;
        if (smpte_) {
            // Time runs by the clock; the tempo only says how long a beat is.
            q.ms = p.ms + dt * 1000.0 / ticksPerSecond_;
            q.beat = p.beat + (q.ms - p.ms) * 1000.0 / p.us;
        } else {
            q.ms = p.ms + dt * p.us / 1000.0 / ppq_;
            q.beat = p.beat + dt / ppq_;
        }
        return q;
    }

    bool smpte_ = false;
    double ticksPerSecond_ = 0;
    uint16_t ppq_ = 0;
    std::vector<Point> points_;
};

void Read(std::string_view bytes, MidiSong& out) {
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
    const size_t n = bytes.size();
    if (n > kMidiMaxBytes) throw Failure{"ファイルが大きすぎます"};
    if (n < 14 || std::memcmp(p, "MThd", 4) != 0) throw Failure{"MIDIファイルではありません"};
    const uint32_t headerLen = Big32(p + 4);
    if (headerLen < 6 || headerLen > n - 8) throw Failure{"ヘッダーが壊れています"};
    const int format = Big16(p + 8);
    const uint16_t tracks = Big16(p + 10);
    const uint16_t division = Big16(p + 12);
    if (format > 2) throw Failure{"知らない形式のMIDIファイルです"};
    if (tracks == 0) throw Failure{"トラックがありません"};
    if (division == 0 || ((division & 0x8000) && (division & 0xFF) == 0))
        throw Failure{"時間の単位が0です"};
    if (division & 0x8000) {
        const int fps = -int(int8_t(division >> 8));
        if (fps != 24 && fps != 25 && fps != 29 && fps != 30)
            throw Failure{"知らないフレームレートです"};
    }

    Raw raw;
    size_t at = 8 + headerLen;
    uint16_t read = 0;
    while (read < tracks) {
        if (n - at < 8) throw Failure{"トラックが足りません"};
        const uint32_t len = Big32(p + at + 4);
        if (len > n - at - 8) throw Failure{"チャンクの長さがファイルを越えています"};
        if (std::memcmp(p + at, "MTrk", 4) == 0) ReadTrack(Cursor(p + at + 8, len), read++, raw);
        at += 8 + size_t(len);
    }

    std::stable_sort(raw.notes.begin(), raw.notes.end(),
                     [](const RawNote& a, const RawNote& b) { return a.tick < b.tick; });
    std::stable_sort(raw.meters.begin(), raw.meters.end(),
                     [](const RawMeter& a, const RawMeter& b) { return a.tick < b.tick; });
    const TimeMap map(raw.tempos, division);
    out = MidiSong{};
    out.format = format;
    out.name = raw.name;
    out.tempos = map.Tempos();
    out.notes.reserve(raw.notes.size());
    for (const RawNote& r : raw.notes)
        out.notes.push_back(
            {map.Ms(r.tick), map.Beat(r.tick), r.channel, r.key, r.velocity, r.track});
    out.meters.push_back({});
    for (const RawMeter& m : raw.meters) {
        const double beat = map.Beat(m.tick);
        if (out.meters.back().beat == beat) out.meters.pop_back();
        out.meters.push_back({beat, m.num, m.den});
    }
    out.endMs = map.Ms(raw.endTick);
    out.endBeat = map.Beat(raw.endTick);
}

}  // namespace

double MidiBeatToMs(const MidiSong& song, double beat) {
    const auto& t = song.tempos;
    auto it = std::upper_bound(t.begin(), t.end(), beat,
                               [](double b, const MidiTempo& m) { return b < m.beat; });
    if (it == t.begin()) return beat * 500.0;
    const MidiTempo& m = *(it - 1);
    return m.ms + (beat - m.beat) * m.usPerQuarter / 1000.0;
}

bool ReadMidi(std::string_view bytes, MidiSong& out, std::string& why) {
    try {
        Read(bytes, out);
        return true;
    } catch (const Failure& f) {
        why = f.why;
    } catch (const std::bad_alloc&) {
        why = "メモリが足りません";
    }
    out = MidiSong{};
    return false;
}

}  // namespace zb
