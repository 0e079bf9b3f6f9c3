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

std::vector<InputEvent> KeyStateKeyboard::TakeEvents() {
    Update();
    return std::exchange(events_, {});
}

void KeyStateKeyboard::Add(const InputEvent& e) {
    if (events_.size() >= kKeptEvents) events_.erase(events_.begin());
    events_.push_back(e);
}

void KeyStateKeyboard::SetDownHandler(std::function<void(int, double)> handler) {
    onDown_ = std::move(handler);
}

void KeyStateKeyboard::OnKey(int vkCode, bool down, double at) {
    Change(vkCode, down, at, 0);
}

void KeyStateKeyboard::Change(int vkCode, bool down, double at, int velocity) {
    if (vkCode == 0) return;
    bool& isDown = down_[vkCode];
    if (down == isDown) return;  // a repeat
    isDown = down;
    Add({.at = at,
         .kind = down ? InputKind::KeyDown : InputKind::KeyUp,
         .device = DeviceOfCode(vkCode),
         .code = vkCode,
         .velocity = velocity});
    if (pad::IsPadCode(vkCode)) OnMenuInput(vkCode, down, at);
    if (!down) return;
    if (pad::IsPadCode(vkCode)) fault::Trip(fault::Place::Pad);
    if (onDown_) onDown_(vkCode, at);
}

void KeyStateKeyboard::ReleaseAll() {
    for (auto& [code, down] : down_) down = false;
    menuHolds_.clear();
    Add({.kind = InputKind::AllUp, .device = {}});
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
    Add({.kind = InputKind::DeviceCame, .device = {DeviceKind::Pad, pad.slot}});
    SayOnStderr("pad " + std::to_string(pad.slot + 1) + " connected: " + pad.name + " (" +
                pad.guid + ")");
}

void KeyStateKeyboard::PadRemoved(int slot, double at) {
    const auto pad = std::find_if(pads_.begin(), pads_.end(),
                                  [slot](const PadInfo& p) { return p.slot == slot; });
    if (pad == pads_.end()) return;
    // Let go of everything it holds while it still counts as connected, so that its menu keys
    // come up too.
    const auto first = down_.lower_bound(pad::Code(slot, 0));
    const auto last = down_.lower_bound(pad::Code(slot + 1, 0));
    for (auto it = first; it != last; ++it)
        if (it->second) OnKey(it->first, false, at);
    SayOnStderr("pad " + std::to_string(slot + 1) + " disconnected: " + pad->name);
    pads_.erase(pad);
    ++padChanges_;
    Add({.at = at, .kind = InputKind::DeviceGone, .device = {DeviceKind::Pad, slot}});
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

void KeyStateKeyboard::SetKitHygiene(int slot, const kit::Hygiene& rules) {
    if (slot >= 0 && slot < kit::kSlots) hygiene_[size_t(slot)].SetRules(rules);
}

void KeyStateKeyboard::KitAdded(const KitInfo& kit) {
    KitRemoved(kit.slot, 0);  // a slot holds one kit
    if (kit.slot >= 0 && kit.slot < kit::kSlots) hygiene_[size_t(kit.slot)].Clear();
    kits_.push_back(kit);
    ++kitChanges_;
    std::sort(kits_.begin(), kits_.end(),
              [](const KitInfo& a, const KitInfo& b) { return a.slot < b.slot; });
    Add({.kind = InputKind::DeviceCame, .device = {DeviceKind::Kit, kit.slot}});
    SayOnStderr("kit " + std::to_string(kit.slot + 1) + " connected: " + kit.name);
}

void KeyStateKeyboard::KitRemoved(int slot, double at) {
    const auto kit = std::find_if(kits_.begin(), kits_.end(),
                                  [slot](const KitInfo& k) { return k.slot == slot; });
    if (kit == kits_.end()) return;
    // Its strokes are taps: nothing of it is held.
    SayOnStderr("kit " + std::to_string(slot + 1) + " disconnected: " + kit->name);
    kits_.erase(kit);
    ++kitChanges_;
    Add({.at = at, .kind = InputKind::DeviceGone, .device = {DeviceKind::Kit, slot}});
}

void KeyStateKeyboard::KitStroke(int slot, int note, int velocity, double at) {
    if (slot < 0 || slot >= kit::kSlots || note < 0 || note >= kit::kNotes || velocity <= 0) return;
    if (const kit::Fate fate = hygiene_[size_t(slot)].Judge(note, velocity, at);
        fate != kit::Fate::Kept) {
        Add({.at = at,
             .kind = InputKind::KitDropped,
             .device = {DeviceKind::Kit, slot},
             .code = kit::Code(slot, note, false),
             .velocity = velocity,
             .index = int(fate)});
        return;
    }
    const int code = kit::Code(slot, note, velocity >= bigVelocity_[size_t(slot)]);
    Change(code, true, at, velocity);
    Change(code, false, at + kit::kStrokeSeconds, 0);
}

void KeyStateKeyboard::Reset() {
    for (auto& [code, down] : down_) down = false;
    menuHolds_.clear();
    events_.clear();
    Add({.kind = InputKind::Cleared, .device = {}});
}

}  // namespace zb
