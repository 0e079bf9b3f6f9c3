#include "platform/held_stderr.hpp"

#include <unistd.h>

namespace zb {

HeldStderr::HeldStderr() {
    std::fflush(stderr);
    held_ = std::tmpfile();
    if (!held_) return;  // nothing held: everything goes through as usual
    saved_ = dup(STDERR_FILENO);
    if (saved_ < 0 || dup2(fileno(held_), STDERR_FILENO) < 0) {
        if (saved_ >= 0) close(saved_);
        saved_ = -1;
        std::fclose(held_);
        held_ = nullptr;
    }
}

std::string HeldStderr::Release() {
    std::string text;
    if (!held_) return text;
    std::fflush(stderr);
    dup2(saved_, STDERR_FILENO);
    close(saved_);
    std::rewind(held_);
    char buf[4096];
    for (size_t n; (n = std::fread(buf, 1, sizeof buf, held_)) > 0;) text.append(buf, n);
    std::fclose(held_);
    held_ = nullptr;
    return text;
}

}  // namespace zb
