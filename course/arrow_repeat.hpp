// Paces the song select screen's arrow keys. The key loop runs a pass about every millisecond,
// so stepping on every pass that sees an arrow down would fly through the list on a short tap.
// A press steps once; a held arrow starts repeating after a short delay, then steps at a steady
// rate, like a keyboard's own repeat.
#pragma once

namespace zb {

class ArrowRepeat {
  public:
    static constexpr double kFirstRepeat = 0.30;  // seconds from the press to the first repeat
    static constexpr double kRepeat = 0.15;       // seconds between later repeats

    // One pass of the key loop: which arrow counts as down now (0 for none) and the clock in
    // seconds. Returns true when the cursor should step on this pass.
    bool Step(int arrow, double now);

  private:
    int held_ = 0;
    double due_ = 0;
};

}  // namespace zb
