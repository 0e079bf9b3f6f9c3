#include "core/menu_keys.hpp"

#include <algorithm>

#include "platform/pad_inputs.hpp"

namespace zb {

namespace {
constexpr int kPageUp = 33, kPageDown = 34;
// The keys that move a cursor: a held one repeats by the screen's rule.
bool IsCursorKey(int key) {
    return key == vk::Left || key == vk::Up || key == vk::Right || key == vk::Down ||
           key == kPageUp || key == kPageDown;
}
}  // namespace

MenuKeys::MenuKeys(Game& game, MenuKeyRule rule)
    : game_(game), repeat_(rule.firstRepeat, rule.repeat) {}

uint16_t MenuKeys::Look(int key, bool withPad) {
    const uint16_t state = game_.input.GetAsyncKeyState(key, from_);
    if (!withPad) return state;
    const uint16_t twin = game_.input.GetAsyncKeyState(pad::MenuCode(key), from_);
    return uint16_t(state | twin);
}

MenuPress MenuKeys::Pass(std::initializer_list<int> keys) {
    return Pass(keys, keys);
}

MenuPress MenuKeys::Pass(std::initializer_list<int> keys, std::initializer_list<int> padKeys) {
    MenuPress press;
    bool fresh = false;
    for (int key : keys) {
        const bool withPad = std::find(padKeys.begin(), padKeys.end(), key) != padKeys.end();
        const uint16_t state = Look(key, withPad);
        if ((state & (kKeyDown | kKeyPressedSince)) == 0) continue;
        press.key = key;
        fresh = (state & kKeyPressedSince) != 0;
        break;
    }
    const double now = game_.platform.clock.Now();
    if (!IsCursorKey(press.key)) {
        repeat_.Step(0, now);
        press.acts = press.key != 0;
        return press;
    }
    if (fresh) repeat_.Step(0, now);  // a new press, even of the key held before
    press.acts = repeat_.Step(press.key, now);
    return press;
}

bool MenuKeys::Tapped(int key) {
    return (game_.input.GetAsyncKeyState(key, from_) & kKeyPressedSince) != 0;
}

bool TappedWithPad(InputQueue& input, int key) {
    const bool own = (input.GetAsyncKeyState(key) & kKeyPressedSince) != 0;
    const bool pad = (input.GetAsyncKeyState(pad::MenuCode(key)) & kKeyPressedSince) != 0;
    return own || pad;
}

int StepHighlight(int cursor, int count, int dir) {
    return cursor < 0 ? 0 : (cursor + count + dir) % count;
}

}  // namespace zb
