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


def line_shapes(img, rect, lines, match):
    """The glyph shapes of each text line of a rectangle in turn (a proportional face lets the
    lines' glyphs overlap in columns)."""
    x, y, w, h = rect
    step = h // lines
    return [shape for i in range(lines) for shape in glyph_shapes(img, (x, y + i * step, w, step), match)]


def blue(p):
    return p[2] > 150 and p[0] < 100 and p[1] < 100


class StartUp(unittest.TestCase):
    def test_notice_then_clicks_lead_on(self):
        with harness.Session(PROGRAM) as s:
            # A fresh folder has no settings or scores: the start-up box reports it over the notice.
            s.wait_for(buttons, "the start-up box")
            s.key("Return")
            rect = harness.twips_rect(*NOTICE)
            img = s.wait_for(lambda i: not buttons(i) and i.count(rect, yellow) > 300, "the notice")
            # Three lines of 26 points (35 pixels) at the top of the label.
            notice = line_shapes(img, rect[:3] + (105,), 3, yellow)
            self.assertGreaterEqual(len(set(notice)), 5)
            for _ in range(2):
                s.click_twips(5000, 3750, settle=0.6)
            # The title menu: "かんたん" in blue on yellow.
            menu = harness.twips_rect(*EASY)
            img = s.wait_for(lambda i: len(set(glyph_shapes(i, menu, blue))) >= 3, "the title menu")
            self.assertNotEqual(line_shapes(img, rect[:3] + (105,), 3, yellow), notice)
            self.assertTrue(s.running())


if __name__ == "__main__":
    unittest.main()
