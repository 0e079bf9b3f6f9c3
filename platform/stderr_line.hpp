// One line for the player's terminal: every complaint of the game and of its adapters starts with
// the program's name, written here only.
#pragma once

#include <string_view>

namespace zb {

// Writes "zubakko: <message>" and a line break to standard error, at once (a kit's MIDI thread
// may say something meanwhile).
void SayOnStderr(std::string_view message);

}  // namespace zb
