#include "core/own_song_library.hpp"

#include <algorithm>
#include <filesystem>
#include <sstream>
#include <system_error>

#include "core/chart_data.hpp"
#include "core/failure_report.hpp"
#include "core/file_replace.hpp"
#include "core/own_song_folder.hpp"

namespace zb {

namespace fs = std::filesystem;

namespace {

constexpr const char* kScoreHeader = "zubakko own-song scores 1";
// A chart file longer than this is no chart: an hour of centisecond positions and comments.
constexpr size_t kChartFileMaxBytes = 4u << 20;

std::string Lower(std::string s) {
    for (char& c : s)
        if (c >= 'A' && c <= 'Z') c = char(c - 'A' + 'a');
    return s;
}

// Sequencers name the first track "Track 1" or "Untitled" when its author did not: such a name
// says less than the file's.
bool IsPlaceholderName(const std::string& name) {
    const std::string n = Lower(name);
    for (const char* word : {"track", "untitled", "sequence", "seq", "noname"}) {
        const std::string w = word;
        if (n.rfind(w, 0) == 0 &&
            n.find_first_not_of(" -_0123456789", w.size()) == std::string::npos)
            return true;
    }
    return false;
}

// A chart file replaces the generated chart of its difficulty; a bad one is reported and left
// out.
void ApplyChartFile(OwnSongFile& f, int d) {
    const std::string path = OwnChartFilePath(f.song.path, d);
    std::error_code ec;
    if (!fs::is_regular_file(path, ec)) return;
    std::string bytes, why;
    if (!ReadWholeFile(path, bytes, kChartFileMaxBytes + 1, &why)) {
        ReportFailure("could not read", path, why);
        return;
    }
    if (bytes.size() > kChartFileMaxBytes) {
        ReportFailure("left out", path, "larger than a chart can be");
        return;
    }
    std::string text;
    try {
        for (const std::string& m : ParseChartFile(bytes)) text += m;
    } catch (const std::runtime_error& e) {
        ReportFailure("left out", path, e.what());
        return;
    }
    size_t notes = 0;
    for (char c : text) notes += c != '0' && c != '5';
    if (notes == 0 || notes > 30000) {
        ReportFailure("left out", path, notes == 0 ? "no notes" : "too many notes");
        return;
    }
    OwnChart& c = f.charts.charts[size_t(d)];
    c.text = std::move(text);
    c.notes = int16_t(notes);
    c.level = StarLevel(d, NotesPerSecond(c.text));
    c.due = DueNotesOf(c.text);
    c.maxErrorMs = 0;
    c.errorsMs.clear();
    f.handMade[size_t(d)] = true;
}

}  // namespace

bool IsOwnSong(int song) {
    return song >= kOwnSongBase;
}

std::string OwnChartFilePath(const std::string& midiPath, int difficulty) {
    fs::path p(midiPath);
    const std::string stem = p.stem().string();
    return (p.parent_path() / (stem + "_d" + std::to_string(difficulty) + ".txt")).string();
}

std::string ContentId(std::string_view bytes) {
    uint64_t h = 0xcbf29ce484222325ull;
    for (unsigned char c : bytes) {
        h ^= c;
        h *= 0x100000001b3ull;
    }
    static constexpr char kHex[] = "0123456789abcdef";
    std::string id(16, '0');
    for (int i = 15; i >= 0; --i, h >>= 4) id[size_t(i)] = kHex[h & 15];
    return id;
}

OwnSongFile ReadOwnSong(const std::string& path) {
    OwnSongFile f;
    OwnSong& s = f.song;
    s.path = path;
    s.title = fs::path(path).stem().string();
    s.chartVersion = kOwnChartVersion;
    std::string bytes, why;
    std::error_code ec;
    const auto size = fs::file_size(path, ec);
    if (ec) {
        s.reason = kOwnSongUnreadable;
        return f;
    }
    if (size > kMidiMaxBytes) {
        s.reason = "ファイルが大きすぎます";
        return f;
    }
    if (!ReadWholeFile(path, bytes, kMidiMaxBytes + 1, &why)) {
        s.reason = kOwnSongUnreadable;
        return f;
    }
    s.id = ContentId(bytes);
    MidiSong midi;
    if (!ReadMidi(bytes, midi, s.reason)) return f;
    if (!midi.name.empty() && !IsPlaceholderName(midi.name)) s.title = midi.name;
    f.charts = BuildOwnCharts(midi);
    bool all = true;
    for (int d = 0; d < kOwnDifficulties; ++d) {
        if (f.charts.partEndTime > 0) ApplyChartFile(f, d);
        all = all && (f.charts.charts[size_t(d)].notes > 0);
    }
    // Chart files can make a song playable whose rhythm the game could not find.
    f.charts.playable = f.charts.partEndTime > 0 && all;
    s.playable = f.charts.playable;
    s.reason = s.playable ? "" : f.charts.reason;
    for (int d = 0; d < kOwnDifficulties; ++d) {
        s.levels[size_t(d)] = f.charts.charts[size_t(d)].level;
        s.notes[size_t(d)] = f.charts.charts[size_t(d)].notes;
    }
    return f;
}

std::vector<OwnSong> ScanOwnSongFolder(const std::string& folder) {
    std::vector<OwnSong> songs;
    for (const OwnSongFolderFile& f : ListOwnSongFiles(folder).files) {
        songs.push_back(ReadOwnSong(f.path).song);
        songs.back().stamp = f.stamp;
    }
    return songs;
}

std::string EncodeOwnScores(const std::map<std::string, OwnScoreColumns>& scores) {
    std::string out = std::string(kScoreHeader) + "\n";
    for (const auto& [id, cols] : scores) {
        out += id;
        for (int32_t v : cols) out += " " + std::to_string(v);
        out += "\n";
    }
    return out;
}

bool DecodeOwnScores(const std::string& text, std::map<std::string, OwnScoreColumns>& scores,
                     std::string& why) {
    std::istringstream in(text);
    std::string line;
    if (!std::getline(in, line) || line != kScoreHeader) {
        why = "not a score file this game can read";
        return false;
    }
    int lineNo = 1;
    while (std::getline(in, line)) {
        ++lineNo;
        if (line.empty()) continue;
        std::istringstream l(line);
        std::string id;
        OwnScoreColumns cols{};
        l >> id;
        for (int32_t& v : cols) l >> v;
        if (!l || id.size() != 16 ||
            id.find_first_not_of("0123456789abcdef") != std::string::npos) {
            why = "line " + std::to_string(lineNo) + " is not a score";
            continue;
        }
        scores[id] = cols;
    }
    return true;
}

}  // namespace zb
