// The play history summed up for the player: each chart's plays (score, 良 rate, timing), the
// minutes played per day, and the songs played most. The 記録 screen plots these and
// zubakko-play --history prints them, so both always tell the same story.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "core/game.hpp"
#include "play/play_history.hpp"

namespace zb {

// One play of a chart as the plots show it.
struct PlayPoint {
    std::string when;  // "2026-04-01 21:05:09", or "-" for a play read from an old replay
    int32_t score = 0;
    double bestRate = 0;  // 良 of the notes judged, in %
    // Over every device's judged strikes: the mean offset (+ late) and its spread, in ms; none
    // without a judged strike.
    std::optional<double> meanMs, spreadMs;
};

// Every play of one song at one difficulty, oldest first.
struct ChartHistory {
    std::string song;  // as the history names it: a built-in number or an own song's id
    int difficulty = 0;
    std::vector<PlayPoint> plays;
    size_t bestPlay = 0;  // the first play with the best score
    double lastRate = 0, meanRate = 0;
    int32_t BestScore() const { return plays.at(bestPlay).score; }
};

PlayPoint PointOf(const PlayRecord& r);
// Built-in songs (by number) before own songs (by id).
bool HistorySongBefore(const std::string& a, const std::string& b);
// The charts played, built-in songs first by number, then own songs by id; difficulties in order.
std::vector<ChartHistory> ChartHistories(const std::vector<PlayRecord>& plays);

// The minutes played on each of the `days` days up to `today`, the oldest first.
struct DayMinutes {
    CalendarDate day;
    double minutes = 0;
};
std::vector<DayMinutes> MinutesPerDay(const std::vector<PlayRecord>& plays, CalendarDate today,
                                      int days = 30);

// The songs played most (all difficulties together), most first; ties go to the song played last.
struct SongPlays {
    std::string song;
    int plays = 0;
    double minutes = 0;
};
std::vector<SongPlays> MostPlayed(const std::vector<PlayRecord>& plays, size_t count = 5);

// A play's date as days since 1970 with the time of day as the fraction; none for "-".
std::optional<double> PlayDay(const std::string& when);
// Whether the plays can stand on a line of dates: every one dated, and not all on one day.
bool SpreadOverDays(const std::vector<PlayPoint>& plays);

// The song's name: a built-in song's title, an own song's title when it is in the library, else
// its id.
std::string HistorySongName(const Game& game, const std::string& song);
// かんたん, むずかしい, ワンだフル, チャレンジ: the course badges' words.
std::string DifficultyName(int difficulty);

}  // namespace zb
