#include "core/chart_data.hpp"

#include <array>
#include <mutex>
#include <stdexcept>

#include "core/embedded_charts.hpp"
#include "core/songs.hpp"

namespace zb {

std::string ChartFileName(int song, int difficulty, int part) {
    std::string name = "song" + std::to_string(song) + "_d" + std::to_string(difficulty);
    if (IsMultiPartSong(song)) name += "_p" + std::to_string(part);
    return name + ".txt";
}

std::string_view EmbeddedChartFile(std::string_view fileName) {
    for (size_t i = 0; i < kEmbeddedChartFileCount; ++i)
        if (fileName == kEmbeddedChartFiles[i].name) return kEmbeddedChartFiles[i].text;
    return {};
}

std::vector<std::string> ParseChartFile(std::string_view text) {
    std::vector<std::string> measures;
    int lineNo = 0;
    while (!text.empty()) {
        const size_t end = text.find('\n');
        std::string_view line = text.substr(0, end);
        text = end == std::string_view::npos ? std::string_view{} : text.substr(end + 1);
        ++lineNo;
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        if (line.empty() || line.front() == '#') continue;
        for (char c : line)
            if (c < '0' || c > '9')
                throw std::runtime_error("chart line " + std::to_string(lineNo) +
                                         ": not a measure of digits");
        measures.emplace_back(line);
    }
    return measures;
}

const std::vector<std::string>& ChartMeasures(ChartId chart, int part) {
    if (!HasChart(chart) || part < 0 || part >= PartCount(chart.song))
        throw std::out_of_range("no such chart");
    // Parsed once, on first use; [song][difficulty][part].
    static std::array<std::array<std::array<std::vector<std::string>, 3>, 4>, kSongCount> table;
    static std::once_flag once;
    std::call_once(once, [] {
        for (int s = 0; s < kSongCount; ++s)
            for (int d = 0; d < kDifficultyCount; ++d)
                for (int p = 0; HasChart({int16_t(s), int16_t(d)}) && p < PartCount(s); ++p) {
                    const std::string name = ChartFileName(s, d, p);
                    const std::string_view text = EmbeddedChartFile(name);
                    if (text.empty()) throw std::runtime_error("chart missing: " + name);
                    try {
                        table[s][d][p] = ParseChartFile(text);
                    } catch (const std::runtime_error& e) {
                        throw std::runtime_error(name + ", " + e.what());
                    }
                }
    });
    return table[chart.song][chart.difficulty][part];
}

}  // namespace zb
