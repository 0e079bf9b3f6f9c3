// How the form's picture reaches the window. Where a graphics card draws OpenGL, the picture is a
// texture that the card scales. Where OpenGL is drawn in software (Mesa's llvmpipe and softpipe:
// virtual machines, remote desktops, machines without a driver) or missing, the same scaling on
// the CPU straight into the window's own surface costs a fraction of it (X11 hands that surface
// over in shared memory), and only the part of the picture that changed is drawn and sent.
#include <SDL.h>
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <stdexcept>

#include "platform/changed_pixels.hpp"
#include "platform/sdl/letterbox.hpp"
#include "platform/sdl/sdl_platform.hpp"
#include "platform/stderr_line.hpp"

namespace zb::sdl {

namespace {

// The OpenGL renderer's name as its driver gives it, or "" when it cannot be asked.
std::string GlRendererName() {
    using GetString = const unsigned char* (*)(unsigned);
    constexpr unsigned kGlRenderer = 0x1F01;
    const auto get = reinterpret_cast<GetString>(SDL_GL_GetProcAddress("glGetString"));
    const unsigned char* name = get ? get(kGlRenderer) : nullptr;
    return name ? reinterpret_cast<const char*>(name) : "";
}

bool DrawnInSoftware(const std::string& glName) {
    for (const char* word : {"llvmpipe", "softpipe", "Software Rasterizer", "swrast"})
        if (glName.find(word) != std::string::npos) return true;
    return false;
}

}  // namespace

std::string SdlWindow::AskOpenGl() {
    // ZUBAKKO_PRESENT=opengl or =cpu takes that path whatever the machine has.
    if (const char* asked = std::getenv("ZUBAKKO_PRESENT"))
        if (std::string(asked) == "cpu" || std::string(asked) == "opengl") return asked;
    int fds[2];
    if (pipe(fds) != 0) return "";
    const pid_t pid = fork();
    if (pid == 0) {
        // The child: opens a hidden window with OpenGL, says what draws it, and is gone. What
        // the drivers say meanwhile is not the player's business.
        close(fds[0]);
        const int null = open("/dev/null", O_WRONLY);
        if (null >= 0) dup2(null, 2);
        std::string name;
        if (SDL_InitSubSystem(SDL_INIT_VIDEO) == 0) {
            SDL_Window* w =
                SDL_CreateWindow("", 0, 0, 16, 16, SDL_WINDOW_HIDDEN | SDL_WINDOW_OPENGL);
            if (w && SDL_CreateRenderer(w, -1, SDL_RENDERER_ACCELERATED)) {
                name = GlRendererName();
                if (name.empty()) name = "?";  // a renderer that gives no name still counts
            }
        }
        const ssize_t written = write(fds[1], name.data(), name.size());
        _exit(written == ssize_t(name.size()) ? 0 : 1);
    }
    close(fds[1]);
    if (pid < 0) {
        close(fds[0]);
        return "";
    }
    // A driver that hangs gets five seconds; the window then goes without OpenGL.
    std::string name;
    pollfd p{fds[0], POLLIN, 0};
    char buf[256];
    while (poll(&p, 1, 5000) > 0) {
        const ssize_t n = read(fds[0], buf, sizeof buf);
        if (n <= 0) break;
        name.append(buf, size_t(n));
    }
    close(fds[0]);
    kill(pid, SIGKILL);
    waitpid(pid, nullptr, 0);
    return name;
}

void SdlWindow::ChoosePresentPath(const std::string& gl) {
    std::string why;
    if (gl == "cpu") {
        why = "asked for";
    } else if (gl.empty()) {
        why = "no OpenGL";
    } else if (gl != "opengl" && DrawnInSoftware(gl)) {
        why = "OpenGL here is " + gl + ", drawn in software";
    } else {
        renderer_ = SDL_CreateRenderer(window_, -1, SDL_RENDERER_ACCELERATED);
        if (!renderer_) why = "no OpenGL";
    }
    if (renderer_) {
        SDL_RendererInfo info{};
        SDL_GetRendererInfo(renderer_, &info);
        const std::string name = GlRendererName();
        presentPath_ = std::string(info.name ? info.name : "?") + " (" +
                       (name.empty() ? "?" : name) + "), scaled by the graphics card";
        texture_ = SDL_CreateTexture(renderer_, SDL_PIXELFORMAT_ARGB8888,
                                     SDL_TEXTUREACCESS_STREAMING, kFormWidthPx, kFormHeightPx);
        if (!texture_)
            throw std::runtime_error(std::string("cannot draw in the window: ") + SDL_GetError());
        SDL_SetTextureScaleMode(texture_, SDL_ScaleModeNearest);
    } else {
        // Without this SDL would back the surface with an OpenGL texture after all.
        SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
        if (!SDL_GetWindowSurface(window_))
            throw std::runtime_error(std::string("cannot draw in the window: ") + SDL_GetError());
        presentPath_ = "the window's surface, scaled on the CPU (" + why + ")";
    }
    SayOnStderr("the picture reaches the window through " + presentPath_);
}

bool SdlWindow::Show(const Surface& frame, const std::vector<Rect>* changed) {
    if (renderer_)
        ShowWithRenderer(frame);  // the graphics card takes the whole picture
    else if (!ShowOnSurface(frame, changed))
        return false;
    repaint_ = false;
    lastShown_ = clock_.Now();
    return true;
}

bool SdlWindow::ShowOnSurface(const Surface& frame, const std::vector<Rect>* changed) {
    SDL_Surface* s = SDL_GetWindowSurface(window_);  // made anew after the window's size changed
    if (!s || s->w <= 0 || s->h <= 0) return false;
    const bool whole = !changed || s->w != surfaceW_ || s->h != surfaceH_ ||
                       shown_.Width() != frame.Width() || shown_.Height() != frame.Height();
    const Rect box = Letterbox(s->w, s->h);
    std::vector<Rect> parts;
    if (!whole) {
        parts = TakeChangedPixels(frame, shown_, *changed);
        if (parts.empty()) return true;  // redrawn as it was
        changed = &parts;
    } else {
        shown_ = frame;
        parts.push_back({0, 0, frame.Width(), frame.Height()});
        changed = &parts;
        scaler_.Prepare(frame.Width(), frame.Height(), box.w, box.h, PrescaleFactor(s->w, s->h));
        surfaceW_ = s->w, surfaceH_ = s->h;
        SDL_FillRect(s, nullptr, SDL_MapRGB(s->format, 0, 0, 0));  // the bars
    }
    if (SDL_MUSTLOCK(s) && SDL_LockSurface(s) != 0) return false;
    const SDL_PixelFormat& f = *s->format;
    const bool direct =
        f.BytesPerPixel == 4 && f.Rmask == 0xFF0000 && f.Gmask == 0x00FF00 && f.Bmask == 0x0000FF;
    auto* origin = static_cast<uint8_t*>(s->pixels) + size_t(box.y) * size_t(s->pitch) +
                   size_t(box.x) * f.BytesPerPixel;
    std::vector<SDL_Rect> updated;
    for (const Rect& part : *changed) {
        Rect drawn;
        if (direct) {
            drawn = scaler_.Draw(frame.Row(0), frame.Width(), part,
                                 reinterpret_cast<uint32_t*>(origin), s->pitch / 4);
        } else {
            // Another pixel layout: drawn aside, then converted.
            std::vector<uint32_t>& aside = converted_;
            aside.resize(size_t(box.w) * size_t(box.h));
            drawn = scaler_.Draw(frame.Row(0), frame.Width(), part, aside.data(), box.w);
            SDL_ConvertPixels(
                drawn.w, drawn.h, SDL_PIXELFORMAT_RGB888,
                aside.data() + size_t(drawn.y) * size_t(box.w) + size_t(drawn.x), box.w * 4,
                f.format,
                origin + size_t(drawn.y) * size_t(s->pitch) + size_t(drawn.x) * f.BytesPerPixel,
                s->pitch);
        }
        if (drawn.w > 0 && drawn.h > 0)
            updated.push_back({box.x + drawn.x, box.y + drawn.y, drawn.w, drawn.h});
    }
    if (SDL_MUSTLOCK(s)) SDL_UnlockSurface(s);
    if (whole)
        SDL_UpdateWindowSurface(window_);
    else if (!updated.empty())
        SDL_UpdateWindowSurfaceRects(window_, updated.data(), int(updated.size()));
    return true;
}

void SdlWindow::ShowWithRenderer(const Surface& frame) {
    SDL_UpdateTexture(texture_, nullptr, frame.Pixels().data(), kFormWidthPx * 4);
    int w = 0, h = 0;
    SDL_GetRendererOutputSize(renderer_, &w, &h);
    const Rect box = Letterbox(w, h);
    const SDL_Rect dst{box.x, box.y, box.w, box.h};
    SDL_SetRenderTarget(renderer_, nullptr);
    SDL_SetRenderDrawColor(renderer_, 0, 0, 0, 255);
    SDL_RenderClear(renderer_);
    // Sharp scaling: every form pixel becomes an even block of k x k pixels, and only the last
    // step, which shrinks by less than one block, blends the edges between blocks.
    const int k = PrescaleFactor(w, h);
    const bool exact = box.w == kFormWidthPx * k && box.h == kFormHeightPx * k;
    if (k > 1 && !exact && SDL_RenderTargetSupported(renderer_)) {
        if (prescale_ != k) {
            if (prescaled_) SDL_DestroyTexture(prescaled_);
            prescaled_ =
                SDL_CreateTexture(renderer_, SDL_PIXELFORMAT_ARGB8888, SDL_TEXTUREACCESS_TARGET,
                                  kFormWidthPx * k, kFormHeightPx * k);
            if (prescaled_) SDL_SetTextureScaleMode(prescaled_, SDL_ScaleModeLinear);
            prescale_ = prescaled_ ? k : 0;
        }
        if (prescaled_ && SDL_SetRenderTarget(renderer_, prescaled_) == 0) {
            SDL_RenderCopy(renderer_, texture_, nullptr, nullptr);
            SDL_SetRenderTarget(renderer_, nullptr);
            SDL_RenderCopy(renderer_, prescaled_, nullptr, &dst);
            SDL_RenderPresent(renderer_);
            return;
        }
    }
    // Exact multiples stay nearest; a window smaller than the form is shrunk smoothly.
    SDL_SetTextureScaleMode(texture_,
                            k == 1 && !exact ? SDL_ScaleModeLinear : SDL_ScaleModeNearest);
    SDL_RenderCopy(renderer_, texture_, nullptr, &dst);
    SDL_SetTextureScaleMode(texture_, SDL_ScaleModeNearest);
    SDL_RenderPresent(renderer_);
}

}  // namespace zb::sdl
