// A throw-away program folder for tests that write the game's files: score.dat lands here, and
// img/ and sound/ point at the assets so the screens find their pictures.
#pragma once

#include <filesystem>
#include <string>

namespace zb::testing {

class TempAppDir {
  public:
    TempAppDir() {
        std::string tmpl = (std::filesystem::temp_directory_path() / "zb_course_XXXXXX").string();
        if (!mkdtemp(tmpl.data())) throw std::runtime_error("cannot make a temporary folder");
        dir_ = tmpl;
        for (const char* sub : {"img", "sound"}) {
            std::error_code ec;
            std::filesystem::create_directory_symlink(
                std::filesystem::path(ZB_SOURCE_DIR) / "assets" / sub, dir_ / sub, ec);
        }
    }
    ~TempAppDir() {
        std::error_code ec;
        std::filesystem::remove_all(dir_, ec);
    }
    TempAppDir(const TempAppDir&) = delete;
    TempAppDir& operator=(const TempAppDir&) = delete;

    // The folder with its trailing separator, as AppDir gives it.
    std::string Path() const { return dir_.string() + "/"; }
    std::string File(const std::string& name) const { return (dir_ / name).string(); }

  private:
    std::filesystem::path dir_;
};

}  // namespace zb::testing
