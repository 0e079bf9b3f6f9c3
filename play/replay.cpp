#include "play/replay.hpp"

#include <bit>
#include <cstring>
#include <initializer_list>
#include <stdexcept>

#include "play/play_state.hpp"

namespace zb {

namespace {

constexpr char kMagic[4] = {'Z', 'B', 'R', 'P'};
constexpr uint16_t kFormat = 2;

uint64_t Fnv(const void* data, size_t n, uint64_t h) {
    const auto* p = static_cast<const unsigned char*>(data);
    for (size_t i = 0; i < n; ++i) h = (h ^ p[i]) * 0x100000001b3ull;
    return h;
}
constexpr uint64_t kFnvStart = 0xcbf29ce484222325ull;

class Writer {
  public:
    void Bytes(const void* p, size_t n) { out.append(static_cast<const char*>(p), n); }
    template <typename T>
    void Le(T v) {
        using U = std::make_unsigned_t<T>;
        const U u = U(v);
        for (size_t i = 0; i < sizeof(T); ++i) out.push_back(char((u >> (8 * i)) & 0xFF));
    }
    void F64(double v) { Le(std::bit_cast<uint64_t>(v)); }
    void Str(const std::string& s) {
        Le(uint32_t(s.size()));
        out += s;
    }
    void Var(uint64_t v) {
        while (v >= 0x80) {
            out.push_back(char((v & 0x7F) | 0x80));
            v >>= 7;
        }
        out.push_back(char(v));
    }
    std::string out;
};

class Reader {
  public:
    Reader(const std::string& s, size_t end) : s_(s), end_(end) {}
    void Need(size_t n) {
        if (n > end_ - at_) throw std::runtime_error("the replay file is cut short");
    }
    template <typename T>
    T Le() {
        Need(sizeof(T));
        std::make_unsigned_t<T> u = 0;
        for (size_t i = 0; i < sizeof(T); ++i)
            u |= std::make_unsigned_t<T>(uint8_t(s_[at_ + i])) << (8 * i);
        at_ += sizeof(T);
        return T(u);
    }
    double F64() { return std::bit_cast<double>(Le<uint64_t>()); }
    std::string Str() {
        const uint32_t n = Le<uint32_t>();
        Need(n);
        std::string v = s_.substr(at_, n);
        at_ += n;
        return v;
    }
    uint64_t Var() {
        uint64_t v = 0;
        for (int shift = 0; shift < 64; shift += 7) {
            const uint8_t b = Le<uint8_t>();
            v |= uint64_t(b & 0x7F) << shift;
            if (!(b & 0x80)) return v;
        }
        throw std::runtime_error("the replay file holds a damaged number");
    }
    // A count of entries that each take at least `least` bytes: more than the file holds is
    // damage, not a reason to reserve memory.
    uint32_t Count(size_t least) {
        const uint32_t n = Le<uint32_t>();
        Need(size_t(n) * least);
        return n;
    }
    bool AtEnd() const { return at_ == end_; }

  private:
    const std::string& s_;
    size_t end_;
    size_t at_ = 0;
};

uint64_t ZigZag(int64_t v) {
    return (uint64_t(v) << 1) ^ uint64_t(v >> 63);
}
int64_t UnZigZag(uint64_t v) {
    return int64_t(v >> 1) ^ -int64_t(v & 1);
}

bool CarriesMusic(ReplayKeyEvent::Kind k) {
    return k == ReplayKeyEvent::Kind::Press || k == ReplayKeyEvent::Kind::Release;
}

}  // namespace

uint64_t ChartPrint(const Chart& c, uint64_t before) {
    uint64_t h = before == 0 ? kFnvStart : before;
    h = Fnv(c.ChartText.data(), c.ChartText.size(), h);
    for (int32_t v : std::initializer_list<int32_t>{
             c.NoteCount, c.NoteSpacing, c.LaneBlitWidth, c.PartEndTime, c.ChartSpan, c.ChartOffset,
             c.ChartDelay, c.SongLevel, c.ComboBonusStep, c.GaugeGainBest, c.GaugeGainGood,
             c.GaugeLoss, c.GaugeUnit, c.JudgeWindow1, c.JudgeWindow2, c.JudgeWindow3, c.SongPart})
        h = Fnv(&v, sizeof v, h);
    for (int32_t p : c.NotePos) h = Fnv(&p, sizeof p, h);
    const uint64_t scale = std::bit_cast<uint64_t>(c.MusicVolumeScale);
    return Fnv(&scale, sizeof scale, h);
}

void PutReplaySettings(Settings& s, const Replay& r) {
    s.KeyCodes = r.keyCodes;
    s.DelaySetting = r.delay;
    s.FramePosition = r.framePosition;
    s.BigNoteWait = r.bigNoteWait;
    s.JudgeEffect = r.judgeEffect;
}

std::string EncodeReplay(const Replay& r) {
    Writer w;
    w.Bytes(kMagic, 4);
    w.Le(kFormat);
    w.Str(r.build);
    w.Le(r.chart.song);
    w.Le(r.chart.difficulty);
    w.Str(r.ownSong);
    w.Le(ModifierCode(r.modifier));
    w.Le(uint8_t(r.challengeCourse));
    w.Le(r.challengePoints);
    w.Le(r.randomState);
    w.Le(r.chartPrint);
    for (int16_t k : r.keyCodes) w.Le(k);
    w.Le(r.delay);
    w.Le(r.framePosition);
    w.Le(uint8_t(r.bigNoteWait | r.judgeEffect << 1 | r.hitErrorBar << 2));
    w.F64(r.framesPerSecond);
    w.Le(uint32_t(r.devices.size()));
    for (const ReplayDevice& d : r.devices) {
        w.Str(d.name);
        w.Le(d.offsetMs);
    }

    w.Le(uint32_t(r.musicReads.size()));
    int64_t last = 0;
    for (int32_t v : r.musicReads) w.Var(ZigZag(int64_t(v) - last)), last = v;
    w.Le(uint32_t(r.keys.size()));
    int32_t frame = 0;
    for (const ReplayKeyEvent& e : r.keys) {
        w.Var(ZigZag(int64_t(e.frame) - frame));
        frame = e.frame;
        w.Le(uint8_t(uint8_t(e.kind) << 2 | (e.key & 3)));
        if (CarriesMusic(e.kind)) w.F64(e.music);
        if (e.kind == ReplayKeyEvent::Kind::Press) {
            w.Le(e.device);
            w.F64(e.raw);
            w.Le(e.note);
            w.Le(e.velocity);
        }
    }

    const ReplayOutcome& o = r.outcome;
    w.Le(o.validScore);
    w.F64(o.score);
    for (int16_t v : {o.maxCombo, o.countBest, o.countGood, o.countMiss, o.gauge, o.gaugeLevel})
        w.Le(v);
    w.Le(o.frames);
    w.Str(o.judgements);
    w.Le(Fnv(w.out.data(), w.out.size(), kFnvStart));
    return w.out;
}

Replay DecodeReplay(const std::string& bytes) {
    if (bytes.size() < 4 || std::memcmp(bytes.data(), kMagic, 4) != 0)
        throw std::runtime_error("not a replay file");
    if (bytes.size() < 14) throw std::runtime_error("the replay file is cut short");
    const size_t body = bytes.size() - 8;
    uint64_t stored = 0;
    for (size_t i = 0; i < 8; ++i) stored |= uint64_t(uint8_t(bytes[body + i])) << (8 * i);
    if (stored != Fnv(bytes.data(), body, kFnvStart))
        throw std::runtime_error("the replay file is damaged (its checksum does not match)");
    Reader in(bytes, body);
    in.Le<uint32_t>();  // the magic
    const uint16_t format = in.Le<uint16_t>();
    if (format < 1 || format > kFormat)
        throw std::runtime_error("the replay file has format " + std::to_string(format) +
                                 "; this build reads formats 1 to " + std::to_string(kFormat));
    Replay r;
    r.build = in.Str();
    r.chart.song = in.Le<int16_t>();
    r.chart.difficulty = in.Le<int16_t>();
    r.ownSong = in.Str();
    const int16_t mode = in.Le<int16_t>();
    if (mode < 0 || mode >= kModifierCount)
        throw std::runtime_error("the replay file names an unknown modifier");
    r.modifier = Modifier(mode);
    r.challengeCourse = in.Le<uint8_t>() != 0;
    r.challengePoints = in.Le<int32_t>();
    r.randomState = in.Le<uint64_t>();
    r.chartPrint = in.Le<uint64_t>();
    for (int16_t& k : r.keyCodes) k = in.Le<int16_t>();
    r.delay = in.Le<int16_t>();
    r.framePosition = in.Le<int16_t>();
    const uint8_t flags = in.Le<uint8_t>();
    r.bigNoteWait = flags & 1, r.judgeEffect = flags & 2, r.hitErrorBar = flags & 4;
    r.framesPerSecond = in.F64();
    // The rates a play is recorded at (60 in the game, zubakko-play's --fps 1 to 10000).
    if (!(r.framesPerSecond >= 1 && r.framesPerSecond <= 10000))
        throw std::runtime_error("the replay file holds a damaged frame rate");
    if (format >= 2) {
        r.devices.resize(in.Count(6));
        for (ReplayDevice& d : r.devices) {
            d.name = in.Str();
            d.offsetMs = in.Le<int16_t>();
            if (d.offsetMs < -kDeviceOffsetLimit || d.offsetMs > kDeviceOffsetLimit)
                throw std::runtime_error("the replay file holds a damaged input offset");
        }
    }

    r.musicReads.resize(in.Count(1));
    int64_t last = 0;
    // Each step between 32-bit values is within 2^32 either way: a longer one is damage, and
    // never added (it could overflow).
    constexpr int64_t kStep = int64_t(1) << 32;
    for (int32_t& v : r.musicReads) {
        const int64_t step = UnZigZag(in.Var());
        if (step < -kStep || step > kStep)
            throw std::runtime_error("the replay file holds a damaged music position");
        last += step;
        if (last < INT32_MIN || last > INT32_MAX)
            throw std::runtime_error("the replay file holds a damaged music position");
        v = int32_t(last);
    }
    r.keys.resize(in.Count(2));
    int64_t frame = 0;
    for (ReplayKeyEvent& e : r.keys) {
        const int64_t step = UnZigZag(in.Var());
        if (step < -kStep || step > kStep)
            throw std::runtime_error("the replay file holds a damaged frame number");
        frame += step;
        if (frame < 0 || frame > INT32_MAX)
            throw std::runtime_error("the replay file holds a damaged frame number");
        e.frame = int32_t(frame);
        const uint8_t b = in.Le<uint8_t>();
        if ((b >> 2) > 3) throw std::runtime_error("the replay file holds an unknown key event");
        e.key = b & 3;
        e.kind = ReplayKeyEvent::Kind(b >> 2);
        if (CarriesMusic(e.kind)) e.music = in.F64();
        if (format >= 2 && e.kind == ReplayKeyEvent::Kind::Press) {
            e.device = in.Le<int16_t>();
            e.raw = in.F64();
            e.note = in.Le<int16_t>();
            e.velocity = in.Le<int16_t>();
            if (e.device < -1 || e.device >= int(r.devices.size()) || e.note < -1 || e.note > 127 ||
                e.velocity < 0 || e.velocity > 127)
                throw std::runtime_error("the replay file holds a damaged press");
        }
    }

    ReplayOutcome& o = r.outcome;
    o.validScore = in.Le<int32_t>();
    o.score = in.F64();
    for (int16_t* v :
         {&o.maxCombo, &o.countBest, &o.countGood, &o.countMiss, &o.gauge, &o.gaugeLevel})
        *v = in.Le<int16_t>();
    o.frames = in.Le<int32_t>();
    o.judgements = in.Str();
    if (!in.AtEnd()) throw std::runtime_error("the replay file has bytes past its end");
    return r;
}

void PlayRecorder::Keys(Game& game, int32_t frame, int k, const std::vector<int>& codes,
                        double from, const std::deque<double>& queue, size_t fresh, bool down,
                        const std::map<double, PressSource>& sources) {
    using Kind = ReplayKeyEvent::Kind;
    const uint8_t key = uint8_t(k);
    for (size_t i = fresh; i < queue.size(); ++i) {
        ReplayKeyEvent e{frame, key, Kind::Press, queue[i]};
        if (const auto s = sources.find(queue[i]); s != sources.end()) {
            e.device = Device(game, s->second.device);
            e.raw = s->second.raw;
            e.note = int16_t(s->second.note);
            e.velocity = int16_t(s->second.velocity);
        }
        r_.keys.push_back(e);
    }
    for (int code : codes)
        for (double at : game.input.TakeUpStamps(code))
            if (at >= from)
                r_.keys.push_back({frame, key, Kind::Release, game.platform.music.PositionAt(at)});
    if (down != down_[size_t(k)]) {
        down_[size_t(k)] = down;
        r_.keys.push_back({frame, key, down ? Kind::Down : Kind::Up, 0});
    }
}

int16_t PlayRecorder::Device(const Game& game, const std::string& name) {
    for (size_t i = 0; i < r_.devices.size(); ++i)
        if (r_.devices[i].name == name) return int16_t(i);
    r_.devices.push_back({name, int16_t(game.devices.OffsetOf(name))});
    return int16_t(r_.devices.size() - 1);
}

int32_t ReplayFeed::MusicRead() {
    if (music_ >= r_.musicReads.size())
        throw std::runtime_error("the replay ends before its song does");
    return r_.musicReads[music_++];
}

bool ReplayFeed::TakeKey(int32_t frame, int k, std::deque<double>& queue) {
    using Kind = ReplayKeyEvent::Kind;
    size_t& i = next_[size_t(k)];
    for (; i < r_.keys.size() && r_.keys[i].frame <= frame; ++i) {
        const ReplayKeyEvent& e = r_.keys[i];
        if (e.key != k) continue;
        if (e.kind == Kind::Press) queue.push_back(e.music);
        if (e.kind == Kind::Down) down_[size_t(k)] = true;
        if (e.kind == Kind::Up) down_[size_t(k)] = false;
    }
    return down_[size_t(k)];
}

bool ReplayFeed::Done() const {
    if (music_ != r_.musicReads.size()) return false;
    for (size_t i : next_)
        if (i != r_.keys.size()) return false;
    return true;
}

}  // namespace zb
