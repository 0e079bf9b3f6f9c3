"""The song select screen of the easy course in the real window: from the title, かんたん shows
song 6 with one filled star, three empty slots, 01/10 and its high score; Right moves on to song 4.
Every checked place is compared with the picture files the screen is composed of."""

import os
import shutil
import struct
import subprocess
import sys
import time
import unittest

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "e2e"))
import harness  # noqa: E402

PROGRAM = os.environ.get("ZB_PROGRAM", "build/zubakko")
ASSETS = os.environ.get("ZB_ASSETS", "assets")
SHOTS = os.environ.get("ZB_SHOTS", "build")
X0, Y0 = -15, 0  # the 697 x 499 picture centred on the 667 x 500 window


def picture(name):
    """A picture file of img/other as an Image."""
    path = os.path.join(ASSETS, "img", "other", name)
    ppm = subprocess.run(["convert", path, "-depth", "8", "ppm:-"], check=True, capture_output=True).stdout
    return harness.Image(ppm)


def score_dat(easy_scores):
    """The 296 bytes of score.dat with the easy column's song scores given as {song: score}."""
    items = [0] * 74
    for song, score in easy_scores.items():
        items[3 + 3 * song] = score
    return struct.pack("<74i", *items)


class Session(harness.Session):
    """The harness's session with files placed in the program's folder before it starts."""

    def __init__(self, program, files):
        super().__init__(program)
        self.files = files

    def _start_program(self):
        real_popen = harness.subprocess.Popen
        files = self.files

        def popen(args, cwd=None, **kw):
            for name, data in files.items():
                with open(os.path.join(cwd, name), "wb") as f:
                    f.write(data)
            return real_popen(args, cwd=cwd, **kw)

        harness.subprocess.Popen = popen
        try:
            super()._start_program()
        finally:
            harness.subprocess.Popen = real_popen


def matches(img, x, y, pic, w=None, h=None, mask=None, ink_only=False):
    """The share of pixels of a picture (or its top-left w x h) that the form shows at (x, y);
    with a mask only where the mask is white (the masked copy's opaque part); with ink_only only
    where the picture differs from its top-left pixel (its background)."""
    w = w or pic.width
    h = h or pic.height
    same = total = 0
    for py in range(h):
        for px in range(w):
            fx, fy = x + px, y + py
            if not (0 <= fx < harness.FORM_W and 0 <= fy < harness.FORM_H):
                continue
            if mask is not None and mask.pixel(px, py) != (255, 255, 255):
                continue
            if ink_only and pic.pixel(px, py) == pic.pixel(0, 0):
                continue
            total += 1
            same += img.pixel(fx, fy) == pic.pixel(px, py)
    return same / total if total else 0.0


def tap(s, key, hold=0.08):
    """A key pressed and released like a person's tap (xdotool's own key is a few microseconds
    long, shorter than any keyboard)."""
    harness._run(["xdotool", "keydown", key], s.env)
    time.sleep(hold)
    harness._run(["xdotool", "keyup", key], s.env)
    time.sleep(0.2)


def save_png(img, name):
    """Writes the form picture as a PNG into the build folder for a person to look at."""
    ppm = b"P6 %d %d 255\n" % (harness.FORM_W, harness.FORM_H)
    ppm += bytes(c for row in img.pixels for p in row for c in p)
    subprocess.run(["convert", "ppm:-", os.path.join(SHOTS, name)], input=ppm, check=True)


class SongSelect(unittest.TestCase):
    def wait_for(self, s, test, what, timeout=15):
        deadline = time.time() + timeout
        while time.time() < deadline:
            img = s.form_image()
            if test(img):
                return img
            time.sleep(0.3)
        self.fail("timed out waiting for " + what)

    def test_easy_course_shows_song_six_then_steps_right(self):
        config = struct.pack("<10h", 97, 98, 100, 101, 9, 0, -600, 0, 1, 0)
        files = {"config.dat": config, "score.dat": score_dat({6: 4321, 4: 98})}
        star_full, star_empty = picture("star1.bmp"), picture("star2.bmp")
        title6, title4 = picture("song6.gif"), picture("song4.gif")
        badge = picture("kantan.bmp")
        small = {g: (picture(f"{g}s.bmp"), picture(f"{g}s_mask.bmp")) for g in (0, 1, 2, 3)}
        small[10] = (picture("slash.bmp"), picture("slash_mask.bmp"))
        big = {g: (picture(f"{g}.bmp"), picture(f"{g}_mask.bmp")) for g in range(10)}

        easy = harness.twips_rect(5500, 2500, 3500, 550)  # Label(0) of the title menu

        def blue(p):
            return p[2] > 150 and p[0] < 100 and p[1] < 100

        with Session(PROGRAM, files) as s:
            # The notice, then the opening; a busy machine may take a while for each screen.
            s.click_twips(5000, 3750, settle=0.6)
            s.click_twips(5000, 3750, settle=0.6)
            self.wait_for(s, lambda i: i.count(easy, blue) > 100, "the title menu", timeout=30)
            s.click_twips(5500 + 800, 2500 + 275)  # かんたん
            img = self.wait_for(
                s, lambda i: matches(i, X0 + 146, Y0 + 65, title6) > 0.95, "song 6", timeout=30
            )
            save_png(img, "e2e_song_select_song6.png")

            self.assertGreater(matches(img, X0 + 243, Y0 + 21, badge, 200, 35), 0.95, "かんたん badge")
            # One filled star and three empty slots (each slot's 35 columns not covered by the
            # next one), and nothing of a star slot after the fourth.
            self.assertGreater(matches(img, X0 + 148, Y0 + 155, star_full, 35, 38), 0.95)
            for i in (1, 2):
                self.assertGreater(matches(img, X0 + 148 + 35 * i, Y0 + 155, star_empty, 35, 38), 0.95)
            self.assertGreater(matches(img, X0 + 148 + 35 * 3, Y0 + 155, star_empty, 38, 38), 0.95)
            self.assertGreater(matches(img, X0 + 148 + 35 * 3, Y0 + 155, star_empty, 38, 38, ink_only=True), 0.95)
            self.assertLess(matches(img, X0 + 148 + 35 * 4, Y0 + 155, star_empty, 38, 38, ink_only=True), 0.3)
            # 01/10.
            for k, g in enumerate((0, 1, 10, 1, 0)):
                sprite, mask = small[g]
                self.assertGreater(
                    matches(img, X0 + 303 + 18 * k, Y0 + 290, sprite, 18, 24, mask), 0.95, f"glyph {k}"
                )
            # The high score 4321 ends at x0 + 500.
            for i, g in enumerate((1, 2, 3, 4), start=1):
                sprite, mask = big[g]
                self.assertGreater(
                    matches(img, X0 + 500 - 45 * i, Y0 + 205, sprite, 45, 60, mask), 0.95, f"digit {i}"
                )

            tap(s, "Right")
            img = self.wait_for(
                s, lambda i: matches(i, X0 + 146, Y0 + 65, title4) > 0.95, "song 4", timeout=30
            )
            save_png(img, "e2e_song_select_song4.png")
            for k, g in enumerate((0, 2, 10, 1, 0)):
                sprite, mask = small[g]
                self.assertGreater(
                    matches(img, X0 + 303 + 18 * k, Y0 + 290, sprite, 18, 24, mask), 0.95, f"glyph {k}"
                )
            sprite, mask = big[8]
            self.assertGreater(matches(img, X0 + 455, Y0 + 205, sprite, 45, 60, mask), 0.95, "score 98")
            sprite, mask = big[9]
            self.assertGreater(matches(img, X0 + 410, Y0 + 205, sprite, 45, 60, mask), 0.95, "score 98")
            # A single tap stepped once: still song 4 a moment later.
            time.sleep(0.5)
            img = s.form_image()
            self.assertGreater(matches(img, X0 + 146, Y0 + 65, title4), 0.95, "a tap steps once")


if __name__ == "__main__":
    unittest.main()
