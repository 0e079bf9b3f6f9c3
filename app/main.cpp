// The game's entry point: opens the real platform, runs the start-up and then handles window
// events until the player confirms the exit.
#include <cstdio>
#include <exception>

#include "app/real_platform.hpp"
#include "core/game.hpp"
#include "core/helpers.hpp"
#include "frontend/dispatch.hpp"
#include "frontend/pad_clicks.hpp"
#include "frontend/startup.hpp"

int main() {
    try {
        zb::RealPlatform real;
        zb::Game game(real.ports);
        zb::GameEvents events(game);
        real.window.SetEvents(&events);
        zb::StartUp(game);
        // Between events the program waits like any screen; the screens with work of their own
        // run their own loops inside the clicks.
        for (;;) zb::WaitForEvents(game);
    } catch (const zb::ProgramEnd&) {
        return 0;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "zubakko: %s\n", e.what());
        return 1;
    }
}
