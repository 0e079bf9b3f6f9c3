#include "core/own_song_scan.hpp"

#include <algorithm>
#include <chrono>
#include <filesystem>

#include "core/failure_report.hpp"
#include "core/file_replace.hpp"
#include "core/own_song_folder.hpp"
#include "platform/fault_switch.hpp"
#include "platform/thread_priority.hpp"

namespace zb {

namespace {

// A cache larger than this is no cache of ours: 30,000 rows take about 5 MB.
constexpr size_t kCacheMaxBytes = 64u << 20;
// While files are read, what was read is kept this often, so that a game closed mid-scan does not
// read them again.
constexpr auto kSaveEvery = std::chrono::seconds(5);

}  // namespace

OwnSongScan::OwnSongScan(std::string folder, std::string cachePath)
    : folder_(std::move(folder)), cachePath_(std::move(cachePath)) {
    std::string bytes, why;
    std::error_code ec;
    if (std::filesystem::exists(cachePath_, ec) &&
        ReadWholeFile(cachePath_, bytes, kCacheMaxBytes, &why)) {
        std::vector<OwnSong> songs;
        switch (DecodeOwnSongCache(bytes, folder_, songs, why)) {
            case OwnCacheRead::Read:
                break;
            case OwnCacheRead::Newer:
                cacheWritable_ = false;
                ReportFailure("left alone", cachePath_, why);
                break;
            case OwnCacheRead::Damaged:
                ReportFailure("could not use", cachePath_, why);
                dirty_ = true;
                break;
        }
        for (const OwnSong& s : songs) rows_.emplace(s.path, s);
        known_ = std::move(songs);
    }
    worker_ = std::thread([this] { Run(); });
}

OwnSongScan::~OwnSongScan() {
    {
        std::lock_guard lock(mutex_);
        stop_ = true;
    }
    wake_.notify_all();
    worker_.join();
    Save();
}

std::vector<OwnSong> OwnSongScan::TakeKnown() {
    std::lock_guard lock(mutex_);
    return std::move(known_);
}

OwnSongScan::News OwnSongScan::Take() {
    std::lock_guard lock(mutex_);
    News out = std::move(news_);  // the counts stay
    news_.read.clear();
    news_.gone.clear();
    return out;
}

void OwnSongScan::Pause() {
    std::unique_lock lock(mutex_);
    ++pauses_;
    wake_.wait(lock, [this] { return !busy_; });
}

void OwnSongScan::Resume() {
    {
        std::lock_guard lock(mutex_);
        pauses_ = std::max(0, pauses_ - 1);
    }
    wake_.notify_all();
}

void OwnSongScan::WaitFinished() {
    std::unique_lock lock(mutex_);
    wake_.wait(lock, [this] { return news_.finished; });
}

void OwnSongScan::NotePlayed(const std::string& path, int64_t when) {
    {
        std::lock_guard lock(mutex_);
        const auto it = rows_.find(path);
        if (it == rows_.end()) return;
        it->second.lastPlayed = when;
        dirty_ = true;
    }
    wake_.notify_all();
}

bool OwnSongScan::Proceed(std::unique_lock<std::mutex>& lock) {
    wake_.wait(lock, [this] { return stop_ || pauses_ == 0; });
    return !stop_;
}

void OwnSongScan::Save() {
    std::lock_guard save(saveMutex_);
    std::vector<OwnSong> songs;
    {
        std::lock_guard lock(mutex_);
        const bool write = dirty_ && cacheWritable_;
        dirty_ = false;
        if (!write) return;
        songs.reserve(rows_.size());
        for (const auto& [path, s] : rows_) songs.push_back(s);
    }
    std::sort(songs.begin(), songs.end(),
              [](const OwnSong& a, const OwnSong& b) { return a.path < b.path; });
    SaveDataFile(cachePath_, EncodeOwnSongCache(songs, folder_),
                 "the songs are read again on the next start");
}

void OwnSongScan::Run() {
    LowerThreadPriority();
    try {
        Scan();
    } catch (const std::exception& e) {
        // What was read stays listed; the rest is read at the next start.
        ReportFailure("stopped reading the songs in", folder_, e.what());
        std::lock_guard lock(mutex_);
        busy_ = false;
        news_.walking = false;
    }
    std::unique_lock lock(mutex_);
    news_.finished = true;
    wake_.notify_all();
    // Then the cache is written whenever a song's last play changes it, off the game's thread.
    for (;;) {
        wake_.wait(lock, [this] { return stop_ || (dirty_ && pauses_ == 0); });
        if (stop_) return;
        lock.unlock();
        try {
            Save();
        } catch (const std::exception& e) {
            ReportFailure("could not write", cachePath_, e.what());
        }
        lock.lock();
    }
}

void OwnSongScan::Scan() {
    const OwnSongFolderList list = ListOwnSongFiles(folder_, [this] {
        std::unique_lock lock(mutex_);
        return !Proceed(lock);
    });
    std::vector<const OwnSongFolderFile*> todo;
    {
        std::unique_lock lock(mutex_);
        if (list.complete) {  // what a walk cut short did not find may still be there
            std::unordered_map<std::string, bool> listed;
            for (const OwnSongFolderFile& f : list.files) listed.emplace(f.path, true);
            for (auto it = rows_.begin(); it != rows_.end();) {
                if (listed.count(it->first)) {
                    ++it;
                    continue;
                }
                news_.gone.push_back(it->first);
                it = rows_.erase(it);
                dirty_ = true;
            }
        }
        for (const OwnSongFolderFile& f : list.files) {
            const auto it = rows_.find(f.path);
            if (it == rows_.end() || !(it->second.stamp == f.stamp) ||
                it->second.chartVersion != kOwnChartVersion)
                todo.push_back(&f);
        }
        news_.total = todo.size();
        news_.leftOut = list.leftOut;
        news_.walking = false;
    }
    auto lastSave = std::chrono::steady_clock::now();
    for (const OwnSongFolderFile* f : todo) {
        {
            std::unique_lock lock(mutex_);
            if (!Proceed(lock)) break;
            busy_ = true;
        }
        OwnSongFile read;
        bool failed = false;
        try {
            fault::Trip(fault::Place::Scan);
            read = ReadOwnSong(f->path);
        } catch (const std::exception& e) {
            // Listed as unplayable for this run and read again at the next start.
            ReportFailure("could not read", f->path, e.what());
            read = {};
            read.song.path = f->path;
            read.song.title = std::filesystem::path(f->path).stem().string();
            read.song.reason = kOwnSongUnreadable;
            failed = true;
        }
        std::error_code ec;
        const bool vanished = !read.song.playable && !std::filesystem::exists(f->path, ec);
        {
            std::lock_guard lock(mutex_);
            busy_ = false;
            ++news_.done;
            if (failed) {
                news_.read.push_back(read.song);
            } else if (vanished && rows_.erase(f->path)) {
                news_.gone.push_back(f->path);
                dirty_ = true;
            } else if (!vanished) {
                OwnSong& s = read.song;
                s.stamp = f->stamp;
                const auto it = rows_.find(f->path);
                if (it != rows_.end()) s.lastPlayed = it->second.lastPlayed;
                rows_[f->path] = s;
                news_.read.push_back(std::move(s));
                dirty_ = true;
            }
        }
        wake_.notify_all();  // a Pause waiting for the file to be done
        if (std::chrono::steady_clock::now() - lastSave > kSaveEvery) {
            Save();
            lastSave = std::chrono::steady_clock::now();
        }
    }
    Save();
}

}  // namespace zb
