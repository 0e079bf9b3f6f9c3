#include "platform/changed_pixels.hpp"

#include <algorithm>
#include <cstring>

namespace zb {

namespace {

// The columns of band rows [y0, y1) of `area` where `now` and `before` differ, as runs.
void ChangedRuns(const Surface& now, const Surface& before, const Rect& area, int y0, int y1,
                 std::vector<uint32_t>& column, std::vector<Rect>& out) {
    const size_t w = size_t(area.w);
    bool any = false;
    for (int y = y0; y < y1; ++y) {
        const uint32_t* a = now.Row(y) + area.x;
        const uint32_t* b = before.Row(y) + area.x;
        if (std::memcmp(a, b, w * 4) == 0) continue;
        if (!any) column.assign(w, 0), any = true;
        uint32_t* c = column.data();
        for (size_t x = 0; x < w; ++x) c[x] |= a[x] ^ b[x];  // one width throughout: vectorised
    }
    if (!any) return;
    int start = -1, last = -1;
    for (int x = 0; x < area.w; ++x) {
        if (!column[size_t(x)]) continue;
        if (start >= 0 && x - last > kChangedGap) {
            out.push_back({area.x + start, y0, last + 1 - start, y1 - y0});
            start = -1;
        }
        if (start < 0) start = x;
        last = x;
    }
    out.push_back({area.x + start, y0, last + 1 - start, y1 - y0});
}

}  // namespace

std::vector<Rect> ChangedPixels(const Surface& now, const Surface& before, const Rect& given) {
    std::vector<Rect> out;
    const int x0 = std::max(given.x, 0), y0 = std::max(given.y, 0);
    const int x1 = std::min({given.x + given.w, now.Width(), before.Width()});
    const int y1 = std::min({given.y + given.h, now.Height(), before.Height()});
    if (x1 <= x0 || y1 <= y0) return out;
    const Rect area{x0, y0, x1 - x0, y1 - y0};
    std::vector<uint32_t> column;
    for (int y = y0; y < y1; y += kChangedBand)
        ChangedRuns(now, before, area, y, std::min(y + kChangedBand, y1), column, out);
    size_t kept = 0;
    for (size_t i = 0; i < out.size(); ++i) {
        const Rect r = out[i];
        bool joined = false;
        for (size_t j = 0; j < kept && !joined; ++j) {
            Rect& above = out[j];
            if (above.x == r.x && above.w == r.w && above.y + above.h == r.y)
                above.h += r.h, joined = true;
        }
        if (!joined) out[kept++] = r;
    }
    out.resize(kept);
    return out;
}

std::vector<Rect> TakeChangedPixels(const Surface& now, Surface& shown,
                                    const std::vector<Rect>& areas) {
    std::vector<Rect> out;
    for (const Rect& area : areas) {
        for (const Rect& r : ChangedPixels(now, shown, area)) {
            BlitCopy(now, r.x, r.y, r.w, r.h, shown, r.x, r.y);
            out.push_back(r);
        }
    }
    return out;
}

}  // namespace zb
