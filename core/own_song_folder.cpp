#include "core/own_song_folder.hpp"

#include <algorithm>
#include <filesystem>
#include <map>
#include <set>
#include <system_error>

#include "core/failure_report.hpp"

namespace zb {

namespace fs = std::filesystem;

namespace {

std::string Lower(std::string s) {
    for (char& c : s)
        if (c >= 'A' && c <= 'Z') c = char(c - 'A' + 'a');
    return s;
}

int64_t ModifiedNs(const fs::directory_entry& e, std::error_code& ec) {
    const auto t = e.last_write_time(ec);
    return ec ? 0
              : int64_t(std::chrono::duration_cast<std::chrono::nanoseconds>(t.time_since_epoch())
                            .count());
}

// "song_d1.txt" -> "song.mid"'s chart file of difficulty 1: the stem "song" and the difficulty.
bool ChartFileOf(const std::string& name, std::string& stem, int& difficulty) {
    const std::string n = Lower(name);
    if (n.size() < 8 || n.compare(n.size() - 4, 4, ".txt") != 0) return false;
    const char d = n[n.size() - 5];
    if (n.compare(n.size() - 7, 2, "_d") != 0 || d < '0' || d > '2') return false;
    stem = name.substr(0, name.size() - 7);
    difficulty = d - '0';
    return true;
}

uint64_t Mix(uint64_t h, uint64_t v) {
    h ^= v + 0x9e3779b97f4a7c15ull + (h << 6) + (h >> 2);
    return h;
}

struct Walk {
    explicit Walk(const std::function<bool()>& s) : stop(s) {}
    const std::function<bool()>& stop;
    std::set<std::string> seen;  // folders walked, by their real path
    std::vector<OwnSongFolderFile> files;
    // Chart files by the path of the MIDI stem they belong to (folder/stem).
    std::map<std::string, uint64_t> charts;
    bool complete = true;
    size_t looked = 0;

    void Folder(const fs::path& dir) {
        std::error_code ec;
        const fs::path real = fs::canonical(dir, ec);
        if (ec || !seen.insert(real.string()).second) return;  // a loop, or a folder linked twice
        fs::directory_iterator it(dir, fs::directory_options::skip_permission_denied, ec), end;
        if (ec) {
            ReportFailure("could not read", dir.string(), ec.message());
            complete = false;
            return;
        }
        std::vector<fs::path> subfolders;
        for (; it != end; it.increment(ec)) {
            if (stop && ++looked % 256 == 0 && stop()) {
                complete = false;
                return;
            }
            const fs::directory_entry& e = *it;
            std::error_code e2;
            if (e.is_directory(e2)) {  // follows a link
                subfolders.push_back(e.path());
                continue;
            }
            const std::string name = e.path().filename().string();
            std::string stem;
            int d = 0;
            if (IsMidiFileName(name)) {
                if (!e.is_regular_file(e2)) continue;
                OwnSongFolderFile f{e.path().string(), {}};
                f.stamp.size = int64_t(e.file_size(e2));
                if (e2) continue;  // gone since it was listed
                f.stamp.modified = ModifiedNs(e, e2);
                files.push_back(std::move(f));
            } else if (ChartFileOf(name, stem, d)) {
                const auto size = e.file_size(e2);
                if (e2) continue;
                uint64_t& h = charts[(dir / stem).string()];
                h = Mix(Mix(Mix(h, uint64_t(d) + 1), size), uint64_t(ModifiedNs(e, e2)));
            }
        }
        if (ec) {
            ReportFailure("could not read all of", dir.string(), ec.message());
            complete = false;
        }
        std::sort(subfolders.begin(), subfolders.end());
        for (const fs::path& sub : subfolders) Folder(sub);
    }
};

}  // namespace

bool IsMidiFileName(const std::string& name) {
    const std::string ext = Lower(fs::path(name).extension().string());
    return ext == ".mid" || ext == ".midi";
}

OwnSongFolderList ListOwnSongFiles(const std::string& folder, const std::function<bool()>& stop) {
    OwnSongFolderList out;
    std::error_code ec;
    if (!fs::is_directory(folder, ec)) return out;
    Walk walk(stop);
    walk.Folder(folder);
    out.complete = walk.complete;
    std::sort(
        walk.files.begin(), walk.files.end(),
        [](const OwnSongFolderFile& a, const OwnSongFolderFile& b) { return a.path < b.path; });
    if (walk.files.size() > kOwnSongMax) {
        out.leftOut = walk.files.size() - kOwnSongMax;
        walk.files.resize(kOwnSongMax);
        ReportFailure("left out", folder,
                      std::to_string(out.leftOut) + " MIDI files past the first " +
                          std::to_string(kOwnSongMax) + " by path");
    }
    for (OwnSongFolderFile& f : walk.files) {
        const fs::path p(f.path);
        const auto it = walk.charts.find((p.parent_path() / p.stem()).string());
        if (it != walk.charts.end()) f.stamp.chartFiles = it->second;
    }
    out.files = std::move(walk.files);
    return out;
}

}  // namespace zb
