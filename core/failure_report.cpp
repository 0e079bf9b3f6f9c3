#include "core/failure_report.hpp"

#include <cstdio>
#include <string>

namespace zb {

void ReportFailure(std::string_view message) {
    const std::string line = "zubakko: " + std::string(message) + "\n";
    std::fputs(line.c_str(), stderr);
    std::fflush(stderr);
}

void ReportFailure(std::string_view what, std::string_view where, std::string_view why) {
    ReportFailure(std::string(what) + " " + std::string(where) + ": " + std::string(why));
}

}  // namespace zb
