// The game's window: the form composed into a 667 x 500 picture and scaled sharply into the
// window, the event pump (the yield), and the key pump that stamps key changes.
#include <SDL.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <condition_variable>
#include <cstdlib>
#include <mutex>
#include <stdexcept>
#include <thread>
#include <utility>

#include "platform/fault_switch.hpp"
#include "platform/sdl/letterbox.hpp"
#include "platform/sdl/sdl_pads.hpp"
#include "platform/sdl/sdl_platform.hpp"
#include "platform/ttf_text.hpp"

namespace zb::sdl {

namespace {
constexpr double kKeyPumpPeriod = 0.001;      // seconds between two looks at the keys while waiting
constexpr double kPresentPeriod = 1.0 / 120;  // the shortest time between two pictures

// The event that wakes a waiting window for the input pump (0 until the window registers it),
// and, for the play loop's millisecond sleeps, a flag it sleeps on.
std::atomic<uint32_t> gWakeEvent{0};
std::mutex gWakeMutex;
std::condition_variable gWakeCv;
bool gWoken = false;

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
    const std::string gl = AskOpenGl();  // before this process opens the display
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
    ChoosePresentPath(gl);
    try {
        text_ = std::make_unique<TtfText>();
    } catch (const std::exception&) {
        text_ = std::make_unique<NullText>();  // no Japanese font: the pictures still show
    }
    SetTextInput(false);  // keys are polled; text input only inside the input box
    if (const uint32_t wake = SDL_RegisterEvents(1); wake != uint32_t(-1)) gWakeEvent = wake;
    pads_ = std::make_unique<SdlPads>(keyboard_);
    OpenAtBestScale();
}

void SdlWindow::Wake() {
    {
        std::lock_guard lk(gWakeMutex);
        gWoken = true;
    }
    gWakeCv.notify_one();
    // SDL's event queue takes events from any thread.
    if (const uint32_t type = gWakeEvent.load()) {
        SDL_Event e{};
        e.type = type;
        SDL_PushEvent(&e);
    }
}

SdlWindow::~SdlWindow() {
    gWakeEvent = 0;
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
                    if (const auto t = HitTest(form_, p->first, p->second)) {
                        events_->ClickDispatch(t->source, t->index);
                        handed_ = true;
                    }
                }
            }
            break;
        case SDL_TEXTINPUT:
            if (textInput_) typed_ += e.text.text;
            composing_.clear();
            break;
        case SDL_TEXTEDITING:
            if (textInput_) composing_ = e.edit.text;
            break;
        case SDL_TEXTEDITING_EXT:
            if (textInput_) composing_ = e.editExt.text ? e.editExt.text : "";
            SDL_free(e.editExt.text);
            break;
        case SDL_QUIT:
            if (dispatch && events_) {
                events_->CloseRequested();
                handed_ = true;
            }
            break;
        default:
            if (SdlPads::IsPadEvent(e.type)) pads_->Handle(e, clock_.Now());
            break;
    }
}

void SdlWindow::DoEvents() {
    lastPump_ = clock_.Now();
    if (inputPump_) inputPump_();
    SDL_Event e;
    while (SDL_PollEvent(&e)) Handle(e, true);
    if (timer_.Due(form_.Timer1[0], clock_.Now()) && events_) {
        events_->TimerTick();
        handed_ = true;
    }
    // Repaint at most about 120 times a second; the play loop paces itself at 60. A picture is
    // owed only when the form changed: a menu that yields twice in a row must not wake again
    // for a picture that would be the same.
    if (lastPresent_ < 0 || clock_.Now() - lastPresent_ >= kPresentPeriod)
        Present();
    else if (!presentOwed_)
        presentOwed_ = snapshot_.Differs(form_);
}

bool SdlWindow::PumpKeys() {
    lastPump_ = clock_.Now();
    SDL_PumpEvents();
    SDL_Event e;
    bool any = false;
    while (SDL_PeepEvents(&e, 1, SDL_GETEVENT, SDL_KEYDOWN, SDL_KEYUP) > 0) {
        Handle(e, false);
        any = true;
    }
    // Pad inputs and pads coming and going are stamped the same way.
    while (SDL_PeepEvents(&e, 1, SDL_GETEVENT, SDL_JOYAXISMOTION, SDL_FINGERDOWN - 1) > 0) {
        Handle(e, false);
        any = true;
    }
    // The other inputs were stamped when they arrived; a wake that comes after this look stays
    // queued and wakes the next wait.
    if (inputPump_) {
        if (const uint32_t wake = gWakeEvent.load()) SDL_FlushEvent(wake);
        if (inputPump_()) any = true;
    }
    return any;
}

void SdlWindow::WaitForEvent(double until) {
    if (std::exchange(handed_, false)) return;
    // What the game changed since the last yield is owed: the wait ends in time to show it.
    if (!presentOwed_) presentOwed_ = snapshot_.Differs(form_);
    for (;;) {
        if (PumpKeys() || SDL_HasEvents(SDL_FIRSTEVENT, SDL_LASTEVENT)) return;
        const double now = clock_.Now();
        double wake = until;
        if (timer_.Next() >= 0) wake = std::min(wake, timer_.Next());
        if (presentOwed_) wake = std::min(wake, lastPresent_ + kPresentPeriod);
        wake = std::min(wake, lastShown_ + kReshowSeconds);
        // A window that just changed gets the picture again for a while (see Present).
        if (now < settleUntil_) wake = std::min(wake, now + 2 * kPresentPeriod);
        if (wake <= now) return;
        if (beforeSleep_) beforeSleep_();
        // SDL sleeps on the display's connection until an event comes or the time is up; with
        // game controllers open it looks every millisecond instead.
        SDL_WaitEventTimeout(nullptr, int(std::min(std::ceil((wake - now) * 1000), 1e6)));
    }
}

void SdlWindow::WaitUntil(double until) {
    // Key changes are stamped when they are pumped. SDL reads pads only when pumped, so while
    // one is open the wait pumps about once a millisecond and sleeps in between. Otherwise it
    // sleeps on the window's events and stamps a key the moment its event wakes it; another
    // event (a click, the mouse) ends the wait early for the loop to take it.
    if (clock_.Now() - lastPump_ > kKeyPumpPeriod / 2) PumpKeys();
    if (pads_->Any()) {
        for (;;) {
            const double left = until - clock_.Now();
            if (left <= 0) return;
            {
                // An input for the pump (a kit's stroke) cuts the sleep short: its sound starts
                // now.
                std::unique_lock lk(gWakeMutex);
                gWakeCv.wait_for(lk, std::chrono::duration<double>(std::min(left, kKeyPumpPeriod)),
                                 [] { return gWoken; });
                gWoken = false;
            }
            if (clock_.Now() < until) PumpKeys();
        }
    }
    for (;;) {
        if (SDL_HasEvents(SDL_FIRSTEVENT, SDL_LASTEVENT)) return;
        const double left = until - clock_.Now();
        if (left <= 0) return;
        const int wholeMs = int(std::min(std::floor(left * 1000), 1e6));
        if (wholeMs >= 1) {
            SDL_WaitEventTimeout(nullptr, wholeMs);
        } else {
            std::this_thread::sleep_for(std::chrono::duration<double>(left));
        }
        PumpKeys();
    }
}

void SdlWindow::SetTextInput(bool on) {
    textInput_ = on;
    composing_.clear();
    if (on)
        SDL_StartTextInput();
    else
        SDL_StopTextInput();
}

void SdlWindow::Present() {
    lastPresent_ = clock_.Now();
    presentOwed_ = false;
    if (SDL_GetWindowTitle(window_) != form_.Caption)
        SDL_SetWindowTitle(window_, form_.Caption.c_str());
    // A screen that waits for the player draws nothing: then there is nothing to compose but the
    // picture shown again once a second.
    const bool settling =
        lastPresent_ < settleUntil_ || lastPresent_ - lastShown_ >= kReshowSeconds;
    // Only the parts of the form that changed are composed and shown again: in play that is the
    // lane and what the strikes change, not the whole picture sixty times a second.
    std::vector<Rect> changed;
    if (!snapshot_.Update(form_, &changed) && !repaint_ && !settling) return;
    try {
        fault::Trip(fault::Place::Draw);
        if (repaint_ || settling || frame_.Empty()) {
            ComposeForm(form_, *text_, frame_);
            if (!Show(frame_, nullptr)) repaint_ = true;
            return;
        }
        if (changed.empty()) return;
        for (const Rect& r : changed) ComposeArea(form_, *text_, frame_, r);
        if (!Show(frame_, &changed)) repaint_ = true;
    } catch (...) {
        // The snapshot already counts this picture as shown: the next one is drawn whole. What
        // was thrown (a font that cannot be opened) goes on to the main loop's boundary.
        repaint_ = true;
        throw;
    }
}

}  // namespace zb::sdl
