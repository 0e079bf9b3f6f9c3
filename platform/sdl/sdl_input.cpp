// The monotonic clock of the real platform.
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

CalendarDate SdlClock::LocalDate() {
    const std::time_t t = std::time(nullptr);
    std::tm tm{};
    localtime_r(&t, &tm);
    return {tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday};
}

TimeOfDay SdlClock::LocalTime() {
    const std::time_t t = std::time(nullptr);
    std::tm tm{};
    localtime_r(&t, &tm);
    return {tm.tm_hour, tm.tm_min, tm.tm_sec};
}

}  // namespace zb::sdl
