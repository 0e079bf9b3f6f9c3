#include "platform/kit_hygiene.hpp"

#include <limits>

namespace zb::kit {

namespace {

constexpr double kNever = -std::numeric_limits<double>::infinity();

// Whether `at` is less than `ms` after `before` (a stroke stamped earlier is not after it).
bool Within(double before, double at, int ms) {
    const double gap = at - before;
    return gap >= 0 && gap * 1000.0 < ms;
}

}  // namespace

HygieneFilter::HygieneFilter() {
    Clear();
}

void HygieneFilter::Clear() {
    lastKept_.fill(kNever);
    recent_.fill(Kept{kNever, -1, 0});
    next_ = 0;
}

Fate HygieneFilter::Judge(int note, int velocity, double at) {
    if (note < 0 || note >= kNotes) return Fate::Floor;
    const size_t n = size_t(note);
    if (velocity < rules_.floor[n]) return Fate::Floor;
    if (Within(lastKept_[n], at, rules_.retriggerMs[n])) return Fate::Retrigger;
    for (const Kept& k : recent_)
        if (k.note != note && Within(k.at, at, rules_.crosstalkMs) &&
            velocity * 100 < k.velocity * int(rules_.crosstalkPercent))
            return Fate::Crosstalk;
    lastKept_[n] = at;
    recent_[next_] = {at, note, velocity};
    next_ = (next_ + 1) % kRecent;
    return Fate::Kept;
}

}  // namespace zb::kit
