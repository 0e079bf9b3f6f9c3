#include "platform/key_states.hpp"

#include <utility>

namespace zb {

uint16_t KeyStateKeyboard::GetAsyncKeyState(int vkCode) {
    Update();
    KeyState& k = keys_[vkCode];
    const uint16_t v = uint16_t((k.down ? kKeyDown : 0) | (k.pressedSince ? kKeyPressedSince : 0));
    k.pressedSince = false;
    return v;
}

std::vector<double> KeyStateKeyboard::TakeDownStamps(int vkCode) {
    Update();
    return std::exchange(keys_[vkCode].downStamps, {});
}

std::vector<double> KeyStateKeyboard::TakeUpStamps(int vkCode) {
    Update();
    return std::exchange(keys_[vkCode].upStamps, {});
}

void KeyStateKeyboard::SetDownHandler(std::function<void(int, double)> handler) {
    onDown_ = std::move(handler);
}

std::optional<double> KeyStateKeyboard::LastDownTime(int vkCode) {
    Update();
    auto it = keys_.find(vkCode);
    return it == keys_.end() ? std::nullopt : it->second.lastDown;
}

void KeyStateKeyboard::OnKey(int vkCode, bool down, double at) {
    if (vkCode == 0) return;
    KeyState& k = keys_[vkCode];
    const bool wentDown = down && !k.down, wentUp = !down && k.down;
    k.down = down;
    if (wentUp) {
        if (k.upStamps.size() >= kKeptStamps) k.upStamps.erase(k.upStamps.begin());
        k.upStamps.push_back(at);
    }
    if (!wentDown) return;
    k.pressedSince = true;
    k.lastDown = at;
    if (k.downStamps.size() >= kKeptStamps) k.downStamps.erase(k.downStamps.begin());
    k.downStamps.push_back(at);
    if (onDown_) onDown_(vkCode, at);
}

void KeyStateKeyboard::ReleaseAll() {
    for (auto& [code, k] : keys_) k.down = false;
}

void KeyStateKeyboard::Reset() {
    for (auto& [code, k] : keys_) {
        k.down = k.pressedSince = false;
        k.downStamps.clear();
        k.upStamps.clear();
    }
}

}  // namespace zb
