// zubakko-play --history: a save folder's play history as JSON, from the same summary the 記録
// screen plots.
#include <charconv>
#include <cstdio>

#include "tools/json_text.hpp"
#include "tools/play/play_tool.hpp"

namespace zb::tool {

namespace {

using tools::JsonString;

std::string Num(double v) {
    char buf[64];
    auto [p, ec] = std::to_chars(buf, buf + sizeof buf, v);
    return std::string(buf, p);
}

std::string Optional(const std::optional<double>& v) {
    return v ? Num(*v) : "null";
}

std::string Day(CalendarDate d) {
    char b[16];
    std::snprintf(b, sizeof b, "%04d-%02d-%02d", d.year, d.month, d.day);
    return b;
}

template <typename T, typename F>
std::string List(const std::vector<T>& items, F each) {
    std::string s = "[";
    for (size_t i = 0; i < items.size(); ++i) s += (i ? "," : "") + each(items[i]);
    return s + "]";
}

}  // namespace

std::string HistoryJson(const std::vector<PlayRecord>& plays, CalendarDate today) {
    std::string s =
        "{\"Plays\":" + List(plays, [](const PlayRecord& r) {
            const PlayPoint p = PointOf(r);
            std::string o =
                "{\"When\":" + JsonString(r.when) + ",\"Song\":" + JsonString(r.song) +
                ",\"Difficulty\":" + std::to_string(r.difficulty) +
                ",\"Modifier\":" + std::to_string(r.modifier) +
                ",\"Course\":" + JsonString(r.course) + ",\"Score\":" + std::to_string(r.score) +
                ",\"CountBest\":" + std::to_string(r.best) +
                ",\"CountGood\":" + std::to_string(r.good) +
                ",\"CountMiss\":" + std::to_string(r.miss) +
                ",\"MaxCombo\":" + std::to_string(r.maxCombo) + ",\"Seconds\":" + Num(r.seconds) +
                ",\"BestRate\":" + Num(p.bestRate) + ",\"MeanOffsetMs\":" + Optional(p.meanMs) +
                ",\"OffsetSpreadMs\":" + Optional(p.spreadMs) +
                ",\"Replay\":" + JsonString(r.replay);
            return o + ",\"Devices\":" +
                   List(r.devices,
                        [](const DeviceTiming& d) {
                            return "{\"Device\":" + JsonString(d.device) +
                                   ",\"MeanMs\":" + Num(d.meanMs) +
                                   ",\"SpreadMs\":" + Num(d.spreadMs) +
                                   ",\"Count\":" + std::to_string(d.count) + "}";
                        }) +
                   "}";
        });
    s += ",\"Charts\":" + List(ChartHistories(plays), [](const ChartHistory& c) {
             return "{\"Song\":" + JsonString(c.song) +
                    ",\"Difficulty\":" + std::to_string(c.difficulty) +
                    ",\"Plays\":" + std::to_string(c.plays.size()) +
                    ",\"BestScore\":" + std::to_string(c.BestScore()) +
                    ",\"LastBestRate\":" + Num(c.lastRate) +
                    ",\"MeanBestRate\":" + Num(c.meanRate) + "}";
         });
    s += ",\"MinutesPerDay\":" + List(MinutesPerDay(plays, today), [](const DayMinutes& d) {
             return "{\"Day\":\"" + Day(d.day) + "\",\"Minutes\":" + Num(d.minutes) + "}";
         });
    s += ",\"MostPlayed\":" + List(MostPlayed(plays), [](const SongPlays& p) {
             return "{\"Song\":" + JsonString(p.song) + ",\"Plays\":" + std::to_string(p.plays) +
                    ",\"Minutes\":" + Num(p.minutes) + "}";
         });
    return s + "}";
}

}  // namespace zb::tool
