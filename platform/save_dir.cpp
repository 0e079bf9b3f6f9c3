// Where the game's data and the player's files live: beside the program in the build folder or
// a portable copy, in the prefix's share/ and the player's home when installed.
#include <fcntl.h>
#include <pwd.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>

#include "platform/ports.hpp"

namespace zb {

namespace fs = std::filesystem;

namespace {

constexpr const char* kInstalledData = "share/zubakko/";

std::string WithSeparator(std::string dir) {
    if (dir.empty() || dir.back() != '/') dir += '/';
    return dir;
}

std::string Env(const char* name) {
    const char* v = std::getenv(name);
    return v ? v : "";
}

// The files the game comes with beside its data, copied into an empty save folder: the
// defaults' settings and empty high scores, so that a first start has nothing to warn about.
constexpr const char* kFirstSaves[] = {"config.dat", "score.dat"};

// Copies `from` to `to` unless `to` exists, never over a file that appears meanwhile: the copy is
// written whole beside it and then linked in. A missing `from` copies nothing (the start-up's
// read then reports the missing save as ever).
void CopyFirstSave(const std::string& from, const std::string& to) {
    std::error_code ec;
    if (fs::exists(to, ec) || !fs::is_regular_file(from, ec)) return;
    std::string temp = to + ".XXXXXX", why;
    const int in = open(from.c_str(), O_RDONLY | O_CLOEXEC);
    const int out = mkstemp(temp.data());
    char buf[4096];
    ssize_t n = 0;
    if (in < 0 || out < 0) why = std::strerror(errno);
    while (why.empty() && (n = read(in, buf, sizeof buf)) > 0)
        if (write(out, buf, size_t(n)) != n) why = std::strerror(errno);
    if (why.empty() && (n < 0 || fsync(out) != 0)) why = std::strerror(errno);
    if (why.empty() && link(temp.c_str(), to.c_str()) != 0 && errno != EEXIST)
        why = std::strerror(errno);
    if (in >= 0) close(in);
    if (out >= 0) {
        close(out);
        unlink(temp.c_str());
    }
    if (!why.empty())
        std::fprintf(stderr, "%s: cannot copy the first save from %s: %s\n", to.c_str(),
                     from.c_str(), why.c_str());
}

// The home of the user running the program when HOME is not set (a service, a bare sudo).
std::string AccountHome() {
    const passwd* pw = getpwuid(getuid());
    return pw && pw->pw_dir ? pw->pw_dir : "";
}

}  // namespace

std::string DataDir(const std::string& programDir) {
    std::error_code ec;
    if (fs::is_directory(programDir + "img", ec)) return programDir;
    // <prefix>/games/zubakko or <prefix>/bin/zubakko-play: the data is <prefix>/share/zubakko/.
    const fs::path prefix = fs::path(programDir).parent_path().parent_path();
    const std::string installed = WithSeparator(prefix.string()) + kInstalledData;
    if (fs::is_directory(installed, ec)) return installed;
    return programDir;
}

std::string SaveDir(const std::string& appDir, const std::string& xdgDataHome,
                    const std::string& home) {
    if (!appDir.ends_with(std::string("/") + kInstalledData)) return appDir;
    // A relative XDG_DATA_HOME is invalid and ignored, as the base directory rules say.
    if (!xdgDataHome.empty() && xdgDataHome.front() == '/')
        return WithSeparator(xdgDataHome) + "zubakko/";
    return WithSeparator(home.empty() ? "/" : home) + ".local/share/zubakko/";
}

std::string SaveDir(const std::string& appDir) {
    const std::string home = Env("HOME");
    return SaveDir(appDir, Env("XDG_DATA_HOME"), home.empty() ? AccountHome() : home);
}

void PrepareSaveDir(const std::string& appDir, const std::string& saveDir) {
    if (saveDir == appDir) return;
    std::error_code ec;
    fs::create_directories(saveDir, ec);
    if (ec) {
        std::fprintf(stderr, "%s: cannot make the save folder: %s\n", saveDir.c_str(),
                     ec.message().c_str());
        return;
    }
    for (const char* f : kFirstSaves) CopyFirstSave(appDir + f, saveDir + f);
}

}  // namespace zb
