#include "core/menu_keys.hpp"

namespace zb {

namespace {
bool IsCursorKey(int key) {
    return key == vk::Left || key == vk::Up || key == vk::Right || key == vk::Down;
}
}  // namespace

MenuKeys::MenuKeys(Platform& platform, MenuKeyRule rule)
    : platform_(platform), repeat_(rule.firstRepeat, rule.repeat) {}

void MenuKeys::ForgetEarlierPresses(std::initializer_list<int> keys) {
    for (int key : keys) platform_.keyboard.GetAsyncKeyState(key);
}

void MenuKeys::ForgetEarlierPresses(int firstKey, int lastKey) {
    for (int key = firstKey; key <= lastKey; ++key) platform_.keyboard.GetAsyncKeyState(key);
}

MenuPress MenuKeys::Pass(std::initializer_list<int> keys) {
    MenuPress press;
    bool fresh = false;
    for (int key : keys) {
        const uint16_t state = platform_.keyboard.GetAsyncKeyState(key);
        if ((state & (kKeyDown | kKeyPressedSince)) == 0) continue;
        press.key = key;
        fresh = (state & kKeyPressedSince) != 0;
        break;
    }
    const double now = platform_.clock.Now();
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
    return (platform_.keyboard.GetAsyncKeyState(key) & kKeyPressedSince) != 0;
}

}  // namespace zb
