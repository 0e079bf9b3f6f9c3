#include "platform/sdl/sdl_pads.hpp"

#include <SDL.h>

#include <cstdio>

#include "platform/stderr_line.hpp"

namespace zb::sdl {

SdlPads::SdlPads(KeyStateKeyboard& keys) : keys_(keys) {
    // A drum or pad keeps playing while another window has the focus, as the music does.
    SDL_SetHint(SDL_HINT_JOYSTICK_ALLOW_BACKGROUND_EVENTS, "1");
    on_ = SDL_InitSubSystem(SDL_INIT_GAMECONTROLLER) == 0;
    // The pads present now come as device-added events on the first pump.
    if (!on_) SayOnStderr(std::string("no pads can be used (") + SDL_GetError() + ")");
}

SdlPads::~SdlPads() {
    for (auto& [id, o] : open_) {
        if (o.controller)
            SDL_GameControllerClose(o.controller);
        else
            SDL_JoystickClose(o.joystick);
    }
    if (on_) SDL_QuitSubSystem(SDL_INIT_GAMECONTROLLER);
}

bool SdlPads::IsPadEvent(uint32_t type) {
    return type >= SDL_JOYAXISMOTION && type < SDL_FINGERDOWN;
}

void SdlPads::Add(int deviceIndex, double at) {
    const SDL_JoystickID id = SDL_JoystickGetDeviceInstanceID(deviceIndex);
    if (id < 0 || open_.count(id)) return;
    const auto slot = keys_.FreePadSlot();
    if (!slot) return;  // every slot taken: this one is not played with
    Open o;
    o.slot = *slot;
    if (SDL_IsGameController(deviceIndex)) {
        o.controller = SDL_GameControllerOpen(deviceIndex);
        if (o.controller) o.joystick = SDL_GameControllerGetJoystick(o.controller);
    }
    if (!o.joystick) o.joystick = SDL_JoystickOpen(deviceIndex);
    if (!o.joystick) {
        SayOnStderr(std::string("a pad cannot be opened (") + SDL_GetError() + ")");
        return;
    }
    char guid[33];
    SDL_JoystickGetGUIDString(SDL_JoystickGetGUID(o.joystick), guid, sizeof guid);
    const char* name =
        o.controller ? SDL_GameControllerName(o.controller) : SDL_JoystickName(o.joystick);
    open_[id] = o;
    (void)at;
    keys_.PadAdded({o.slot, guid, name ? name : "?", o.controller != nullptr});
}

void SdlPads::Remove(int32_t instance, double at) {
    const auto it = open_.find(instance);
    if (it == open_.end()) return;
    keys_.PadRemoved(it->second.slot, at);
    if (it->second.controller)
        SDL_GameControllerClose(it->second.controller);
    else
        SDL_JoystickClose(it->second.joystick);
    open_.erase(it);
}

int SdlPads::Input(int32_t instance, int input, bool down, double at) {
    const auto it = open_.find(instance);
    if (it == open_.end()) return 0;
    keys_.OnKey(pad::Code(it->second.slot, input), down, at);
    return down ? pad::MenuKeyOf(input, it->second.controller != nullptr) : 0;
}

// A stick or trigger is two inputs, one per direction, each pressed past the threshold and let
// go a little before it (so that a stick held at the edge does not chatter).
int SdlPads::Axis(int32_t instance, int minus, int plus, int value, double at) {
    const auto it = open_.find(instance);
    if (it == open_.end()) return 0;
    auto& held = it->second.axisDown;
    int menu = 0;
    for (const int input : {minus, plus}) {
        if (input < 0) continue;
        const int push = input == plus ? value : -value;
        const bool down = held[size_t(input)] ? push > kRelease : push >= kPress;
        if (down == held[size_t(input)]) continue;
        held[size_t(input)] = down;
        if (const int key = Input(instance, input, down, at)) menu = key;
    }
    return menu;
}

int SdlPads::Handle(const SDL_Event& e, double at) {
    switch (e.type) {
        case SDL_JOYDEVICEADDED:
            Add(e.jdevice.which, at);
            return 0;
        case SDL_JOYDEVICEREMOVED:
            Remove(e.jdevice.which, at);
            return 0;
        case SDL_CONTROLLERBUTTONDOWN:
        case SDL_CONTROLLERBUTTONUP:
            if (e.cbutton.button >= pad::kButtonCount) return 0;
            return Input(e.cbutton.which, pad::Button(e.cbutton.button),
                         e.type == SDL_CONTROLLERBUTTONDOWN, at);
        case SDL_CONTROLLERAXISMOTION: {
            const int a = e.caxis.axis;
            if (a < 0 || a >= pad::kAxisCount) return 0;
            const bool trigger = a == pad::LeftTrigger || a == pad::RightTrigger;
            return Axis(e.caxis.which, trigger ? -1 : pad::Axis(a, false), pad::Axis(a, true),
                        e.caxis.value, at);
        }
        default:
            break;
    }
    // A plain joystick's own events; a game controller reports the same through the events
    // above.
    const auto raw = [&](int32_t instance) {
        const auto it = open_.find(instance);
        return it != open_.end() && !it->second.controller;
    };
    switch (e.type) {
        case SDL_JOYBUTTONDOWN:
        case SDL_JOYBUTTONUP:
            if (!raw(e.jbutton.which) || e.jbutton.button >= pad::kRawButtonCount) return 0;
            return Input(e.jbutton.which, pad::RawButton(e.jbutton.button),
                         e.type == SDL_JOYBUTTONDOWN, at);
        case SDL_JOYHATMOTION: {
            if (!raw(e.jhat.which) || e.jhat.hat >= pad::kRawHatCount) return 0;
            int menu = 0;
            const int bits[4] = {SDL_HAT_UP, SDL_HAT_RIGHT, SDL_HAT_DOWN, SDL_HAT_LEFT};
            auto& held = open_[e.jhat.which].axisDown;
            for (int d = 0; d < 4; ++d) {
                const int input = pad::RawHat(e.jhat.hat, d);
                const bool down = (e.jhat.value & bits[d]) != 0;
                if (down == held[size_t(input)]) continue;
                held[size_t(input)] = down;
                if (const int key = Input(e.jhat.which, input, down, at)) menu = key;
            }
            return menu;
        }
        case SDL_JOYAXISMOTION:
            if (!raw(e.jaxis.which) || e.jaxis.axis >= pad::kRawAxisCount) return 0;
            return Axis(e.jaxis.which, pad::RawAxis(e.jaxis.axis, false),
                        pad::RawAxis(e.jaxis.axis, true), e.jaxis.value, at);
        default:
            return 0;
    }
}

}  // namespace zb::sdl
