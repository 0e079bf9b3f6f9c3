#include "core/own_song_cache.hpp"

#include <algorithm>
#include <charconv>
#include <string_view>

namespace zb {

namespace {

constexpr std::string_view kHeader = "zubakko own-song cache ";
constexpr int kFields = 16;
// The charts' star levels are 1 to 10 (0 for none); more is no cache of ours.
constexpr int16_t kMaxLevel = 99;

uint64_t Fnv(std::string_view bytes) {
    uint64_t h = 0xcbf29ce484222325ull;
    for (unsigned char c : bytes) {
        h ^= c;
        h *= 0x100000001b3ull;
    }
    return h;
}

void PutText(std::string& out, std::string_view s) {
    for (char c : s) {
        switch (c) {
            case '\\':
                out += "\\\\";
                break;
            case '\t':
                out += "\\t";
                break;
            case '\n':
                out += "\\n";
                break;
            case '\r':
                out += "\\r";
                break;
            default:
                out += c;
        }
    }
}

bool GetText(std::string_view s, std::string& out) {
    out.clear();
    out.reserve(s.size());
    for (size_t i = 0; i < s.size(); ++i) {
        if (s[i] != '\\') {
            out += s[i];
            continue;
        }
        if (++i == s.size()) return false;
        switch (s[i]) {
            case '\\':
                out += '\\';
                break;
            case 't':
                out += '\t';
                break;
            case 'n':
                out += '\n';
                break;
            case 'r':
                out += '\r';
                break;
            default:
                return false;
        }
    }
    return true;
}

template <class T>
bool GetNumber(std::string_view s, T& v, int base = 10) {
    const auto r = std::from_chars(s.data(), s.data() + s.size(), v, base);
    return r.ec == std::errc() && r.ptr == s.data() + s.size();
}

bool DecodeRow(std::string_view line, const std::string& folder, OwnSong& s) {
    std::string_view f[kFields];
    int n = 0;
    for (size_t start = 0;; ++n) {
        const size_t tab = line.find('\t', start);
        if (n == kFields) return false;
        f[n] = line.substr(start, tab == line.npos ? line.npos : tab - start);
        if (tab == line.npos) break;
        start = tab + 1;
    }
    if (n != kFields - 1) return false;
    std::string rel;
    int playable = 0;
    if (!GetText(f[0], rel) || rel.empty() || !GetNumber(f[1], s.stamp.size) ||
        !GetNumber(f[2], s.stamp.modified) || !GetNumber(f[3], s.stamp.chartFiles, 16) ||
        !GetNumber(f[4], s.chartVersion) || !GetNumber(f[6], playable) || playable < 0 ||
        playable > 1 || !GetNumber(f[13], s.lastPlayed) || !GetText(f[14], s.title) ||
        !GetText(f[15], s.reason))
        return false;
    s.id = std::string(f[5]);
    if (!(s.id.empty() || s.id.size() == 16) ||
        s.id.find_first_not_of("0123456789abcdef") != std::string::npos)
        return false;
    for (int d = 0; d < kOwnDifficulties; ++d)
        if (!GetNumber(f[7 + d], s.levels[size_t(d)]) || s.levels[size_t(d)] < 0 ||
            s.levels[size_t(d)] > kMaxLevel || !GetNumber(f[10 + d], s.notes[size_t(d)]) ||
            s.notes[size_t(d)] < 0)
            return false;
    s.playable = playable == 1;
    s.path = rel.front() == '/' ? rel : folder + rel;
    return true;
}

}  // namespace

std::string EncodeOwnSongCache(const std::vector<OwnSong>& songs, const std::string& folder) {
    std::string out = std::string(kHeader) + std::to_string(kOwnSongCacheVersion) + "\n";
    out.reserve(songs.size() * 160);
    size_t rows = 0;
    for (const OwnSong& s : songs) {
        if (s.stamp.size < 0) continue;  // never read: nothing to keep
        // A path kept relative must read back as itself: not one that would start with '/'.
        const bool inside = s.path.compare(0, folder.size(), folder) == 0 &&
                            s.path.size() > folder.size() && s.path[folder.size()] != '/';
        PutText(out, inside ? std::string_view(s.path).substr(folder.size()) : s.path);
        out += '\t' + std::to_string(s.stamp.size) + '\t' + std::to_string(s.stamp.modified);
        char hex[17];
        const auto r = std::to_chars(hex, hex + 16, s.stamp.chartFiles, 16);
        out += '\t' + std::string(hex, r.ptr) + '\t' + std::to_string(s.chartVersion) + '\t' +
               s.id + '\t' + (s.playable ? "1" : "0");
        for (int16_t l : s.levels) out += '\t' + std::to_string(l);
        for (int16_t k : s.notes) out += '\t' + std::to_string(k);
        out += '\t' + std::to_string(s.lastPlayed) + '\t';
        PutText(out, s.title);
        out += '\t';
        PutText(out, s.reason);
        out += '\n';
        ++rows;
    }
    char hex[17];
    const auto r = std::to_chars(hex, hex + 16, Fnv(out), 16);
    out += "end\t" + std::to_string(rows) + '\t' + std::string(hex, r.ptr) + '\n';
    return out;
}

OwnCacheRead DecodeOwnSongCache(const std::string& bytes, const std::string& folder,
                                std::vector<OwnSong>& songs, std::string& why) {
    songs.clear();
    const std::string_view all(bytes);
    const size_t eol = all.find('\n');
    int version = 0;
    if (eol == all.npos || all.substr(0, kHeader.size()) != kHeader ||
        !GetNumber(all.substr(kHeader.size(), eol - kHeader.size()), version)) {
        why = "not a song cache";
        return OwnCacheRead::Damaged;
    }
    if (version > kOwnSongCacheVersion) {
        why = "written by a newer version of the game";
        return OwnCacheRead::Newer;
    }
    // The end line: its count and the hash of everything before it.
    const size_t endAt = all.size() < 2 ? all.npos : all.rfind("\nend\t", all.size() - 2);
    size_t rows = 0;
    uint64_t hash = 0;
    bool ok = version == kOwnSongCacheVersion && endAt != all.npos && all.back() == '\n';
    if (ok) {
        const std::string_view tail = all.substr(endAt + 5, all.size() - endAt - 6);
        const size_t tab = tail.find('\t');
        ok = tab != tail.npos && GetNumber(tail.substr(0, tab), rows) &&
             GetNumber(tail.substr(tab + 1), hash, 16) && Fnv(all.substr(0, endAt + 1)) == hash;
    }
    if (!ok) {
        why = "damaged (it is written again)";
        return OwnCacheRead::Damaged;
    }
    // The count is the file's word: room for no more rows than it has lines.
    songs.reserve(std::min(rows, size_t(std::count(all.begin(), all.end(), '\n'))));
    for (size_t at = eol + 1; at <= endAt;) {
        const size_t next = all.find('\n', at);
        OwnSong s;
        if (!DecodeRow(all.substr(at, next - at), folder, s)) {
            why = "damaged at line " + std::to_string(songs.size() + 2) + " (it is written again)";
            songs.clear();
            return OwnCacheRead::Damaged;
        }
        songs.push_back(std::move(s));
        at = next + 1;
    }
    if (songs.size() != rows) {
        songs.clear();
        why = "damaged (it is written again)";
        return OwnCacheRead::Damaged;
    }
    return OwnCacheRead::Read;
}

}  // namespace zb
