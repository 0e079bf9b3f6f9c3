"""The settings screen in the real window: せってい on the title opens a black screen with the red
items and the yellow cursor; short taps step once each, a letter binds the play key under the
cursor, and Enter writes config.dat and brings the title back. A hand-edited file with values at
the 16-bit edge comes back with values in range."""

import os
import struct
import sys
import unittest

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import harness  # noqa: E402
from test_title_menu import PATIENCE, SHORT_TOPS, Game, black, blue, item_rect, red, scores, yellow  # noqa: E402


def config(*fields):
    return struct.pack("<10h", *fields)


DEFAULTS = (97, 98, 100, 101, 9, 0, -600, 0, 1, 0)
ITEM_NAMES = harness.twips_rect(1000, 500, 2000, 4500)  # the nine names, one 500-twip row each


def cursor_row(img):
    """The row (0-8) where the cursor shows, or None."""
    rows = [r for r in range(9) if img.count(harness.twips_rect(500, 500 + 500 * r, 500, 500), yellow) > 10]
    return rows[0] if len(rows) == 1 else None


def taps(g, *keys):
    """Short taps, one after another, each down for 120 ms as a person's tap often is (three passes
    of the screen's loop see it down): one xdotool run, so that a busy machine cannot stretch a
    tap into a held key (and at a real-time priority where allowed, so that its sleeps are not
    stretched either). The pauses between them are long enough that a program kept waiting a
    while by a busy machine still finds one tap per pass."""
    args = harness.prompt() + ["xdotool"]
    for k in keys:
        args += ["keydown", k, "sleep", "0.12", "keyup", k, "sleep", "0.35"]
    harness._run(args, g.env)


class SettingsScreen(unittest.TestCase):
    def open_settings(self, g):
        g.notice(warned=False)
        g.title(SHORT_TOPS.values())
        g.click_twips(5500 + 800, SHORT_TOPS[2] + 275)  # せってい
        return g.wait_for(
            lambda i: cursor_row(i) == 0 and i.count(ITEM_NAMES, red) > 300, "the settings screen", PATIENCE
        )

    def back_on_title(self, g):
        return g.wait_for(
            lambda i: yellow(i.pixel(10, 490)) and i.count(item_rect(SHORT_TOPS[2]), blue) > 100,
            "the title menu",
            PATIENCE,
        )

    def test_taps_step_once_bind_and_save(self):
        with Game({"score.dat": scores(0), "config.dat": config(*DEFAULTS)}) as g:
            img = self.open_settings(g)
            self.assertTrue(black(img.pixel(10, 490)), "the background is not black")

            taps(g, "Down", "Down", "Down", "Down", "Right", "Right", "Right", "Up", "Up")
            g.wait_for(lambda i: cursor_row(i) == 2, "the cursor on 左手", PATIENCE)
            taps(g, "z", "Return")
            self.back_on_title(g)
            self.assertEqual(g.read("config.dat"), config(97, 98, 90, 101, 12, 0, -600, 0, 1, 0))

    def test_values_at_the_sixteen_bit_edge_are_saved_in_range(self):
        edge = config(97, 98, 100, 101, 32767, 32767, -600, 0, 1, 0)
        with Game({"score.dat": scores(0), "config.dat": edge}) as g:
            self.open_settings(g)
            taps(g, "Down", "Down", "Down", "Down", "Right", "Left", "Down", "Right", "Left", "Return")
            self.back_on_title(g)
            self.assertTrue(g.running())
            self.assertEqual(g.read("config.dat"), config(97, 98, 100, 101, 640, 20, -600, 0, 1, 0))


if __name__ == "__main__":
    unittest.main()
