"""The real window: a label's Japanese glyphs show (no empty boxes), clicks reach the game at the
right form pixel in a window of any size, and the window manager's close button ends the
program."""

import os
import sys
import unittest

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import harness  # noqa: E402

PROBE = os.environ.get("ZB_WINDOW_PROBE", "build/tests/window_probe")
# The probe's caption "かんたんコース": Label(0) at 3000, 2700 twips, 4000 x 600.
CAPTION = (3000, 2700, 4000, 600)


def yellow(p):
    return p[0] > 150 and p[1] > 150 and p[2] < 90 and abs(p[0] - p[1]) < 40


def cyan(p):
    return p[0] < 90 and p[1] > 150 and p[2] > 150 and abs(p[1] - p[2]) < 40


def shows_caption(img):
    return img.count(img.region_twips(*CAPTION), yellow) > 300


def glyph_shapes(img, rect, match):
    """Splits the matching pixels of a rectangle into runs of columns (one per glyph or stroke
    group) and returns each run's bitmap, cropped to its ink."""
    x0, y0, w, h = rect
    inked = [any(match(img.pixel(x, y)) for y in range(y0, y0 + h)) for x in range(x0, x0 + w)]
    shapes, x = [], 0
    while x < w:
        if not inked[x]:
            x += 1
            continue
        start = x
        while x < w and inked[x]:
            x += 1
        rows = [
            tuple(match(img.pixel(cx, y)) for cx in range(x0 + start, x0 + x)) for y in range(y0, y0 + h)
        ]
        while rows and not any(rows[0]):
            rows.pop(0)
        while rows and not any(rows[-1]):
            rows.pop()
        shapes.append(tuple(rows))
    return shapes


class Window(unittest.TestCase):
    def test_caption_glyphs_clicks_in_a_scaled_window_and_the_close_request(self):
        with harness.Session(PROBE, ["label"]) as s:
            img = s.wait_for(shows_caption, "the caption")
            rect = img.region_twips(*CAPTION)
            shapes = glyph_shapes(img, rect, yellow)
            # かんたんコース: seven characters. Missing-glyph boxes would all look alike.
            self.assertGreaterEqual(len(shapes), 6)
            self.assertGreaterEqual(len(set(shapes)), 5, "the glyphs look alike: empty boxes?")
            # The glyphs are not hollow frames: some ink lies away from every glyph's border.
            hollow = [
                all(not any(row[1:-1]) for row in shape[1:-1]) and len(shape) > 4 for shape in shapes
            ]
            self.assertFalse(all(hollow))

            # Wider than the form's shape: black bars on the left and right.
            s.resize(1000, 600)
            img = s.wait_for(shows_caption, "the caption in the enlarged window")
            rect = img.region_twips(*CAPTION)
            # A click on the bar left of the form is nobody's; one on the form's first pixel
            # column reaches the form.
            _, _, w, h = s.geometry()
            bar = harness.letterbox(w, h)[0]
            self.assertGreater(bar, 50)
            s.click_window(bar // 2, h // 2)
            s.click_twips(0, 3000)
            s.click_twips(CAPTION[0] + CAPTION[2] // 2, CAPTION[1] + CAPTION[3] // 2)
            img = s.wait_for(lambda i: i.count(rect, cyan) > 300, "the caption to turn cyan")
            self.assertEqual(img.count(rect, yellow), 0)

            # The window manager's close button ends the program.
            s.request_close()
            code, out, _ = s.wait_exit()
            self.assertEqual(code, 0)
            self.assertEqual(out.splitlines(), ["click Form 0", "click Label 0"])


if __name__ == "__main__":
    unittest.main()
