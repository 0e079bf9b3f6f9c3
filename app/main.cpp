// The game's entry point: opens the real platform, runs the start-up and then handles window
// events until the player confirms the exit.
#include <chrono>
#include <cstdio>
#include <exception>
#include <thread>

#include "app/real_platform.hpp"
#include "core/game.hpp"
#include "frontend/dispatch.hpp"
#include "frontend/startup.hpp"

int main() {
    try {
        zb::RealPlatform real;
        zb::Game game(real.ports);
        zb::GameEvents events(game);
        real.window.SetEvents(&events);
        zb::StartUp(game);
        for (;;) {
            real.window.DoEvents();
            // Idle between events; the screens with work of their own run their own loops.
            std::this_thread::sleep_for(std::chrono::milliseconds(4));
        }
    } catch (const zb::ProgramEnd&) {
        return 0;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "zubakko: %s\n", e.what());
        return 1;
    }
}
