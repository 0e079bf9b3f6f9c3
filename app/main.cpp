// The game's entry point: opens the real platform and runs the game's main loop until the player
// confirms the exit.
#include <exception>

#include "app/real_platform.hpp"
#include "core/game.hpp"
#include "frontend/title_screen.hpp"
#include "platform/stderr_line.hpp"

int main() {
    try {
        zb::RealPlatform real;
        zb::Game game(real.ports);
        zb::RunGame(game);
    } catch (const zb::ProgramEnd&) {
        return 0;
    } catch (const std::exception& e) {
        zb::SayOnStderr(e.what());
        return 1;
    }
}
