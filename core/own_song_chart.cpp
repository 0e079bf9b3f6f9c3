#include "core/own_song_chart.hpp"

#include <algorithm>
#include <cmath>
#include <map>
#include <numeric>

namespace zb {

namespace {

constexpr int kDrumChannel = 9;  // channel 10 as players count
// Events closer than this are one stroke (a flam, a chord, two voices at once).
constexpr double kTogetherMs = 30;
// A rhythm with fewer strokes than this gives no song worth playing.
constexpr size_t kMinStrokes = 16;
// At most this share of a chart's notes are big, as in the built-in charts.
constexpr double kMaxBigShare = 0.25;

// What a percussion key gives a chart: low drums 鈍, high drums 感, crashes accents, and the
// small metal and wooden sounds 感 fillers for the hardest chart's gaps.
enum DrumClass { kNoDrum, kLow, kHigh, kCrash, kFill };

// General MIDI's percussion keys.
DrumClass ClassOf(uint8_t key) {
    switch (key) {
        case 35:
        case 36:  // bass drums
        case 61:  // low bongo
        case 64:  // low conga
        case 66:  // low timbale
            return kLow;
        case 37:  // side stick
        case 38:
        case 40:  // snares
        case 39:  // hand clap
        case 41:
        case 43:
        case 45:
        case 47:
        case 48:
        case 50:  // toms
        case 60:  // high bongo
        case 62:
        case 63:  // high congas
        case 65:  // high timbale
            return kHigh;
        case 49:
        case 52:
        case 55:
        case 57:
            return kCrash;
        case 42:
        case 44:
        case 46:
        case 51:
        case 53:
        case 59:  // hi-hats and rides
        case 54:  // tambourine
        case 56:  // cowbell
        case 67:
        case 68:  // agogos
        case 69:  // cabasa
        case 70:  // maracas
        case 75:  // claves
        case 76:
        case 77:  // woodblocks
        case 80:
        case 81:  // triangles
        case 82:  // shaker
        case 83:  // jingle bell
        case 85:  // castanets
            return kFill;
        default:
            return kNoDrum;
    }
}

// One stroke the rhythm offers a chart.
struct Stroke {
    double ms = 0;  // of the first event of the drums (or part) that make the note
    double beat = 0;
    int kind = 1;    // 1 don, 2 kan
    int accent = 0;  // how strongly it asks to be big: crash with bass drum, voices, loudness
    bool big = false;
    bool fill = false;  // cymbals, hi-hats and small percussion only: for the hardest chart's gaps
    int strength = 0;   // place in the bar: 4 bar, 3 beat, 2 eighth, 1 sixteenth or triplet
    int priority = 0;
};

// Groups time-ordered items whose times lie within kTogetherMs of a group's first.
template <class T, class Ms>
std::vector<std::vector<const T*>> Together(const std::vector<const T*>& items, Ms ms) {
    std::vector<std::vector<const T*>> groups;
    for (const T* it : items) {
        if (groups.empty() || ms(*it) - ms(*groups.back().front()) >= kTogetherMs)
            groups.emplace_back();
        groups.back().push_back(it);
    }
    return groups;
}

// The velocity from which a stroke counts as loud: only a part that varies its loudness has
// loud strokes.
int LoudFrom(std::vector<int> velocities) {
    if (velocities.empty()) return 128;
    const size_t k = velocities.size() * 9 / 10;
    std::nth_element(velocities.begin(), velocities.begin() + long(k), velocities.end());
    return std::max(100, velocities[k] + 1);
}

std::vector<Stroke> DrumStrokes(const MidiSong& midi) {
    std::vector<const MidiNote*> drums;
    std::vector<int> velocities;
    for (const MidiNote& n : midi.notes) {
        if (n.channel != kDrumChannel) continue;
        const DrumClass c = ClassOf(n.key);
        if (c == kNoDrum) continue;
        drums.push_back(&n);
        if (c == kLow || c == kHigh) velocities.push_back(n.velocity);
    }
    const int loud = LoudFrom(std::move(velocities));
    std::vector<Stroke> out;
    for (const auto& g : Together<MidiNote>(drums, [](const MidiNote& n) { return n.ms; })) {
        const MidiNote *low = nullptr, *high = nullptr;  // the first of each
        bool crash = false;
        int highVoices = 0, velocity = 0;
        uint8_t lastHighKey = 0;
        for (const MidiNote* n : g) {
            const DrumClass c = ClassOf(n->key);
            if (c == kLow && !low) low = n;
            crash |= c == kCrash;
            if (c == kHigh) {
                if (!high || n->key != lastHighKey) ++highVoices;
                if (!high) high = n;
                lastHighKey = n->key;
            }
            if (c == kLow || c == kHigh) velocity = std::max<int>(velocity, n->velocity);
        }
        // The note stands on the drums that make it: a hi-hat, tambourine or crash a few ms
        // ahead is heard with it but must not move it.
        const MidiNote* at = low ? low : high ? high : g.front();
        Stroke s;
        s.ms = at->ms;
        s.beat = at->beat;
        if (low || high) {
            s.kind = low ? 1 : 2;
            s.accent =
                (low && crash ? 2 : 0) + (low && high) + (highVoices >= 2) + (velocity >= loud);
        } else {
            s.kind = 2;
            s.fill = true;
        }
        out.push_back(s);
    }
    return out;
}

// A file without drums: the lowest part strikes 鈍 and the busiest of the others 感.
std::vector<Stroke> PartStrokes(const MidiSong& midi) {
    struct Part {
        std::vector<const MidiNote*> notes;
        double pitch = 0;
        size_t onsets = 0;
    };
    std::map<int, Part> parts;  // by channel: a part is what one channel plays
    for (const MidiNote& n : midi.notes) {
        if (n.channel == kDrumChannel) continue;
        Part& p = parts[n.channel];
        p.notes.push_back(&n);
        p.pitch += n.key;
    }
    const Part* low = nullptr;
    const Part* busy = nullptr;
    for (auto& [channel, p] : parts) {
        p.pitch /= double(p.notes.size());
        p.onsets = Together<MidiNote>(p.notes, [](const MidiNote& n) { return n.ms; }).size();
        if (p.onsets < kMinStrokes / 2) continue;
        if (!low || p.pitch < low->pitch) low = &p;
    }
    for (auto& [channel, p] : parts)
        if (&p != low && p.onsets >= kMinStrokes / 2 && (!busy || p.onsets > busy->onsets))
            busy = &p;
    if (!low) return {};
    struct Tagged {
        const MidiNote* note;
        bool low;
    };
    std::vector<Tagged> both;
    std::vector<int> velocities;
    for (const Part* p : {low, busy}) {
        if (!p) continue;
        for (const MidiNote* n : p->notes) {
            both.push_back({n, p == low});
            velocities.push_back(n->velocity);
        }
    }
    std::stable_sort(both.begin(), both.end(),
                     [](const Tagged& a, const Tagged& b) { return a.note->ms < b.note->ms; });
    std::vector<const Tagged*> ordered;
    for (const Tagged& t : both) ordered.push_back(&t);
    const int loud = LoudFrom(std::move(velocities));
    std::vector<Stroke> out;
    for (const auto& g : Together<Tagged>(ordered, [](const Tagged& t) { return t.note->ms; })) {
        const MidiNote *fromLow = nullptr, *fromBusy = nullptr;  // the first of each
        int velocity = 0;
        for (const Tagged* t : g) {
            const MidiNote*& first = t->low ? fromLow : fromBusy;
            if (!first) first = t->note;
            velocity = std::max<int>(velocity, t->note->velocity);
        }
        // As with drums: a 鈍 stands on the lowest part's note, not on the busy part's ahead.
        const MidiNote* at = fromLow ? fromLow : fromBusy;
        Stroke s;
        s.ms = at->ms;
        s.beat = at->beat;
        s.kind = fromLow ? 1 : 2;
        s.accent = (fromLow && fromBusy) + (velocity >= loud);
        out.push_back(s);
    }
    return out;
}

// The place of a beat in its bar: 4 on the bar line, 3 on a beat, 2 on an eighth, 1 on a
// sixteenth or a triplet, 0 elsewhere.
int StrengthAt(const MidiSong& midi, double beat) {
    auto near = [](double x, double y) { return std::abs(x - y) < 0.04; };
    auto it = std::upper_bound(midi.meters.begin(), midi.meters.end(), beat,
                               [](double b, const MidiMeter& m) { return b < m.beat; });
    if (it != midi.meters.begin()) {
        const MidiMeter& m = *(it - 1);
        const double bar = m.numerator * 4.0 / m.denominator;
        const double in = std::fmod(beat - m.beat, bar);
        if (near(in, 0) || near(in, bar)) return 4;
    }
    const double f = beat - std::floor(beat);
    if (near(f, 0) || near(f, 1)) return 3;
    if (near(f, 0.5)) return 2;
    for (double x : {0.25, 0.75, 1 / 3.0, 2 / 3.0})
        if (near(f, x)) return 1;
    return 0;
}

// Counts of chosen notes over chart positions, for the density limit.
class Counts {
  public:
    explicit Counts(size_t n) : tree_(n + 1, 0) {}
    void Add(size_t i) {
        for (++i; i < tree_.size(); i += i & (~i + 1)) ++tree_[i];
    }
    int Before(size_t i) const {  // chosen positions < i
        int s = 0;
        for (i = std::min(i, tree_.size() - 1); i > 0; i -= i & (~i + 1)) s += tree_[i];
        return s;
    }

  private:
    std::vector<int> tree_;
};

struct LevelRule {
    int minGapCs;      // the shortest distance between two notes
    int maxPer2s;      // the most notes within any two seconds
    double targetNps;  // density the chart is thinned to, at most
    double share;      // at most this share of the next harder chart's density
};

// The built-in charts of each course keep these: かんたん never closer than about an eighth at
// a fast tempo, the other two down to sixteenths; densities from about 1-3, 2-6 and 4-7.5
// notes a second.
constexpr std::array<LevelRule, kOwnDifficulties> kRules{{
    {19, 8, 2.2, 0.55},
    {10, 15, 4.5, 0.7},
    {8, 20, 6.8, 1.0},
}};

// Picks the strokes of one chart from `from` (indices into strokes, time order), most important
// first, keeping the rule's spacing and density.
std::vector<size_t> Thin(const std::vector<Stroke>& strokes, const std::vector<size_t>& from,
                         const LevelRule& rule, double targetNps, size_t positions) {
    if (from.empty()) return {};
    const double seconds =
        std::max(1.0, (strokes[from.back()].ms - strokes[from.front()].ms) / 1000.0);
    const size_t target = size_t(std::max(1.0, targetNps * seconds));
    std::vector<size_t> order = from;
    std::stable_sort(order.begin(), order.end(),
                     [&](size_t a, size_t b) { return strokes[a].priority > strokes[b].priority; });
    std::vector<uint8_t> taken(positions + 1, 0);
    Counts counts(positions + 1);
    std::vector<size_t> chosen;
    for (size_t i : order) {
        if (chosen.size() >= target) break;
        const long w = std::lround(strokes[i].ms / 10.0);
        if (w < 1 || size_t(w) > positions) continue;
        bool free = true;
        for (long d = -(rule.minGapCs - 1); d < rule.minGapCs && free; ++d) {
            const long v = w + d;
            if (v >= 1 && size_t(v) <= positions && taken[size_t(v)]) free = false;
        }
        if (!free) continue;
        const int around =
            counts.Before(size_t(w) + 100) - counts.Before(size_t(std::max(0L, w - 99)));
        if (around >= rule.maxPer2s) continue;
        taken[size_t(w)] = 1;
        counts.Add(size_t(w));
        chosen.push_back(i);
    }
    std::sort(chosen.begin(), chosen.end());
    return chosen;
}

double MainTempoBpm(const MidiSong& midi) {
    std::map<uint32_t, double> lasting;
    for (size_t i = 0; i < midi.tempos.size(); ++i) {
        const double end = i + 1 < midi.tempos.size() ? midi.tempos[i + 1].ms : midi.endMs;
        lasting[midi.tempos[i].usPerQuarter] += std::max(0.0, end - midi.tempos[i].ms);
    }
    uint32_t best = 500000;
    double longest = -1;
    for (const auto& [us, ms] : lasting)
        if (ms > longest) best = us, longest = ms;
    return 60e6 / best;
}

std::vector<long> BarPositions(const MidiSong& midi, size_t positions) {
    std::vector<long> bars;
    int budget = 200000;
    for (size_t i = 0; i < midi.meters.size(); ++i) {
        const MidiMeter& m = midi.meters[i];
        const double end = i + 1 < midi.meters.size() ? midi.meters[i + 1].beat : midi.endBeat;
        const double len = m.numerator * 4.0 / m.denominator;
        for (double b = m.beat; b < end - 1e-9 && budget > 0; b += len, --budget) {
            const long w = std::lround(MidiBeatToMs(midi, b) / 10.0);
            if (w < 1 || size_t(w) > positions) continue;
            // Bars closer than a quarter second would only clutter the lane.
            if (!bars.empty() && w - bars.back() < 25) continue;
            bars.push_back(w);
        }
    }
    return bars;
}

}  // namespace

int16_t StarLevel(int difficulty, double nps) {
    static constexpr std::array<std::array<double, 4>, kOwnDifficulties> kFrom{{
        {1.3, 2.1, 2.8, 1e9},   // levels 1-4
        {3.4, 3.7, 4.2, 5.0},   // levels 3-7
        {5.3, 6.87, 1e9, 1e9},  // levels 8-10
    }};
    static constexpr std::array<int, kOwnDifficulties> kLowest{1, 3, 8};
    const auto& from = kFrom.at(size_t(difficulty));
    int level = kLowest[size_t(difficulty)];
    for (double f : from)
        if (nps >= f) ++level;
    return int16_t(level);
}

double NotesPerSecond(const std::string& text) {
    size_t first = 0, last = 0, n = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '0' || text[i] == '5') continue;
        if (n++ == 0) first = i;
        last = i;
    }
    if (n < 2) return double(n);
    return double(n) / std::max(1.0, double(last - first) / 100.0);
}

ChartConstants OwnChartConstants(int difficulty, int16_t level, int16_t notes, int16_t spacing) {
    ChartConstants k{};
    k.SongLevel = level;
    k.Notes = notes;
    k.GaugeGainBest = 10;
    k.GaugeGainGood = 7;
    k.GaugeLoss = difficulty == 0 ? -7 : -10;
    // About a fifth of the notes per gauge step, as in the built-in charts; the whole gauge must
    // still fit the play loop's 16-bit count.
    k.GaugeUnit = int16_t(std::clamp<long>(std::lround(notes * 0.2), 1, 800));
    // The combo bonus takes about half of the score, as in most built-in charts.
    const long step = level * 100000L / std::max<long>(1, notes * 10L) / 2;
    k.ComboBonusStep = int16_t(std::clamp<long>(step, 1, 100));
    // Windows of about 29, 58 and 87 ms, as most built-in charts have at their speed.
    const int16_t w1 = int16_t(std::lround(2.9 * spacing));
    k.windows = {w1, int16_t(2 * w1), int16_t(3 * w1)};
    k.NoteSpacing = spacing;
    return k;
}

std::vector<DueNote> DueNotesOf(const std::string& text) {
    std::vector<DueNote> due;
    for (size_t i = 0; i < text.size(); ++i) {
        const int kind = (text[i] - '0') % 5;
        if (kind != 0) due.push_back({int32_t((i + 1) * 10), kind});
    }
    return due;
}

OwnSongCharts BuildOwnCharts(const MidiSong& midi) {
    OwnSongCharts out;
    if (midi.endMs > kOwnMaxMs) {
        out.reason = "20分より長い曲です";
        return out;
    }
    std::vector<Stroke> strokes = DrumStrokes(midi);
    const size_t drumHits = size_t(
        std::count_if(strokes.begin(), strokes.end(), [](const Stroke& s) { return !s.fill; }));
    if (drumHits < kMinStrokes) strokes = PartStrokes(midi);
    std::erase_if(strokes, [](const Stroke& s) { return s.ms < kOwnLeadInMs; });
    if (std::count_if(strokes.begin(), strokes.end(), [](const Stroke& s) { return !s.fill; }) <
        long(kMinStrokes)) {
        out.reason = drumHits > 0 || midi.notes.empty() ? "叩けるリズムがありません"
                                                        : "叩けるリズムのパートがありません";
        if (midi.notes.empty()) out.reason = "音符がありません";
        return out;
    }

    // The strongest accents become big notes, up to the built-in charts' share.
    for (Stroke& s : strokes) {
        s.strength = StrengthAt(midi, s.beat);
        s.priority = s.fill ? s.strength - 100 : s.strength * 4 + s.accent * 3 + (s.kind == 1);
    }
    std::vector<size_t> accented;
    for (size_t i = 0; i < strokes.size(); ++i)
        if (strokes[i].accent > 0 && !strokes[i].fill) accented.push_back(i);
    std::stable_sort(accented.begin(), accented.end(), [&](size_t a, size_t b) {
        return std::pair(strokes[a].accent, strokes[a].strength) >
               std::pair(strokes[b].accent, strokes[b].strength);
    });
    const size_t bigMax = size_t(kMaxBigShare * double(strokes.size()));
    for (size_t k = 0; k < accented.size() && k < bigMax; ++k) strokes[accented[k]].big = true;

    out.partEndTime = int32_t(std::ceil(midi.endMs / 10.0)) + 150;
    const size_t positions = size_t(out.partEndTime);
    // A beat takes about 180 lane pixels, as a built-in chart's sixteenths of 40 pixels do.
    out.spacing = int16_t(std::clamp<long>(std::lround(3 * MainTempoBpm(midi) / 100.0), 3, 6));
    const std::vector<long> bars = BarPositions(midi, positions);

    std::vector<size_t> from(strokes.size());
    std::iota(from.begin(), from.end(), 0);
    for (int d = kOwnDifficulties - 1; d >= 0; --d) {
        const LevelRule& rule = kRules[size_t(d)];
        double target = rule.targetNps;
        if (d + 1 < kOwnDifficulties && !from.empty()) {
            const double harder = NotesPerSecond(out.charts[size_t(d + 1)].text);
            target = std::min(target, rule.share * harder);
        }
        from = Thin(strokes, from, rule, target, positions);
        OwnChart& c = out.charts[size_t(d)];
        c.text.assign(positions, '0');
        for (long w : bars) c.text[size_t(w - 1)] = '5';
        for (size_t i : from) {
            const Stroke& s = strokes[i];
            const long w = std::lround(s.ms / 10.0);
            char& digit = c.text[size_t(w - 1)];
            digit = char(digit + s.kind + (s.big ? 2 : 0));
            const double error = std::abs(double(w) * 10.0 - s.ms);
            c.errorsMs.push_back(float(error));
            c.maxErrorMs = std::max(c.maxErrorMs, error);
        }
        c.notes = int16_t(from.size());
        c.level = StarLevel(d, NotesPerSecond(c.text));
        c.due = DueNotesOf(c.text);
    }
    if (out.charts[kOwnDifficulties - 1].notes < int16_t(kMinStrokes)) {
        out.reason = "叩けるリズムがありません";
        return out;
    }
    out.playable = true;
    return out;
}

}  // namespace zb
