// The fixed frame rate that play and the delay check share: a frame runs when its turn has come,
// and a late frame does not make the next ones rush.
#pragma once

namespace zb {

// The frames a second of play: frame-counted rules last the same on every machine at this rate.
inline constexpr double kPlayFramesPerSecond = 60.0;

class FramePacer {
  public:
    void Begin(double now, double fps = kPlayFramesPerSecond) {
        period_ = 1.0 / (fps > 0 ? fps : kPlayFramesPerSecond);
        next_ = now + period_;
    }
    bool Due(double now) const { return now >= next_; }
    double Next() const { return next_; }
    // A frame ran: the next is one period on, or now when this one was late.
    void Ran(double now) {
        next_ += period_;
        if (next_ < now) next_ = now;
    }
    // Frames start again now (after a pause).
    void Restart(double now) { next_ = now; }

  private:
    double period_ = 1.0 / kPlayFramesPerSecond;
    double next_ = 0;
};

}  // namespace zb
