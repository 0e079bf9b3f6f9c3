#include "core/file_replace.hpp"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "core/failure_report.hpp"

namespace zb {

namespace {

FileWriteFn& WriteHook() {
    static FileWriteFn hook;
    return hook;
}

ssize_t WriteSome(int fd, const char* data, size_t size) {
    const FileWriteFn& hook = WriteHook();
    return hook ? hook(fd, data, size) : ::write(fd, data, size);
}

// Stores the reason of a failure (the system's text for errno, or `text`) and returns false.
bool Fail(std::string* why, const char* text = nullptr) {
    if (why) *why = text ? text : std::strerror(errno);
    return false;
}

bool WriteAll(int fd, const std::string& bytes, std::string* why) {
    size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = WriteSome(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return Fail(why);
        if (n == 0) return Fail(why, "nothing could be written");
        done += size_t(n);
    }
    return true;
}

std::string FolderOf(const std::string& path) {
    const size_t slash = path.rfind('/');
    if (slash == std::string::npos) return ".";
    if (slash == 0) return "/";
    return path.substr(0, slash);
}

// The umask can only be read by setting it, which is process-wide: it is read once, before main
// starts any thread (the game thread and the song scanner both save), and never set again.
const mode_t kStartUmask = [] {
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return mask;
}();

mode_t NewFileMode() {
    return 0666 & ~kStartUmask;
}

}  // namespace

ScopedFileWriteHook::ScopedFileWriteHook(FileWriteFn fn) : previous_(std::move(WriteHook())) {
    WriteHook() = std::move(fn);
}

ScopedFileWriteHook::~ScopedFileWriteHook() {
    WriteHook() = std::move(previous_);
}

bool ReplaceFileContents(const std::string& path, const std::string& bytes, std::string* why) {
    if (path.empty() || path.back() == '/') return Fail(why, "not a file name");

    // Only a regular file (or nothing) may be replaced: renaming over a folder or a device would
    // either fail late or destroy something that is not ours.
    struct stat old {};
    mode_t mode = NewFileMode();
    if (::stat(path.c_str(), &old) == 0) {
        if (!S_ISREG(old.st_mode)) return Fail(why, "not a regular file");
        mode = old.st_mode & 07777;
    } else if (errno != ENOENT) {
        return Fail(why);
    }

    // A unique name, so two saves never share a temporary file.
    const std::string folder = FolderOf(path);
    const std::string name =
        path.substr(path.rfind('/') == std::string::npos ? 0 : path.rfind('/') + 1);
    std::string tmpl = (folder == "/" ? "" : folder) + "/." + name + ".XXXXXX";
    std::vector<char> buf(tmpl.begin(), tmpl.end());
    buf.push_back('\0');
    const int fd = ::mkstemp(buf.data());
    if (fd < 0) return Fail(why);
    const std::string tmp(buf.data());

    bool ok = WriteAll(fd, bytes, why);
    if (ok && (::fchmod(fd, mode) != 0 || ::fsync(fd) != 0)) ok = Fail(why);
    if (::close(fd) != 0 && ok) ok = Fail(why);
    if (ok && ::rename(tmp.c_str(), path.c_str()) != 0) ok = Fail(why);
    if (!ok) {
        ::unlink(tmp.c_str());
        return false;
    }

    // Make the rename itself durable; the file is already whole either way.
    const int dir = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir >= 0) {
        ::fsync(dir);
        ::close(dir);
    }
    return true;
}

bool ReadWholeFile(const std::string& path, std::string& out, size_t limit, std::string* why) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return Fail(why);
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        Fail(why, "not a regular file");
        ::close(fd);
        return false;
    }
    std::string data;
    char chunk[4096];
    while (data.size() < limit) {
        const ssize_t n = ::read(fd, chunk, std::min(sizeof chunk, limit - data.size()));
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) {
            Fail(why);
            ::close(fd);
            return false;
        }
        if (n == 0) break;
        data.append(chunk, size_t(n));
    }
    ::close(fd);
    out = std::move(data);
    return true;
}

bool ReadDataFile(const std::string& path, std::string& out, size_t limit) {
    std::string why;
    if (ReadWholeFile(path, out, limit, &why)) return true;
    ReportFailure("could not read", path, why);
    return false;
}

bool SaveDataFile(const std::string& path, const std::string& bytes, const std::string& kept) {
    std::string why;
    if (ReplaceFileContents(path, bytes, &why)) return true;
    ReportFailure("could not save", path, kept.empty() ? why : why + "; " + kept);
    return false;
}

}  // namespace zb
