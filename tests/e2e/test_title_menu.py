"""The game from its launch to the title menu and out again: in a fresh folder the start-up box,
the notice with its Japanese text, two clicks to the title with its yellow background and the
short menu; the full menu once the hard course has reached a million points, and the question
when the window is closed."""

import os
import struct
import sys
import unittest

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import harness  # noqa: E402
from test_dialogs import buttons  # noqa: E402
from test_window import glyph_shapes  # noqa: E402
from test_window import yellow as text_yellow  # noqa: E402

PROGRAM = os.environ.get("ZB_PROGRAM", "build/zubakko")

NOTICE = (2000, 2000, 6000, 3500)
CLICK_START = (5000, 4500, 3000, 1000)
# The title items, by label: left 5500, 3500 x 550, at these tops.
SHORT_TOPS = {0: 2500, 1: 3500, 2: 4500}
FULL_TOPS = {0: 2400, 1: 2950, 3: 3500, 4: 4050, 5: 4600, 2: 5150}
DEFAULT_CONFIG = struct.pack("<10h", 97, 98, 100, 101, 9, 0, -600, 0, 1, 0)
RANKING = b"1234567:someone:1:2:;\r\n"


def yellow(p):
    return p[0] > 200 and p[1] > 200 and p[2] < 60


def red(p):
    return p[0] > 200 and p[1] < 60 and p[2] < 60


def blue(p):
    return p[2] > 150 and p[0] < 90 and p[1] < 90


def black(p):
    return max(p) < 40


def scores(course1):
    """A score.dat: 74 little-endian items, CourseHighScores(1) at item 1."""
    items = [0] * 74
    items[1] = course1
    return struct.pack("<74i", *items)


def line_shapes(img, rect, lines, match):
    """The glyph shapes of each text line of a rectangle in turn (a proportional face lets the
    lines' glyphs overlap in columns)."""
    x, y, w, h = rect
    step = h // lines
    return [shape for i in range(lines) for shape in glyph_shapes(img, (x, y + i * step, w, step), match)]


def item_rect(top):
    return harness.twips_rect(5500, top, 3500, 550)


def ink(img, top):
    """A menu item's text as a bitmap cropped to its ink (rows clear of the label's edges)."""
    x0, y0, w, h = item_rect(top)
    rows = [tuple(blue(img.pixel(x, y)) for x in range(x0, x0 + w)) for y in range(y0 + 2, y0 + h - 2)]
    while rows and not any(rows[0]):
        rows.pop(0)
    while rows and not any(rows[-1]):
        rows.pop()
    cols = [i for i in range(w) if any(r[i] for r in rows)]
    return tuple(r[cols[0] : cols[-1] + 1] for r in rows) if cols else ()


# A loaded machine (the whole test suite runs two at a time) may take a while between screens.
PATIENCE = 60


class Game(harness.Session):
    """The game in a folder of its own that holds the given data files before it starts. It is
    started from another folder: it must find its files beside itself all the same."""

    def __init__(self, files=None):
        super().__init__(PROGRAM, files=files, cwd="/")

    def read(self, name):
        with open(os.path.join(self.folder, name), "rb") as f:
            return f.read()

    def notice(self, warned):
        """Waits for the notice screen, answering the start-up warning when one is expected."""
        if warned:
            self.wait_for(buttons, "the start-up warning", PATIENCE)
            self.key("Return")
        rect = harness.twips_rect(*NOTICE)
        return self.wait_for(lambda i: not buttons(i) and i.count(rect, yellow) > 300, "the notice", PATIENCE)

    def title(self, items):
        """Two clicks on the window lead through the opening to the title menu."""
        self.click_twips(500, 7000, settle=0.5)
        rect = harness.twips_rect(*NOTICE)
        self.wait_for(lambda i: i.count(rect, yellow) == 0, "the opening", PATIENCE)
        self.click_twips(500, 7000, settle=0.5)
        return self.wait_for(
            lambda i: yellow(i.pixel(10, 490)) and all(i.count(item_rect(t), blue) > 100 for t in items),
            "the title menu",
            PATIENCE,
        )


class TitleMenu(unittest.TestCase):
    def test_first_run_warns_once_then_the_notice_and_the_short_menu(self):
        with Game() as g:
            # A fresh folder has no settings or scores: the start-up box reports it over the notice.
            img = g.notice(warned=True)
            self.assertGreater(img.count(harness.twips_rect(*CLICK_START), red), 50, "no Click start!")
            self.assertTrue(black(img.pixel(10, 480)), "the notice's background is not black")
            # Its Japanese text: three lines of 26 points (35 pixels) at the top of the label.
            lines = harness.twips_rect(*NOTICE)[:3] + (105,)
            notice = line_shapes(img, lines, 3, text_yellow)
            self.assertGreaterEqual(len(set(notice)), 5)

            img = g.title(SHORT_TOPS.values())
            self.assertTrue(yellow(img.pixel(660, 490)))
            # "かんたん" in glyphs of its own, and the notice's text gone.
            easy = set(glyph_shapes(img, item_rect(SHORT_TOPS[0]), lambda p: p[2] > 150 and max(p[:2]) < 100))
            self.assertGreaterEqual(len(easy), 3)
            self.assertNotEqual(line_shapes(img, lines, 3, text_yellow), notice)
            # The logo at the top left, read from the program's folder.
            logo = harness.twips_rect(0, 0, 4000, 2000)
            self.assertGreater(img.count(logo, lambda p: not yellow(p)), 2000, "no logo")
            # Nothing below せってい: the extra items stay hidden.
            self.assertEqual(img.count(harness.twips_rect(5500, 5100, 3500, 1200), blue), 0)
            # No file was written by the start-up.
            for name in ("config.dat", "score.dat"):
                self.assertFalse(os.path.exists(os.path.join(g.folder, name)))
            self.assertTrue(g.running())

    def test_a_million_in_the_hard_course_brings_six_items_and_closing_asks(self):
        with Game({"score.dat": scores(999999), "config.dat": DEFAULT_CONFIG}) as g:
            g.notice(warned=False)
            settei = ink(g.title(SHORT_TOPS.values()), SHORT_TOPS[2])
        files = {"score.dat": scores(1000000), "config.dat": DEFAULT_CONFIG, "netrank.dat": RANKING}
        with Game(files) as g:
            # Closing asks; Cancel goes on where the game was and keeps the ranking copy.
            g.notice(warned=False)
            g.request_close()
            g.wait_for(lambda i: len(buttons(i)) == 2, "the exit question", PATIENCE)
            g.key("Escape")
            g.notice(warned=False)
            self.assertTrue(g.running())
            self.assertEqual(g.read("netrank.dat"), RANKING)

            img = g.title(FULL_TOPS.values())
            self.assertEqual(ink(img, FULL_TOPS[2]), settei, "せってい is not the last item")
            self.assertNotEqual(ink(img, FULL_TOPS[5]), settei)

            # OK ends the program with the ranking copy emptied and the scores as they were.
            g.request_close()
            g.wait_for(lambda i: len(buttons(i)) == 2, "the exit question", PATIENCE)
            g.key("Return")
            code, _, err = g.wait_exit(PATIENCE)
            self.assertEqual(code, 0, err)
            self.assertLessEqual(len(g.read("netrank.dat")), 2, "the ranking copy was not emptied")
            self.assertEqual(g.read("score.dat"), scores(1000000))


if __name__ == "__main__":
    unittest.main()
