// The real platform: an SDL window that shows the form scaled into a resizable window, the
// keyboard with virtual-key codes, the monotonic clock, and message and input boxes.
#pragma once

#include <map>
#include <memory>
#include <optional>
#include <string>

#include "platform/compose.hpp"
#include "platform/ports.hpp"

struct SDL_Window;
struct SDL_Renderer;
struct SDL_Texture;
union SDL_Event;

namespace zb::sdl {

// Maps an SDL scancode to the Windows virtual-key code that config.dat stores (0 if none).
int VirtualKeyFromScancode(int scancode);

class SdlClock : public Clock {
public:
    SdlClock();
    double Now() override;
    int64_t TickMs() override;
    TimeOfDay LocalTime() override;

private:
    uint64_t freq_;
};

class SdlKeyboard : public Keyboard {
public:
    uint16_t GetAsyncKeyState(int vkCode) override;
    std::optional<double> LastDownTime(int vkCode) override;
    void OnKey(int vkCode, bool down, double at);
    void ReleaseAll();  // focus lost: no key stays down

private:
    struct KeyState {
        bool down = false;
        bool pressedSince = false;
        std::optional<double> lastDown;
    };
    std::map<int, KeyState> keys_;
};

class SdlWindow : public Window {
public:
    SdlWindow(Clock& clock, SdlKeyboard& keyboard);
    ~SdlWindow() override;
    MainForm& Form() override { return form_; }
    void SetEvents(FormEvents* events) override { events_ = events; }
    void DoEvents() override;
    void WaitUntil(double clockSeconds) override;
    void Present() override;

    SDL_Window* Handle() { return window_; }
    TextRenderer& Text() { return *text_; }
    // Where a window pixel lies on the 667 x 500 form, or nullopt outside it.
    std::optional<std::pair<int, int>> ToForm(int x, int y) const;

private:
    void Handle(const SDL_Event& e, bool dispatch);
    void PumpKeys();

    Clock& clock_;
    SdlKeyboard& keyboard_;
    MainForm form_;
    FormEvents* events_ = nullptr;
    SDL_Window* window_ = nullptr;
    SDL_Renderer* renderer_ = nullptr;
    SDL_Texture* texture_ = nullptr;
    std::unique_ptr<TextRenderer> text_;
    Surface frame_;
    double lastPresent_ = -1;
    double nextTimer_ = -1;
};

class SdlDialogs : public Dialogs {
public:
    explicit SdlDialogs(SdlWindow& window) : window_(window) {}
    MsgResult MessageBox(const std::string& text, MsgButtons buttons, MsgIcon icon,
                         const std::string& title) override;
    std::string InputBox(const std::string& prompt, const std::string& title,
                         const std::string& defaultText) override;

private:
    SdlWindow& window_;
};

}  // namespace zb::sdl
