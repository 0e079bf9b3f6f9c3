"""The message and input boxes of the real window: keys, clicks, typed Japanese, and what the
game sees after them."""

import os
import sys
import unittest

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import harness  # noqa: E402

PROBE = os.environ.get("ZB_WINDOW_PROBE", "build/tests/window_probe")
BUTTON_FACE = (225, 225, 225)


def buttons(img):
    """The centres of the dialog's buttons, left to right, found by their face colour. Smoothed
    text may hit that colour in a stray pixel, so a button is a block of columns and rows that
    are mostly face."""
    W, H = harness.FORM_W, harness.FORM_H
    face = img.mask(BUTTON_FACE)
    columns = [x for x in range(W) if face[x::W].count(1) >= 8]
    groups, start = [], None
    for i, x in enumerate(columns):
        if start is None:
            start = x
        if i + 1 == len(columns) or columns[i + 1] != x + 1:
            groups.append((start, x))
            start = None
    centres = []
    for x0, x1 in groups:
        ys = [y for y in range(H) if 2 * face[y * W + x0 : y * W + x1 + 1].count(1) > x1 + 1 - x0]
        if x1 - x0 >= 8 and ys:
            centres.append(((x0 + x1) // 2, (min(ys) + max(ys)) // 2))
    return centres


class Dialogs(unittest.TestCase):
    def run_probe(self, *args, act):
        with harness.Session(PROBE, args) as s:
            # Keys pressed before the dialog opens would go to the game.
            s.wait_for(buttons, "the dialog")
            act(s)
            code, out, err = s.wait_exit()
        self.assertEqual(code, 0, err)
        lines = out.splitlines()
        self.assertEqual(lines[1], "space=0000", "a key stayed down after the dialog")
        self.assertEqual(lines[2], "clicks=0", "a click went through the dialog to the game")
        return lines[0]

    def test_enter_answers_ok_and_escape_cancels(self):
        self.assertEqual(self.run_probe("okcancel", act=lambda s: s.key("Return")), "Ok")
        self.assertEqual(self.run_probe("okcancel", act=lambda s: s.key("Escape")), "Cancel")

    def test_a_close_request_inside_the_dialog_is_ignored(self):
        def close_then_ok(s):
            s.request_close()
            self.assertTrue(s.running())
            self.assertTrue(buttons(s.form_image()), "the dialog went away")
            s.key("Return")

        self.assertEqual(self.run_probe("okcancel", act=close_then_ok), "Ok")

    def test_buttons_answer_clicks_and_the_form_gets_none(self):
        def click_no(s):
            img = s.form_image()
            found = buttons(img)
            self.assertEqual(len(found), 2, "expected はい and いいえ")
            # A click on the form beside the box is dropped, not given to the game.
            s.click_twips(300, 300)
            x, y = found[1]
            s.click_twips(x * harness.TWIPS_PER_PIXEL, y * harness.TWIPS_PER_PIXEL)

        self.assertEqual(self.run_probe("yesno", act=click_no), "No")

    def test_title_is_drawn_in_the_title_bar(self):
        def look(s):
            img = s.form_image()
            # White title text on the blue title bar above the message.
            bar = [(x, y) for y in range(harness.FORM_H) for x in range(harness.FORM_W) if img.pixel(x, y) == (43, 76, 126)]
            self.assertTrue(bar, "no title bar")
            ys = [y for _, y in bar]
            x0, x1 = min(x for x, _ in bar), max(x for x, _ in bar)
            rect = (x0, min(ys), x1 - x0, max(ys) - min(ys))
            self.assertGreater(img.count(rect, lambda p: min(p) > 200), 30, "no title text")
            s.key("Return")

        self.assertEqual(self.run_probe("ok", "名前の入力", act=look), "Ok")

    def test_input_takes_typed_japanese_and_backspace_removes_one_character(self):
        def typing(s):
            s.type("abcx")
            s.key("BackSpace")
            s.type("名前ドン")
            s.key("BackSpace")
            s.key("Return")

        self.assertEqual(self.run_probe("input", act=typing), "input:abc名前ド")

    def test_cancelled_input_returns_nothing(self):
        def cancel(s):
            s.type("abc")
            s.key("Escape")

        self.assertEqual(self.run_probe("input", "題", "既定", act=cancel), "input:")

    def test_default_text_is_kept_and_edited(self):
        def edit(s):
            s.key("BackSpace")
            s.type("す")
            s.key("Return")

        self.assertEqual(self.run_probe("input", "題", "ドンかつ", act=edit), "input:ドンかす")


if __name__ == "__main__":
    unittest.main()
