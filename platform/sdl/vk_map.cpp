// Windows virtual-key codes for SDL's scancodes: the codes config.dat stores for the four drum
// keys. Scancodes name physical keys, so the mapping holds whatever the keyboard layout.
#include <SDL.h>

#include "platform/sdl/sdl_platform.hpp"

namespace zb::sdl {

int VirtualKeyFromScancode(int sc) {
    if (sc >= SDL_SCANCODE_A && sc <= SDL_SCANCODE_Z) return vk::A + (sc - SDL_SCANCODE_A);
    if (sc >= SDL_SCANCODE_1 && sc <= SDL_SCANCODE_9) return vk::Digit0 + 1 + (sc - SDL_SCANCODE_1);
    if (sc == SDL_SCANCODE_0) return vk::Digit0;
    if (sc >= SDL_SCANCODE_KP_1 && sc <= SDL_SCANCODE_KP_9)
        return vk::Numpad0 + 1 + (sc - SDL_SCANCODE_KP_1);
    if (sc >= SDL_SCANCODE_F1 && sc <= SDL_SCANCODE_F12) return 112 + (sc - SDL_SCANCODE_F1);
    switch (sc) {
        case SDL_SCANCODE_KP_0:
            return vk::Numpad0;
        case SDL_SCANCODE_RETURN:
        case SDL_SCANCODE_KP_ENTER:
            return vk::Enter;
        case SDL_SCANCODE_SPACE:
            return vk::Space;
        case SDL_SCANCODE_LEFT:
            return vk::Left;
        case SDL_SCANCODE_UP:
            return vk::Up;
        case SDL_SCANCODE_RIGHT:
            return vk::Right;
        case SDL_SCANCODE_DOWN:
            return vk::Down;
        case SDL_SCANCODE_BACKSPACE:
            return 8;
        case SDL_SCANCODE_TAB:
            return 9;
        case SDL_SCANCODE_LSHIFT:
        case SDL_SCANCODE_RSHIFT:
            return 16;
        case SDL_SCANCODE_LCTRL:
        case SDL_SCANCODE_RCTRL:
            return 17;
        case SDL_SCANCODE_LALT:
        case SDL_SCANCODE_RALT:
            return 18;
        case SDL_SCANCODE_PAUSE:
            return 19;
        case SDL_SCANCODE_CAPSLOCK:
            return 20;
        case SDL_SCANCODE_PRINTSCREEN:
            return 44;
        case SDL_SCANCODE_NUMLOCKCLEAR:
            return 144;
        case SDL_SCANCODE_SCROLLLOCK:
            return 145;
        // The key beside the left Shift (ISO) and the ろ key (JIS).
        case SDL_SCANCODE_NONUSBACKSLASH:
        case SDL_SCANCODE_INTERNATIONAL1:
            return 226;
        case SDL_SCANCODE_ESCAPE:
            return 27;
        case SDL_SCANCODE_PAGEUP:
            return 33;
        case SDL_SCANCODE_PAGEDOWN:
            return 34;
        case SDL_SCANCODE_END:
            return 35;
        case SDL_SCANCODE_HOME:
            return 36;
        case SDL_SCANCODE_INSERT:
            return 45;
        case SDL_SCANCODE_DELETE:
            return 46;
        case SDL_SCANCODE_LGUI:
            return 91;
        case SDL_SCANCODE_RGUI:
            return 92;
        case SDL_SCANCODE_APPLICATION:
            return 93;
        case SDL_SCANCODE_KP_MULTIPLY:
            return 106;
        case SDL_SCANCODE_KP_PLUS:
            return 107;
        case SDL_SCANCODE_KP_MINUS:
            return 109;
        case SDL_SCANCODE_KP_PERIOD:
            return 110;
        case SDL_SCANCODE_KP_DIVIDE:
            return 111;
        case SDL_SCANCODE_SEMICOLON:
            return 186;
        case SDL_SCANCODE_EQUALS:
            return 187;
        case SDL_SCANCODE_COMMA:
            return 188;
        case SDL_SCANCODE_MINUS:
            return 189;
        case SDL_SCANCODE_PERIOD:
            return 190;
        case SDL_SCANCODE_SLASH:
            return 191;
        case SDL_SCANCODE_GRAVE:
            return 192;
        case SDL_SCANCODE_LEFTBRACKET:
            return 219;
        case SDL_SCANCODE_BACKSLASH:
            return 220;
        case SDL_SCANCODE_RIGHTBRACKET:
            return 221;
        case SDL_SCANCODE_APOSTROPHE:
            return 222;
        default:
            return 0;
    }
}

}  // namespace zb::sdl
