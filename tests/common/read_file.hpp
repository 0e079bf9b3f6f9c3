// A file's bytes, or nothing when it cannot be read: tests compare saves before and after.
#pragma once

#include <fstream>
#include <sstream>
#include <string>

namespace zb::testing {

inline std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

}  // namespace zb::testing
