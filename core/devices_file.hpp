// devices.txt: the player's choices per input device, beside the other saves. Text: a
// "version N" line, then one line a device: its name (core/game.hpp's DeviceOptions), a tab, and
// its choices, each "name value", separated by tabs ("offset -4": the input offset in ms;
// "hit_sound off": its strokes start no hit sound, written only when off). "#"
// starts a comment. Choices and lines this build does not know are kept when it saves again.
#pragma once

#include <string>

#include "core/game.hpp"

namespace zb {

inline constexpr int kDevicesVersion = 1;

// The names of the devices (core/game.hpp's DeviceOptions).
std::string KeyboardDevice();
std::string PadDevice(const PadInfo& pad);
std::string KitDevice(const KitInfo& kit);
// What the screens call a device: "キーボード", "パッド <name>", "キット <name>".
std::string DeviceLabel(const std::string& device);
// The device of an input code as connected now ("keyboard" for a key or a pad's menu key).
std::string DeviceOfInput(Keyboard& keyboard, int code);

std::string EncodeDevices(const DeviceOptions& d);
// Applies a file's text; a line it cannot read is skipped and named in `why`, when given.
void DecodeDevices(const std::string& text, DeviceOptions& d, std::string* why = nullptr);
// zubakko-play's --offsets: lines "<device> <ms>", the device a full name or a kind alone
// ("keyboard", "pad", "kit"). Throws std::runtime_error naming the first line it cannot read.
DeviceOptions ReadOffsetLines(const std::string& text);

// Reads SaveDir + "devices.txt"; a missing file leaves no choices, an unreadable line is one line
// on standard error. Never a start-up failure.
void LoadDevices(Game& game);
// Writes it crash-safely; a failure is written to standard error and the choices stay in memory.
void SaveDevices(Game& game);

}  // namespace zb
