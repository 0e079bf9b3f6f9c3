// The delay check's steady beat: a count-in on the sticks, then a bass drum and a hi-hat on
// every beat, written to the check's numbers (core/delay_check_beat.hpp).
#pragma once

#include <string>

namespace musicgen {

std::string CheckBeatMidi();

}  // namespace musicgen
