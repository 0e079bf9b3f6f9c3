// The message box and the input box, drawn on the form by the window that shows them. Pure
// state and drawing: the window feeds it keys, typed text, the input method's composition and
// mouse clicks in form pixels, and shows Draw() until Done().
#pragma once

#include <string>
#include <vector>

#include "platform/compose.hpp"
#include "platform/ports.hpp"

namespace zb {

class DialogBox {
  public:
    enum class Key { Enter, Escape, Tab, Left, Right, Space, Backspace };

    static DialogBox Message(std::string text, MsgButtons buttons, MsgIcon icon, std::string title);
    static DialogBox Input(std::string prompt, std::string title, std::string defaultText);

    // Places the box in the middle of a frame of the given size; call before anything else.
    void Layout(TextRenderer& text, int frameW = kFormWidthPx, int frameH = kFormHeightPx);

    void KeyDown(Key key);
    // Text the player typed or the input method committed.
    void TextInput(const std::string& utf8);
    // The input method's text still being composed (empty when none).
    void Composition(const std::string& utf8);
    void MouseDown(int x, int y);
    void MouseUp(int x, int y);

    void Draw(Surface& frame, TextRenderer& text, bool caretOn) const;

    bool Done() const { return done_; }
    MsgResult Result() const { return result_; }
    // The input box's answer: the text when confirmed, the empty string when cancelled.
    std::string Answer() const { return result_ == MsgResult::Ok ? text_ : std::string(); }
    const std::string& Text() const { return text_; }
    const std::string& CompositionText() const { return composition_; }
    bool IsInput() const { return input_; }

    const Rect& Box() const { return box_; }
    const Rect& Field() const { return field_; }
    int ButtonCount() const { return int(buttons_.size()); }
    const Rect& ButtonRect(int i) const { return buttons_[size_t(i)].rect; }
    int Focus() const { return focus_; }

    static constexpr int kMaxInputCodePoints = 255;

  private:
    struct Button {
        std::string caption;
        MsgResult result;
        Rect rect;
    };
    DialogBox() = default;
    void Finish(MsgResult r);
    void DrawField(Surface& frame, TextRenderer& text, bool caretOn) const;

    bool input_ = false;
    std::string message_, title_;
    MsgIcon icon_ = MsgIcon::None;
    std::vector<Button> buttons_;
    int focus_ = 0;     // the button that Enter and Space press
    int cancel_ = 0;    // the button that Escape presses
    int pressed_ = -1;  // the button under a held mouse button
    std::string text_, composition_;
    bool done_ = false;
    MsgResult result_ = MsgResult::Ok;

    Rect box_, titleBar_, messageRect_, iconRect_, field_;
};

}  // namespace zb
