#include "play/play_history.hpp"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <sstream>

#include "core/failure_report.hpp"
#include "core/file_replace.hpp"
#include "core/own_songs.hpp"
#include "play/replay_store.hpp"

namespace zb {

namespace {

namespace fs = std::filesystem;
constexpr const char* kFileName = "history.txt";
constexpr size_t kLimit = size_t(64) << 20;
// What the learned offset asks of each of the plays.
constexpr int kLearnPlays = 3, kLearnLeastStrikes = 50;
constexpr double kLearnBeyondMs = 8, kLearnSpreadUnderMs = 30;

std::string Path(const Game& game) {
    return game.SaveDir() + kFileName;
}

// The replays kept before the history was: one line each, oldest first, without a date or the
// devices (a replay of then knows neither).
std::string FromReplays(const Game& game) {
    std::vector<fs::path> files;
    std::error_code ec;
    for (const fs::directory_entry& e : fs::directory_iterator(ReplayFolder(game), ec))
        if (e.path().extension() == ".zbr") files.push_back(e.path());
    std::sort(files.begin(), files.end());
    std::string lines;
    for (const fs::path& f : files) {
        std::string bytes;
        if (!ReadWholeFile(f.string(), bytes, kLimit)) continue;
        try {
            const Replay r = DecodeReplay(bytes);
            PlayRecord p;
            p.song = r.ownSong.empty() ? std::to_string(r.chart.song) : r.ownSong;
            p.difficulty = r.chart.difficulty;
            p.modifier = ModifierCode(r.modifier);
            p.course = r.challengeCourse ? "challenge" : "local";
            p.score = r.outcome.validScore;
            p.best = r.outcome.countBest, p.good = r.outcome.countGood;
            p.miss = r.outcome.countMiss, p.maxCombo = r.outcome.maxCombo;
            p.seconds = r.outcome.frames / r.framesPerSecond;
            p.replay = f.filename().string();
            lines += EncodePlayRecord(p) + "\n";
        } catch (const std::runtime_error& e) {
            ReportFailure(f.string() + ": " + e.what() + "; not in the play history");
        }
    }
    return lines;
}

}  // namespace

std::optional<std::string> PlayHistoryText(const Game& game) {
    std::error_code ec;
    // Before the first play writes the file, the replays kept so far are the plays known: the
    // ones the file will start with. A chart's best among them is then spared by the pruning.
    if (!fs::exists(Path(game), ec))
        return "# ズバッコミュージック: every play by hand\nversion " +
               std::to_string(kHistoryVersion) + "\n" + FromReplays(game);
    std::string text;
    if (!ReadDataFile(Path(game), text, kLimit)) return std::nullopt;  // said
    return text;
}

std::vector<PlayRecord> ReadPlayHistory(const Game& game) {
    const std::optional<std::string> text = PlayHistoryText(game);
    return text ? DecodePlayHistory(game, *text) : std::vector<PlayRecord>{};
}

std::vector<PlayRecord> DecodePlayHistory(const Game& game, const std::string& text) {
    std::vector<PlayRecord> plays;
    std::istringstream in(text);
    std::string line, skipped;
    for (int n = 1; std::getline(in, line); ++n) {
        if (line.empty() || line[0] == '#' || line.starts_with("version ")) continue;
        if (auto r = DecodePlayRecord(line))
            plays.push_back(std::move(*r));
        else
            skipped += (skipped.empty() ? "line " : ", ") + std::to_string(n);
    }
    if (!skipped.empty()) ReportFailure(Path(game) + ": " + skipped + " skipped");
    return plays;
}

PlayRecord PlayRecordOf(Game& game, const PlayOutcome& o, const std::string& replayFile) {
    const SongResult& s = *o.result;
    const PlayRequest& q = o.request;
    PlayRecord r;
    char when[32];
    const CalendarDate d = game.platform.clock.LocalDate();
    const TimeOfDay t = game.platform.clock.LocalTime();
    std::snprintf(when, sizeof when, "%04d-%02d-%02d %02d:%02d:%02d", d.year, d.month, d.day,
                  t.hour, t.minute, t.second);
    r.when = when;
    const OwnSong* own = FindOwnSong(game, q.chart.song);
    r.song = own ? own->id : std::to_string(q.chart.song);
    r.difficulty = q.chart.difficulty;
    r.modifier = ModifierCode(q.modifier);
    r.course = q.ranking ? "ranking" : q.challenge ? "challenge" : "local";
    r.score = s.ShownScore;
    r.best = s.CountBest, r.good = s.CountGood, r.miss = s.CountMiss, r.maxCombo = s.MaxCombo;
    r.seconds = s.Frames / kPlayFramesPerSecond;
    if (!replayFile.empty()) r.replay = fs::path(replayFile).filename().string();
    for (const auto& [device, f] : SummarizeByDevice(s.Strikes))
        r.devices.push_back({f.meanMs, f.spreadMs, f.count, device});
    return r;
}

void AppendPlayHistory(Game& game, std::string text, const PlayRecord& r) {
    if (!text.empty() && text.back() != '\n') text += '\n';
    SaveDataFile(Path(game), text + EncodePlayRecord(r) + "\n", "this play is not in the history");
}

std::optional<OffsetAdvice> LearnedOffset(const std::vector<PlayRecord>& history,
                                          const DeviceOptions& devices) {
    if (history.size() < size_t(kLearnPlays)) return std::nullopt;
    const auto last = history.end() - kLearnPlays;
    // The device that struck most in the last play, and its figures in each of the three.
    const PlayRecord& newest = history.back();
    const auto most = std::max_element(
        newest.devices.begin(), newest.devices.end(),
        [](const DeviceTiming& a, const DeviceTiming& b) { return a.count < b.count; });
    if (most == newest.devices.end()) return std::nullopt;
    double sum = 0;
    int sign = 0;
    for (auto p = last; p != history.end(); ++p) {
        if (p->course == "ranking") return std::nullopt;
        const auto d =
            std::find_if(p->devices.begin(), p->devices.end(),
                         [&](const DeviceTiming& t) { return t.device == most->device; });
        if (d == p->devices.end() || d->count < kLearnLeastStrikes ||
            d->spreadMs >= kLearnSpreadUnderMs || std::abs(d->meanMs) <= kLearnBeyondMs)
            return std::nullopt;
        const int s = d->meanMs > 0 ? 1 : -1;
        if (sign != 0 && s != sign) return std::nullopt;
        sign = s;
        sum += d->meanMs;
    }
    OffsetAdvice a;
    a.device = most->device;
    a.meanMs = int(std::lround(sum / kLearnPlays));
    a.offset =
        std::clamp(devices.OffsetOf(a.device) + a.meanMs, -kDeviceOffsetLimit, kDeviceOffsetLimit);
    if (a.offset == devices.OffsetOf(a.device)) return std::nullopt;
    return a;
}

std::string OffsetAdviceText(const OffsetAdvice& a) {
    const std::string ms = (a.meanMs > 0 ? "+" : "") + std::to_string(a.meanMs) + " ms ";
    return "入力が平均 " + ms + (a.meanMs > 0 ? "遅れています" : "早すぎます") + "。F5 で補正";
}

}  // namespace zb
