#include "play/practice_tempo.hpp"

#include <algorithm>
#include <cmath>

namespace zb {

double SnapRate(double rate) {
    const double steps = std::round(rate / kPracticeStep);
    return std::clamp(steps * kPracticeStep, kPracticeSlowest, kPracticeFastest);
}

double StepRate(double rate, int steps) {
    return SnapRate(SnapRate(rate) + steps * kPracticeStep);
}

double RampedRate(double rate, const PracticePass& pass, double ceiling) {
    if (pass.miss > 0) return StepRate(rate, -1);
    const double up = StepRate(rate, 1);
    return up <= SnapRate(ceiling) + 1e-9 ? up : SnapRate(rate);
}

bool BetterPass(const PracticePass& a, const PracticePass& b) {
    if (a.miss != b.miss) return a.miss < b.miss;
    if (a.best != b.best) return a.best > b.best;
    return a.rate > b.rate;
}

}  // namespace zb
