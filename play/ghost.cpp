#include "play/ghost.hpp"

#include <algorithm>
#include <cstdlib>

namespace zb {

namespace {

std::string Grouped(int64_t v) {
    std::string digits = std::to_string(std::llabs(v)), out;
    for (size_t i = 0; i < digits.size(); ++i) {
        if (i && (digits.size() - i) % 3 == 0) out += ',';
        out += digits[i];
    }
    return (v < 0 ? "−" : "") + out;
}

}  // namespace

int32_t GhostRun::ScoreAt(int32_t cs) const {
    const auto after = std::upper_bound(scores.begin(), scores.end(), std::pair{cs, INT32_MAX});
    return after == scores.begin() ? 0 : std::prev(after)->second;
}

std::string ScoreDifferenceText(int64_t d) {
    if (d == 0) return "±0";
    return d > 0 ? "+" + Grouped(d) : Grouped(d);
}

std::string GhostLine(int32_t ghostScore, int32_t playerScore) {
    return "ゴースト " + Grouped(ghostScore) + "　" +
           ScoreDifferenceText(int64_t(playerScore) - ghostScore);
}

}  // namespace zb
