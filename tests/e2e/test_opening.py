"""The opening, the story and the credits in the real window, timed from the notice's click: the
colours at a few moments of the title music, a story line, the credits page, and the clicks that
lead to the title. The credits come 101 s after the click, so the long run is made once, on a
machine without sound: there the music's position follows the clock, while the dummy sound device
of a busy test machine plays a few per cent slow."""

import os
import sys
import time
import unittest

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import harness  # noqa: E402
from test_title_menu import DEFAULT_CONFIG, SHORT_TOPS, Game, blue, item_rect, red, scores, yellow  # noqa: E402

WHOLE = (0, 0, harness.FORM_W, harness.FORM_H)
TITLE_CARD = harness.twips_rect(1000, 1750, 8000, 4000)
STORY_LABEL = harness.twips_rect(2500, 2250, 5000, 3000)
CORNERS = ((5, 5), (661, 5), (5, 494), (661, 494))
# A title menu shown this soon after a click counts as at once, even on a busy machine.
AT_ONCE = 8


def grey(p):
    return max(p) - min(p) < 10 and 70 < p[0] < 190


def pink(p):
    return p[0] > 235 and abs(p[1] - p[2]) < 10 and 70 < p[1] < 190


def purple(p):
    return p[1] < 30 and 70 < p[0] < 190 and 70 < p[2] < 190


def green(p):
    return p[1] > 200 and p[0] < 60 and p[2] < 60


def white(p):
    return min(p) > 200


def black(p):
    return max(p) < 40


class SilentGame(Game):
    """The game with no sound device at all."""

    def _start_display(self):
        super()._start_display()
        self.env["SDL_AUDIODRIVER"] = "none"  # names no driver, so no device opens


def title_menu(img):
    return yellow(img.pixel(10, 490)) and all(img.count(item_rect(t), blue) > 100 for t in SHORT_TOPS.values())


class Opening(unittest.TestCase):
    def start(self, g):
        g.notice(warned=False)
        g.click_twips(500, 7000, settle=0)
        return time.monotonic()

    def at(self, g, clicked, seconds):
        time.sleep(max(0.0, clicked + seconds - time.monotonic()))
        return g.form_image()

    def corners(self, img, match, when):
        for x, y in CORNERS:
            self.assertTrue(match(img.pixel(x, y)), f"{when}: the window is {img.pixel(x, y)} at {x},{y}")

    def click_to_title(self, g):
        g.click_twips(500, 7000, settle=0)
        g.wait_for(title_menu, "the title menu", AT_ONCE)

    def test_a_click_during_the_opening_brings_the_title(self):
        with Game({"score.dat": scores(0), "config.dat": DEFAULT_CONFIG}) as g:
            # With the sound device the test machine has: the sweep has begun, whenever that is.
            self.start(g)
            g.wait_for(lambda i: not black(i.pixel(5, 5)), "the opening", 20)
            self.click_to_title(g)

    def test_the_opening_the_story_and_the_credits_in_time_with_the_music(self):
        with SilentGame({"score.dat": scores(4321), "config.dat": DEFAULT_CONFIG}) as g:
            clicked = self.start(g)
            img = self.at(g, clicked, 2)
            self.corners(img, grey, "2 s")
            self.assertGreater(img.count(WHOLE, yellow), 300, "2 s: no yellow subtitle")

            img = self.at(g, clicked, 6)
            self.corners(img, pink, "6 s")
            self.assertGreater(img.count(WHOLE, blue), 300, "6 s: no blue 鈍")

            img = self.at(g, clicked, 10)
            self.corners(img, purple, "10 s")
            self.assertGreater(img.count(WHOLE, green), 300, "10 s: no green 感")

            img = self.at(g, clicked, 14)
            card = img.count(TITLE_CARD, red)
            self.assertGreater(card, TITLE_CARD[2] * TITLE_CARD[3] // 2, "14 s: no red card")
            self.assertGreater(img.count(TITLE_CARD, yellow), 2000, "14 s: no yellow title")
            self.assertEqual(img.count(WHOLE, yellow), img.count(TITLE_CARD, yellow))

            img = self.at(g, clicked, 23)
            self.corners(img, black, "23 s")
            line = img.count(STORY_LABEL, white)
            self.assertGreater(line, 150, "23 s: no story line")
            self.assertEqual(img.count(WHOLE, white), line, "23 s: white outside the story label")

            # The credits from the top of the window down to the course high scores.
            img = self.at(g, clicked, 105)
            self.assertEqual(img.count((0, 0, harness.FORM_W, 14), white), 0, "the first line is empty")
            rows = [y for y in range(harness.FORM_H) if any(white(img.pixel(x, y)) for x in range(harness.FORM_W))]
            self.assertTrue(rows, "105 s: no credits")
            self.assertLess(rows[0], 40, "the credits do not start at the top")
            self.assertGreater(rows[-1], 330, "the credits do not reach the high scores")
            self.assertTrue(black(img.pixel(5, 494)))
            self.click_to_title(g)


if __name__ == "__main__":
    unittest.main()
