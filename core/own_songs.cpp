#include "core/own_songs.hpp"

#include <stdexcept>

#include "core/chart_loader.hpp"
#include "core/failure_report.hpp"
#include "core/file_replace.hpp"

namespace zb {

namespace {

constexpr size_t kScoreFileMaxBytes = 4u << 20;

std::string ScorePath(const Game& game) {
    return game.SaveDir() + kOwnScoreFile;
}

void LoadOwnScores(Game& game) {
    OwnSongLibrary& lib = game.ownSongs;
    const std::string path = ScorePath(game);
    std::string text, why;
    if (!ReadWholeFile(path, text, kScoreFileMaxBytes, &why)) return;  // none yet
    if (!DecodeOwnScores(text, lib.scores, why)) {
        // A newer game's file is kept as it is: scores of this run stay in memory.
        lib.scoresWritable = false;
        ReportFailure("could not read", path, why + "; own songs' new high scores are not saved");
    } else if (!why.empty()) {
        ReportFailure("skipped part of", path, why);
    }
}

}  // namespace

void EnsureOwnSongs(Game& game) {
    OwnSongLibrary& lib = game.ownSongs;
    if (lib.scanned) return;
    lib.scanned = true;
    lib.songs = ScanOwnSongFolder(game.SaveDir() + kOwnSongFolder);
    LoadOwnScores(game);
}

int16_t AddOwnSong(Game& game, const std::string& path) {
    OwnSongLibrary& lib = game.ownSongs;
    lib.scanned = true;
    lib.songs.push_back(ReadOwnSong(path).song);
    return int16_t(kOwnSongBase + lib.songs.size() - 1);
}

const OwnSong* FindOwnSong(const Game& game, int song) {
    const auto& songs = game.ownSongs.songs;
    if (!IsOwnSong(song) || size_t(song - kOwnSongBase) >= songs.size()) return nullptr;
    return &songs[size_t(song - kOwnSongBase)];
}

int32_t OwnHighScore(const Game& game, int song, int column) {
    const OwnSong* s = FindOwnSong(game, song);
    if (!s || s->id.empty() || column < 0 || column >= 6) return 0;
    const auto it = game.ownSongs.scores.find(s->id);
    return it == game.ownSongs.scores.end() ? 0 : it->second[size_t(column)];
}

void SetOwnHighScore(Game& game, int song, int column, int32_t score) {
    const OwnSong* s = FindOwnSong(game, song);
    if (!s || s->id.empty() || column < 0 || column >= 6) return;
    OwnSongLibrary& lib = game.ownSongs;
    lib.scores[s->id][size_t(column)] = score;
    if (!lib.scoresWritable) return;
    SaveDataFile(ScorePath(game), EncodeOwnScores(lib.scores), "the high score stays for this run");
}

void LoadOwnChart(Game& game, ChartId chart) {
    const OwnSong* s = FindOwnSong(game, chart.song);
    if (!s || chart.difficulty < 0 || chart.difficulty >= kOwnDifficulties)
        throw std::out_of_range("no own song " + std::to_string(chart.song) + " difficulty " +
                                std::to_string(chart.difficulty));
    const OwnSongFile f = ReadOwnSong(s->path);
    if (!f.charts.playable)
        throw std::runtime_error(s->path + ": " +
                                 (f.song.reason.empty() ? "not playable" : f.song.reason));
    const OwnChart& own = f.charts.charts[size_t(chart.difficulty)];
    const ChartConstants k =
        OwnChartConstants(chart.difficulty, own.level, own.notes, f.charts.spacing);
    Chart& c = game.chart;
    c.SongPart = 0;
    c.MusicVolumeScale = 1.0;
    SetChartConstants(game, k, k.windows);
    // One position per centisecond: the chart spans exactly as many centiseconds as it has
    // positions, and the part ends when the whole file has played.
    c.ChartSpan = int32_t(own.text.size());
    c.PartEndTime = std::max<int32_t>(f.charts.partEndTime, c.ChartSpan);
    c.ChartOffset = 0;

    MusicPlayer& music = game.platform.music;
    music.SetAutoStart(true);
    music.SetEnabled(true);
    music.SetFileName(s->path);

    ApplyModifierAndBuild(game, own.text);
}

}  // namespace zb
