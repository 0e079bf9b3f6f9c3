// JACK prints about a server that is not there, from any of its threads: library chatter, since
// the game says what failed in its own lines. Its hooks are process-wide, so they are set once,
// before the first client is opened, by whichever of the game's JACK clients comes first.
#pragma once

#include <jack/jack.h>

#include <mutex>

namespace zb::jack {

inline void KeepJackQuiet() {
    static std::once_flag once;
    std::call_once(once, [] {
        jack_set_error_function([](const char*) {});
        jack_set_info_function([](const char*) {});
    });
}

}  // namespace zb::jack
