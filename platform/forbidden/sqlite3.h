// Stands first on the game rooms' include path: a room reaches the machine only through the
// ports of platform/ports.hpp, so this header is not theirs to include.
#error "game rooms (core, play, course, netrank, frontend) must not include <sqlite3.h>: use the ports of platform/ports.hpp"
