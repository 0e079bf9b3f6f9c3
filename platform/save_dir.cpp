// Where the game's data and the player's files live: beside the program in the build folder or
// a portable copy, in the prefix's share/ and the player's home when installed.
#include <pwd.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
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
    if (ec)
        std::fprintf(stderr, "%s: cannot make the save folder: %s\n", saveDir.c_str(),
                     ec.message().c_str());
}

}  // namespace zb
