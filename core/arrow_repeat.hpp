// Paces the cursor keys of the screens with a key loop (song select, settings, the ranking
// display; core/menu_keys.hpp drives it). Stepping on every pass that sees an arrow down would
// move by a random number of steps on a short tap. A press steps once; a held arrow starts
// repeating after a short delay, then steps at a steady rate, like a keyboard's own repeat.
#pragma once

namespace zb {

class ArrowRepeat {
  public:
    static constexpr double kFirstRepeat = 0.30;  // seconds from the press to the first repeat
    static constexpr double kRepeat = 0.15;       // seconds between later repeats (song select)

    ArrowRepeat() = default;
    // `firstRepeat` seconds from the press to the first repeat, `repeat` seconds between later
    // repeats; 0 steps on every pass once the repeat is due, for a loop whose own passes set the
    // rate.
    ArrowRepeat(double firstRepeat, double repeat) : first_(firstRepeat), repeat_(repeat) {}

    // One pass of the key loop: which arrow counts as down now (0 for none) and the clock in
    // seconds. Returns true when the cursor should step on this pass.
    bool Step(int arrow, double now);

  private:
    double first_ = kFirstRepeat;
    double repeat_ = kRepeat;
    int held_ = 0;
    double due_ = 0;
};

}  // namespace zb
