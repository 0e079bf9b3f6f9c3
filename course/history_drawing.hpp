// The 記録 screen's plots, drawn with the game's own drawing onto one picture box the size of the
// form: lines and marks on its surface, the axes' words printed on it. Each drawing also returns
// where it put every mark, which is what the screen shows and what tests read.
#pragma once

#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "platform/form.hpp"
#include "play/history_summary.hpp"

namespace zb {

// A mark of a plot: its pixel on the box and the value it stands for.
struct PlotMark {
    int x = 0, y = 0;
    double value = 0;
};

struct HistoryDrawing {
    // This song: one mark per play, oldest first; an offset's band is its spread's top and
    // bottom rows. Plays without a judged strike have no offset mark.
    std::vector<PlotMark> scores, rates, offsets;
    std::vector<std::pair<int, int>> bands;
    std::optional<PlotMark> highScore;
    // All songs: one bar per day (its top row and minutes), today last.
    std::vector<PlotMark> days;
    std::vector<std::string> mostPlayed;  // the lines of the songs played most
    std::string message;                  // the one line shown instead of a plot
};

// The box's place and size, laid out for the screen.
void LayHistoryBox(PictureBox& box);

// A chart's plays: score and 良 rate over the plays, the high score marked; below, the mean
// offset with its spread as a band; a line with the plays and the best.
HistoryDrawing DrawChartHistory(PictureBox& box, const std::string& heading, const ChartHistory& h);
// The minutes played per day as bars, and the songs played most (named already).
HistoryDrawing DrawAllSongs(PictureBox& box, const std::vector<DayMinutes>& days,
                            const std::vector<std::pair<std::string, SongPlays>>& most);
// One line instead of a plot (no history, or none for this chart).
HistoryDrawing DrawNoHistory(PictureBox& box, const std::string& heading, const std::string& line);

}  // namespace zb
