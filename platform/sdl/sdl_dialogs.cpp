// Message and input boxes drawn inside the game's window with the game's Japanese font, run as
// modal loops: the window stays painted, the game gets no clicks, and closing is refused.
#include <SDL.h>

#include "platform/sdl/letterbox.hpp"
#include "platform/sdl/sdl_pads.hpp"
#include "platform/sdl/sdl_platform.hpp"

namespace zb::sdl {

namespace {

// A window point as a form pixel; points on the bars land outside every button.
std::pair<int, int> ToForm(SDL_Window* window, int x, int y) {
    int w = 0, h = 0;
    SDL_GetWindowSize(window, &w, &h);
    return WindowToForm(w, h, x, y).value_or(std::make_pair(-1, -1));
}

void Key(DialogBox& box, const SDL_KeyboardEvent& k) {
    switch (k.keysym.scancode) {
        case SDL_SCANCODE_RETURN:
        case SDL_SCANCODE_KP_ENTER:
            if (!k.repeat) box.KeyDown(DialogBox::Key::Enter);
            break;
        case SDL_SCANCODE_ESCAPE:
            if (!k.repeat) box.KeyDown(DialogBox::Key::Escape);
            break;
        case SDL_SCANCODE_SPACE:
            if (!k.repeat) box.KeyDown(DialogBox::Key::Space);
            break;
        case SDL_SCANCODE_TAB:
            box.KeyDown(DialogBox::Key::Tab);
            break;
        case SDL_SCANCODE_LEFT:
            box.KeyDown(DialogBox::Key::Left);
            break;
        case SDL_SCANCODE_RIGHT:
            box.KeyDown(DialogBox::Key::Right);
            break;
        case SDL_SCANCODE_BACKSPACE:
            box.KeyDown(DialogBox::Key::Backspace);
            break;
        case SDL_SCANCODE_V:
            if ((k.keysym.mod & KMOD_CTRL) && box.IsInput() && SDL_HasClipboardText()) {
                char* clip = SDL_GetClipboardText();
                box.TextInput(clip ? clip : "");
                SDL_free(clip);
            }
            break;
        default:
            break;
    }
}

}  // namespace

void SdlWindow::RunModal(DialogBox& box) {
    box.Layout(*text_);
    ComposeForm(form_, *text_, frame_);
    const Surface backdrop = frame_;
    if (box.IsInput()) {
        int w = 0, h = 0;
        SDL_GetWindowSize(window_, &w, &h);
        const Rect f = FormToWindow(w, h, box.Field());
        SDL_Rect r{f.x, f.y, f.w, f.h};
        SDL_SetTextInputRect(&r);
        SetTextInput(true);
    }
    bool dirty = true, caretOn = true;
    double caretFlip = clock_.Now() + 0.5;
    while (!box.Done()) {
        SDL_Event e;
        if (SDL_WaitEventTimeout(&e, 40)) {
            do {
                dirty = true;
                switch (e.type) {
                    case SDL_KEYDOWN:
                        if (!FullScreenKey(e.key)) Key(box, e.key);
                        caretOn = true;
                        break;
                    case SDL_KEYUP:
                        FullScreenKey(e.key);
                        break;
                    case SDL_TEXTINPUT:
                        box.TextInput(e.text.text);
                        break;
                    case SDL_TEXTEDITING:
                        box.Composition(e.edit.text);
                        break;
                    case SDL_TEXTEDITING_EXT:
                        box.Composition(e.editExt.text ? e.editExt.text : "");
                        SDL_free(e.editExt.text);
                        break;
                    case SDL_MOUSEBUTTONDOWN:
                    case SDL_MOUSEBUTTONUP:
                        if (e.button.button == SDL_BUTTON_LEFT) {
                            const auto [x, y] = ToForm(window_, e.button.x, e.button.y);
                            if (e.type == SDL_MOUSEBUTTONDOWN)
                                box.MouseDown(x, y);
                            else
                                box.MouseUp(x, y);
                        }
                        break;
                    case SDL_WINDOWEVENT:
                        settleUntil_ = clock_.Now() + kSettleSeconds;
                        break;
                    default:
                        // A pad answers as the keys do: OK (the chosen button), back, the arrows.
                        if (SdlPads::IsPadEvent(e.type)) {
                            switch (pads_->Handle(e, clock_.Now())) {
                                case vk::Enter:
                                    box.KeyDown(DialogBox::Key::Enter);
                                    break;
                                case pad::kBack:
                                    box.KeyDown(DialogBox::Key::Escape);
                                    break;
                                case vk::Left:
                                    box.KeyDown(DialogBox::Key::Left);
                                    break;
                                case vk::Right:
                                    box.KeyDown(DialogBox::Key::Right);
                                    break;
                                default:
                                    break;
                            }
                        }
                        break;  // close requests and clicks on the form are dropped
                }
            } while (!box.Done() && SDL_PollEvent(&e));
        }
        if (clock_.Now() >= caretFlip) {
            caretOn = !caretOn;
            caretFlip = clock_.Now() + 0.5;
            dirty = dirty || box.IsInput();
        }
        if ((dirty || clock_.Now() < settleUntil_) && !box.Done()) {
            frame_ = backdrop;
            box.Draw(frame_, *text_, caretOn);
            Show(frame_, nullptr);
            dirty = false;
        }
    }
    if (box.IsInput()) SetTextInput(false);
    keyboard_.Reset();
    repaint_ = true;
    Present();
}

MsgResult SdlDialogs::MessageBox(const std::string& text, MsgButtons buttons, MsgIcon icon,
                                 const std::string& title) {
    DialogBox box = DialogBox::Message(text, buttons, icon, title);
    window_.RunModal(box);
    return box.Result();
}

std::string SdlDialogs::InputBox(const std::string& prompt, const std::string& title,
                                 const std::string& defaultText) {
    DialogBox box = DialogBox::Input(prompt, title, defaultText);
    window_.RunModal(box);
    return box.Answer();
}

}  // namespace zb::sdl
