"""The game itself, started in a fresh folder: the window comes up, the start-up box (no settings
or scores there yet) answers Enter, the notice shows its Japanese text, and two clicks lead to
the title menu."""

import os
import sys
import unittest

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import harness  # noqa: E402
from test_dialogs import buttons  # noqa: E402
from test_window import glyph_shapes, yellow  # noqa: E402

PROGRAM = os.environ.get("ZB_PROGRAM", "build/zubakko")
NOTICE = (2000, 2000, 6000, 3500)  # Label(0) of the notice
EASY = (5500, 2500, 3500, 550)  # Label(0) of the title menu


def blue(p):
    return p[2] > 150 and p[0] < 100 and p[1] < 100


class StartUp(unittest.TestCase):
    def test_notice_then_clicks_lead_on(self):
        with harness.Session(PROGRAM) as s:
            img = s.form_image()
            if buttons(img):  # the start-up box: modal, over the notice
                s.key("Return")
                img = s.form_image()
            self.assertFalse(buttons(img), "the start-up box did not close")
            rect = img.region_twips(*NOTICE)
            self.assertGreater(img.count(rect, yellow), 300, "no notice")
            notice = glyph_shapes(img, rect, yellow)
            self.assertGreaterEqual(len(set(notice)), 5)
            for _ in range(2):
                s.click_twips(5000, 3750, settle=0.6)
            img = s.form_image()
            self.assertNotEqual(glyph_shapes(img, rect, yellow), notice, "the clicks did not leave the notice")
            # The title menu: "かんたん" in blue on yellow.
            menu = img.region_twips(*EASY)
            self.assertGreaterEqual(len(set(glyph_shapes(img, menu, blue))), 3, "no menu text")
            self.assertTrue(s.running())


if __name__ == "__main__":
    unittest.main()
