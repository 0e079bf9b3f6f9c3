#include "course/song_finder.hpp"

#include <algorithm>
#include <numeric>

namespace zb {

namespace {

// Appends the code point `c` as UTF-8.
void PutUtf8(std::string& out, uint32_t c) {
    if (c < 0x80) {
        out += char(c);
    } else if (c < 0x800) {
        out += char(0xC0 | (c >> 6));
        out += char(0x80 | (c & 0x3F));
    } else {
        out += char(0xE0 | (c >> 12));
        out += char(0x80 | ((c >> 6) & 0x3F));
        out += char(0x80 | (c & 0x3F));
    }
}

}  // namespace

const char* SongSortName(SongSort sort) {
    switch (sort) {
        case SongSort::Path:
            return "ファイル順";
        case SongSort::Title:
            return "曲名順";
        case SongSort::Stars:
            return "★の数順";
        case SongSort::LastPlayed:
            return "最近遊んだ順";
    }
    return "";
}

std::string FoldForSearch(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size();) {
        const unsigned char b = static_cast<unsigned char>(text[i]);
        if (b < 0x80) {
            out += char(b >= 'A' && b <= 'Z' ? b - 'A' + 'a' : b);
            ++i;
            continue;
        }
        if ((b & 0xF0) == 0xE0 && i + 2 < text.size()) {  // three bytes: kana and full-width
            uint32_t c = (uint32_t(b & 0x0F) << 12) | (uint32_t(text[i + 1] & 0x3F) << 6) |
                         uint32_t(text[i + 2] & 0x3F);
            if (c >= 0x30A1 && c <= 0x30F6) c -= 0x60;  // katakana to hiragana
            if (c >= 0xFF01 && c <= 0xFF5E) {           // full-width ASCII
                c = c - 0xFF01 + 0x21;
                if (c >= 'A' && c <= 'Z') c = c - 'A' + 'a';
            }
            PutUtf8(out, c);
            i += 3;
            continue;
        }
        out += char(b);  // other sequences as they are
        ++i;
    }
    return out;
}

void SongFinder::Build(const SongList& list, const std::vector<OwnSong>& songs,
                       std::string_view root) {
    list_ = &list;
    songs_ = &songs;
    keys_.resize(songs.size());
    titles_.resize(songs.size());
    for (size_t i = 0; i < songs.size(); ++i) {
        const OwnSong& s = songs[i];
        std::string_view path = s.path;
        if (path.substr(0, root.size()) == root) path.remove_prefix(root.size());
        titles_[i] = FoldForSearch(s.title);
        keys_[i] = titles_[i] + '\n' + FoldForSearch(path);
    }
    Order();
}

void SongFinder::SetSort(SongSort sort) {
    sort_ = sort;
    if (list_) Order();
}

void SongFinder::Order() {
    const int builtIn = list_->BuiltInLength(), n = list_->Length();
    view_.resize(size_t(n));
    std::iota(view_.begin(), view_.end(), 0);
    auto song = [&](int index) -> const OwnSong& {
        return (*songs_)[size_t(list_->OwnAt(index)->chart.song - kOwnSongBase)];
    };
    auto own = view_.begin() + builtIn;
    switch (sort_) {
        case SongSort::Path:
            std::stable_sort(own, view_.end(),
                             [&](int a, int b) { return song(a).path < song(b).path; });
            break;
        case SongSort::Title:
            std::stable_sort(own, view_.end(), [&](int a, int b) {
                const auto ia = size_t(list_->OwnAt(a)->chart.song - kOwnSongBase);
                const auto ib = size_t(list_->OwnAt(b)->chart.song - kOwnSongBase);
                return titles_[ia] < titles_[ib];
            });
            break;
        case SongSort::Stars:
            // Fewest stars first, as the courses go; songs that cannot be played last.
            std::stable_sort(own, view_.end(), [&](int a, int b) {
                const auto key = [&](int i) {
                    const SongList::OwnEntry* e = list_->OwnAt(i);
                    return e->playable ? int(e->level) : 1000;
                };
                return key(a) < key(b);
            });
            break;
        case SongSort::LastPlayed:
            std::stable_sort(own, view_.end(),
                             [&](int a, int b) { return song(a).lastPlayed > song(b).lastPlayed; });
            break;
    }
    placeOf_.assign(size_t(n), -1);
    for (int p = 0; p < n; ++p) placeOf_[size_t(view_[size_t(p)])] = p;
}

int SongFinder::PlaceOf(int index) const {
    return index >= 0 && size_t(index) < placeOf_.size() ? placeOf_[size_t(index)] : -1;
}

int SongFinder::IndexOf(ChartId chart) const {
    for (int i = 0; i < list_->Length(); ++i)
        if (const ChartId c = list_->ChartAt(i);
            c.song == chart.song && c.difficulty == chart.difficulty)
            return i;
    return -1;
}

int SongFinder::Move(int index, int places) const {
    const int n = Size();
    if (n == 0) return index;
    int p = std::max(0, PlaceOf(index));
    if (places == 1 || places == -1) {
        // At most one full turn: a list with nothing offered must not hang the screen.
        for (int steps = 0; steps < n; ++steps) {
            p = (p + places + n) % n;
            if (Offered(IndexAt(p))) break;
        }
        return IndexAt(p);
    }
    const int dir = places > 0 ? 1 : -1;
    const int target = std::clamp(p + places, 0, n - 1);
    // The offered entry nearest the target on the way, or the last offered one before it.
    for (int q = target; q != p; q -= dir)
        if (Offered(IndexAt(q))) return IndexAt(q);
    return index;
}

int SongFinder::First() const {
    for (int p = 0; p < Size(); ++p)
        if (Offered(IndexAt(p))) return IndexAt(p);
    return 0;
}

int SongFinder::Last() const {
    for (int p = Size() - 1; p >= 0; --p)
        if (Offered(IndexAt(p))) return IndexAt(p);
    return First();
}

std::vector<int> SongFinder::Find(std::string_view query) const {
    std::vector<int> out;
    const std::string q = FoldForSearch(query);
    if (q.empty()) return out;
    for (int p = list_->BuiltInLength(); p < Size(); ++p) {
        const int index = IndexAt(p);
        const size_t own = size_t(list_->OwnAt(index)->chart.song - kOwnSongBase);
        if (keys_[own].find(q) != std::string::npos) out.push_back(index);
    }
    return out;
}

}  // namespace zb
