#include <unistd.h>

#include <string>

#include "platform/ports.hpp"

namespace zb {

std::string ProgramDir() {
    std::string exe(4096, '\0');
    const ssize_t n = readlink("/proc/self/exe", exe.data(), exe.size() - 1);
    if (n <= 0) return "./";
    exe.resize(size_t(n));
    const size_t slash = exe.rfind('/');
    // The root folder already ends in the separator; every other folder gets exactly one.
    return slash == std::string::npos ? "./" : exe.substr(0, slash + 1);
}

}  // namespace zb
