#include "platform/sdl/sdl_platform.hpp"

#include <SDL.h>

#include <algorithm>
#include <ctime>
#include <stdexcept>
#include <thread>

#include "platform/ttf_text.hpp"

namespace zb::sdl {

int VirtualKeyFromScancode(int sc) {
    if (sc >= SDL_SCANCODE_A && sc <= SDL_SCANCODE_Z) return vk::A + (sc - SDL_SCANCODE_A);
    if (sc >= SDL_SCANCODE_1 && sc <= SDL_SCANCODE_9) return vk::Digit0 + 1 + (sc - SDL_SCANCODE_1);
    if (sc == SDL_SCANCODE_0) return vk::Digit0;
    if (sc >= SDL_SCANCODE_KP_1 && sc <= SDL_SCANCODE_KP_9) return vk::Numpad0 + 1 + (sc - SDL_SCANCODE_KP_1);
    if (sc >= SDL_SCANCODE_F1 && sc <= SDL_SCANCODE_F12) return 112 + (sc - SDL_SCANCODE_F1);
    switch (sc) {
        case SDL_SCANCODE_KP_0: return vk::Numpad0;
        case SDL_SCANCODE_RETURN: case SDL_SCANCODE_KP_ENTER: return vk::Enter;
        case SDL_SCANCODE_SPACE: return vk::Space;
        case SDL_SCANCODE_LEFT: return vk::Left;
        case SDL_SCANCODE_UP: return vk::Up;
        case SDL_SCANCODE_RIGHT: return vk::Right;
        case SDL_SCANCODE_DOWN: return vk::Down;
        case SDL_SCANCODE_BACKSPACE: return 8;
        case SDL_SCANCODE_TAB: return 9;
        case SDL_SCANCODE_LSHIFT: case SDL_SCANCODE_RSHIFT: return 16;
        case SDL_SCANCODE_LCTRL: case SDL_SCANCODE_RCTRL: return 17;
        case SDL_SCANCODE_LALT: case SDL_SCANCODE_RALT: return 18;
        case SDL_SCANCODE_ESCAPE: return 27;
        case SDL_SCANCODE_PAGEUP: return 33;
        case SDL_SCANCODE_PAGEDOWN: return 34;
        case SDL_SCANCODE_END: return 35;
        case SDL_SCANCODE_HOME: return 36;
        case SDL_SCANCODE_INSERT: return 45;
        case SDL_SCANCODE_DELETE: return 46;
        case SDL_SCANCODE_LGUI: return 91;
        case SDL_SCANCODE_RGUI: return 92;
        case SDL_SCANCODE_APPLICATION: return 93;
        case SDL_SCANCODE_KP_MULTIPLY: return 106;
        case SDL_SCANCODE_KP_PLUS: return 107;
        case SDL_SCANCODE_KP_MINUS: return 109;
        case SDL_SCANCODE_KP_PERIOD: return 110;
        case SDL_SCANCODE_KP_DIVIDE: return 111;
        case SDL_SCANCODE_SEMICOLON: return 186;
        case SDL_SCANCODE_EQUALS: return 187;
        case SDL_SCANCODE_COMMA: return 188;
        case SDL_SCANCODE_MINUS: return 189;
        case SDL_SCANCODE_PERIOD: return 190;
        case SDL_SCANCODE_SLASH: return 191;
        case SDL_SCANCODE_GRAVE: return 192;
        case SDL_SCANCODE_LEFTBRACKET: return 219;
        case SDL_SCANCODE_BACKSLASH: return 220;
        case SDL_SCANCODE_RIGHTBRACKET: return 221;
        case SDL_SCANCODE_APOSTROPHE: return 222;
        default: return 0;
    }
}

SdlClock::SdlClock() : freq_(SDL_GetPerformanceFrequency()) {}

double SdlClock::Now() { return double(SDL_GetPerformanceCounter()) / double(freq_); }

int64_t SdlClock::TickMs() { return int64_t(SDL_GetTicks64()); }

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

SdlWindow::SdlWindow(Clock& clock, SdlKeyboard& keyboard) : clock_(clock), keyboard_(keyboard) {
    if (SDL_InitSubSystem(SDL_INIT_VIDEO | SDL_INIT_EVENTS | SDL_INIT_TIMER) != 0)
        throw std::runtime_error(std::string("cannot open the window: ") + SDL_GetError());
    SDL_SetHint(SDL_HINT_RENDER_SCALE_QUALITY, "nearest");
    window_ = SDL_CreateWindow(form_.Caption.c_str(), SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED,
                               kFormWidthPx, kFormHeightPx, SDL_WINDOW_RESIZABLE);
    if (!window_) throw std::runtime_error(std::string("cannot open the window: ") + SDL_GetError());
    renderer_ = SDL_CreateRenderer(window_, -1, SDL_RENDERER_ACCELERATED);
    if (!renderer_) renderer_ = SDL_CreateRenderer(window_, -1, SDL_RENDERER_SOFTWARE);
    if (!renderer_) throw std::runtime_error(std::string("cannot draw in the window: ") + SDL_GetError());
    // Keeps the form's aspect ratio when the window is resized.
    SDL_RenderSetLogicalSize(renderer_, kFormWidthPx, kFormHeightPx);
    texture_ = SDL_CreateTexture(renderer_, SDL_PIXELFORMAT_ARGB8888, SDL_TEXTUREACCESS_STREAMING,
                                 kFormWidthPx, kFormHeightPx);
    try {
        text_ = std::make_unique<TtfText>();
    } catch (const std::exception&) {
        text_ = std::make_unique<NullText>();
    }
    SDL_StopTextInput();  // keys are polled; text input only inside the input box
}

SdlWindow::~SdlWindow() {
    if (texture_) SDL_DestroyTexture(texture_);
    if (renderer_) SDL_DestroyRenderer(renderer_);
    if (window_) SDL_DestroyWindow(window_);
}

std::optional<std::pair<int, int>> SdlWindow::ToForm(int x, int y) const {
    float fx = 0, fy = 0;
    SDL_RenderWindowToLogical(renderer_, x, y, &fx, &fy);
    const int ix = int(fx), iy = int(fy);
    if (ix < 0 || iy < 0 || ix >= kFormWidthPx || iy >= kFormHeightPx) return std::nullopt;
    return std::make_pair(ix, iy);
}

void SdlWindow::Handle(const SDL_Event& e, bool dispatch) {
    switch (e.type) {
        case SDL_KEYDOWN:
        case SDL_KEYUP:
            if (!e.key.repeat)
                keyboard_.OnKey(VirtualKeyFromScancode(e.key.keysym.scancode), e.type == SDL_KEYDOWN,
                                clock_.Now());
            break;
        case SDL_WINDOWEVENT:
            if (e.window.event == SDL_WINDOWEVENT_FOCUS_LOST) keyboard_.ReleaseAll();
            if (e.window.event == SDL_WINDOWEVENT_EXPOSED) lastPresent_ = -1;
            break;
        case SDL_MOUSEBUTTONUP:
            if (dispatch && e.button.button == SDL_BUTTON_LEFT && events_) {
                // The renderer has already scaled the click to form pixels (its logical size).
                const int x = e.button.x, y = e.button.y;
                if (x >= 0 && y >= 0 && x < kFormWidthPx && y < kFormHeightPx) {
                    const ClickTarget t = HitTest(form_, x, y);
                    if (!t.source.empty()) events_->ClickDispatch(t.source, t.index);
                }
            }
            break;
        case SDL_QUIT:
            if (dispatch && events_) events_->CloseRequested();
            break;
        default:
            break;
    }
}

void SdlWindow::DoEvents() {
    SDL_Event e;
    while (SDL_PollEvent(&e)) Handle(e, true);
    Timer& t = form_.Timer1[0];
    const double now = clock_.Now();
    if (t.Enabled && t.Interval > 0) {
        if (nextTimer_ < 0) nextTimer_ = now + t.Interval / 1000.0;
        if (now >= nextTimer_ && events_) {
            nextTimer_ = now + t.Interval / 1000.0;
            events_->TimerTick();
        }
    } else {
        nextTimer_ = -1;
    }
    // Repaint at most about 120 times a second; the play loop paces itself at 60.
    if (lastPresent_ < 0 || clock_.Now() - lastPresent_ >= 1.0 / 120) Present();
}

void SdlWindow::PumpKeys() {
    SDL_PumpEvents();
    SDL_Event e;
    while (SDL_PeepEvents(&e, 1, SDL_GETEVENT, SDL_KEYDOWN, SDL_KEYUP) > 0) Handle(e, false);
}

void SdlWindow::WaitUntil(double until) {
    // Key changes are stamped when they are pumped, so pump about once a millisecond.
    for (;;) {
        PumpKeys();
        const double left = until - clock_.Now();
        if (left <= 0) return;
        if (left > 0.0015)
            std::this_thread::sleep_for(std::chrono::microseconds(900));
        else
            std::this_thread::yield();
    }
}

void SdlWindow::Present() {
    ComposeForm(form_, *text_, frame_);
    SDL_UpdateTexture(texture_, nullptr, frame_.Pixels().data(), kFormWidthPx * 4);
    SDL_SetRenderDrawColor(renderer_, 0, 0, 0, 255);
    SDL_RenderClear(renderer_);
    SDL_RenderCopy(renderer_, texture_, nullptr, nullptr);
    SDL_RenderPresent(renderer_);
    if (SDL_GetWindowTitle(window_) != form_.Caption) SDL_SetWindowTitle(window_, form_.Caption.c_str());
    lastPresent_ = clock_.Now();
}

MsgResult SdlDialogs::MessageBox(const std::string& text, MsgButtons buttons, MsgIcon icon,
                                 const std::string& title) {
    std::vector<SDL_MessageBoxButtonData> b;
    if (buttons == MsgButtons::Ok) b = {{SDL_MESSAGEBOX_BUTTON_RETURNKEY_DEFAULT | SDL_MESSAGEBOX_BUTTON_ESCAPEKEY_DEFAULT, 0, "OK"}};
    if (buttons == MsgButtons::OkCancel)
        b = {{SDL_MESSAGEBOX_BUTTON_RETURNKEY_DEFAULT, 0, "OK"}, {SDL_MESSAGEBOX_BUTTON_ESCAPEKEY_DEFAULT, 1, "キャンセル"}};
    if (buttons == MsgButtons::YesNo)
        b = {{SDL_MESSAGEBOX_BUTTON_RETURNKEY_DEFAULT, 2, "はい"}, {SDL_MESSAGEBOX_BUTTON_ESCAPEKEY_DEFAULT, 3, "いいえ"}};
    const Uint32 flags = icon == MsgIcon::Error     ? SDL_MESSAGEBOX_ERROR
                         : icon == MsgIcon::Warning ? SDL_MESSAGEBOX_WARNING
                                                    : SDL_MESSAGEBOX_INFORMATION;
    SDL_MessageBoxData data{flags, window_.Handle(), title.c_str(), text.c_str(), int(b.size()), b.data(), nullptr};
    int id = 0;
    if (SDL_ShowMessageBox(&data, &id) != 0) id = buttons == MsgButtons::YesNo ? 2 : 0;
    return id == 1 ? MsgResult::Cancel : id == 2 ? MsgResult::Yes : id == 3 ? MsgResult::No : MsgResult::Ok;
}

std::string SdlDialogs::InputBox(const std::string&, const std::string&, const std::string& defaultText) {
    return defaultText;
}

}  // namespace zb::sdl
