// When Timer1 ticks, as both windows run it: once its interval has passed since it was enabled
// or last ticked. A late look ticks once, never several times to catch up.
#pragma once

#include "platform/form.hpp"

namespace zb {

class TimerSchedule {
  public:
    // True when the timer is due at `now` (seconds); the next tick is then one interval on.
    bool Due(const Timer& t, double now) {
        if (!t.Enabled || t.Interval <= 0) {
            next_ = -1;
            return false;
        }
        if (next_ < 0) next_ = now + t.Interval / 1000.0;
        if (now < next_) return false;
        next_ = now + t.Interval / 1000.0;
        return true;
    }

    // When the next tick is due; negative while the timer is off.
    double Next() const { return next_; }

  private:
    double next_ = -1;
};

}  // namespace zb
