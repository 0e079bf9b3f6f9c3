// zubakko-chart import FILE.mid [--json] [--write]: what the game makes of a MIDI file as an own
// song. The text report gives each chart's notes, stars and largest time error, then every note
// with its due time and its distance from its MIDI event; --json prints one object instead;
// --write writes the chart files beside the MIDI file for hand-editing (never over one that is
// there: the game already plays that one).
#include "tools/chart/import.hpp"

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <iostream>
#include <string>

#include "core/file_replace.hpp"
#include "core/own_song_library.hpp"
#include "tools/json_text.hpp"

namespace {

using zb::tools::JsonString;

constexpr const char* kNames[] = {"かんたん", "むずかしい", "ワンだフル"};
constexpr const char* kKinds[] = {"", "鈍", "感", "大鈍", "大感"};

std::string Fixed(double v) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%.2f", v);
    return buf;
}

std::string Json(const zb::OwnSongFile& f) {
    const zb::OwnSong& s = f.song;
    std::string out = "{\"file\":" + JsonString(s.path) + ",\"title\":" + JsonString(s.title) +
                      ",\"playable\":" + (s.playable ? "true" : "false") +
                      ",\"reason\":" + (s.reason.empty() ? "null" : JsonString(s.reason)) +
                      ",\"charts\":[";
    if (s.playable) {
        for (int d = 0; d < zb::kOwnDifficulties; ++d) {
            const zb::OwnChart& c = f.charts.charts[size_t(d)];
            if (d > 0) out += ",";
            out +=
                "{\"difficulty\":" + std::to_string(d) + ",\"notes\":" + std::to_string(c.notes) +
                ",\"stars\":" + std::to_string(c.level) + ",\"maxErrorMs\":" + Fixed(c.maxErrorMs) +
                ",\"handMade\":" + (f.handMade[size_t(d)] ? "true" : "false") + ",\"due\":[";
            for (size_t i = 0; i < c.due.size(); ++i) {
                if (i > 0) out += ",";
                out +=
                    "[" + std::to_string(c.due[i].ms) + "," + std::to_string(c.due[i].kind) + "]";
            }
            out += "]}";
        }
    }
    return out + "]}";
}

void Text(const zb::OwnSongFile& f) {
    const zb::OwnSong& s = f.song;
    std::cout << s.path << "\n  title: " << s.title << "\n  id: " << s.id << "\n";
    if (!s.playable) {
        std::cout << "  not playable: " << s.reason << "\n";
        return;
    }
    std::cout << "  scroll: " << f.charts.spacing << " lane pixels per 10 ms\n";
    for (int d = 0; d < zb::kOwnDifficulties; ++d) {
        const zb::OwnChart& c = f.charts.charts[size_t(d)];
        std::cout << "  " << kNames[d] << ": " << c.notes << " notes, " << c.level << " stars, "
                  << (f.handMade[size_t(d)]
                          ? "from its chart file"
                          : "every note within " + Fixed(c.maxErrorMs) + " ms of its MIDI event")
                  << "\n";
    }
    for (int d = 0; d < zb::kOwnDifficulties; ++d) {
        const zb::OwnChart& c = f.charts.charts[size_t(d)];
        std::cout << "\n" << kNames[d] << " (due ms, kind, error ms):\n";
        for (size_t i = 0; i < c.due.size(); ++i) {
            std::cout << "  " << c.due[i].ms << " " << kKinds[c.due[i].kind];
            if (i < c.errorsMs.size()) std::cout << " " << Fixed(c.errorsMs[i]);
            std::cout << "\n";
        }
    }
}

// The chart text as measure strings: a line from each bar line to the next.
std::string ChartFileText(const zb::OwnSongFile& f, int d) {
    const zb::OwnChart& c = f.charts.charts[size_t(d)];
    std::string out =
        "# " + f.song.title + ", " + kNames[d] + " (" + std::to_string(c.notes) +
        " notes)\n"
        "# One digit per hundredth of a second from the start of the music; a line "
        "is a bar.\n"
        "# 0 nothing, 1 鈍, 2 感, 3 big 鈍, 4 big 感; 5-9 the same with a bar line.\n";
    std::string line;
    for (char ch : c.text) {
        if (ch >= '5' && !line.empty()) {
            out += line + "\n";
            line.clear();
        }
        line += ch;
    }
    return out + line + "\n";
}

}  // namespace

int RunImport(const std::vector<std::string>& args) {
    std::string file;
    bool json = false, write = false;
    for (const std::string& a : args) {
        if (a == "--json")
            json = true;
        else if (a == "--write")
            write = true;
        else if (file.empty() && !a.starts_with("--"))
            file = a;
        else {
            std::cerr << "zubakko-chart: unknown argument " << a << "\n";
            return 2;
        }
    }
    if (file.empty()) {
        std::cerr << "usage: zubakko-chart import FILE.mid [--json] [--write]\n";
        return 2;
    }
    const zb::OwnSongFile f = zb::ReadOwnSong(file);
    if (json)
        std::cout << Json(f) << "\n";
    else
        Text(f);
    if (write && f.song.playable) {
        for (int d = 0; d < zb::kOwnDifficulties; ++d) {
            const std::string path = zb::OwnChartFilePath(file, d);
            std::error_code ec;
            if (std::filesystem::exists(path, ec)) {
                std::cerr << "zubakko-chart: kept " << path << " (it is there already)\n";
                continue;
            }
            std::string why;
            if (!zb::ReplaceFileContents(path, ChartFileText(f, d), &why)) {
                std::cerr << "zubakko-chart: could not write " << path << ": " << why << "\n";
                return 1;
            }
            if (!json) std::cout << "wrote " << path << "\n";
        }
    }
    return f.song.playable ? 0 : 3;
}
