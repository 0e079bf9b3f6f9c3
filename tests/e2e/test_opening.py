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

    def between(self, g, clicked, first, last, check):
        """Looks at the window from `first` to `last` seconds after the click until check(picture)
        finds nothing wrong (returns None); fails with what it found last. The windows are the
        stretches of the music in which a step's colours are unmistakable, so a busy machine's
        late look still lands in them."""
        time.sleep(max(0.0, clicked + first - time.monotonic()))
        while True:
            img = g.form_image()
            wrong = check(img)
            if wrong is None:
                return img
            if time.monotonic() > clicked + last:
                self.fail(f"{first}-{last} s: {wrong}")
            time.sleep(0.1)

    def corners(self, img, match):
        for x, y in CORNERS:
            if not match(img.pixel(x, y)):
                return f"the window is {img.pixel(x, y)} at {x},{y}"
        return None

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
        def subtitle(img):  # black to white over 0-4 s: grey from 1.1 s to 3 s
            if img.count(WHOLE, yellow) <= 300:
                return "no yellow subtitle"
            return self.corners(img, grey)

        def don(img):  # white to red over 4-8 s: pink from 5 s to 6.9 s
            if img.count(WHOLE, blue) <= 300:
                return "no blue 鈍"
            return self.corners(img, pink)

        def kan(img):  # red to blue over 8-12 s: purple from 9.1 s to 10.9 s
            if img.count(WHOLE, green) <= 300:
                return "no green 感"
            return self.corners(img, purple)

        def card(img):  # the title card from 12 s to 16 s
            if img.count(TITLE_CARD, red) <= TITLE_CARD[2] * TITLE_CARD[3] // 2:
                return "no red card"
            if img.count(TITLE_CARD, yellow) <= 2000:
                return "no yellow title"
            if img.count(WHOLE, yellow) != img.count(TITLE_CARD, yellow):
                return "yellow outside the card"
            return None

        def story(img):  # the story from 16 s, a line at a time
            line = img.count(STORY_LABEL, white)
            if line <= 150:
                return "no story line"
            if img.count(WHOLE, white) != line:
                return "white outside the story label"
            return self.corners(img, black)

        def credits(img):  # from the top of the window down to the course high scores
            rows = [y for y in range(harness.FORM_H) if any(white(img.pixel(x, y)) for x in range(harness.FORM_W))]
            if not rows:
                return "no credits"
            if img.count((0, 0, harness.FORM_W, 14), white) != 0:
                return "the first line is not empty"
            if rows[0] >= 40 or rows[-1] <= 330:
                return f"the credits run from row {rows[0]} to {rows[-1]}"
            return None if black(img.pixel(5, 494)) else "the corner is not black"

        with SilentGame({"score.dat": scores(4321), "config.dat": DEFAULT_CONFIG}) as g:
            clicked = self.start(g)
            self.between(g, clicked, 1.4, 2.7, subtitle)
            self.between(g, clicked, 5.4, 6.7, don)
            self.between(g, clicked, 9.4, 10.7, kan)
            self.between(g, clicked, 12.5, 15.5, card)
            self.between(g, clicked, 20, 26, story)
            # The story music reaches 85 s 101 s after the click.
            self.between(g, clicked, 100, 100 + harness.PATIENCE, credits)
            self.click_to_title(g)


if __name__ == "__main__":
    unittest.main()
