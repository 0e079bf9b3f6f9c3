// The message and input boxes' behaviour: which key or click answers what, typing with an input
// method, Backspace by whole characters, and a layout that fits the form.
#include "platform/dialog_box.hpp"

#include <gtest/gtest.h>

#include "platform/ttf_text.hpp"

namespace zb {

namespace {
using Key = DialogBox::Key;

DialogBox Laid(DialogBox d) {
    NullText text;
    d.Layout(text);
    return d;
}

void ClickOn(DialogBox& d, const Rect& r) {
    d.MouseDown(r.x + r.w / 2, r.y + r.h / 2);
    d.MouseUp(r.x + r.w / 2, r.y + r.h / 2);
}
}  // namespace

TEST(DialogBox, KeysAnswerTheMessageBox) {
    struct Case {
        MsgButtons buttons;
        std::vector<Key> keys;
        MsgResult result;
    };
    const Case cases[] = {
        {MsgButtons::Ok, {Key::Enter}, MsgResult::Ok},
        {MsgButtons::Ok, {Key::Escape}, MsgResult::Ok},
        {MsgButtons::OkCancel, {Key::Enter}, MsgResult::Ok},
        {MsgButtons::OkCancel, {Key::Escape}, MsgResult::Cancel},
        {MsgButtons::OkCancel, {Key::Tab, Key::Enter}, MsgResult::Cancel},
        {MsgButtons::OkCancel, {Key::Right, Key::Right, Key::Space}, MsgResult::Ok},
        {MsgButtons::OkCancel, {Key::Left, Key::Enter}, MsgResult::Cancel},
        {MsgButtons::YesNo, {Key::Enter}, MsgResult::Yes},
        {MsgButtons::YesNo, {Key::Escape}, MsgResult::No},
        {MsgButtons::YesNo, {Key::Backspace, Key::Tab, Key::Space}, MsgResult::No},
    };
    for (const Case& c : cases) {
        DialogBox d =
            Laid(DialogBox::Message("終了しますか？", c.buttons, MsgIcon::Question, "題"));
        for (Key k : c.keys) {
            EXPECT_FALSE(d.Done());
            d.KeyDown(k);
        }
        EXPECT_TRUE(d.Done());
        EXPECT_EQ(d.Result(), c.result) << int(c.buttons) << " after " << c.keys.size() << " keys";
        d.KeyDown(Key::Escape);  // the first answer stays
        EXPECT_EQ(d.Result(), c.result);
    }
}

TEST(DialogBox, AButtonIsPressedByAClickThatStartsAndEndsOnIt) {
    DialogBox d = Laid(DialogBox::Message("質問", MsgButtons::YesNo, MsgIcon::None, "題"));
    ASSERT_EQ(d.ButtonCount(), 2);
    const Rect yes = d.ButtonRect(0), no = d.ButtonRect(1);
    EXPECT_GE(no.x, yes.x + yes.w) << "side by side";
    d.MouseDown(yes.x + 2, yes.y + 2);
    d.MouseUp(no.x + 2, no.y + 2);  // dragged off: nothing
    EXPECT_FALSE(d.Done());
    d.MouseDown(5, 5);  // outside the box
    d.MouseUp(5, 5);
    EXPECT_FALSE(d.Done());
    ClickOn(d, no);
    EXPECT_TRUE(d.Done());
    EXPECT_EQ(d.Result(), MsgResult::No);
}

TEST(DialogBox, InputTakesTypedAndComposedTextAndBackspacesWholeCharacters) {
    DialogBox d =
        Laid(DialogBox::Input("名前を入力してください。\r\n（１２文字以内）", "名前の入力", ""));
    d.TextInput("ab");
    d.Composition("なまえ");  // still being composed: not part of the text yet
    EXPECT_EQ(d.Text(), "ab");
    d.KeyDown(Key::Enter);  // the input method's Enter, not the box's
    d.KeyDown(Key::Backspace);
    EXPECT_FALSE(d.Done());
    EXPECT_EQ(d.Text(), "ab");
    d.Composition("");
    d.TextInput("名前");
    d.TextInput("🥁");  // four bytes
    EXPECT_EQ(d.Text(), "ab名前🥁");
    d.KeyDown(Key::Backspace);
    EXPECT_EQ(d.Text(), "ab名前");
    d.KeyDown(Key::Backspace);
    EXPECT_EQ(d.Text(), "ab名");
    d.KeyDown(Key::Space);  // a space arrives as text, not as a button press
    d.KeyDown(Key::Tab);
    EXPECT_FALSE(d.Done());
    d.TextInput("x\r\ny\t");  // pasted line breaks and tabs are dropped
    d.KeyDown(Key::Enter);
    EXPECT_TRUE(d.Done());
    EXPECT_EQ(d.Answer(), "ab名xy");
}

TEST(DialogBox, CancelledInputAnswersNothingAndTheDefaultIsEditable) {
    DialogBox a = Laid(DialogBox::Input("?", "題", "既定"));
    EXPECT_EQ(a.Text(), "既定");
    a.KeyDown(Key::Escape);
    EXPECT_EQ(a.Result(), MsgResult::Cancel);
    EXPECT_EQ(a.Answer(), "");
    DialogBox b = Laid(DialogBox::Input("?", "題", "既定"));
    b.KeyDown(Key::Backspace);
    ClickOn(b, b.ButtonRect(0));
    EXPECT_EQ(b.Answer(), "既");
    DialogBox c = Laid(DialogBox::Input("?", "題", "x"));
    ClickOn(c, c.ButtonRect(1));
    EXPECT_EQ(c.Answer(), "");
    // Backspace on an empty field does nothing harmful.
    DialogBox e = Laid(DialogBox::Input("?", "題", ""));
    e.KeyDown(Key::Backspace);
    EXPECT_EQ(e.Text(), "");
}

TEST(DialogBox, InputIsLimitedTo255Characters) {
    DialogBox d = Laid(DialogBox::Input("?", "題", ""));
    for (int i = 0; i < 300; ++i) d.TextInput("ド");
    EXPECT_EQ(d.Text().size(), 255u * 3u);
}

TEST(DialogBox, LayoutFitsTheFormAndKeepsTheFieldAboveTheButtons) {
    TtfText text;
    const std::string longPrompt =
        "インターネットランキングで使用する名前を入力してください。\r\n"
        "（１２文字以内、コロンとセミコロン使用不可）\r\n\r\n"
        "※ＩＭＥが起動した状態でゲームを始めるとキーを押すたびに文字入力画面になるので、"
        "名前入力後は「半角/全角」キーを押すなどしてＩＭＥが起動していない状態にすることをおすすめ"
        "します。";
    std::string huge;
    for (int i = 0; i < 60; ++i) huge += longPrompt;
    for (const std::string& prompt : {std::string("?"), longPrompt, huge}) {
        DialogBox d = DialogBox::Input(prompt, "名前の入力", "");
        d.Layout(text);
        const Rect b = d.Box(), f = d.Field();
        EXPECT_GE(b.x, 0);
        EXPECT_GE(b.y, 0);
        EXPECT_LE(b.x + b.w, kFormWidthPx);
        EXPECT_LE(b.y + b.h, kFormHeightPx);
        EXPECT_LE(f.y + f.h, d.ButtonRect(0).y);
        EXPECT_GT(f.w, 300);
        Surface frame(kFormWidthPx, kFormHeightPx);
        d.Draw(frame, text, true);  // draws within the frame, whatever the prompt
    }
    DialogBox m = DialogBox::Message(huge, MsgButtons::OkCancel, MsgIcon::Error, "題");
    m.Layout(text);
    EXPECT_LE(m.Box().y + m.Box().h, kFormHeightPx);
    EXPECT_LE(m.Box().x + m.Box().w, kFormWidthPx);
}

TEST(DialogBox, DrawsTheTitleTheMessageAndTheTypedText) {
    TtfText text;
    DialogBox d = DialogBox::Input("名前", "名前の入力", "ドン");
    d.Layout(text);
    Surface frame(kFormWidthPx, kFormHeightPx, colors::Blue);
    d.Draw(frame, text, false);
    // Black text on white, smoothed: its dark pixels.
    auto countBlack = [&](const Rect& r) {
        int n = 0;
        for (int y = r.y; y < r.y + r.h; ++y)
            for (int x = r.x; x < r.x + r.w; ++x) n += (frame.Pixel(x, y) & 0x808080) == 0;
        return n;
    };
    const Rect f = d.Field();
    const int typed = countBlack({f.x + 1, f.y + 1, f.w - 2, f.h - 2});
    EXPECT_GT(typed, 10);
    d.TextInput("ドンドン");
    d.Draw(frame, text, false);
    EXPECT_GT(countBlack({f.x + 1, f.y + 1, f.w - 2, f.h - 2}), typed * 2);
    EXPECT_EQ(frame.At(0, 0), colors::Blue) << "the form around the box is left";
    EXPECT_EQ(frame.At(d.Box().x + 1, d.Box().y + d.Box().h - 2), Color::Rgb(240, 240, 240));
}

}  // namespace zb
