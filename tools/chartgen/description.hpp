// The readable description of a song's charts: motifs (measures written at full density) and the
// sections that string them together. The generator thins them per difficulty.
#pragma once

#include <map>
#include <string>
#include <vector>

namespace chartgen {

// One section: its name (written as a comment into the files), how busy it is (0 quiet to 3
// climax; busier sections keep more of their notes at the easier difficulties) and its measures.
// Measures are motif names separated by spaces; "A*4" repeats A four times; "-" is a measure
// with a bar line and no note.
struct Section {
    std::string name;
    int intensity;
    std::string measures;
};

// One part of a song: pieces without bar lines that stand before the first section ("0", an
// empty lead-in measure, ...), then the sections.
struct Part {
    std::vector<std::string> lead;
    std::vector<Section> sections;
};

// A measure that one difficulty writes out exactly (index counts the lead pieces too).
struct Pin {
    int difficulty;
    int part;
    int measure;  // negative counts from the end: -1 is the last measure
    std::string text;
};

// Motif notation, one character per chart position:
//   d don, k kan, D big don, K big kan,
//   o x an accented don or kan: kept by the easier charts like a note on the beat,
//   . rest the generator may fill with a note when a difficulty needs more notes,
//   _ rest that stays silent.
struct Song {
    int song;
    std::string feel;  // a line for the file header
    std::map<std::string, std::string> motifs;
    std::vector<Part> parts;
    std::vector<Pin> pins;
};

const std::vector<Song>& Descriptions();

}  // namespace chartgen
