#include "style.hpp"

#include <stdexcept>

namespace musicgen {

namespace {

// Degrees: 0 I/i, 1 ii, 2 iii/III, 3 IV/iv, 4 V/v, 5 vi/VI, 6 VII.
constexpr Progressions kMinorBattle{{0, 5, 2, 6}, {0, 6, 5, 6}, {0, 5, 3, 4}, {0, 0, 5, 6}};
constexpr Progressions kMinorEpic{{0, 3, 6, 2}, {0, 5, 6, 0}, {3, 4, 5, 6}, {0, 6, 0, 6}};
constexpr Progressions kMajorBright{{0, 3, 5, 4}, {0, 4, 5, 3}, {3, 4, 2, 5}, {0, 3, 0, 4}};
constexpr Progressions kHijazRoll{{0, 1, 0, 6}, {0, 3, 1, 0}, {3, 1, 6, 0}, {0, 0, 1, 0}};
constexpr Progressions kMarch{{0, 3, 4, 0}, {0, 5, 1, 4}, {3, 4, 5, 4}, {0, 4, 0, 4}};
constexpr Progressions kTrio{{0, 5, 3, 4}, {0, 2, 3, 4}, {3, 0, 1, 4}, {0, 3, 0, 4}};
constexpr Progressions kCityPop{{5, 1, 4, 0}, {3, 2, 1, 4}, {3, 4, 2, 5}, {1, 4, 0, 0}};
constexpr Progressions kSky{{0, 3, 0, 4}, {5, 3, 0, 4}, {3, 4, 5, 0}, {0, 3, 0, 3}};
constexpr Progressions kRiff{{0, 5, 6, 0}, {0, 6, 5, 6}, {0, 3, 5, 6}, {0, 0, 6, 6}};
constexpr Progressions kAllaMarcia{{0, 3, 4, 0}, {0, 5, 3, 4}, {5, 3, 4, 0}, {0, 4, 0, 4}};

PartStyle Make(int tonic, Scale scale, Progressions chords, int lead, int counter, int comp,
               int bass, int pad, Comp compPattern, BassLine bassLine, Kit kit) {
    PartStyle p;
    p.tonic = tonic;
    p.scale = scale;
    p.chords = chords;
    p.lead = lead, p.counter = counter, p.comp = comp, p.bass = bass, p.pad = pad;
    p.compPattern = compPattern;
    p.bassLine = bassLine;
    p.kit = kit;
    return p;
}

}  // namespace

Style SongStyle(int song) {
    Style s;
    s.seed = uint64_t(song) * 7919 + 17;
    switch (song) {
        case 0: {  // game music: a battle theme, saw lead over string stabs
            s.parts = {Make(62, kMinor, kMinorBattle, 81, 63, 61, 38, -1, Comp::Stabs,
                            BassLine::Octaves, Kit::Game)};
            break;
        }
        case 1: {  // an original showdown: trumpet and brass, rock beat, timpani
            auto p = Make(64, kMinor, kMinorEpic, 56, 57, 61, 33, 50, Comp::Stabs,
                          BassLine::Eighths, Kit::Rock);
            p.timpani = true;
            s.parts = {p};
            break;
        }
        case 2: {  // an original chase: square lead, driven guitar, sixteenth hats
            s.parts = {Make(61, kDorian, kMinorBattle, 80, 87, 29, 38, -1, Comp::Power,
                            BassLine::Eighths, Kit::Game)};
            break;
        }
        case 3: {  // an original grand opening: choir and timpani build, then synth brass
            auto p = Make(60, kMajor, kMajorBright, 62, 50, 46, 39, 52, Comp::Arp,
                          BassLine::Octaves, Kit::Game);
            p.timpani = true;
            s.parts = {p};
            break;
        }
        case 4: {  // an original desert ride in a swaying 12/8: sitar, flute, hand drums
            s.parts = {Make(62, kHijaz, kHijazRoll, 104, 73, 24, 32, -1, Comp::Stabs,
                            BassLine::Beats, Kit::Hand)};
            break;
        }
        case 5: {  // classical style: a march, a lyrical trio, a grand finale
            auto march = Make(62, kMajor, kMarch, 56, 60, 45, 43, -1, Comp::Stabs,
                              BassLine::RootFifth, Kit::March);
            march.timpani = true;
            auto trio =
                Make(67, kMajor, kTrio, 40, 60, 46, 42, 48, Comp::Arp, BassLine::Beats, Kit::None);
            trio.leadVelocity = 84;
            auto finale = march;
            finale.lead = 61;
            finale.counter = 56;
            finale.pad = 44;
            s.parts = {march, trio, finale};
            break;
        }
        case 6: {  // an original evening city: alto sax, electric piano sevenths, walking bass
            auto a = Make(65, kMajor, kCityPop, 65, 11, 4, 33, 89, Comp::Stabs, BassLine::Walking,
                          Kit::Soft);
            a.sevenths = true;
            auto b =
                Make(65, kMajor, kCityPop, 0, 50, 4, 32, 89, Comp::Arp, BassLine::Beats, Kit::Soft);
            b.sevenths = true;
            b.leadVelocity = 80;
            s.parts = {a, b, a};
            break;
        }
        case 7: {  // an original flight above the clouds: flute, harp, warm pad
            s.parts = {
                Make(64, kMajor, kSky, 73, 11, 46, 33, 89, Comp::Arp, BassLine::Beats, Kit::Light)};
            break;
        }
        case 8: {  // heavy rock: distorted lead and power chords, triplet double kicks
            auto p = Make(64, kMinor, kRiff, 30, 29, 30, 34, -1, Comp::Power, BassLine::Eighths,
                          Kit::Triplet);
            p.leadVelocity = 100;
            s.parts = {p};
            break;
        }
        case 9: {  // classical style: a quick piano march in minor over an Alberti bass
            auto p = Make(69, kHarmonicMinor, kAllaMarcia, 0, 0, 0, 0, 48, Comp::Alberti,
                          BassLine::RootFifth, Kit::None);
            p.pad = -1;
            p.leadVelocity = 96;
            s.parts = {p};
            break;
        }
        default:
            throw std::out_of_range("no such song");
    }
    return s;
}

Style TitleStyle() {
    Style s;
    s.seed = 2001;
    s.chartDrums = false;
    auto p = Make(60, kMajor, Progressions{{0, 0, 5, 3}, {0, 4, 3, 4}, {0, 3, 4, 0}, {0, 4, 0, 4}},
                  56, 60, 61, 58, 44, Comp::Stabs, BassLine::RootFifth, Kit::March);
    p.timpani = true;
    p.leadVelocity = 104;
    s.parts = {p};
    return s;
}

Style StoryStyle() {
    Style s;
    s.seed = 4280;
    s.chartDrums = false;
    auto p = Make(62, kMajor, Progressions{{0, 4, 5, 3}, {3, 0, 1, 4}, {5, 3, 0, 4}, {0, 3, 0, 4}},
                  0, 71, 46, 32, 49, Comp::Arp, BassLine::RootFifth, Kit::None);
    p.leadVelocity = 92;
    s.parts = {p};
    return s;
}

}  // namespace musicgen
