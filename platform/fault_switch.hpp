// A switch for tests: makes one place the game runs throw once, so that a test sees the boundary
// around it hold. Off in play: ZUBAKKO_TEST_FAULT names the places to arm at start
// (comma-separated: keydown, draw, pad, close, scan, kit), or a test arms one with Arm. Each armed
// place throws std::runtime_error("test fault: <place>") the first time it is reached, then never
// again; a place not armed costs one atomic read.
#pragma once

namespace zb::fault {

enum class Place {
    KeyDown,  // the key-down hook (a play key's hit sound)
    Draw,     // composing the window's picture
    Pad,      // a pad's input going down
    Close,    // the close request's handler
    Scan,     // the own songs' scan thread, reading a file
    Kit,      // the kit thread, opening a kit
};

// Arms a place (tests).
void Arm(Place place);
// Throws once when `place` is armed.
void Trip(Place place);

}  // namespace zb::fault
