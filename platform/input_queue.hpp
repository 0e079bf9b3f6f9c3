// The game's one queue of input events. The keyboard's events (keys, pad inputs, kit strokes,
// devices coming and going) and the window's (clicks, timer ticks, the close request) arrive
// stamped; the queue keeps the keys' state from them: which keys are down, the press bit of
// GetAsyncKeyState and the stamps of the presses and releases not read yet. The screen on top
// sees only what was stamped since it came on top (StartScreen): a press or a click made before
// a screen was there is not its own, so no screen forgets presses itself. Whether a key is down
// is known whatever its stamp: a key held from the screen before is held.
#pragma once

#include <cstdint>
#include <deque>
#include <limits>
#include <map>
#include <optional>
#include <vector>

#include "platform/ports.hpp"

namespace zb {

class InputQueue {
  public:
    explicit InputQueue(Keyboard& keyboard) : keyboard_(keyboard) {}

    // The window's events join the keyboard's (FormEvents hands them over).
    void Push(const InputEvent& e);
    // The next click, tick or close request for the screen on top, in the order they came
    // (clicks and ticks stamped before it came on top are dropped); the keys' events are taken
    // into their state on the way.
    std::optional<InputEvent> Next();
    bool Empty();

    // A screen came on top (started, or back from the one above it) at `at`.
    void StartScreen(double at);
    double Since() const { return since_; }

    // kKeyDown while the key is down, plus kKeyPressedSince when it went down since the previous
    // query of that key (and since the screen came on top, and at or after `from`); the query
    // clears that bit.
    uint16_t GetAsyncKeyState(int code, double from = -std::numeric_limits<double>::infinity());
    bool Down(int code);
    // The stamps of the key's presses (its releases) since the previous call, oldest first.
    std::vector<double> TakeDownStamps(int code);
    std::vector<double> TakeUpStamps(int code);
    bool AnyKeyDown();
    // The velocity of the last stroke of a kit's note code (0 for other codes).
    int Velocity(int code);

    // The kits' strokes since the previous call, kept or dropped (the キット page shows them):
    // the event of each stroke, the soft code of its note. At most kKeptStrokes are kept.
    std::vector<InputEvent> TakeKitStrokes();

    Keyboard& keyboard() { return keyboard_; }

  private:
    // Presses nobody takes (on screens without the play keys) are kept up to this many.
    static constexpr size_t kKeptStamps = 16;
    static constexpr size_t kKeptStrokes = 32;
    struct KeyState {
        bool down = false;
        bool pressedSince = false;
        int velocity = 0;
        double lastDownAt = 0;
        std::vector<double> downStamps;  // not taken yet
        std::vector<double> upStamps;    // not taken yet
    };
    // Takes the keyboard's new events into the keys' state.
    void Pull();
    void Apply(const InputEvent& e);

    Keyboard& keyboard_;
    double since_ = -std::numeric_limits<double>::infinity();
    std::map<int, KeyState> keys_;
    std::deque<InputEvent> window_;
    std::vector<InputEvent> kitStrokes_;
};

}  // namespace zb
