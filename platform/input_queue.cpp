#include "platform/input_queue.hpp"

#include <utility>

namespace zb {

namespace {
template <typename T>
void Keep(std::vector<T>& v, const T& x, size_t most) {
    if (v.size() >= most) v.erase(v.begin());
    v.push_back(x);
}
}  // namespace

void InputQueue::Push(const InputEvent& e) {
    window_.push_back(e);
}

std::optional<InputEvent> InputQueue::Next() {
    Pull();
    while (!window_.empty()) {
        const InputEvent e = window_.front();
        window_.pop_front();
        if (e.kind == InputKind::Close || e.at >= since_) return e;
    }
    return std::nullopt;
}

bool InputQueue::Empty() {
    return window_.empty();
}

void InputQueue::StartScreen(double at) {
    Pull();
    since_ = at;
    kitStrokes_.clear();
    for (auto& [code, k] : keys_) {
        k.pressedSince = false;
        k.downStamps.clear();
        k.upStamps.clear();
    }
}

void InputQueue::Pull() {
    for (const InputEvent& e : keyboard_.TakeEvents()) Apply(e);
}

void InputQueue::Apply(const InputEvent& e) {
    switch (e.kind) {
        case InputKind::KeyDown:
        case InputKind::KeyUp: {
            KeyState& k = keys_[e.code];
            const bool down = e.kind == InputKind::KeyDown;
            k.down = down;
            if (e.at < since_) return;
            if (!down) return Keep(k.upStamps, e.at, kKeptStamps);
            if (kit::IsKitCode(e.code)) Keep(kitStrokes_, e, kKeptStrokes);
            k.pressedSince = true;
            k.lastDownAt = e.at;
            k.velocity = e.velocity;
            return Keep(k.downStamps, e.at, kKeptStamps);
        }
        case InputKind::KitDropped:
            if (e.at >= since_) Keep(kitStrokes_, e, kKeptStrokes);
            return;
        case InputKind::AllUp:
            for (auto& [code, k] : keys_) k.down = false;
            return;
        case InputKind::Cleared:
            for (auto& [code, k] : keys_) k = KeyState{};
            return;
        default:
            return;
    }
}

std::vector<InputEvent> InputQueue::TakeKitStrokes() {
    Pull();
    return std::exchange(kitStrokes_, {});
}

uint16_t InputQueue::GetAsyncKeyState(int code, double from) {
    Pull();
    KeyState& k = keys_[code];
    const bool pressed = k.pressedSince && k.lastDownAt >= from;
    const uint16_t v = uint16_t((k.down ? kKeyDown : 0) | (pressed ? kKeyPressedSince : 0));
    k.pressedSince = false;
    return v;
}

bool InputQueue::Down(int code) {
    Pull();
    const auto k = keys_.find(code);
    return k != keys_.end() && k->second.down;
}

std::vector<double> InputQueue::TakeDownStamps(int code) {
    Pull();
    return std::exchange(keys_[code].downStamps, {});
}

std::vector<double> InputQueue::TakeUpStamps(int code) {
    Pull();
    return std::exchange(keys_[code].upStamps, {});
}

bool InputQueue::AnyKeyDown() {
    Pull();
    for (const auto& [code, k] : keys_)
        if (k.down) return true;
    return false;
}

int InputQueue::Velocity(int code) {
    Pull();
    const auto k = keys_.find(code);
    return k == keys_.end() ? 0 : k->second.velocity;
}

}  // namespace zb
