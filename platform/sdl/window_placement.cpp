// The window's size and place: the opening size by the largest whole scale that fits the display,
// and the full screen that F11 and Alt+Enter switch to and back.
#include <SDL.h>

#include <algorithm>

#include "platform/sdl/sdl_platform.hpp"
#include "platform/sdl/window_size.hpp"

namespace zb::sdl {

void SdlWindow::OpenAtBestScale() {
    Decorations frame;
    const auto place = [&] {
        SDL_Rect u{};
        if (SDL_GetDisplayUsableBounds(std::max(0, SDL_GetWindowDisplayIndex(window_)), &u) != 0)
            return;
        const Rect r = OpeningWindow({u.x, u.y, u.w, u.h}, frame);
        SDL_SetWindowSize(window_, r.w, r.h);
        SDL_SetWindowPosition(window_, r.x, r.y);
    };
    // The window manager tells the frame's size only once the window is shown: place it without,
    // then again with the frame if there is one.
    place();
    SDL_ShowWindow(window_);
    Decorations shown;
    if (SDL_GetWindowBordersSize(window_, &shown.top, &shown.left, &shown.bottom, &shown.right) ==
            0 &&
        shown.top + shown.left + shown.bottom + shown.right > 0) {
        frame = shown;
        place();
    }
}

void SdlWindow::ToggleFullScreen() {
    if (SDL_GetWindowFlags(window_) & SDL_WINDOW_FULLSCREEN) {
        SDL_SetWindowFullscreen(window_, 0);
        SDL_SetWindowSize(window_, windowed_.w, windowed_.h);
        SDL_SetWindowPosition(window_, windowed_.x, windowed_.y);
    } else {
        SDL_GetWindowPosition(window_, &windowed_.x, &windowed_.y);
        SDL_GetWindowSize(window_, &windowed_.w, &windowed_.h);
        // Covering the display first makes a full screen even where no window manager would
        // carry out the request (a bare X server); a window manager then makes it its own.
        SDL_Rect d{};
        if (SDL_GetDisplayBounds(std::max(0, SDL_GetWindowDisplayIndex(window_)), &d) == 0) {
            SDL_SetWindowPosition(window_, d.x, d.y);
            SDL_SetWindowSize(window_, d.w, d.h);
        }
        SDL_SetWindowFullscreen(window_, SDL_WINDOW_FULLSCREEN_DESKTOP);
    }
    repaint_ = true;
}

bool SdlWindow::FullScreenKey(const SDL_KeyboardEvent& k) {
    const int sc = k.keysym.scancode;
    if (k.type == SDL_KEYUP) return swallowed_.erase(sc) > 0;
    if (k.repeat) return swallowed_.count(sc) > 0;
    const bool enter = sc == SDL_SCANCODE_RETURN || sc == SDL_SCANCODE_KP_ENTER;
    if (sc != SDL_SCANCODE_F11 && !(enter && (k.keysym.mod & KMOD_ALT))) {
        swallowed_.erase(sc);  // a release that never came (the focus went) is forgotten
        return false;
    }
    swallowed_.insert(sc);
    ToggleFullScreen();
    return true;
}

}  // namespace zb::sdl
