#include "compose.hpp"

#include <algorithm>
#include <cmath>
#include <map>

#include "core/chart_digits.hpp"
#include "smf_writer.hpp"

namespace musicgen {

namespace {

enum Channel { kLead = 0, kCounter = 1, kComp = 2, kBass = 3, kPad = 4, kTimpani = 5, kDrums = 9 };

// Kit keys (General MIDI); the chart line keeps 36, 37, 41 and 75 to itself.
enum KitKey {
    kKick = 35,
    kSnare = 38,
    kSnare2 = 40,
    kClosedHat = 42,
    kPedalHat = 44,
    kOpenHat = 46,
    kCrash = 49,
    kRide = 51,
    kTambourine = 54,
    kCrash2 = 57,
    kHiBongo = 60,
    kLoBongo = 61,
    kMuteConga = 62,
    kOpenConga = 63,
    kLowConga = 64,
    kTriangle = 81
};

// A small deterministic generator, the same on every machine.
class Rng {
  public:
    explicit Rng(uint64_t seed) : s_(seed * 0x9E3779B97F4A7C15ull + 1) {}
    uint64_t Next() {
        s_ ^= s_ << 13;
        s_ ^= s_ >> 7;
        s_ ^= s_ << 17;
        return s_;
    }
    int Range(int lo, int hi) { return lo + int(Next() % uint64_t(hi - lo + 1)); }

  private:
    uint64_t s_;
};

int Group(Section s) {
    switch (s) {
        case Section::Calm:
            return 0;
        case Section::Main:
            return 1;
        case Section::Climax:
            return 2;
        default:
            return 3;
    }
}

int NoteOf(const PartStyle& st, int degree) {
    const int oct = degree >= 0 ? degree / 7 : -((-degree + 6) / 7);
    const int idx = degree - oct * 7;
    return st.tonic + 12 * oct + st.scale[size_t(idx)];
}

int ChordDegree(const PartStyle& st, const Bar& b) {
    if (b.section == Section::Ending) return 0;
    const auto& p = st.chords;
    const auto& prog = b.section == Section::Calm     ? p.calm
                       : b.section == Section::Main   ? p.main
                       : b.section == Section::Climax ? p.climax
                                                      : p.other;
    return prog[size_t(b.phraseBar % 4)];
}

// The chord's tones as scale degrees (root, third, fifth and the seventh when asked).
std::vector<int> ChordDegrees(const PartStyle& st, int root) {
    std::vector<int> d{root, root + 2, root + 4};
    if (st.sevenths) d.push_back(root + 6);
    return d;
}

class Composer {
  public:
    Composer(const Plan& plan, const Style& style) : plan_(plan), style_(style), rng_(style.seed) {}

    std::string Write();

  private:
    void Setup(int64_t tick, const PartStyle& st);
    void Melody(const Bar& b, const PartStyle& st, int chord, const Bar* next);
    void Chords(const Bar& b, const PartStyle& st, int chord);
    void Bass(const Bar& b, const PartStyle& st, int chord, int nextChord);
    void Drums(const Bar& b, const PartStyle& st);
    void ChartDrums(const Bar& b);
    std::vector<int> Onsets(const Bar& b);
    int Vel(const Bar& b, int base) const {
        return std::clamp(int(std::lround(base * (0.55 + 0.45 * b.level))), 1, 127);
    }
    int64_t Beat(const Bar& b, int beat) const { return b.TickOf(beat * b.beatPositions); }
    int Beats(const Bar& b) const { return (b.positions + b.beatPositions - 1) / b.beatPositions; }

    const Plan& plan_;
    const Style& style_;
    Rng rng_;
    SmfTrack tempo_{"Tempo"}, lead_{"Melody"}, counter_{"Counter"}, comp_{"Chords"}, bass_{"Bass"},
        pad_{"Pad"}, kit_{"Kit"}, chart_{kChartDrumsTrack};
    int melodyDegree_ = 2;
    int repeats_ = 0;
    std::map<int, std::vector<int>> motifs_;
};

void Composer::Setup(int64_t tick, const PartStyle& st) {
    struct Ch {
        int channel, program, volume, pan;
    };
    const Ch chans[] = {{kLead, st.lead, 100, 64}, {kCounter, st.counter, 82, 44},
                        {kComp, st.comp, 78, 84},  {kBass, st.bass, 100, 64},
                        {kPad, st.pad, 70, 54},    {kTimpani, 47, 96, 70}};
    for (const Ch& c : chans) {
        if (c.program < 0) continue;
        SmfTrack& t = c.channel == kLead      ? lead_
                      : c.channel == kCounter ? counter_
                      : c.channel == kComp    ? comp_
                      : c.channel == kBass    ? bass_
                                              : pad_;
        t.Program(tick, c.channel, c.program);
        t.Control(tick, c.channel, 7, c.volume);
        t.Control(tick, c.channel, 10, c.pan);
        t.Control(tick, c.channel, 91, 48);
    }
    kit_.Control(tick, kDrums, 7, 96);
    kit_.Control(tick, kDrums, 91, 30);
}

std::vector<int> Composer::Onsets(const Bar& b) {
    std::vector<int> on;
    const int gap = std::max(1, b.beatPositions / 2);
    for (int j = 0; j < int(b.rhythm.size()); ++j) {
        const int k = zb::NoteKindOfDigit(b.rhythm[size_t(j)]);
        if (k == 0) continue;
        if (!on.empty() && j - on.back() < gap) continue;
        on.push_back(j);
    }
    if (on.size() < 2) {
        // Too few notes to sing: long notes on the first and third beats.
        on.clear();
        for (int beat = 0; beat < Beats(b); beat += 2) on.push_back(beat * b.beatPositions);
    }
    return on;
}

void Composer::Melody(const Bar& b, const PartStyle& st, int chord, const Bar* next) {
    if (b.section == Section::Break || b.section == Section::Bridge) return;
    if (b.section == Section::Ending) {
        lead_.Note(b.tick, plan_.bars.back().EndTick() - b.tick, kLead, NoteOf(st, 7),
                   Vel(b, st.leadVelocity));
        return;
    }
    auto& motif = motifs_[Group(b.section) * 2 + (b.phrase % 3 == 2)];
    if (motif.empty()) {
        const int steps[] = {1, 1, -1, 2, -1, -2, 1, -1, 3, -1, -3, 2};
        for (int i = 0; i < 8; ++i) motif.push_back(steps[rng_.Next() % 12]);
    }
    const std::vector<int> on = Onsets(b);
    const std::vector<int> tones = ChordDegrees(st, chord);
    const bool calm = b.section == Section::Calm || b.section == Section::Intro;
    for (size_t i = 0; i < on.size(); ++i) {
        const int pos = on[i];
        const bool strong = pos % b.beatPositions == 0;
        int step = motif[(i + size_t(b.phraseBar) * 3) % motif.size()];
        // The line turns back at the edges of its range instead of jumping an octave.
        if (melodyDegree_ + step > 9 || melodyDegree_ + step < -1) step = -step;
        int target = melodyDegree_ + step;
        const bool last = i + 1 == on.size() && b.phraseBar == 3;
        if (strong || last) {
            // The nearest chord tone in range; a phrase ends on the root. A note struck twice
            // already moves on to another tone.
            int best = target, bestDist = 99;
            for (int oct = -2; oct <= 2; ++oct)
                for (size_t t = 0; t < (last ? 1 : tones.size()); ++t) {
                    const int cand = tones[t] + 7 * oct;
                    if (cand > 9 || cand < -1 || (cand == melodyDegree_ && repeats_ >= 1 && !last))
                        continue;
                    if (std::abs(cand - target) < bestDist)
                        bestDist = std::abs(cand - target), best = cand;
                }
            target = best;
        }
        repeats_ = target == melodyDegree_ ? repeats_ + 1 : 0;
        melodyDegree_ = target;
        const int64_t start = b.TickOf(pos);
        const int64_t end =
            i + 1 < on.size() ? b.TickOf(on[i + 1]) : std::min(b.EndTick(), start + 2 * kPpq);
        const int64_t len = std::max<int64_t>((end - start) * 9 / 10, kPpq / 8);
        const int vel =
            Vel(b, st.leadVelocity + (strong ? 8 : 0) - (calm ? 14 : 0)) + rng_.Range(-4, 4);
        lead_.Note(start, len, kLead, NoteOf(st, target), vel);
        if (b.section == Section::Climax || b.section == Section::Outro)
            counter_.Note(start, len, kCounter, NoteOf(st, target - 2) - 12, vel - 18);
    }
    if (b.section == Section::Calm && st.counter >= 0) {
        // A held line under the calm melody: the chord's third, then its fifth.
        const int half = Beats(b) / 2 * b.beatPositions;
        counter_.Note(b.tick, b.TickOf(half) - b.tick, kCounter, NoteOf(st, chord + 2) - 12,
                      Vel(b, 62));
        counter_.Note(b.TickOf(half), b.EndTick() - b.TickOf(half), kCounter,
                      NoteOf(st, chord + 4) - 12, Vel(b, 58));
    }
    (void)next;
}

void Composer::Chords(const Bar& b, const PartStyle& st, int chord) {
    if (b.section == Section::Bridge && b.positions < b.beatPositions) return;
    std::vector<int> notes;
    for (int d : ChordDegrees(st, chord)) notes.push_back(NoteOf(st, d) - 12);
    // Keep the voicing in one register around the tonic below the melody.
    while (notes[0] > st.tonic - 5)
        for (int& n : notes) n -= 12;
    while (notes[0] < st.tonic - 17)
        for (int& n : notes) n += 12;
    const int64_t end = b.section == Section::Ending ? plan_.bars.back().EndTick() : b.EndTick();
    if (st.pad >= 0) {
        for (int n : notes) pad_.Note(b.tick, end - b.tick, kPad, n, Vel(b, 58));
    }
    const int step = std::max(1, b.beatPositions / 2);
    switch (b.section == Section::Ending || b.section == Section::Intro ||
                    b.section == Section::Bridge
                ? Comp::Pad
                : st.compPattern) {
        case Comp::Pad:
            for (int n : notes) comp_.Note(b.tick, end - b.tick, kComp, n, Vel(b, 60));
            break;
        case Comp::Stabs:
            for (int beat = 0; beat < Beats(b); ++beat)
                for (int n : notes)
                    comp_.Note(Beat(b, beat), kPpq / 2, kComp, n, Vel(b, beat == 0 ? 84 : 70));
            break;
        case Comp::Arp: {
            const int order[] = {0, 1, 2, 1, 2, 0, 1, 2};
            for (int p = 0, k = 0; p < b.positions; p += step, ++k) {
                const int n = notes[size_t(order[k % 8]) % notes.size()] + (k % 8 >= 4 ? 12 : 0);
                comp_.Note(b.TickOf(p), int64_t(step) * b.TicksPerPosition(), kComp, n, Vel(b, 64));
            }
            break;
        }
        case Comp::Alberti: {
            const int order[] = {0, 2, 1, 2};
            for (int p = 0, k = 0; p < b.positions; p += step, ++k)
                comp_.Note(b.TickOf(p), int64_t(step) * b.TicksPerPosition() * 9 / 10, kComp,
                           notes[size_t(order[k % 4])], Vel(b, k % 4 == 0 ? 70 : 58));
            break;
        }
        case Comp::Power: {
            const int root = notes[0] - 12 >= 40 ? notes[0] - 12 : notes[0];
            for (int p = 0, k = 0; p < b.positions; p += step, ++k) {
                const int v = Vel(b, p % b.beatPositions == 0 ? 96 : 78);
                const int64_t len = int64_t(step) * b.TicksPerPosition() * 8 / 10;
                for (int n : {root, root + 7, root + 12}) comp_.Note(b.TickOf(p), len, kComp, n, v);
            }
            break;
        }
    }
}

void Composer::Bass(const Bar& b, const PartStyle& st, int chord, int nextChord) {
    if (b.section == Section::Break) return;
    int root = NoteOf(st, chord) - 24;
    while (root > 52) root -= 12;
    while (root < 33) root += 12;
    const int fifth = root + (NoteOf(st, chord + 4) - NoteOf(st, chord));
    if (b.section == Section::Ending || b.section == Section::Intro ||
        b.section == Section::Bridge) {
        const int64_t end =
            b.section == Section::Ending ? plan_.bars.back().EndTick() : b.EndTick();
        bass_.Note(b.tick, end - b.tick, kBass, root, Vel(b, 86));
        return;
    }
    const int step = std::max(1, b.beatPositions / 2);
    const int64_t stepTicks = int64_t(step) * b.TicksPerPosition();
    switch (st.bassLine) {
        case BassLine::Eighths:
            for (int p = 0; p < b.positions; p += step)
                bass_.Note(b.TickOf(p), stepTicks * 8 / 10, kBass,
                           root + (b.section == Section::Climax && (p / step) % 2 ? 12 : 0),
                           Vel(b, p % b.beatPositions == 0 ? 100 : 86));
            break;
        case BassLine::Octaves:
            for (int p = 0, k = 0; p < b.positions; p += step, ++k)
                bass_.Note(b.TickOf(p), stepTicks * 7 / 10, kBass, root + (k % 2 ? 12 : 0),
                           Vel(b, 94));
            break;
        case BassLine::RootFifth:
            for (int beat = 0; beat < Beats(b); ++beat)
                bass_.Note(Beat(b, beat), kPpq * 8 / 10, kBass, beat % 2 ? fifth - 12 : root,
                           Vel(b, beat % 2 ? 80 : 96));
            break;
        case BassLine::Walking: {
            const int target = NoteOf(st, nextChord) - 24;
            for (int beat = 0; beat < Beats(b); ++beat) {
                int n = beat == 0   ? root
                        : beat == 1 ? root + (NoteOf(st, chord + 2) - NoteOf(st, chord))
                        : beat == 2 ? fifth
                                    : target + ((target % 12 + 12) % 12 > root % 12 ? -1 : 1);
                while (n > 55) n -= 12;
                while (n < 31) n += 12;
                bass_.Note(Beat(b, beat), kPpq * 9 / 10, kBass, n, Vel(b, 88));
            }
            break;
        }
        case BassLine::Beats:
            for (int beat = 0; beat < Beats(b); ++beat)
                bass_.Note(Beat(b, beat), kPpq * 8 / 10, kBass, root, Vel(b, beat == 0 ? 96 : 84));
            break;
    }
    if (st.timpani && (b.section == Section::Climax || b.phraseBar == 0)) {
        pad_.Note(b.tick, kPpq / 2, kTimpani, root - 12 < 36 ? root : root - 12, Vel(b, 100));
        if (b.section == Section::Climax)
            pad_.Note(Beat(b, 2), kPpq / 2, kTimpani, fifth - 12 < 36 ? fifth : fifth - 12,
                      Vel(b, 90));
    }
}

void Composer::Drums(const Bar& b, const PartStyle& st) {
    auto hit = [&](int pos, int key, int vel) {
        if (pos < b.positions) kit_.Note(b.TickOf(pos), kPpq / 4, kDrums, key, Vel(b, vel));
    };
    const int bp = b.beatPositions;
    const int beats = Beats(b);
    const bool climax = b.section == Section::Climax;
    const bool calm = b.section == Section::Calm;
    if (b.section == Section::Ending) {
        // The last chord: one crash as it begins.
        if (&b != &plan_.bars.front() && (&b - 1)->section != Section::Ending) {
            hit(0, kCrash, 110);
            hit(0, kKick, 110);
            if (st.timpani) pad_.Note(b.tick, kPpq, kTimpani, 41, Vel(b, 110));
        }
        return;
    }
    if (b.section == Section::Break || b.section == Section::Bridge) return;
    if (b.section == Section::Intro) {
        if (st.timpani || st.kit == Kit::March)
            for (int p = 0; p < b.positions; p += 2)  // a rolling build-up
                pad_.Note(b.TickOf(p), b.TicksPerPosition(), kTimpani, 38,
                          std::clamp(40 + 60 * p / std::max(1, b.positions), 1, 110));
        return;
    }
    const bool phraseStart = b.phraseBar == 0;
    switch (st.kit) {
        case Kit::None:
            break;
        case Kit::Rock:
        case Kit::Game:
        case Kit::Triplet: {
            if (phraseStart && !calm) hit(0, kCrash, 100);
            const int hatStep = st.kit == Kit::Game ? std::max(1, bp / 4) : std::max(1, bp / 2);
            for (int p = 0; p < b.positions; p += hatStep)
                if (!(phraseStart && p == 0 && !calm))
                    hit(p, climax && st.kit != Kit::Game ? kRide : kClosedHat,
                        p % bp == 0 ? 78 : 60);
            for (int beat = 0; beat < beats; ++beat) {
                const int p = beat * bp;
                if (beat % 2 == 0)
                    hit(p, kKick, 104);
                else if (!calm)
                    hit(p, kSnare, 100);
                if (climax && st.kit == Kit::Triplet)
                    for (int q = bp / 2; q < bp; q += bp / 2) hit(p + q, kKick, 86);
                else if (!calm && beat % 2 == 1)
                    hit(p + bp / 2 + bp / 4, kKick, 80);
            }
            if (b.phraseBar == 3 && !calm)  // a fill into the next phrase
                for (int p = (beats - 1) * bp; p < b.positions; p += std::max(1, bp / 2))
                    hit(p, kSnare2, 70 + 10 * ((p / std::max(1, bp / 2)) % 2));
            break;
        }
        case Kit::March:
            if (phraseStart && climax) hit(0, kCrash2, 96);
            for (int p = 0; p < b.positions; p += std::max(1, bp / 2))
                hit(p, kSnare, p % bp == 0 ? (calm ? 56 : 76) : (calm ? 40 : 54));
            for (int beat = 0; beat < beats; beat += 2) hit(beat * bp, kKick, 92);
            break;
        case Kit::Hand:
            for (int beat = 0; beat < beats; ++beat) {
                const int p = beat * bp;
                hit(p, beat % 2 ? kOpenConga : kLowConga, 96);
                for (int q = 1; q < bp; ++q) hit(p + q, q % 2 ? kHiBongo : kMuteConga, 64);
                if (!calm && beat % 2) hit(p, kTambourine, 70);
            }
            if (phraseStart && !calm) hit(0, kTriangle, 70);
            break;
        case Kit::Soft:
            for (int p = 0; p < b.positions; p += std::max(1, bp / 2))
                hit(p, calm ? kRide : kClosedHat, p % bp == 0 ? 56 : 44);
            if (!calm)
                for (int beat = 0; beat < beats; ++beat)
                    hit(beat * bp, beat % 2 ? kSnare2 : kKick, beat % 2 ? 62 : 84);
            if (phraseStart && climax) hit(0, kCrash, 80);
            break;
        case Kit::Light:
            for (int p = 0; p < b.positions; p += std::max(1, bp / 2)) hit(p, kPedalHat, 46);
            hit(0, kKick, 80);
            if (!calm)
                for (int beat = 1; beat < beats; beat += 2)
                    hit(beat * bp, climax ? kSnare : kTambourine, 66);
            if (phraseStart && climax) hit(0, kCrash, 76);
            break;
    }
    if (st.kit != Kit::None && climax && b.phraseBar == 3)
        hit(b.positions - b.beatPositions / 2, kOpenHat, 70);
}

void Composer::ChartDrums(const Bar& b) {
    for (int j = 0; j < int(b.drums.size()); ++j) {
        const int kind = zb::NoteKindOfDigit(b.drums[size_t(j)]);
        const int64_t t = b.TickOf(j);
        const int64_t len = b.TicksPerPosition();
        switch (kind) {
            case 1:
                chart_.Note(t, len, kDrums, kDonKey, 104);
                break;
            case 2:
                chart_.Note(t, len, kDrums, kKanKey, 100);
                break;
            case 3:
                chart_.Note(t, len, kDrums, kDonKey, 127);
                chart_.Note(t, len, kDrums, kBigDonLayer, 112);
                break;
            case 4:
                chart_.Note(t, len, kDrums, kKanKey, 127);
                chart_.Note(t, len, kDrums, kBigKanLayer, 96);
                break;
            default:
                break;
        }
    }
}

std::string Composer::Write() {
    TempoMap map(kPpq);
    for (const Bar& b : plan_.bars)
        for (int j = 0; j < b.positions; ++j) map.Anchor(b.TickOf(j), b.times[size_t(j)]);
    const Bar& lastBar = plan_.bars.back();
    map.Anchor(lastBar.EndTick(), lastBar.End());
    map.WriteTo(tempo_);
    tempo_.TimeSignature(0, plan_.bars.size() > 1 && plan_.bars[1].beatPositions == 3 ? 12 : 4,
                         plan_.bars.size() > 1 && plan_.bars[1].beatPositions == 3 ? 3 : 2);

    int part = -1;
    for (size_t i = 0; i < plan_.bars.size(); ++i) {
        const Bar& b = plan_.bars[i];
        const PartStyle& st = style_.Part(b.part);
        if (b.part != part) {
            Setup(b.tick, st);
            part = b.part;
        }
        const Bar* next = i + 1 < plan_.bars.size() ? &plan_.bars[i + 1] : nullptr;
        const int chord = ChordDegree(st, b);
        const int nextChord = next ? ChordDegree(style_.Part(next->part), *next) : 0;
        Melody(b, st, chord, next);
        Chords(b, st, chord);
        Bass(b, st, chord, nextChord);
        Drums(b, st);
        if (style_.chartDrums) ChartDrums(b);
    }
    std::vector<SmfTrack> tracks{tempo_, lead_, counter_, comp_, bass_, pad_, kit_};
    if (style_.chartDrums) tracks.push_back(chart_);
    return SmfBytes(kPpq, tracks, lastBar.EndTick());
}

}  // namespace

std::string ComposeMidi(const Plan& plan, const Style& style) {
    Composer c(plan, style);
    return c.Write();
}

}  // namespace musicgen
