#include "platform/key_states.hpp"

#include <algorithm>
#include <cstdio>
#include <utility>

#include "platform/fault_switch.hpp"
#include "platform/kit_inputs.hpp"
#include "platform/pad_inputs.hpp"
#include "platform/stderr_line.hpp"

namespace zb {

KeyStateKeyboard::KeyStateKeyboard() {
    bigVelocity_.fill(kit::kDefaultBigVelocity);
}

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

bool KeyStateKeyboard::AnyKeyDown() {
    Update();
    for (const auto& [code, k] : keys_)
        if (k.down) return true;
    return false;
}

void KeyStateKeyboard::SetDownHandler(std::function<void(int, double)> handler) {
    onDown_ = std::move(handler);
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
    if (wentDown != wentUp && pad::IsPadCode(vkCode)) OnMenuInput(vkCode, down, at);
    if (!wentDown) return;
    k.pressedSince = true;
    if (k.downStamps.size() >= kKeptStamps) k.downStamps.erase(k.downStamps.begin());
    k.downStamps.push_back(at);
    if (pad::IsPadCode(vkCode)) fault::Trip(fault::Place::Pad);
    if (onDown_) onDown_(vkCode, at);
}

void KeyStateKeyboard::ReleaseAll() {
    for (auto& [code, k] : keys_) k.down = false;
    menuHolds_.clear();
}

std::vector<PadInfo> KeyStateKeyboard::Pads() {
    Update();
    return pads_;
}

uint64_t KeyStateKeyboard::PadChanges() {
    Update();
    return padChanges_;
}

void KeyStateKeyboard::OnMenuInput(int code, bool down, double at) {
    const int slot = pad::SlotOf(code);
    const auto pad = std::find_if(pads_.begin(), pads_.end(),
                                  [slot](const PadInfo& p) { return p.slot == slot; });
    if (pad == pads_.end()) return;
    const int key = pad::MenuKeyOf(pad::InputOf(code), pad->controller);
    if (key == 0) return;
    int& holds = menuHolds_[key];
    holds = std::max(0, holds + (down ? 1 : -1));
    if ((down && holds == 1) || (!down && holds == 0)) OnKey(pad::MenuCode(key), down, at);
}

void KeyStateKeyboard::PadAdded(const PadInfo& pad) {
    PadRemoved(pad.slot, 0);  // a slot holds one pad
    pads_.push_back(pad);
    ++padChanges_;
    std::sort(pads_.begin(), pads_.end(),
              [](const PadInfo& a, const PadInfo& b) { return a.slot < b.slot; });
    SayOnStderr("pad " + std::to_string(pad.slot + 1) + " connected: " + pad.name + " (" +
                pad.guid + ")");
}

void KeyStateKeyboard::PadRemoved(int slot, double at) {
    const auto pad = std::find_if(pads_.begin(), pads_.end(),
                                  [slot](const PadInfo& p) { return p.slot == slot; });
    if (pad == pads_.end()) return;
    // Let go of everything it holds while it still counts as connected, so that its menu keys
    // come up too.
    const auto first = keys_.lower_bound(pad::Code(slot, 0));
    const auto last = keys_.lower_bound(pad::Code(slot + 1, 0));
    for (auto it = first; it != last; ++it)
        if (it->second.down) OnKey(it->first, false, at);
    SayOnStderr("pad " + std::to_string(slot + 1) + " disconnected: " + pad->name);
    pads_.erase(pad);
    ++padChanges_;
}

std::optional<int> KeyStateKeyboard::FreePadSlot() const {
    for (int s = 0; s < pad::kSlots; ++s)
        if (std::none_of(pads_.begin(), pads_.end(), [s](const PadInfo& p) { return p.slot == s; }))
            return s;
    return std::nullopt;
}

std::vector<KitInfo> KeyStateKeyboard::Kits() {
    Update();
    return kits_;
}

uint64_t KeyStateKeyboard::KitChanges() {
    Update();
    return kitChanges_;
}

void KeyStateKeyboard::SetKitBigVelocity(int slot, int velocity) {
    if (slot >= 0 && slot < kit::kSlots) bigVelocity_[size_t(slot)] = velocity;
}

void KeyStateKeyboard::KitAdded(const KitInfo& kit) {
    KitRemoved(kit.slot, 0);  // a slot holds one kit
    kits_.push_back(kit);
    ++kitChanges_;
    std::sort(kits_.begin(), kits_.end(),
              [](const KitInfo& a, const KitInfo& b) { return a.slot < b.slot; });
    SayOnStderr("kit " + std::to_string(kit.slot + 1) + " connected: " + kit.name);
}

void KeyStateKeyboard::KitRemoved(int slot, double at) {
    const auto kit = std::find_if(kits_.begin(), kits_.end(),
                                  [slot](const KitInfo& k) { return k.slot == slot; });
    if (kit == kits_.end()) return;
    (void)at;  // its strokes are taps: nothing of it is held
    SayOnStderr("kit " + std::to_string(slot + 1) + " disconnected: " + kit->name);
    kits_.erase(kit);
    ++kitChanges_;
}

void KeyStateKeyboard::KitStroke(int slot, int note, int velocity, double at) {
    if (slot < 0 || slot >= kit::kSlots || note < 0 || note >= kit::kNotes || velocity <= 0) return;
    const int code = kit::Code(slot, note, velocity >= bigVelocity_[size_t(slot)]);
    OnKey(code, true, at);
    OnKey(code, false, at + kit::kStrokeSeconds);
}

void KeyStateKeyboard::Reset() {
    for (auto& [code, k] : keys_) {
        k.down = k.pressedSince = false;
        k.downStamps.clear();
        k.upStamps.clear();
    }
    menuHolds_.clear();
}

}  // namespace zb
