#include "core/own_songs.hpp"

#include <chrono>
#include <filesystem>
#include <stdexcept>

#include "core/chart_loader.hpp"
#include "core/checked.hpp"
#include "core/failure_report.hpp"
#include "core/file_replace.hpp"
#include "core/own_song_scan.hpp"

namespace zb {

namespace {

constexpr size_t kScoreFileMaxBytes = 4u << 20;

std::string ScorePath(const Game& game) {
    return game.SaveDir() + kOwnScoreFile;
}

// The one place that says where the library's cache lives.
std::string CachePath(const Game& game) {
    return game.SaveDir() + kOwnSongCacheFile;
}

void Append(OwnSongLibrary& lib, OwnSong song) {
    if (lib.songs.size() >= kOwnSongMax) return;
    lib.indexOf[song.path] = lib.songs.size();
    lib.songs.push_back(std::move(song));
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
    lib.scan =
        std::make_shared<OwnSongScan>(game.SaveDir() + kOwnSongFolder + "/", CachePath(game));
    for (OwnSong& s : lib.scan->TakeKnown()) Append(lib, std::move(s));
    lib.walking = lib.reading = true;
    std::error_code ec;
    lib.hasFolder = std::filesystem::is_directory(game.SaveDir() + kOwnSongFolder, ec);
    LoadOwnScores(game);
}

void FinishOwnSongs(Game& game) {
    EnsureOwnSongs(game);
    if (game.ownSongs.scan) game.ownSongs.scan->WaitFinished();
    TakeOwnSongNews(game);
}

bool TakeOwnSongNews(Game& game) {
    OwnSongLibrary& lib = game.ownSongs;
    if (!lib.scan || !lib.reading) return false;
    OwnSongScan::News news = lib.scan->Take();
    bool changed = !news.read.empty() || !news.gone.empty() || news.done != lib.readDone ||
                   news.total != lib.readTotal || news.walking != lib.walking ||
                   news.finished == lib.reading;
    for (OwnSong& s : news.read) {
        const auto it = lib.indexOf.find(s.path);
        if (it != lib.indexOf.end())
            lib.songs[it->second] = std::move(s);  // changed: read again under its number
        else
            Append(lib, std::move(s));
    }
    // A file gone keeps its number for this run, as a song that cannot be played.
    for (const std::string& path : news.gone) {
        const auto it = lib.indexOf.find(path);
        if (it == lib.indexOf.end()) continue;
        OwnSong& s = lib.songs[it->second];
        s.playable = false;
        s.reason = "ファイルが見つかりません";
    }
    lib.readDone = news.done, lib.readTotal = news.total, lib.leftOut = news.leftOut;
    lib.walking = news.walking;
    lib.reading = !news.finished;
    return changed;
}

OwnSongScanPause::OwnSongScanPause(Game& game) : scan_(game.ownSongs.scan) {
    if (scan_) scan_->Pause();
}

OwnSongScanPause::~OwnSongScanPause() {
    if (scan_) scan_->Resume();
}

void NoteOwnSongPlayed(Game& game, int song) {
    if (!FindOwnSong(game, song)) return;
    OwnSong* s = &game.ownSongs.songs[size_t(song - kOwnSongBase)];
    s->lastPlayed = std::chrono::duration_cast<std::chrono::seconds>(
                        std::chrono::system_clock::now().time_since_epoch())
                        .count();
    if (game.ownSongs.scan) game.ownSongs.scan->NotePlayed(s->path, s->lastPlayed);
}

int16_t AddOwnSong(Game& game, const std::string& path) {
    OwnSongLibrary& lib = game.ownSongs;
    lib.scanned = true;
    Append(lib, ReadOwnSong(path).song);
    return Narrow<int16_t>(kOwnSongBase + lib.songs.size() - 1);
}

std::string OwnSongFolder(const Game& game, const OwnSong& song) {
    const std::string root = game.SaveDir() + kOwnSongFolder + "/";
    if (song.path.compare(0, root.size(), root) != 0) return "";
    const size_t slash = song.path.rfind('/');
    return slash <= root.size() ? "" : song.path.substr(root.size(), slash - root.size());
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

OwnSongFileGone::OwnSongFileGone(int songNo, const std::string& fileName)
    : std::runtime_error(fileName + ": the song's file is gone"), song(songNo), name(fileName) {}

void CheckOwnSongFile(const Game& game, int song) {
    const OwnSong* s = FindOwnSong(game, song);
    std::error_code ec;
    if (!s || std::filesystem::exists(s->path, ec) || ec) return;
    const std::string root = game.SaveDir() + kOwnSongFolder + "/";
    const bool inside = s->path.compare(0, root.size(), root) == 0;
    throw OwnSongFileGone(song, inside ? s->path.substr(root.size())
                                       : std::filesystem::path(s->path).filename().string());
}

void TellOwnSongFileGone(Game& game, const OwnSongFileGone& gone) {
    ReportFailure("song file", gone.name, "not found; back to song select");
    if (IsOwnSong(gone.song) && size_t(gone.song - kOwnSongBase) < game.ownSongs.songs.size()) {
        OwnSong& s = game.ownSongs.songs[size_t(gone.song - kOwnSongBase)];
        s.playable = false;
        s.reason = "ファイルが見つかりません";
    }
    game.platform.dialogs.MessageBox("曲のファイルが見つかりません: " + gone.name, MsgButtons::Ok,
                                     MsgIcon::Warning, kAppTitle);
}

void LoadOwnChart(Game& game, ChartId chart) {
    const OwnSong* s = FindOwnSong(game, chart.song);
    if (!s || chart.difficulty < 0 || chart.difficulty >= kOwnDifficulties)
        throw std::out_of_range("no own song " + std::to_string(chart.song) + " difficulty " +
                                std::to_string(chart.difficulty));
    CheckOwnSongFile(game, chart.song);
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
