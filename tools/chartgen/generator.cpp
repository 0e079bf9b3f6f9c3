#include "generator.hpp"

#include <algorithm>
#include <map>
#include <set>
#include <sstream>
#include <stdexcept>

#include "core/chart_timing.hpp"
#include "core/songs.hpp"

namespace chartgen {
namespace {

struct Slot {
    std::string pattern;  // motif notation; empty pieces are all '_'
    bool barred;
    int section;  // -1 for lead pieces
    bool sectionStart;
    std::string motif;
};

struct Note {
    int pos;    // 1-based chart position
    char kind;  // '1'..'4'
    double priority;
    bool accent = false;  // written as an accent: keeps its kind in the easy chart
};

bool IsNoteChar(char c) {
    return c == 'd' || c == 'k' || c == 'D' || c == 'K' || c == 'o' || c == 'x';
}

char KindOf(char c) {
    switch (c) {
        case 'd':
        case 'o':
            return '1';
        case 'k':
        case 'x':
            return '2';
        case 'D':
            return '3';
        default:
            return '4';
    }
}

// How strong a position of the measure is: 4 the downbeat, then half, beat, eighth, sixteenth.
int MetricWeight(int index, int length) {
    if (index == 0) return 4;
    if (length == 12) {  // four beats of three
        if (index % 6 == 0) return 3;
        if (index % 3 == 0) return 2;
        return index % 3 == 2 ? 1 : 0;
    }
    if (length == 24) {  // four beats of six
        if (index % 12 == 0) return 3;
        if (index % 6 == 0) return 2;
        if (index % 3 == 0 || index % 2 == 0) return 1;
        return 0;
    }
    if (index % 8 == 0) return 3;
    if (index % 4 == 0) return 2;
    if (index % 2 == 0) return 1;
    return 0;
}

// A small fixed wobble so that thinning does not cut whole rows of equal notes at once; keyed by
// the motif and the place in it, so a returning motif thins the same way.
double Jitter(const std::string& motif, int index) {
    unsigned h = 2166136261u;
    for (char c : motif) h = (h ^ static_cast<unsigned char>(c)) * 16777619u;
    h = (h ^ static_cast<unsigned>(index * 7919)) * 16777619u;
    return (h % 1000) / 1000.0 * 9.0;
}

std::vector<std::string> Split(const std::string& s) {
    std::istringstream in(s);
    std::vector<std::string> out;
    std::string w;
    while (in >> w) out.push_back(w);
    return out;
}

std::vector<Slot> Expand(const Song& song, const Part& part) {
    std::vector<Slot> slots;
    for (const std::string& piece : part.lead)
        slots.push_back({std::string(piece.size(), '_'), false, -1, false, "lead"});
    const int defaultLength = zb::MeasureLength(song.song);
    for (size_t s = 0; s < part.sections.size(); ++s) {
        bool first = true;
        for (const std::string& token : Split(part.sections[s].measures)) {
            std::string name = token;
            int repeat = 1;
            if (const size_t star = token.find('*'); star != std::string::npos) {
                name = token.substr(0, star);
                repeat = std::stoi(token.substr(star + 1));
            }
            std::string pattern;
            if (name == "-") {
                pattern = std::string(defaultLength, '_');
            } else {
                auto it = song.motifs.find(name);
                if (it == song.motifs.end())
                    throw std::runtime_error("song " + std::to_string(song.song) + ": no motif " +
                                             name);
                pattern = it->second;
            }
            for (int r = 0; r < repeat; ++r) {
                slots.push_back({pattern, true, static_cast<int>(s), first, name});
                first = false;
            }
        }
    }
    return slots;
}

struct Layout {
    std::vector<Slot> slots;
    std::vector<int> measureStart;  // 1-based first position of each slot
    int length = 0;
};

Layout MakeLayout(const Song& song, const Part& part, int partNo) {
    Layout l;
    l.slots = Expand(song, part);
    int pos = 1;
    for (const Slot& s : l.slots) {
        l.measureStart.push_back(pos);
        pos += static_cast<int>(s.pattern.size());
    }
    l.length = pos - 1;
    const int want = zb::ChartLengthOf(song.song, partNo);
    if (l.length != want)
        throw std::runtime_error("song " + std::to_string(song.song) + " part " +
                                 std::to_string(partNo) + ": the description spans " +
                                 std::to_string(l.length) + " positions, the chart " +
                                 std::to_string(want));
    return l;
}

// The notes the description writes, with their priority for thinning.
std::vector<Note> Candidates(const Part& part, const Layout& l) {
    std::vector<Note> notes;
    for (size_t m = 0; m < l.slots.size(); ++m) {
        const Slot& s = l.slots[m];
        if (!s.barred) continue;
        const int len = static_cast<int>(s.pattern.size());
        const int intensity = part.sections[s.section].intensity;
        for (int i = 0; i < len; ++i) {
            char c = s.pattern[i];
            if (!IsNoteChar(c)) continue;
            double prio = 30.0 * MetricWeight(i, len) + 10.0 * intensity + Jitter(s.motif, i);
            if (c == 'D' || c == 'K') prio += 25;
            // Accents carry a motif's syncopation down into the easier charts.
            if (c == 'o' || c == 'x') prio += 45;
            // A sixteenth inside a run reads better than a lone one.
            const bool before = i > 0 && IsNoteChar(s.pattern[i - 1]);
            const bool after = i + 1 < len && IsNoteChar(s.pattern[i + 1]);
            if (MetricWeight(i, len) == 0) prio += (before && after) ? 6 : -6;
            if (s.sectionStart && i == 0) {
                // Sections open with a big note at every difficulty.
                if (c == 'd' || c == 'o') c = 'D';
                if (c == 'k' || c == 'x') c = 'K';
                prio += 500;
            }
            notes.push_back({l.measureStart[m] + i, KindOf(c), prio, c == 'o' || c == 'x'});
        }
    }
    return notes;
}

// Positions where the generator may add notes when a difficulty needs more than the description
// writes: fillable rests of busy sections, preferring gaps inside runs.
std::vector<Note> Fillers(const Part& part, const Layout& l, const std::vector<Note>& written) {
    std::set<int> taken;
    for (const Note& n : written) taken.insert(n.pos);
    std::vector<Note> out;
    for (size_t m = 0; m < l.slots.size(); ++m) {
        const Slot& s = l.slots[m];
        if (!s.barred) continue;
        const int len = static_cast<int>(s.pattern.size());
        const int intensity = part.sections[s.section].intensity;
        for (int i = 0; i < len; ++i) {
            if (s.pattern[i] != '.') continue;
            const int pos = l.measureStart[m] + i;
            const bool before = taken.count(pos - 1) > 0, after = taken.count(pos + 1) > 0;
            double prio = -100 + 10.0 * intensity + 5.0 * MetricWeight(i, len) +
                          (before && after   ? 20
                           : before || after ? 8
                                             : 0) +
                          Jitter(s.motif, i);
            // The kind alternates with the note before it, as a hand-to-hand run does.
            char kind = '1';
            for (int p = pos - 1; p >= pos - 3; --p) {
                auto it = std::find_if(written.begin(), written.end(),
                                       [&](const Note& n) { return n.pos == p; });
                if (it != written.end()) {
                    kind = (it->kind == '1' || it->kind == '3') ? '2' : '1';
                    break;
                }
            }
            out.push_back({pos, kind, prio});
        }
    }
    return out;
}

struct Quota {
    int from, to, count;  // positions from..to (1-based, inclusive)
};

// Picks `quota.count` notes of each range from the pools, best priority first, taking the first
// pool before the second and so on.
std::vector<Note> Pick(const std::vector<std::vector<Note>>& pools,
                       const std::vector<Quota>& quotas, const std::set<int>& excluded,
                       const std::string& what) {
    std::vector<Note> chosen;
    std::set<int> used;
    for (const Quota& q : quotas) {
        int need = q.count;
        for (const auto& pool : pools) {
            std::vector<Note> sorted;
            for (const Note& n : pool)
                if (n.pos >= q.from && n.pos <= q.to && !used.count(n.pos) &&
                    !excluded.count(n.pos))
                    sorted.push_back(n);
            std::stable_sort(sorted.begin(), sorted.end(), [](const Note& a, const Note& b) {
                return a.priority != b.priority ? a.priority > b.priority : a.pos < b.pos;
            });
            for (const Note& n : sorted) {
                if (need == 0) break;
                chosen.push_back(n);
                used.insert(n.pos);
                --need;
            }
        }
        if (need > 0)
            throw std::runtime_error(what + ": " + std::to_string(need) +
                                     " notes short; write denser motifs");
    }
    std::sort(chosen.begin(), chosen.end(),
              [](const Note& a, const Note& b) { return a.pos < b.pos; });
    return chosen;
}

// Easy charts change between don and kan less often: they come in groups of two or more. A note
// on the downbeat or mid-measure, a big note or an off-beat accent keeps its kind; any other
// small note that would end a group of one takes the kind of the group instead.
void Steady(std::vector<Note>& notes, const Layout& l) {
    auto isDon = [](char k) { return k == '1' || k == '3'; };
    int run = 1;
    for (size_t i = 1; i < notes.size(); ++i) {
        Note& n = notes[i];
        const bool prevDon = isDon(notes[i - 1].kind);
        const bool small = n.kind == '1' || n.kind == '2';
        if (small && isDon(n.kind) != prevDon && run < 2) {
            auto m = std::upper_bound(l.measureStart.begin(), l.measureStart.end(), n.pos) -
                     l.measureStart.begin() - 1;
            const int w = MetricWeight(n.pos - l.measureStart[m],
                                       static_cast<int>(l.slots[m].pattern.size()));
            if (w < 3 && !(n.accent && w <= 1)) n.kind = prevDon ? '1' : '2';
        }
        run = isDon(n.kind) == prevDon ? run + 1 : 1;
    }
}

}  // namespace

std::vector<GeneratedChart> Generate(const Song& song) {
    std::vector<GeneratedChart> out;
    const int s = song.song;
    const int hardest = zb::HasChart({int16_t(s), 3}) ? 3 : 2;
    for (int p = 0; p < zb::PartCount(s); ++p) {
        const Part& part = song.parts.at(p);
        const Layout l = MakeLayout(song, part, p);
        const std::vector<Note> written = Candidates(part, l);
        const std::vector<Note> fillers = Fillers(part, l, written);
        std::vector<Note> harder;
        for (int d = hardest; d >= 0; --d) {
            const std::string what = "song " + std::to_string(s) + " difficulty " +
                                     std::to_string(d) + " part " + std::to_string(p);
            std::set<int> excluded;
            for (int w = 1; w <= l.length; ++w)
                if (!zb::PositionPlayable(s, d, p, w)) excluded.insert(w);
            // Pinned measures are written out; the rest of the chart is picked around them.
            std::map<int, std::string> pinned;
            for (const Pin& pin : song.pins)
                if (pin.difficulty == d && pin.part == p) {
                    const int m = pin.measure >= 0 ? pin.measure
                                                   : static_cast<int>(l.slots.size()) + pin.measure;
                    pinned[m] = pin.text;
                }
            std::vector<Note> pins;
            for (const auto& [m, text] : pinned)
                for (size_t i = 0; i < text.size(); ++i) {
                    const int pos = l.measureStart[m] + static_cast<int>(i);
                    excluded.insert(pos);
                    const char c = text[i];
                    if (c != '0' && c != '5')
                        pins.push_back({pos, static_cast<char>(c > '5' ? c - 5 : c), 1e9});
                }
            int total =
                zb::PartNoteCount({int16_t(s), int16_t(d)}, p) - static_cast<int>(pins.size());
            std::vector<Quota> quotas{{1, l.length, total}};
            if (zb::SpeedsUp(s, d))
                quotas = {
                    {1, zb::kSpeedUpLastPosition, zb::kSpeedUpFirstNote - 1},
                    {zb::kSpeedUpLastPosition + 1, l.length, total - (zb::kSpeedUpFirstNote - 1)}};
            std::vector<Note> chosen =
                d == hardest ? Pick({written, fillers}, quotas, excluded, what)
                             : Pick({harder, written, fillers}, quotas, excluded, what);
            // Pinned notes join the harder charts too, so every difficulty shares them.
            harder = chosen;
            for (const Note& n : pins) chosen.push_back(n);
            std::sort(chosen.begin(), chosen.end(),
                      [](const Note& a, const Note& b) { return a.pos < b.pos; });
            if (d == 0) Steady(chosen, l);
            for (const auto& [m, text] : pinned)
                for (size_t i = 0; i < text.size(); ++i) {
                    const int pos = l.measureStart[m] + static_cast<int>(i);
                    for (Note& n : chosen)
                        if (n.pos == pos)
                            n.kind = static_cast<char>(text[i] > '5' ? text[i] - 5 : text[i]);
                }
            harder = chosen;

            std::string text(l.length, '0');
            for (const Note& n : chosen) text[n.pos - 1] = n.kind;
            GeneratedChart g{s, d, p, {}, {}};
            int lastSection = -1;
            for (size_t m = 0; m < l.slots.size(); ++m) {
                const Slot& slot = l.slots[m];
                std::string measure = text.substr(l.measureStart[m] - 1, slot.pattern.size());
                if (slot.barred) measure[0] = static_cast<char>(measure[0] + 5);
                g.measures.push_back(measure);
                std::string comment;
                if (slot.section != lastSection && slot.section >= 0)
                    comment = part.sections[slot.section].name;
                lastSection = slot.section;
                g.comments.push_back(comment);
            }
            out.push_back(std::move(g));
        }
    }
    return out;
}

std::vector<std::string> CheckChart(const GeneratedChart& c) {
    std::vector<std::string> problems;
    std::string text;
    for (const std::string& m : c.measures) {
        for (size_t i = 1; i < m.size(); ++i)
            if (m[i] >= '5') problems.push_back("a bar digit inside measure " + m);
        text += m;
    }
    if (static_cast<int>(text.size()) != zb::ChartLengthOf(c.song, c.part))
        problems.push_back("length " + std::to_string(text.size()));
    const auto notes =
        std::count_if(text.begin(), text.end(), [](char ch) { return ch != '0' && ch != '5'; });
    if (notes != zb::PartNoteCount({int16_t(c.song), int16_t(c.difficulty)}, c.part))
        problems.push_back("note count " + std::to_string(notes));
    for (const std::string& p : zb::PlayabilityProblems(c.song, c.difficulty, c.part, text))
        problems.push_back(p);
    return problems;
}

}  // namespace chartgen
