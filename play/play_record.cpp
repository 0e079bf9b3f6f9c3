#include "play/play_record.hpp"

#include <charconv>
#include <cmath>
#include <cstdio>

#include "core/challenge_modifiers.hpp"

namespace zb {

namespace {

// A play's figures beyond these are a damaged line: no song lasts ten hours.
constexpr double kMostSeconds = 36000, kMostMs = 100000;
constexpr int kMostCount = 1000000;

std::vector<std::string> Split(const std::string& line, char sep) {
    std::vector<std::string> parts;
    size_t from = 0;
    for (size_t at; (at = line.find(sep, from)) != std::string::npos; from = at + 1)
        parts.push_back(line.substr(from, at - from));
    parts.push_back(line.substr(from));
    return parts;
}

template <typename T>
bool Number(const std::string& s, T& v) {
    const auto [p, ec] = std::from_chars(s.data(), s.data() + s.size(), v);
    return ec == std::errc() && p == s.data() + s.size() && !s.empty();
}

std::string Fixed(double v) {
    char b[32];
    std::snprintf(b, sizeof b, "%.1f", v);
    return b;
}

}  // namespace

std::string EncodePlayRecord(const PlayRecord& r) {
    std::string s = r.when + "\t" + r.song;
    for (const int v : {r.difficulty, r.modifier}) s += "\t" + std::to_string(v);
    s += "\t" + r.course + "\t" + std::to_string(r.score);
    for (const int v : {r.best, r.good, r.miss, r.maxCombo}) s += "\t" + std::to_string(v);
    s += "\t" + Fixed(r.seconds) + "\t" + r.replay;
    for (const DeviceTiming& d : r.devices)
        s += "\t" + Fixed(d.meanMs) + " " + Fixed(d.spreadMs) + " " + std::to_string(d.count) +
             " " + d.device;
    return s;
}

std::optional<PlayRecord> DecodePlayRecord(const std::string& line) {
    const std::vector<std::string> f = Split(line, '\t');
    if (f.size() < 12) return std::nullopt;
    PlayRecord r;
    r.when = f[0], r.song = f[1], r.course = f[4], r.replay = f[11];
    bool good = !r.when.empty() && !r.song.empty() && !r.replay.empty() &&
                (r.course == "local" || r.course == "challenge" || r.course == "ranking");
    good = good && Number(f[2], r.difficulty) && Number(f[3], r.modifier) && Number(f[5], r.score);
    good = good && Number(f[6], r.best) && Number(f[7], r.good) && Number(f[8], r.miss);
    good = good && Number(f[9], r.maxCombo) && Number(f[10], r.seconds);
    good = good && r.difficulty >= 0 && r.difficulty <= 3 && r.modifier >= 0 &&
           r.modifier < kModifierCount && r.seconds >= 0 && r.seconds <= kMostSeconds;
    for (const int n : {r.best, r.good, r.miss, r.maxCombo})
        good = good && n >= 0 && n <= kMostCount;
    for (size_t i = 12; good && i < f.size(); ++i) {
        const std::vector<std::string> d = Split(f[i], ' ');
        DeviceTiming t;
        good = d.size() >= 4 && Number(d[0], t.meanMs) && Number(d[1], t.spreadMs) &&
               Number(d[2], t.count) && std::abs(t.meanMs) <= kMostMs && t.spreadMs >= 0 &&
               t.spreadMs <= kMostMs && t.count >= 0 && t.count <= kMostCount;
        // The name is the rest, spaces and all; a field cut short has none.
        if (good) t.device = f[i].substr(d[0].size() + d[1].size() + d[2].size() + 3);
        good = good && !t.device.empty();
        r.devices.push_back(t);
    }
    if (!good) return std::nullopt;
    return r;
}

}  // namespace zb
