#include "core/arrow_repeat.hpp"

namespace zb {

bool ArrowRepeat::Step(int arrow, double now) {
    if (arrow == 0) {
        held_ = 0;
        return false;
    }
    if (arrow != held_) {  // a new press, or a switch to the other arrow
        held_ = arrow;
        due_ = now + first_;
        return true;
    }
    if (now < due_) return false;
    // Keep the rhythm even when a pass comes late, but never queue up missed steps.
    due_ += repeat_;
    if (due_ <= now) due_ = now + repeat_;
    return true;
}

}  // namespace zb
