#!/usr/bin/env python3
"""A library of 10,000 own songs in the real window, run by hand (not by ./test: it writes 250 MB
and reads them for about half a minute of a core):

    python3 tests/library/check_library.py [BUILD_FOLDER]

(ZB_WARM_STARTS=N for other than five starts with the cache; ZB_SHOTS=FOLDER keeps pictures.)

The files are the benchmark's (own_song_library_bench --write-songs: Debian's openmsx files, each
with a text event of its own, 100 to a folder). The game starts twice under Xvfb, as the e2e
tests start it (tests/e2e/harness.py), with the songs folder linked beside it:

1. First start, no cache: from the title, かんたん opens song select at once while the folder is
   read (the progress line stands over the sky), and Right and Left answer while it is read. The
   check waits for the reading to end, which leaves the cache.
2. Later starts, with that cache: the time from the click on かんたん to song select's picture
   (the median of five starts). On the last, Tab, a typed path and Enter find that song (the same picture as a longer search for it,
   another than a search for its neighbour); S twice sorts by stars, and the first own song then
   has no more stars than any of ten in path order, and the last playable one no fewer.

Times are measured from outside (the click's or key's xdotool run to the first screenshot that
shows the answer), so they include xdotool's start and the screenshots' own few milliseconds.
"""

import os
import shutil
import statistics
import subprocess
import sys
import tempfile
import time

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, "..", "e2e"))
import harness  # noqa: E402
from harness import matches  # noqa: E402
from test_song_select import X0, Y0, score_dat  # noqa: E402
from test_title_menu import DEFAULT_CONFIG, SHORT_TOPS  # noqa: E402

BUILD = os.path.abspath(sys.argv[1] if len(sys.argv) > 1 else "build")
WARM_STARTS = int(os.environ.get("ZB_WARM_STARTS", "5"))  # starts with the cache, for a median
PROGRAM = os.path.join(BUILD, "zubakko")
BENCH = os.path.join(BUILD, "bench", "own_song_library_bench")
KANTAN = (5500 + 800, 2500 + 275)
SEARCH_INK = (0xFF, 0xE0, 0x6A)  # the open search line
PROGRESS = (9, 2, 300, 22)  # the left of the stripe over the sky, where the progress stands
FOOT = (9, 452, 640, 44)
TITLE = (X0 + 146, Y0 + 60, 400, 80)  # where a song's title stands


def exact(colour):
    return lambda p: p == colour


def reading(img):
    """Whether the progress line stands over the sky (whose few stars are far fewer white pixels)."""
    return img.count(PROGRESS, exact((255, 255, 255))) > 60


def region(img, rect):
    x0, y0, w, h = rect
    return b"".join(img.data[3 * (y * harness.FORM_W + x0) : 3 * (y * harness.FORM_W + x0 + w)] for y in range(y0, y0 + h))


class Library(harness.Session):
    def __init__(self, songs, files):
        super().__init__(PROGRAM, files=files, links={"songs": songs}, cwd="/")
        self.star_full = self.star_empty = None

    def to_title(self):
        notice = harness.twips_rect(2000, 2000, 6000, 3500)
        self.wait_for(lambda i: i.count(notice, lambda p: p[0] > 200 and p[1] > 200 and p[2] < 60) > 300, "the notice")
        self.click_twips(500, 7000, settle=0.5)
        self.wait_for(lambda i: i.count(notice, lambda p: p[0] > 200 and p[1] > 200 and p[2] < 60) == 0, "the opening")
        self.click_twips(500, 7000, settle=0.5)
        blue = lambda p: p[2] > 150 and p[0] < 90 and p[1] < 90  # noqa: E731
        self.wait_for(
            lambda i: all(i.count(harness.twips_rect(5500, t, 3500, 550), blue) > 100 for t in SHORT_TOPS.values()),
            "the title menu",
        )
        self.song6 = self.picture("song6.gif")
        self.song4 = self.picture("song4.gif")
        self.star_full = self.picture("star1.bmp")

    def timed(self, act, predicate, what, timeout=harness.PATIENCE):
        """Seconds from the start of act() to the first picture predicate holds for, and it."""
        start = time.monotonic()
        act()
        while True:
            img = self.form_image()
            if predicate(img):
                return time.monotonic() - start, img
            if time.monotonic() - start > timeout:
                raise AssertionError(f"timed out waiting for {what}{self._last_look(img)}")

    def open_song_select(self):
        return self.timed(
            lambda: self.click_twips(*KANTAN, settle=0),
            lambda i: matches(i, X0 + 146, Y0 + 65, self.song6) > 0.95,
            "song select",
        )

    def answer(self, key, picture):
        t, img = self.timed(
            lambda: subprocess.run(["xdotool", "keydown", key], env=self.env, check=True),
            lambda i: matches(i, X0 + 146, Y0 + 65, picture) > 0.95,
            f"the answer to {key}",
        )
        subprocess.run(["xdotool", "keyup", key], env=self.env, check=True)
        return t, img

    def stars(self, img):
        return sum(matches(img, X0 + 148 + 35 * i, Y0 + 155, self.star_full, 35, 38) > 0.95 for i in range(4))

    def keep(self, img, name):
        """The window as a PNG in ZB_SHOTS, for a person to look at."""
        if os.environ.get("ZB_SHOTS"):
            path = os.path.join(os.environ["ZB_SHOTS"], f"library_{name}.png")
            subprocess.run(["convert", "ppm:-", path], input=img.ppm(), check=False)

    def settled(self, settle=0.4):
        time.sleep(settle)
        return self.form_image()

    def search(self, text):
        self.tap("Tab")
        self.wait_for(lambda i: i.count(FOOT, exact(SEARCH_INK)) > 20, "the search line")
        self.type(text)
        self.keep(self.form_image(), "typed")
        self.tap("Return")
        self.wait_for(lambda i: i.count(FOOT, exact(SEARCH_INK)) == 0, "the search line to close")
        return self.settled()


def main():
    for need in (PROGRAM, BENCH):
        if not os.path.exists(need):
            sys.exit(f"{need} is missing: build first")
    work = tempfile.mkdtemp(prefix="zb-library-")
    try:
        songs = os.path.join(work, "songs")
        started = time.monotonic()
        subprocess.run([BENCH, "--write-songs", songs], check=True)
        print(f"10,000 files written in {time.monotonic() - started:.1f} s")
        files = {"config.dat": DEFAULT_CONFIG, "score.dat": score_dat({})}

        # First start: no cache. Song select opens while the folder is read, and answers.
        with Library(songs, files) as g:
            g.to_title()
            opened, img = g.open_song_select()
            assert reading(img), "no progress line: the folder was read before song select opened"
            answers = []
            for key, picture in (("Right", g.song4), ("Left", g.song6)) * 3:
                t, img = g.answer(key, picture)
                answers.append(t)
                time.sleep(0.3)
            assert reading(g.form_image()), "the reading ended before the keys were tried"
            print(f"cold: song select in {opened * 1000:.0f} ms while the folder was read; "
                  f"answers to Right/Left during the reading: median {statistics.median(answers) * 1000:.0f} ms, "
                  f"longest {max(answers) * 1000:.0f} ms", flush=True)
            scan, _ = g.timed(lambda: None, lambda i: not reading(i), "the end of the reading", 900)
            scan += opened + sum(answers) + 0.3 * len(answers)
            print(f"cold: the reading took about {scan:.1f} s from the click", flush=True)
            time.sleep(0.5)
            with open(os.path.join(g.folder, "songcache.dat"), "rb") as f:
                files["songcache.dat"] = f.read()
            print(f"cache: {len(files['songcache.dat']) // 1024} KB")

        # Later starts: the cache is read, song select opens within the goal.
        warm = []
        for _ in range(WARM_STARTS - 1):
            with Library(songs, files) as g:
                g.to_title()
                warm.append(g.open_song_select()[0])
        with Library(songs, files) as g:
            g.to_title()
            opened, img = g.open_song_select()
            warm.append(opened)
            time.sleep(1.0)
            assert not reading(g.form_image()), "the cached folder is read again"
            idle = []
            for key, picture in (("Right", g.song4), ("Left", g.song6)) * 3:
                idle.append(g.answer(key, picture)[0])
                time.sleep(0.3)
            print(f"warm: song select in {', '.join(f'{t * 1000:.0f}' for t in warm)} ms, median "
                  f"{statistics.median(warm) * 1000:.0f} ms (goal 150 ms); answers to Right/Left "
                  f"with nothing read: median {statistics.median(idle) * 1000:.0f} ms, longest {max(idle) * 1000:.0f} ms")

            # A search by path finds that song; a longer search for it shows the same one.
            img = g.search("song1234")
            g.keep(img, "found")
            found = region(img, TITLE)
            assert matches(img, X0 + 146, Y0 + 65, g.song6, ink_only=True) < 0.5, "the search found nothing"
            assert region(g.search("folder12/song1234"), TITLE) == found, "two searches for one song differ"
            assert region(g.search("song1235"), TITLE) != found, "another search shows the same song"
            print("search: song1234 found, the same by its folder, song1235 another")

            # The first ten own songs by path: Home, Page Down past the ten built-in ones.
            g.tap("Home")
            g.tap("Prior")  # from the first, Page Up stays there
            g.tap("Next")
            by_path = []
            for _ in range(10):
                by_path.append(g.stars(g.settled(0.2)))
                g.tap("Right")
            # By stars: S twice (path, title, stars).
            g.tap("s")
            g.tap("s")
            g.tap("Home")
            g.tap("Next")
            fewest = g.stars(g.settled())
            g.tap("End")
            most = 0
            for _ in range(40):  # unplayable songs come last, without stars
                most = g.stars(g.settled(0.2))
                if most:
                    break
                g.tap("Left")
            print(f"stars: ten songs by path {by_path}; by stars the first own song {fewest}, the last playable {most}")
            assert fewest <= min(by_path) and most >= max(by_path), "the sort by stars is out of order"
        print("OK")
    finally:
        shutil.rmtree(work, ignore_errors=True)


if __name__ == "__main__":
    main()
