// Crash-safe replacement of a small data file (settings, high scores, the ranking copy): the new
// contents go to a temporary file in the same folder, which is flushed to disk and then renamed
// over the old file, so a crash or a full disk at any moment leaves either the old file or the new
// one, never a mixture.
#pragma once

#include <sys/types.h>

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>

namespace zb {

// Writes `bytes` as the whole new contents of `path`. Returns false on any failure, with the reason
// in `why` when given; the old file (if any) is then untouched and no temporary file is left
// behind. A new file gets the usual permissions (0666 less the umask the program started with); a
// replaced one keeps its own.
bool ReplaceFileContents(const std::string& path, const std::string& bytes,
                         std::string* why = nullptr);

// Reads a file, or its first `limit` bytes. False when it is missing, not a regular file, or
// unreadable, with the reason in `why` when given.
bool ReadWholeFile(const std::string& path, std::string& out, size_t limit = SIZE_MAX,
                   std::string* why = nullptr);

// The same for the game's own data files: a failure is written to standard error with the file and
// the reason, and for a save with `kept`, what stays in memory instead.
bool ReadDataFile(const std::string& path, std::string& out, size_t limit);
bool SaveDataFile(const std::string& path, const std::string& bytes, const std::string& kept);

// The write call that ReplaceFileContents uses, like POSIX write(). Tests swap it to simulate a
// full disk or a crash part way through a save.
using FileWriteFn = std::function<ssize_t(int fd, const void* data, size_t size)>;

class ScopedFileWriteHook {
  public:
    explicit ScopedFileWriteHook(FileWriteFn fn);
    ~ScopedFileWriteHook();
    ScopedFileWriteHook(const ScopedFileWriteHook&) = delete;
    ScopedFileWriteHook& operator=(const ScopedFileWriteHook&) = delete;

  private:
    FileWriteFn previous_;
};

}  // namespace zb
