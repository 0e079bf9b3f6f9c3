// Writes small one-colour BMP pictures for tests. The picture loader tells formats apart by their
// contents, so these serve for files named .gif as well.
#pragma once

#include <cstdint>
#include <fstream>
#include <string>

namespace zb::testing {

inline void WriteBmp(const std::string& path, int w, int h, uint32_t rgb) {
    const int row = (w * 3 + 3) / 4 * 4;
    const uint32_t size = 54 + uint32_t(row * h);
    std::string b(size, '\0');
    auto put32 = [&](size_t at, uint32_t v) {
        for (int i = 0; i < 4; ++i) b[at + size_t(i)] = char((v >> (8 * i)) & 0xFF);
    };
    b[0] = 'B', b[1] = 'M';
    put32(2, size);
    put32(10, 54);
    put32(14, 40);
    put32(18, uint32_t(w));
    put32(22, uint32_t(h));
    b[26] = 1, b[28] = 24;
    put32(34, uint32_t(row * h));
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const size_t at = 54 + size_t(y * row + x * 3);
            b[at] = char(rgb & 0xFF), b[at + 1] = char((rgb >> 8) & 0xFF),
            b[at + 2] = char((rgb >> 16) & 0xFF);
        }
    std::ofstream(path, std::ios::binary | std::ios::trunc) << b;
}

}  // namespace zb::testing
