// The real platform: an SDL window that shows the form scaled into a resizable window, the
// keyboard with virtual-key codes, the monotonic clock, and message and input boxes drawn in the
// window itself (so Japanese text and input methods work everywhere).
#pragma once

#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "platform/compose.hpp"
#include "platform/dialog_box.hpp"
#include "platform/key_states.hpp"
#include "platform/ports.hpp"
#include "platform/sdl/sharp_scale.hpp"
#include "platform/timer_schedule.hpp"

struct SDL_Window;
struct SDL_Renderer;
struct SDL_Texture;
union SDL_Event;
struct SDL_KeyboardEvent;

namespace zb::sdl {

class SdlPads;

// Maps an SDL scancode to the Windows virtual-key code that config.dat stores (0 if none).
int VirtualKeyFromScancode(int scancode);

class SdlClock : public Clock {
  public:
    SdlClock();
    double Now() override;
    int64_t TickMs() override;
    TimeOfDay LocalTime() override;
    CalendarDate LocalDate() override;

  private:
    uint64_t freq_;
};

// The window reports the key changes it pumps (OnKey), stamped when it sees them.
class SdlKeyboard : public KeyStateKeyboard {};

class SdlWindow : public Window {
  public:
    // Throws std::runtime_error when no window can be opened (no display).
    SdlWindow(Clock& clock, SdlKeyboard& keyboard);
    ~SdlWindow() override;
    // Called whenever a waiting screen is about to sleep (the audio device rests then).
    void SetBeforeSleep(std::function<void()> hook) { beforeSleep_ = std::move(hook); }
    // Another source of inputs (the MIDI kits), looked at whenever the keys are: `pump` hands
    // what arrived to the keyboard and says whether anything did.
    void SetInputPump(std::function<bool()> pump) { inputPump_ = std::move(pump); }
    // Wakes the window's wait from any thread: an input arrived for the pump.
    static void Wake();
    SdlWindow(const SdlWindow&) = delete;
    SdlWindow& operator=(const SdlWindow&) = delete;

    MainForm& Form() override { return form_; }
    void SetEvents(FormEvents* events) override { events_ = events; }
    void DoEvents() override;
    void WaitUntil(double clockSeconds) override;
    void WaitForEvent(double clockSeconds) override;
    // Shows the form now (skipped when the picture is the one already shown).
    void Present() override;
    void SetTextInput(bool on) override;
    bool TextInput() const override { return textInput_; }
    std::string TakeText() override { return std::exchange(typed_, {}); }
    std::string Composition() const override { return composing_; }

    // Runs a dialog over the form until it is answered. Clicks meant for the game and close
    // requests are dropped meanwhile, and no key stays down afterwards. A pad's OK and back
    // buttons answer it as Enter and Escape do.
    void RunModal(DialogBox& box);

    TextRenderer& Text() override { return *text_; }
    // How the picture reaches the window, in words (for the start-up line and the benchmarks).
    const std::string& PresentPath() const { return presentPath_; }
    SDL_Window* Handle() { return window_; }

    // Between the window and a full screen of the desktop's size (the form letterboxed in it);
    // back in the window, the size and place it had before.
    void ToggleFullScreen();

  private:
    // Sizes the window by the largest whole scale that fits the display, centres and shows it.
    void OpenAtBestScale();
    // F11 and Alt+Enter toggle the full screen; true for them (and for their release), which
    // the game never sees.
    bool FullScreenKey(const SDL_KeyboardEvent& k);
    void Handle(const SDL_Event& e, bool dispatch);
    // Takes the key changes that arrived, stamping them now; true if there were any.
    bool PumpKeys();
    // What OpenGL draws with here ("" when it cannot be had), asked in a child process so that
    // this one never loads a software rasteriser it will not use; "cpu"/"opengl" when
    // ZUBAKKO_PRESENT asks for a path. Called before the display is opened.
    static std::string AskOpenGl();
    // Picks how pictures reach the window, once (window_present.cpp): OpenGL where a graphics
    // card draws it, otherwise the CPU into the window's own surface. Says which on stderr.
    void ChoosePresentPath(const std::string& gl);
    // Shows a 667 x 500 picture in the window, scaled: only the `changed` parts of it where the
    // window shows the rest already; every pixel for null. False when the window has no surface.
    bool Show(const Surface& frame, const std::vector<Rect>* changed);
    void ShowWithRenderer(const Surface& frame);
    bool ShowOnSurface(const Surface& frame, const std::vector<Rect>* changed);

    Clock& clock_;
    SdlKeyboard& keyboard_;
    MainForm form_;
    FormEvents* events_ = nullptr;
    SDL_Window* window_ = nullptr;
    SDL_Renderer* renderer_ = nullptr;  // null: the CPU draws into the window's surface
    SDL_Texture* texture_ = nullptr;    // the form, 667 x 500
    SDL_Texture* prescaled_ = nullptr;  // the form enlarged by a whole factor
    int prescale_ = 0;
    SharpScaler scaler_;
    int surfaceW_ = 0, surfaceH_ = 0;  // the surface's size when it was last drawn whole
    std::vector<uint32_t> converted_;  // for a surface whose pixels are laid out otherwise
    std::unique_ptr<TextRenderer> text_;
    Surface frame_;          // the picture the window shows
    Surface shown_;          // what the window's surface holds, drawn on the CPU (frame_ as shown)
    FormSnapshot snapshot_;  // what the form looked like when it was last composed
    bool repaint_ = true;    // the window needs the picture again even if unchanged
    // Until then the picture is shown again on every pass: a window just resized, shown or put
    // in the full screen may drop the first pictures it gets while the display catches up.
    static constexpr double kSettleSeconds = 0.25;
    double settleUntil_ = 0;
    // A display kept busy past the settling drops those too: an unchanged picture is shown again
    // this often, so that no window stays blank for longer.
    static constexpr double kReshowSeconds = 1.0;
    double lastShown_ = -1;
    Rect windowed_;            // the window's place and size before the full screen
    std::set<int> swallowed_;  // scancodes whose press toggled the full screen
    double lastPresent_ = -1;
    bool presentOwed_ = false;  // a yield came too soon after a picture to show the next one
    bool handed_ = false;       // the last yield gave the game a click, a close or a tick
    double lastPump_ = -1;      // when the events were last pumped
    bool textInput_ = false;
    std::string typed_;      // committed text not yet taken
    std::string composing_;  // the input method's text not yet committed
    TimerSchedule timer_;
    std::unique_ptr<SdlPads> pads_;
    std::string presentPath_;
    std::function<void()> beforeSleep_;
    std::function<bool()> inputPump_;
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
