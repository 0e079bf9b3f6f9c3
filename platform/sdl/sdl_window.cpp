// The game's window: the form composed into a 667 x 500 picture and scaled sharply into the
// window, the event pump (the yield), and the key pump that stamps key changes.
#include <SDL.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <stdexcept>
#include <thread>

#include "platform/sdl/letterbox.hpp"
#include "platform/sdl/sdl_pads.hpp"
#include "platform/sdl/sdl_platform.hpp"
#include "platform/ttf_text.hpp"

namespace zb::sdl {

namespace {
constexpr double kKeyPumpPeriod = 0.001;  // seconds between two looks at the keys while waiting

[[noreturn]] void Fail(const char* what) {
    throw std::runtime_error(std::string(what) + ": " + SDL_GetError());
}
}  // namespace

SdlWindow::SdlWindow(Clock& clock, SdlKeyboard& keyboard) : clock_(clock), keyboard_(keyboard) {
    // The input method's composition comes as events, however long it grows.
    SDL_SetHint(SDL_HINT_IME_SUPPORT_EXTENDED_TEXT, "1");
    // SIGTERM and SIGINT end the program as they do any other; SDL would turn them into a close
    // request, which asks the player and so never ends a game nobody sits at.
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    // Without a graphics card the picture is drawn by Mesa's software rasteriser, whose worker
    // threads cost more than they save on one small picture a frame (a quarter of the play
    // screen's CPU time). Other drivers ignore this.
    setenv("LP_NUM_THREADS", "0", 0);
    if (SDL_InitSubSystem(SDL_INIT_VIDEO | SDL_INIT_EVENTS | SDL_INIT_TIMER) != 0)
        Fail("cannot open the window");
    // Without a display SDL falls back to drivers that draw nowhere; a window nobody can see is
    // refused unless such a driver was asked for by name.
    const std::string driver = SDL_GetCurrentVideoDriver() ? SDL_GetCurrentVideoDriver() : "";
    if ((driver == "offscreen" || driver == "dummy") && !SDL_getenv("SDL_VIDEODRIVER")) {
        SDL_QuitSubSystem(SDL_INIT_VIDEO | SDL_INIT_EVENTS | SDL_INIT_TIMER);
        throw std::runtime_error("cannot open the window: no display (DISPLAY is not set)");
    }
    window_ =
        SDL_CreateWindow(form_.Caption.c_str(), SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED,
                         kFormWidthPx, kFormHeightPx, SDL_WINDOW_RESIZABLE | SDL_WINDOW_HIDDEN);
    if (!window_) Fail("cannot open the window");
    renderer_ = SDL_CreateRenderer(window_, -1, SDL_RENDERER_ACCELERATED);
    if (!renderer_) renderer_ = SDL_CreateRenderer(window_, -1, SDL_RENDERER_SOFTWARE);
    if (!renderer_) Fail("cannot draw in the window");
    texture_ = SDL_CreateTexture(renderer_, SDL_PIXELFORMAT_ARGB8888, SDL_TEXTUREACCESS_STREAMING,
                                 kFormWidthPx, kFormHeightPx);
    if (!texture_) Fail("cannot draw in the window");
    SDL_SetTextureScaleMode(texture_, SDL_ScaleModeNearest);
    try {
        text_ = std::make_unique<TtfText>();
    } catch (const std::exception&) {
        text_ = std::make_unique<NullText>();  // no Japanese font: the pictures still show
    }
    SetTextInput(false);  // keys are polled; text input only inside the input box
    pads_ = std::make_unique<SdlPads>(keyboard_);
    OpenAtBestScale();
}

SdlWindow::~SdlWindow() {
    pads_.reset();
    if (prescaled_) SDL_DestroyTexture(prescaled_);
    if (texture_) SDL_DestroyTexture(texture_);
    if (renderer_) SDL_DestroyRenderer(renderer_);
    if (window_) SDL_DestroyWindow(window_);
    SDL_QuitSubSystem(SDL_INIT_VIDEO | SDL_INIT_EVENTS | SDL_INIT_TIMER);
}

void SdlWindow::Handle(const SDL_Event& e, bool dispatch) {
    switch (e.type) {
        case SDL_KEYDOWN:
        case SDL_KEYUP:
            if (FullScreenKey(e.key)) break;
            if (!e.key.repeat)
                keyboard_.OnKey(VirtualKeyFromScancode(e.key.keysym.scancode),
                                e.type == SDL_KEYDOWN, clock_.Now());
            break;
        case SDL_WINDOWEVENT:
            if (e.window.event == SDL_WINDOWEVENT_FOCUS_LOST) keyboard_.ReleaseAll();
            repaint_ = true;  // exposed, resized, restored: show the picture again
            settleUntil_ = clock_.Now() + kSettleSeconds;
            break;
        case SDL_MOUSEBUTTONUP:
            if (dispatch && e.button.button == SDL_BUTTON_LEFT && events_) {
                int w = 0, h = 0;
                SDL_GetWindowSize(window_, &w, &h);
                if (auto p = WindowToForm(w, h, e.button.x, e.button.y)) {
                    if (const auto t = HitTest(form_, p->first, p->second))
                        events_->ClickDispatch(t->source, t->index);
                }
            }
            break;
        case SDL_QUIT:
            if (dispatch && events_) events_->CloseRequested();
            break;
        default:
            if (SdlPads::IsPadEvent(e.type)) pads_->Handle(e, clock_.Now());
            break;
    }
}

void SdlWindow::DoEvents() {
    lastPump_ = clock_.Now();
    SDL_Event e;
    while (SDL_PollEvent(&e)) Handle(e, true);
    if (timer_.Due(form_.Timer1[0], clock_.Now()) && events_) events_->TimerTick();
    // Repaint at most about 120 times a second; the play loop paces itself at 60.
    if (lastPresent_ < 0 || clock_.Now() - lastPresent_ >= 1.0 / 120) Present();
}

void SdlWindow::PumpKeys() {
    lastPump_ = clock_.Now();
    SDL_PumpEvents();
    SDL_Event e;
    while (SDL_PeepEvents(&e, 1, SDL_GETEVENT, SDL_KEYDOWN, SDL_KEYUP) > 0) Handle(e, false);
    // Pad inputs and pads coming and going are stamped the same way.
    while (SDL_PeepEvents(&e, 1, SDL_GETEVENT, SDL_JOYAXISMOTION, SDL_FINGERDOWN - 1) > 0)
        Handle(e, false);
}

void SdlWindow::WaitUntil(double until) {
    // Key changes are stamped when they are pumped, so pump about once a millisecond, and sleep
    // in between: a waiting screen costs next to nothing. The pump right after the last sleep is
    // left to the DoEvents that follows every wait.
    if (clock_.Now() - lastPump_ > kKeyPumpPeriod / 2) PumpKeys();
    for (;;) {
        const double left = until - clock_.Now();
        if (left <= 0) return;
        std::this_thread::sleep_for(std::chrono::duration<double>(std::min(left, kKeyPumpPeriod)));
        if (clock_.Now() < until) PumpKeys();
    }
}

void SdlWindow::SetTextInput(bool on) {
    textInput_ = on;
    if (on)
        SDL_StartTextInput();
    else
        SDL_StopTextInput();
}

void SdlWindow::Present() {
    lastPresent_ = clock_.Now();
    if (SDL_GetWindowTitle(window_) != form_.Caption)
        SDL_SetWindowTitle(window_, form_.Caption.c_str());
    // A screen that waits for the player draws nothing: then there is nothing to compose but the
    // picture shown again once a second.
    const bool settling =
        lastPresent_ < settleUntil_ || lastPresent_ - lastShown_ >= kReshowSeconds;
    if (!snapshot_.Update(form_) && !repaint_ && !settling) return;
    ComposeForm(form_, *text_, frame_);
    if (!repaint_ && !settling && frame_.Pixels() == shown_.Pixels()) return;
    Show(frame_);
    std::swap(frame_, shown_);
}

void SdlWindow::Show(const Surface& frame) {
    repaint_ = false;
    lastShown_ = clock_.Now();
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
