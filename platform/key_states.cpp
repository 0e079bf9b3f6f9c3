#include "platform/key_states.hpp"

namespace zb {

uint16_t KeyStateKeyboard::GetAsyncKeyState(int vkCode) {
    Update();
    KeyState& k = keys_[vkCode];
    const uint16_t v = uint16_t((k.down ? kKeyDown : 0) | (k.pressedSince ? kKeyPressedSince : 0));
    k.pressedSince = false;
    return v;
}

std::optional<double> KeyStateKeyboard::LastDownTime(int vkCode) {
    Update();
    auto it = keys_.find(vkCode);
    return it == keys_.end() ? std::nullopt : it->second.lastDown;
}

void KeyStateKeyboard::OnKey(int vkCode, bool down, double at) {
    if (vkCode == 0) return;
    KeyState& k = keys_[vkCode];
    if (down && !k.down) {
        k.pressedSince = true;
        k.lastDown = at;
    }
    k.down = down;
}

void KeyStateKeyboard::ReleaseAll() {
    for (auto& [code, k] : keys_) k.down = false;
}

void KeyStateKeyboard::Reset() {
    for (auto& [code, k] : keys_) k.down = k.pressedSince = false;
}

}  // namespace zb
