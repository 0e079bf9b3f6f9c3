// The pads SDL sees (game controllers and plain joysticks), plugged in and pulled out at any
// moment: each input change goes to the key-state machine as a key of its own (pad::Code),
// stamped when the window pumps it, like a key.
#pragma once

#include <array>
#include <bitset>
#include <cstdint>
#include <map>

#include "platform/key_states.hpp"
#include "platform/pad_inputs.hpp"

union SDL_Event;
struct _SDL_GameController;
struct _SDL_Joystick;

namespace zb::sdl {

class SdlPads {
  public:
    // Starts SDL's game controller support; without it (one line on standard error) no pad is
    // seen and the keys work as ever.
    explicit SdlPads(KeyStateKeyboard& keys);
    ~SdlPads();
    SdlPads(const SdlPads&) = delete;
    SdlPads& operator=(const SdlPads&) = delete;

    // Whether an event type is a pad's (a joystick's or a game controller's).
    static bool IsPadEvent(uint32_t type);
    // Takes a pad event stamped `at`; returns the key its menu input stands for when one went
    // down (an arrow, Enter, Space or back: the dialogs answer to them), else 0.
    int Handle(const SDL_Event& e, double at);

    // Whether any pad is open now (SDL then reads them only when the window pumps).
    bool Any() const { return !open_.empty(); }

    // How far a stick or trigger must go to count as pressed (a little past half its travel),
    // and back to count as let go.
    static constexpr int kPress = 18000, kRelease = 12000;

  private:
    struct Open {
        _SDL_GameController* controller = nullptr;
        _SDL_Joystick* joystick = nullptr;
        int slot = 0;
        std::bitset<pad::kInputs> axisDown;  // the axis halves past the threshold
    };
    void Add(int deviceIndex, double at);
    void Remove(int32_t instance, double at);
    int Input(int32_t instance, int input, bool down, double at);
    int Axis(int32_t instance, int minus, int plus, int value, double at);

    KeyStateKeyboard& keys_;
    bool on_ = false;
    std::map<int32_t, Open> open_;  // by SDL instance id
};

}  // namespace zb::sdl
