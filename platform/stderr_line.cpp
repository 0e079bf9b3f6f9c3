#include "platform/stderr_line.hpp"

#include <cstdio>
#include <string>

namespace zb {

void SayOnStderr(std::string_view message) {
    const std::string line = "zubakko: " + std::string(message) + "\n";
    std::fputs(line.c_str(), stderr);
    std::fflush(stderr);
}

}  // namespace zb
