// zubakko-chart --song S --difficulty D [--part P] [--mode M] [--delay N]
// Runs the game's chart loader on the headless platform and prints one JSON object with every
// value the load wrote, for chart authors to inspect a chart.
// zubakko-chart import FILE.mid [--json] [--write]: what the game makes of an own song.
#include <charconv>
#include <cstdint>
#include <cstdio>
#include <iostream>
#include <limits>
#include <optional>
#include <string>
#include <string_view>

#include "core/chart_loader.hpp"
#include "core/songs.hpp"
#include "platform/headless/headless.hpp"
#include "tools/chart/import.hpp"

namespace {

constexpr const char* kUsage =
    "usage: zubakko-chart --song S --difficulty D [--part P] [--mode M] [--delay N]\n"
    "  S 0-9, D 0-2 (3 for song 8), P 0-2 for songs 5 and 6, M challenge 0-9, N delay (9)\n"
    "       zubakko-chart import FILE.mid [--json] [--write]\n";

int Usage(const std::string& why) {
    std::cerr << "zubakko-chart: " << why << "\n" << kUsage;
    return 2;
}

std::optional<int16_t> ParseInt16(std::string_view s) {
    int v = 0;
    const auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), v);
    if (ec != std::errc{} || end != s.data() + s.size() ||
        v < std::numeric_limits<int16_t>::min() || v > std::numeric_limits<int16_t>::max())
        return std::nullopt;
    return static_cast<int16_t>(v);
}

std::string JsonString(std::string_view s) {
    std::string out = "\"";
    for (char c : s) {
        if (c == '"' || c == '\\') out += '\\';
        out += c;
    }
    return out + "\"";
}

std::string JsonNumber(double v) {
    char buf[64];
    const auto r = std::to_chars(buf, buf + sizeof buf, v);
    return std::string(buf, r.ptr);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc > 1 && std::string_view(argv[1]) == "import")
        return RunImport(std::vector<std::string>(argv + 2, argv + argc));
    std::optional<int16_t> song, difficulty, part, mode, delay;
    for (int i = 1; i < argc; ++i) {
        const std::string_view opt = argv[i];
        std::optional<int16_t>* target = opt == "--song"         ? &song
                                         : opt == "--difficulty" ? &difficulty
                                         : opt == "--part"       ? &part
                                         : opt == "--mode"       ? &mode
                                         : opt == "--delay"      ? &delay
                                                                 : nullptr;
        if (!target) return Usage("unknown argument " + std::string(opt));
        if (target->has_value()) return Usage("repeated " + std::string(opt));
        if (i + 1 >= argc) return Usage(std::string(opt) + " needs a number");
        *target = ParseInt16(argv[++i]);
        if (!target->has_value()) return Usage(std::string(opt) + " needs a whole number");
    }
    if (!song || !difficulty) return Usage("--song and --difficulty are required");
    if (*song < 0 || *song >= zb::kSongCount) return Usage("no song " + std::to_string(*song));
    if (!zb::HasChart({*song, *difficulty}))
        return Usage("song " + std::to_string(*song) + " has no difficulty " +
                     std::to_string(*difficulty));
    const int16_t p = part.value_or(0);
    if (p < 0 || p >= zb::PartCount(*song))
        return Usage("song " + std::to_string(*song) + " has no part " + std::to_string(p));
    if (mode && (*mode < 0 || *mode >= zb::kModifierCount)) return Usage("--mode must be 0 to 9");

    zb::headless::HeadlessPlatform platform;
    zb::Game game(platform.ports);
    game.chart.Mode = zb::kModifiers[size_t(mode.value_or(0))].modifier;
    game.settings.DelaySetting = delay.value_or(9);
    const size_t filesBefore = platform.music.History().size();
    try {
        zb::LoadChart(game, {.song = *song, .difficulty = *difficulty}, p);
    } catch (const std::exception& e) {
        std::cerr << "zubakko-chart: the load failed: " << e.what() << "\n";
        return 1;
    }
    std::string musicFile = "null";
    if (platform.music.History().size() > filesBefore) {
        std::string path = platform.music.History().back();
        if (path.starts_with(game.AppDir())) path = path.substr(game.AppDir().size());
        musicFile = JsonString(path);
    }

    const zb::Chart& c = game.chart;
    std::string notePos = "[";
    for (int i = 1; i <= c.NoteCount; ++i) {
        if (i > 1) notePos += ",";
        notePos += std::to_string(c.NotePos[i]);
    }
    notePos += "]";
    const std::pair<const char*, std::string> fields[] = {
        {"ChartText", JsonString(c.ChartText)},
        {"NoteCount", std::to_string(c.NoteCount)},
        {"NotePos", notePos},
        {"NoteKinds", JsonString(c.NoteKinds)},
        {"NoteSpacing", std::to_string(c.NoteSpacing)},
        {"LaneBlitWidth", std::to_string(c.LaneBlitWidth)},
        {"PartEndTime", std::to_string(c.PartEndTime)},
        {"ChartSpan", std::to_string(c.ChartSpan)},
        {"ChartOffset", std::to_string(c.ChartOffset)},
        {"ChartDelay", std::to_string(c.ChartDelay)},
        {"MusicVolumeScale", JsonNumber(c.MusicVolumeScale)},
        {"SongLevel", std::to_string(c.SongLevel)},
        {"ComboBonusStep", std::to_string(c.ComboBonusStep)},
        {"GaugeGainBest", std::to_string(c.GaugeGainBest)},
        {"GaugeGainGood", std::to_string(c.GaugeGainGood)},
        {"GaugeLoss", std::to_string(c.GaugeLoss)},
        {"GaugeUnit", std::to_string(c.GaugeUnit)},
        {"JudgeWindow1", std::to_string(c.JudgeWindow1)},
        {"JudgeWindow2", std::to_string(c.JudgeWindow2)},
        {"JudgeWindow3", std::to_string(c.JudgeWindow3)},
        {"MusicFile", musicFile},
    };
    std::string out = "{";
    bool first = true;
    for (const auto& [key, value] : fields) {
        out += first ? "\n  " : ",\n  ";
        first = false;
        out += JsonString(key) + ": " + value;
    }
    std::cout << out << "\n}\n";
    return 0;
}
