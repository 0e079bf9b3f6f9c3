// The items of the settings screen: how each value steps with the arrow keys and how the values
// are shown.
#pragma once

#include <cstdint>
#include <string>

namespace zb {

// The keys a play key can be bound to: the digit row, the letters and the keypad's digits, and
// the codes between them.
inline constexpr int kFirstBindableKey = 48, kLastBindableKey = 105;

// The one-character label of a key code: 48-57 the main keyboard's digit row as the game has
// always shown it ("わ", "!", "ふ", ...), 65-90 "A" to "Z", 96-105 the keypad's "0" to "9", "■"
// for the codes between; the empty string for any other code.
std::string KeyLabel(int16_t code);

// One step of the delay (0-640) and of the frame position (-20...20), wrapping; dir is +1 for the
// right arrow, -1 for the left. A value from a hand-edited config.dat whose step would leave the
// 16-bit range is first clamped into the item's range; other odd values step by the same rules
// (a delay of -5 goes to -4 or 635, a frame position out of range comes into it).
int16_t StepDelay(int16_t delay, int dir);
int16_t StepFrame(int16_t frame, int dir);

// The three music volumes, quieter to the right, wrapping; any other value stays as it is.
int16_t StepVolume(int16_t volume, int dir);
// "大きい", "普通" or "小さい"; the empty string for any other value (the label then keeps its
// caption).
std::string VolumeWord(int16_t volume);

}  // namespace zb
