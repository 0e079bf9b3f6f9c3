// How a piece sounds: key, harmony, instruments and the patterns of each instrument, per part.
#pragma once

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace musicgen {

enum class Comp { Pad, Stabs, Arp, Alberti, Power };
enum class BassLine { Eighths, RootFifth, Walking, Beats, Octaves };
enum class Kit { None, Rock, Game, March, Hand, Soft, Light, Triplet };

using Scale = std::array<int, 7>;
inline constexpr Scale kMajor{0, 2, 4, 5, 7, 9, 11};
inline constexpr Scale kMinor{0, 2, 3, 5, 7, 8, 10};
inline constexpr Scale kHarmonicMinor{0, 2, 3, 5, 7, 8, 11};
inline constexpr Scale kDorian{0, 2, 3, 5, 7, 9, 10};
inline constexpr Scale kHijaz{0, 1, 4, 5, 7, 8, 10};
inline constexpr Scale kMixolydian{0, 2, 4, 5, 7, 9, 10};

// Four chords (scale degrees, 0 = the tonic) per phrase, by kind of section.
struct Progressions {
    std::array<int, 4> calm, main, climax, other;
};

struct PartStyle {
    int tonic = 62;  // MIDI note of the key's tonic in the melody's octave
    Scale scale = kMajor;
    Progressions chords;
    int lead = 0, counter = 48, comp = 48, bass = 33, pad = -1;  // GM programs (-1: none)
    Comp compPattern = Comp::Pad;
    BassLine bassLine = BassLine::Beats;
    Kit kit = Kit::None;
    bool sevenths = false;
    bool timpani = false;
    int leadVelocity = 92;
};

struct Style {
    std::vector<PartStyle> parts;  // by part; the last one also plays any later part
    uint64_t seed = 1;
    bool chartDrums = true;  // double the hardest chart on the percussion
    const PartStyle& Part(int p) const {
        return parts[size_t(std::min<int>(p, int(parts.size()) - 1))];
    }
};

// The style of song 0-9, of the title fanfare and of the story music.
Style SongStyle(int song);
Style TitleStyle();
Style StoryStyle();

}  // namespace musicgen
