#include "netrank/rank_name.hpp"

#include "platform/sjis_text.hpp"

namespace zb {

bool ValidRankName(std::string_view name) {
    size_t units = 0;
    for (size_t i = 0; i < name.size();) {
        const unsigned char b = static_cast<unsigned char>(name[i]);
        const size_t n = b < 0x80    ? 1
                         : b >= 0xF5 ? 0
                         : b >= 0xF0 ? 4
                         : b >= 0xE0 ? 3
                         : b >= 0xC2 ? 2
                                     : 0;
        if (n == 0 || i + n > name.size()) return false;
        for (size_t k = 1; k < n; ++k)
            if ((static_cast<unsigned char>(name[i + k]) & 0xC0) != 0x80) return false;
        if (b == ':' || b == ';' || b < 0x20 || b == 0x7F) return false;
        units += n == 4 ? 2 : 1;
        i += n;
    }
    return units >= 1 && units <= kRankNameMaxUnits && FitsSjis(name);
}

}  // namespace zb
