#include "core/failure_report.hpp"

#include <string>

#include "platform/stderr_line.hpp"

namespace zb {

void ReportFailure(std::string_view message) {
    SayOnStderr(message);
}

void ReportFailure(std::string_view what, std::string_view where, std::string_view why) {
    ReportFailure(std::string(what) + " " + std::string(where) + ": " + std::string(why));
}

}  // namespace zb
