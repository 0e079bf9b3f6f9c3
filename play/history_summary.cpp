#include "play/history_summary.hpp"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <map>

#include "core/own_songs.hpp"
#include "core/songs.hpp"

namespace zb {

namespace {

namespace chr = std::chrono;

bool BuiltIn(const std::string& song) {
    return !song.empty() && song.size() < 4 && std::all_of(song.begin(), song.end(), ::isdigit);
}

chr::sys_days DaysOf(CalendarDate d) {
    return chr::sys_days(chr::year(d.year) / chr::month(unsigned(d.month)) /
                         chr::day(unsigned(d.day)));
}

}  // namespace

PlayPoint PointOf(const PlayRecord& r) {
    PlayPoint p;
    p.when = r.when;
    p.score = r.score;
    const int notes = r.best + r.good + r.miss;
    p.bestRate = notes > 0 ? 100.0 * r.best / notes : 0;
    // The devices' figures pooled: the mean of all strikes, the spread about it.
    double n = 0, sum = 0;
    for (const DeviceTiming& d : r.devices) n += d.count, sum += d.meanMs * d.count;
    if (n > 0) {
        const double mean = sum / n;
        double squares = 0;
        for (const DeviceTiming& d : r.devices)
            squares += d.count * (d.spreadMs * d.spreadMs + (d.meanMs - mean) * (d.meanMs - mean));
        p.meanMs = mean;
        p.spreadMs = std::sqrt(squares / n);
    }
    return p;
}

bool HistorySongBefore(const std::string& a, const std::string& b) {
    if (BuiltIn(a) != BuiltIn(b)) return BuiltIn(a);
    if (BuiltIn(a)) return std::stoi(a) < std::stoi(b);
    return a < b;
}

std::vector<ChartHistory> ChartHistories(const std::vector<PlayRecord>& plays) {
    std::vector<ChartHistory> charts;
    for (const PlayRecord& r : plays) {
        auto c = std::find_if(charts.begin(), charts.end(), [&](const ChartHistory& h) {
            return h.song == r.song && h.difficulty == r.difficulty;
        });
        if (c == charts.end()) {
            c = charts.insert(charts.end(), ChartHistory());
            c->song = r.song, c->difficulty = r.difficulty;
        }
        c->plays.push_back(PointOf(r));
    }
    for (ChartHistory& c : charts) {
        double sum = 0;
        for (size_t i = 0; i < c.plays.size(); ++i) {
            if (c.plays[i].score > c.plays[c.bestPlay].score) c.bestPlay = i;
            sum += c.plays[i].bestRate;
        }
        c.lastRate = c.plays.back().bestRate;
        c.meanRate = sum / double(c.plays.size());
    }
    std::stable_sort(charts.begin(), charts.end(),
                     [](const ChartHistory& a, const ChartHistory& b) {
                         if (a.song != b.song) return HistorySongBefore(a.song, b.song);
                         return a.difficulty < b.difficulty;
                     });
    return charts;
}

std::optional<double> PlayDay(const std::string& when) {
    int y, mo, d, h, mi, s;
    char end;
    if (std::sscanf(when.c_str(), "%4d-%2d-%2d %2d:%2d:%2d%c", &y, &mo, &d, &h, &mi, &s, &end) != 6)
        return std::nullopt;
    const chr::year_month_day ymd{chr::year(y), chr::month(unsigned(mo)), chr::day(unsigned(d))};
    if (!ymd.ok() || h < 0 || h > 23 || mi < 0 || mi > 59 || s < 0 || s > 60) return std::nullopt;
    return double(chr::sys_days(ymd).time_since_epoch().count()) +
           (h * 3600 + mi * 60 + s) / 86400.0;
}

bool SpreadOverDays(const std::vector<PlayPoint>& plays) {
    std::optional<double> first;
    bool spread = false;
    for (const PlayPoint& p : plays) {
        const std::optional<double> day = PlayDay(p.when);
        if (!day) return false;
        if (!first) first = std::floor(*day);
        spread = spread || std::floor(*day) != *first;
    }
    return spread;
}

std::vector<DayMinutes> MinutesPerDay(const std::vector<PlayRecord>& plays, CalendarDate today,
                                      int days) {
    const chr::sys_days last = DaysOf(today);
    std::vector<DayMinutes> out(size_t(std::max(days, 0)));
    for (int i = 0; i < days; ++i) {
        const chr::year_month_day d{last - chr::days(days - 1 - i)};
        out[size_t(i)].day = {int(d.year()), int(unsigned(d.month())), int(unsigned(d.day()))};
    }
    const double lastDay = double(last.time_since_epoch().count());
    for (const PlayRecord& r : plays)
        if (const std::optional<double> day = PlayDay(r.when)) {
            const double back = lastDay - std::floor(*day);
            if (back >= 0 && back < days && r.seconds > 0)
                out[size_t(days - 1 - int(back))].minutes += r.seconds / 60;
        }
    return out;
}

std::vector<SongPlays> MostPlayed(const std::vector<PlayRecord>& plays, size_t count) {
    std::vector<SongPlays> songs;
    std::map<std::string, size_t> lastPlayed;
    for (size_t i = 0; i < plays.size(); ++i) {
        const PlayRecord& r = plays[i];
        auto s = std::find_if(songs.begin(), songs.end(),
                              [&](const SongPlays& p) { return p.song == r.song; });
        if (s == songs.end()) {
            s = songs.insert(songs.end(), SongPlays());
            s->song = r.song;
        }
        ++s->plays;
        s->minutes += std::max(r.seconds, 0.0) / 60;
        lastPlayed[r.song] = i;
    }
    std::sort(songs.begin(), songs.end(), [&](const SongPlays& a, const SongPlays& b) {
        if (a.plays != b.plays) return a.plays > b.plays;
        return lastPlayed[a.song] > lastPlayed[b.song];
    });
    if (songs.size() > count) songs.resize(count);
    return songs;
}

std::string HistorySongName(const Game& game, const std::string& song) {
    if (BuiltIn(song)) {
        const int n = std::stoi(song);
        if (n < kSongCount) return SongTitle(n);
    }
    for (const OwnSong& s : game.ownSongs.songs)
        if (s.id == song) return s.title;
    return song;
}

std::string DifficultyName(int difficulty) {
    switch (difficulty) {
        case 0:
            return "かんたん";
        case 1:
            return "むずかしい";
        case 2:
            return "ワンだフル";
        default:
            return "チャレンジ";
    }
}

}  // namespace zb
