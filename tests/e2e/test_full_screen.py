"""The window at its best size on a 1920 x 1080 screen: it opens at twice the form's size, centred;
F11 fills the screen with the title letterboxed between black bars; かんたん clicked there opens the
song select screen; F11 gives the 1334 x 1000 window back. Alt+Enter toggles as well and never
reaches the game as Enter. Without a sound card the terminal hears one line about it."""

import os
import subprocess
import sys
import time
import unittest

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import harness  # noqa: E402
from test_title_menu import DEFAULT_CONFIG, PATIENCE, PROGRAM, SHORT_TOPS, Game, black, scores, yellow  # noqa: E402

SCREEN = (1920, 1080)
WINDOW = (293, 40, 1334, 1000)
FULL = (0, 0, 1920, 1080)
BADGE = os.path.join(os.path.dirname(os.path.realpath(PROGRAM)), "img", "other", "kantan.bmp")
BADGE_AT = (228, 21)  # the course badge of the song select screen, in form pixels


def picture(path):
    ppm = subprocess.run(["convert", path, "-depth", "8", "ppm:-"], check=True, capture_output=True).stdout
    return harness.Image(ppm)


def shows(img, pic, at, w, h):
    """The share of a picture's top-left w x h that the form shows at `at`, colours within a
    little of each other (a full screen scales by a fraction and smooths the block edges)."""
    close = sum(
        max(abs(a - b) for a, b in zip(img.pixel(at[0] + x, at[1] + y), pic.pixel(x, y))) < 48
        for y in range(h)
        for x in range(w)
    )
    return close / (w * h)


class BigScreenGame(Game):
    def __init__(self, files):
        super().__init__(files)
        self.screen = SCREEN

    def _start_display(self):
        super()._start_display()
        # No sound card by that number: ALSA has things to say, the game one line.
        self.env.update(SDL_AUDIODRIVER="alsa", AUDIODEV="hw:99")

    def wait_geometry(self, want, what):
        deadline = time.time() + PATIENCE
        while self.geometry() != want:
            if time.time() > deadline:
                raise AssertionError(f"{what}: the window is {self.geometry()}, not {want}")
            time.sleep(0.2)


class FullScreen(unittest.TestCase):
    def test_opens_at_twice_the_size_and_toggles_a_full_screen_that_takes_clicks(self):
        badge = picture(BADGE)
        with BigScreenGame({"score.dat": scores(0), "config.dat": DEFAULT_CONFIG}) as g:
            self.assertEqual(g.geometry(), WINDOW, "not twice the form, centred")
            g.notice(warned=False)
            g.title(SHORT_TOPS.values())

            g.key("F11")
            g.wait_geometry(FULL, "F11")
            screen = g.wait_for(lambda i: yellow(i.pixel(10, 490)), "the title in the full screen")
            shot = g.screenshot()
            # The form is about 1440 x 1080 in the middle, black bars of about 240 on either side.
            bx, _, bw, _ = harness.letterbox(*FULL[2:])
            self.assertEqual(bw, 1441)
            for x in (0, bx // 2, bx - 1, bx + bw, 1919):
                self.assertTrue(black(shot.pixel(x, 540)), f"no bar at x = {x}")
            self.assertTrue(yellow(shot.pixel(bx + 10, 1070)))
            self.assertTrue(yellow(screen.pixel(660, 490)))

            g.click_twips(5500 + 800, SHORT_TOPS[0] + 275)  # かんたん
            g.wait_for(lambda i: shows(i, badge, BADGE_AT, 200, 35) > 0.9, "the song select screen", PATIENCE)

            g.key("F11")
            g.wait_geometry(WINDOW, "F11 again")
            # Alt+Enter there and back: the song select screen stays (Enter would start the song).
            g.key("alt+Return")
            g.wait_geometry(FULL, "Alt+Enter")
            g.key("alt+Return")
            g.wait_geometry(WINDOW, "Alt+Enter again")
            time.sleep(1.5)
            self.assertGreater(shows(g.form_image(), badge, BADGE_AT, 200, 35), 0.9, "Enter reached the game")

            g.proc.terminate()
            _, _, err = g.wait_exit(PATIENCE)
        # Besides the line that says how the picture reaches the window, and the one that says,
        # once however often the kits are looked for, that no MIDI kit can connect here: nothing
        # ALSA or JACK print while they are probed reaches the terminal.
        said = [line for line in err.splitlines() if "reaches the window" not in line]
        kits = [line for line in said if "MIDI kit" in line]
        self.assertEqual(len(kits), 1, err)
        said.remove(kits[0])
        self.assertEqual(len(said), 1, err)
        self.assertIn("runs without sound", said[0])


if __name__ == "__main__":
    unittest.main()
