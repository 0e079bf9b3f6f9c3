// The one filter every kit stroke passes before it becomes a strike or a hit sound: it answers at
// once, from the strokes before it only (it never waits for a later one), and neither allocates
// nor locks, so it may run wherever strokes are first read.
#pragma once

#include <array>
#include <cstddef>

#include "platform/kit_inputs.hpp"

namespace zb::kit {

class HygieneFilter {
  public:
    HygieneFilter();
    // The rules from the next stroke on; what was struck before still counts.
    void SetRules(const Hygiene& rules) { rules_ = rules; }
    const Hygiene& Rules() const { return rules_; }
    // Forgets every earlier stroke (a kit came anew).
    void Clear();
    // A stroke of `note` at `velocity` (1-127), stamped `at` seconds.
    Fate Judge(int note, int velocity, double at);

  private:
    // The kept strokes the crosstalk rule looks back on: a stroke heard by another pad comes
    // within a few ms, so the last few kept strokes are enough.
    struct Kept {
        double at = 0;
        int note = -1, velocity = 0;
    };
    static constexpr std::size_t kRecent = 8;

    Hygiene rules_;
    std::array<double, kNotes> lastKept_;
    std::array<Kept, kRecent> recent_{};
    std::size_t next_ = 0;
};

}  // namespace zb::kit
