// Expands a song description into the measure strings of every difficulty and part.
#pragma once

#include <string>
#include <vector>

#include "description.hpp"

namespace chartgen {

struct GeneratedChart {
    int song, difficulty, part;
    std::vector<std::string> measures;
    std::vector<std::string> comments;  // per measure: a section name to print before it, or ""
};

// Throws std::runtime_error when the description cannot meet a chart's length or note count.
std::vector<GeneratedChart> Generate(const Song& song);

// Every check a chart must pass (length, note count, bar digits, playability); empty when fine.
std::vector<std::string> CheckChart(const GeneratedChart& chart);

}  // namespace chartgen
