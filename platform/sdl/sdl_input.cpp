// The monotonic clock and the keyboard of the real platform.
#include <SDL.h>

#include <ctime>

#include "platform/sdl/sdl_platform.hpp"

namespace zb::sdl {

SdlClock::SdlClock() : freq_(SDL_GetPerformanceFrequency()) {}

double SdlClock::Now() {
    return double(SDL_GetPerformanceCounter()) / double(freq_);
}

int64_t SdlClock::TickMs() {
    return int64_t(SDL_GetTicks64());
}

TimeOfDay SdlClock::LocalTime() {
    const std::time_t t = std::time(nullptr);
    std::tm tm{};
    localtime_r(&t, &tm);
    return {tm.tm_hour, tm.tm_min, tm.tm_sec};
}

uint16_t SdlKeyboard::GetAsyncKeyState(int vkCode) {
    KeyState& k = keys_[vkCode];
    const uint16_t v = uint16_t((k.down ? 0x8000 : 0) | (k.pressedSince ? 1 : 0));
    k.pressedSince = false;
    return v;
}

std::optional<double> SdlKeyboard::LastDownTime(int vkCode) {
    auto it = keys_.find(vkCode);
    return it == keys_.end() ? std::nullopt : it->second.lastDown;
}

void SdlKeyboard::OnKey(int vkCode, bool down, double at) {
    if (vkCode == 0) return;
    KeyState& k = keys_[vkCode];
    if (down && !k.down) {
        k.pressedSince = true;
        k.lastDown = at;
    }
    k.down = down;
}

void SdlKeyboard::ReleaseAll() {
    for (auto& [code, k] : keys_) k.down = false;
}

void SdlKeyboard::Reset() {
    for (auto& [code, k] : keys_) k.down = k.pressedSince = false;
}

}  // namespace zb::sdl
