"""A song played by auto play in the real program: かんたん on the title menu, Space on the song
select, and mid-song the screen shows the lane with notes and the judgement frame, the gauge
filling, the drummer and the running background. ZB_PLAY_SCREENSHOT names a PNG to keep."""

import os
import sys
import unittest
from collections import Counter

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import harness  # noqa: E402
from test_title_menu import SHORT_TOPS, Game  # noqa: E402

SHOT = os.environ.get("ZB_PLAY_SCREENSHOT", "")

# Play screen rectangles in twips.
LANE = (3000, 700, 6495, 3000)
FRAME = (3000, 700 + 65 * 15, 64 * 15, 64 * 15)  # the judgement frame at lane x 0, row 65
GAUGE = (3000, 200, 384 * 15, 32 * 15)
DRUMMER = (200, 700, 174 * 15, 174 * 15)
BACKGROUND = (25, 4505, 650 * 15, 176 * 15)


def red(p):
    return p[0] > 170 and p[1] < 110 and p[2] < 110


def blue(p):
    return p[2] > 170 and p[0] < 120


def pixels(img, rect):
    x0, y0, w, h = img.region_twips(*rect)
    return [img.pixel(x, y) for y in range(y0, y0 + h) for x in range(x0, x0 + w)]


def colours(img, rect):
    return set(pixels(img, rect))


def notes_on_lane(img):
    rect = img.region_twips(*LANE)
    return img.count(rect, red) + img.count(rect, blue) > 300


class AutoPlay(unittest.TestCase):
    def test_mid_song_screen(self):
        with Game() as s:
            s.notice(warned=True)  # the start-up box of a fresh folder first
            s.title(SHORT_TOPS.values())
            s.click_twips(7250, 2775)  # かんたん
            badge = s.picture("kantan.bmp")
            s.wait_for(lambda i: harness.matches(i, 228, 21, badge, 200, 35) > 0.95, "the song select screen")
            s.tap("space")  # auto play of the first song
            img = s.wait_for(notes_on_lane, "notes on the lane")

            lane = colours(img, LANE)
            self.assertGreater(len(lane), 12, "the lane is too plain to hold notes")
            frame = img.region_twips(*FRAME)
            lane_bg = Counter(pixels(img, LANE)).most_common(1)[0][0]
            self.assertGreater(img.count(frame, lambda p: p != lane_bg), 200, "no judgement frame")
            self.assertGreater(len(colours(img, GAUGE)), 3, "no gauge")
            self.assertGreater(len(colours(img, DRUMMER)), 10, "no drummer")
            self.assertGreater(len(colours(img, BACKGROUND)), 10, "no background")
            # Auto play strikes the notes: after a few more seconds the gauge has grown.
            gauge_before = img.count(img.region_twips(*GAUGE), red)
            later = s.wait_for(
                lambda i: i.count(i.region_twips(*GAUGE), red) > gauge_before + 30, "the gauge to grow"
            )
            self.assertTrue(later)
            s.screenshot_file(SHOT)
            self.assertTrue(s.running())


if __name__ == "__main__":
    unittest.main()
