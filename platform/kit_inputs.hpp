// A MIDI drum kit's strokes as more keys of the key-state machine: every note of a connected kit
// has two codes of its own, one for a stroke below the kit's big-note velocity and one for a
// stroke at or above it, beside the keys' and the pads' codes. A stroke is a tap: down at its
// stamp, up kStrokeSeconds later, so the next stroke of the same note is a new press.
#pragma once

#include <array>
#include <cstdint>

namespace zb::kit {

inline constexpr int kSlots = 4;
inline constexpr int kNotes = 128;
inline constexpr int kBase = 0x2000;  // above every pad code (pad::kMenuBase + 256)
inline constexpr int kInputs = 2 * kNotes;
inline constexpr double kStrokeSeconds = 0.005;
// A stroke this hard or harder is a big note (both strikes of its pair).
inline constexpr int kDefaultBigVelocity = 112;

// A kit's hygiene: what of its strokes is not a stroke of the player's. A stroke below its note's
// floor does nothing; a stroke of a note within its retrigger window after the note's last kept
// stroke is that stroke read twice; a stroke within the crosstalk window after a louder kept stroke
// of another note, and quieter than the crosstalk share of it, is that stroke heard by another pad.
inline constexpr int kDefaultRetriggerMs = 8;
inline constexpr int kDefaultCrosstalkMs = 5;
inline constexpr int kDefaultCrosstalkPercent = 50;
inline constexpr int kMaxWindowMs = 250;
struct Hygiene {
    std::array<uint8_t, kNotes> floor{};  // 0: every velocity strikes
    std::array<uint8_t, kNotes> retriggerMs;
    uint8_t crosstalkMs = kDefaultCrosstalkMs;
    uint8_t crosstalkPercent = kDefaultCrosstalkPercent;  // of the louder stroke's velocity
    Hygiene() { retriggerMs.fill(kDefaultRetriggerMs); }
    bool operator==(const Hygiene&) const = default;
};

// What became of a stroke: kept, or why it was dropped.
enum class Fate : uint8_t { Kept, Floor, Retrigger, Crosstalk };

constexpr int Code(int slot, int note, bool hard) {
    return kBase + slot * kInputs + (hard ? kNotes : 0) + note;
}
constexpr bool IsKitCode(int code) {
    return code >= kBase && code < kBase + kSlots * kInputs;
}
constexpr int SlotOf(int code) {
    return (code - kBase) / kInputs;
}
constexpr int NoteOf(int code) {
    return (code - kBase) % kNotes;
}
constexpr bool IsHard(int code) {
    return (code - kBase) % kInputs >= kNotes;
}

}  // namespace zb::kit
