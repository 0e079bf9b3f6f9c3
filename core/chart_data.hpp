// The built-in charts. The files of content/charts/ are the source of truth; the build embeds
// them into the program, so the game and every tool work from any folder.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "core/songs.hpp"

namespace zb {

// The measure strings of a chart, in order (part 0 for single-part songs). Throws
// std::out_of_range for a chart that does not exist.
const std::vector<std::string>& ChartMeasures(ChartId chart, int part);

// "song8_d3.txt", or "song5_d1_p2.txt" for the parts of songs 5 and 6.
std::string ChartFileName(int song, int difficulty, int part);

// The embedded copy of a chart file, as the build read it; empty when there is none.
std::string_view EmbeddedChartFile(std::string_view fileName);

// Reads a chart file: one measure string of digits per line, lines starting with "#" are
// comments, blank lines are skipped. Anything else throws std::runtime_error naming the line.
std::vector<std::string> ParseChartFile(std::string_view text);

}  // namespace zb
