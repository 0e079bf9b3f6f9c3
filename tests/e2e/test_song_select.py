"""The game played with the keyboard alone in the real window. The notice and the opening go on
with Enter, the title's arrows and Enter open かんたん: song select shows song 6 with one filled
star, three empty slots, 01/13 and its high score; Right moves on to song 4. Every checked place
is compared with the picture files the screen is composed of. MIDI files in songs/ come after the
ten songs, with their titles lettered at run time, and Space plays one by auto play: mid-song the
screen shows the lane with the notes of its drums and the judgement frame, the gauge filling, the
drummer and the running background; Esc pauses, goes on, restarts and leaves. P opens practice,
whose tempo the arrows set, and Esc leaves it with nothing written. Two short own songs played
with Enter end the course with its total, the first one's replay watched from F7 between the
two songs (the same results, nothing written), and the title comes back, where the arrows choose
チャレンジ and the challenge menu's modifier."""

import os
import struct
import subprocess
import sys
import time
import unittest
from collections import Counter

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import harness  # noqa: E402
from harness import matches  # noqa: E402
from test_title_menu import FULL_TOPS, NOTICE, Game, item_rect  # noqa: E402

SHOTS = os.environ.get("ZB_SHOTS", "build")
X0, Y0 = -15, 0  # the 697 x 499 picture centred on the 667 x 500 window


def score_dat(easy_scores):
    """The 296 bytes of score.dat with the easy column's song scores given as {song: score}, and
    the hard course's million that opens the full title menu."""
    items = [0] * 74
    items[1] = 1000000
    for song, score in easy_scores.items():
        items[3 + 3 * song] = score
    return struct.pack("<74i", *items)


# A real-world MIDI file with drums (Debian's openttd-openmsx, which scripts/packages.txt installs).
OWN_SONG = "/usr/share/games/openttd/baseset/openmsx/tttheme2.mid"



def short_song(name, strokes=32, beat_ms=250):
    """A Standard MIDI File of a few seconds: bass drum and snare in turn on channel 10."""

    def var(n):
        out = [n & 0x7F]
        while n > 0x7F:
            n >>= 7
            out.insert(0, 0x80 | (n & 0x7F))
        return bytes(out)

    track = b"\x00\xff\x03" + var(len(name)) + name.encode()
    track += b"\x00\xff\x51\x03" + (beat_ms * 1000).to_bytes(3, "big")
    for i in range(strokes):
        note = 38 if i % 2 else 36
        track += var(0 if i == 0 else 360) + bytes([0x99, note, 100])
        track += var(120) + bytes([0x89, note, 0])
    track += b"\x00\xff\x2f\x00"
    head = b"MThd" + struct.pack(">IHHH", 6, 0, 1, 480)
    return head + b"MTrk" + struct.pack(">I", len(track)) + track


# Eight plays of song 6 at かんたん over a week, for 記録 to plot.
HISTORY = "version 1\n" + "".join(
    f"2026-04-{d:02d} 20:00:00\t6\t0\t0\tlocal\t{150000 + 9000 * d}\t{120 + 5 * d}\t20\t10\t90\t95.0\t-"
    f"\t{14 - 3 * d}.0 {25 - 2 * d}.0 150 keyboard\n"
    for d in range(1, 9)
)

# The two short songs sort after tttheme2: 12th and 13th in the list.
WALK_SONGS = {"songs/walk/1.mid": short_song("walk one"), "songs/walk/2.mid": short_song("walk two")}

# Play screen rectangles in twips.
LANE = (3000, 700, 6495, 3000)
FRAME = (3000, 700 + 65 * 15, 64 * 15, 64 * 15)  # the judgement frame at lane x 0, row 65
GAUGE = (3000, 200, 384 * 15, 32 * 15)
DRUMMER = (200, 700, 174 * 15, 174 * 15)
BACKGROUND = (25, 4505, 650 * 15, 176 * 15)
SCORE = (7500, 3700, 2400, 700)  # the running score's digits, right of the course line
PLAY_SHOT = os.environ.get("ZB_PLAY_SCREENSHOT", "")  # a PNG of the play screen to keep
PRACTICE_TEMPO = (300, 4300, 9400, 450)  # practice's yellow line: the tempo and the ramp
CHALLENGE_ROW = 700  # the challenge menu's rows: modifier i at 200 + 700 i twips


def red(p):
    return p[0] > 170 and p[1] < 110 and p[2] < 110


def yellow(p):
    return p[0] > 200 and p[1] > 200 and p[2] < 80


def blue(p):
    return p[2] > 170 and p[0] < 120


def pixels(img, rect):
    x0, y0, w, h = img.region_twips(*rect)
    return [img.pixel(x, y) for y in range(y0, y0 + h) for x in range(x0, x0 + w)]


def colours(img, rect):
    return set(pixels(img, rect))


def white(p):
    return min(p) > 230


def highlighted(img, top):
    """A title item drawn on the highlight's white instead of the menu's yellow."""
    return img.count(item_rect(top), white) > 600


def challenge_row(img, i):
    """A challenge menu row on the highlight's navy."""
    navy = (0, 0, 128)
    return img.count(harness.twips_rect(1000, 200 + CHALLENGE_ROW * i, 5500, 700), lambda p: p == navy) > 1500


def notes_on_lane(img):
    rect = img.region_twips(*LANE)
    return img.count(rect, red) + img.count(rect, blue) > 300


def black(p):
    return max(p) < 40


def written(folder):
    """The data files a play may write, with their contents."""
    out = {}
    for name in ("score.dat", "ownscore.dat"):
        path = os.path.join(folder, name)
        out[name] = open(path, "rb").read() if os.path.exists(path) else None
    replays = os.path.join(folder, "replays")
    out["replays"] = sorted(os.listdir(replays)) if os.path.isdir(replays) else []
    return out


# The results under the lane: yellow on black, where the play's background ran.
RESULTS = (3000, 4500, 6500, 1800)


def results_shown(img):
    """The results' label covers the running background: black, with yellow text on it."""
    rect = img.region_twips(*RESULTS)
    return img.count(rect, black) > rect[2] * rect[3] * 0.6 and img.count(rect, yellow) > 200


def results_text(img):
    """Where the results' text is lit: the same figures light the same pixels."""
    x0, y0, w, h = img.region_twips(*RESULTS)
    return [(x, y) for y in range(y0, y0 + h) for x in range(x0, x0 + w) if yellow(img.pixel(x, y))]


def folder_bytes(folder):
    """Every file of the save folder (the links to the data are not followed), with its bytes."""
    out = {}
    for root, _, names in os.walk(folder):
        for name in names:
            path = os.path.join(root, name)
            if not os.path.islink(path):
                out[os.path.relpath(path, folder)] = open(path, "rb").read()
    return out


def strike_until(s, predicate, what, timeout):
    """Strikes the don keys (the default 左足 and 右足) now and then until predicate(picture)."""
    return s.wait_for(predicate, what, timeout, between=lambda: s.key("KP_1", "KP_2", settle=0.05))


def save_png(img, name):
    """Writes the form picture as a PNG into the build folder for a person to look at."""
    subprocess.run(["convert", "ppm:-", os.path.join(SHOTS, name)], input=img.ppm(), check=True)


class SongSelect(unittest.TestCase):
    def test_easy_course_shows_song_six_then_steps_right(self):
        config = struct.pack("<10h", 97, 98, 100, 101, 9, 0, -600, 0, 1, 0)
        files = {"config.dat": config, "score.dat": score_dat({6: 4321, 4: 98}), "history.txt": HISTORY.encode(), **WALK_SONGS}
        with open(OWN_SONG, "rb") as f:
            files["songs/openmsx/tttheme2.mid"] = f.read()
        with Game(files) as s:
            picture = s.picture
            star_full, star_empty = picture("star1.bmp"), picture("star2.bmp")
            title6, title4 = picture("song6.gif"), picture("song4.gif")
            badge = picture("kantan.bmp")
            small = {g: (picture(f"{g}s.bmp"), picture(f"{g}s_mask.bmp")) for g in (0, 1, 2, 3)}
            small[10] = (picture("slash.bmp"), picture("slash_mask.bmp"))

            def count_shown(i, glyphs):
                """The place and count under the title read as the glyphs given (10: the slash)."""
                return all(
                    matches(i, X0 + 303 + 18 * k, Y0 + 290, small[g][0], 18, 24, small[g][1]) > 0.95
                    for k, g in enumerate(glyphs)
                )
            big = {g: (picture(f"{g}.bmp"), picture(f"{g}_mask.bmp")) for g in range(10)}

            # Keys only from here on. Enter goes on from the notice, and from the opening.
            s.notice(warned=False)
            s.tap("Return")
            s.wait_for(lambda i: i.count(harness.twips_rect(*NOTICE), yellow) == 0, "the opening")
            s.tap("Return")

            def title(i):
                return yellow(i.pixel(10, 490)) and all(i.count(item_rect(t), blue) > 100 for t in FULL_TOPS.values())

            img = s.wait_for(title, "the title menu")
            self.assertFalse(any(highlighted(img, t) for t in FULL_TOPS.values()), "a highlight before the arrows")
            # The first arrow shows the highlight on かんたん; Enter opens it.
            s.tap("Down")
            s.wait_for(lambda i: highlighted(i, FULL_TOPS[0]), "the highlight on かんたん")
            s.tap("Return")
            img = s.wait_for(lambda i: matches(i, X0 + 146, Y0 + 65, title6) > 0.95, "song 6")
            save_png(img, "e2e_song_select_song6.png")
            # F8: 記録 plots song 6's plays (the score line's yellow on the plot's navy); Esc goes back.
            s.tap("F8")

            def plots(i):
                return i.count((0, 0, 667, 500), lambda p: p == (8, 12, 32)) > 150000

            img = s.wait_for(plots, "記録")
            save_png(img, "e2e_history.png")
            self.assertGreater(img.count((70, 52, 531, 171), lambda p: p == (255, 220, 60)), 100, "the scores")
            s.tap("Escape")
            img = s.wait_for(lambda i: matches(i, X0 + 146, Y0 + 65, title6) > 0.95, "song 6 again")

            self.assertGreater(matches(img, X0 + 243, Y0 + 21, badge, 200, 35), 0.95, "かんたん badge")
            # One filled star and three empty slots (each slot's 35 columns not covered by the
            # next one), and nothing of a star slot after the fourth.
            self.assertGreater(matches(img, X0 + 148, Y0 + 155, star_full, 35, 38), 0.95)
            for i in (1, 2):
                self.assertGreater(matches(img, X0 + 148 + 35 * i, Y0 + 155, star_empty, 35, 38), 0.95)
            self.assertGreater(matches(img, X0 + 148 + 35 * 3, Y0 + 155, star_empty, 38, 38), 0.95)
            self.assertGreater(matches(img, X0 + 148 + 35 * 3, Y0 + 155, star_empty, 38, 38, ink_only=True), 0.95)
            self.assertLess(matches(img, X0 + 148 + 35 * 4, Y0 + 155, star_empty, 38, 38, ink_only=True), 0.3)
            # 01/13: the ten songs and the three own songs (read in the background: wait for them).
            s.wait_for(lambda i: count_shown(i, (0, 1, 10, 1, 3)), "01/13")
            img = s.form_image()
            for k, g in enumerate((0, 1, 10, 1, 3)):
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

            s.tap("Right")
            img = s.wait_for(lambda i: matches(i, X0 + 146, Y0 + 65, title4) > 0.95, "song 4")
            save_png(img, "e2e_song_select_song4.png")
            for k, g in enumerate((0, 2, 10, 1, 3)):
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

            # Left twice: back to song 6, then round to the last entry, 13/13; once more to the
            # first own song, 11/13: its folder where the genre picture would stand, and its
            # title lettered in orange where the title pictures stand.
            s.tap("Left")
            s.tap("Left")
            s.wait_for(lambda i: count_shown(i, (1, 3, 10, 1, 3)), "13/13")
            s.tap("Left")
            s.tap("Left")
            img = s.wait_for(lambda i: count_shown(i, (1, 1, 10, 1, 3)), "the own song")
            save_png(img, "e2e_song_select_own_song.png")
            for k, g in enumerate((1, 1, 10, 1, 3)):
                sprite, mask = small[g]
                self.assertGreater(
                    matches(img, X0 + 303 + 18 * k, Y0 + 290, sprite, 18, 24, mask), 0.95, f"glyph {k}"
                )

            def orange(p):
                return p[0] > 200 and 120 < p[1] < 190 and p[2] < 90

            self.assertGreater(img.count((X0 + 146, Y0 + 65, 394, 49), orange), 150, "its title")

            # Space plays it by auto play: mid-song the lane with the notes of its drums and the
            # judgement frame, the gauge filling, the drummer and the running background.
            s.tap("space")
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
            s.wait_for(lambda i: i.count(i.region_twips(*GAUGE), red) > gauge_before + 30, "the gauge to grow")
            s.screenshot_file(PLAY_SHOT)
            self.assertTrue(s.running())

            # Esc pauses: the lane stands still and the pause menu takes the background's place.
            scores = open(os.path.join(s.folder, "score.dat"), "rb").read()

            # The menu's yellow title on black where the background was: the day background has
            # yellow bunting there, so the yellow alone would find a pause in the daytime.
            def paused(i):
                title = i.region_twips(3000, 4600, 4000, 640)
                return i.count(title, yellow) > 100 and i.count(title, lambda p: max(p) < 30) > 5000

            s.tap("Escape")
            img = s.wait_for(paused, "the pause menu")
            save_png(img, "e2e_pause_menu.png")
            time.sleep(0.5)
            self.assertEqual(pixels(s.form_image(), LANE), pixels(img, LANE), "the lane moved")
            # つづける: the song goes on from where it stood.
            s.tap("Return")
            s.wait_for(lambda i: not paused(i) and pixels(i, LANE) != pixels(img, LANE), "the song to go on")
            # やりなおす: the song starts again from its start; paused at once, its score is far
            # below the one it had.
            s.tap("Escape")
            img = s.wait_for(paused, "the pause menu again")
            score_ink = img.count(img.region_twips(*SCORE), red)
            s.tap("Down")
            s.tap("Return", settle=0.3)
            s.tap("Escape")
            img = s.wait_for(paused, "the pause menu over the song started again")
            self.assertLess(img.count(img.region_twips(*SCORE), red), score_ink * 0.7, "started again")
            # やめる (Up wraps to it): back to the same course's song select; nothing was written.
            s.tap("Up")
            s.tap("Return")
            s.wait_for(lambda i: matches(i, X0 + 146, Y0 + 65, title6) > 0.95, "song select")
            time.sleep(0.5)
            self.assertGreater(matches(s.form_image(), X0 + 146, Y0 + 65, title6), 0.95, "no song started")
            self.assertEqual(open(os.path.join(s.folder, "score.dat"), "rb").read(), scores)

            # P practises song 6: its tempo line in yellow where the score and background were.
            # Left five times sets 75 % for the next pass; Esc leaves, and nothing was written.
            files_before = written(s.folder)
            s.tap("p")
            img = s.wait_for(lambda i: i.count(i.region_twips(*PRACTICE_TEMPO), yellow) > 200, "practice")
            tempo = img.count(img.region_twips(*PRACTICE_TEMPO), yellow)
            for _ in range(5):
                s.tap("Left", settle=0.1)
            s.wait_for(lambda i: i.count(i.region_twips(*PRACTICE_TEMPO), yellow) > tempo + 200, "75 % set")
            save_png(s.form_image(), "e2e_practice.png")
            s.tap("Escape")
            s.wait_for(lambda i: matches(i, X0 + 146, Y0 + 65, title6) > 0.95, "song select after practice")
            self.assertEqual(written(s.folder), files_before, "practice wrote a file")

            # The course played to its end with Enter: the two short own songs (13th, then 12th);
            # only a course's end (its total after the second song) leads back to the title.
            s.tap("Left")
            s.wait_for(lambda i: count_shown(i, (1, 3, 10, 1, 3)), "13/13")
            s.tap("Return")
            s.wait_for(notes_on_lane, "the first short song")
            strike_until(s, results_shown, "the first song's results", 2 * harness.PATIENCE)
            time.sleep(0.2)
            played = s.form_image()
            save_png(played, "e2e_played_results.png")
            played = results_text(played)
            s.wait_for(lambda i: count_shown(i, (0, 1, 10, 1, 3)), "the second song select", 2 * harness.PATIENCE)

            # F7 on the song just played lists its replay; Enter watches it, sought on and slowed
            # to 50 %: its results are the play's, and the save folder stays as it was.
            before = folder_bytes(s.folder)
            s.tap("Left")
            s.wait_for(lambda i: count_shown(i, (1, 3, 10, 1, 3)), "13/13 again")
            s.tap("F7")
            s.wait_for(lambda i: i.pixel(600, 400) == (8, 12, 32), "the replay list")
            s.tap("Return")
            s.wait_for(notes_on_lane, "the replay")
            s.tap("Right")
            s.tap("Down", settle=0.1)
            s.tap("Down")
            img = s.wait_for(results_shown, "the replay's results", 2 * harness.PATIENCE)
            time.sleep(0.2)
            img = s.form_image()
            save_png(img, "e2e_watched_results.png")
            self.assertEqual(results_text(img), played, "the watch ended as the play")
            s.wait_for(lambda i: i.pixel(600, 400) == (8, 12, 32), "the replay list again", 2 * harness.PATIENCE)
            s.tap("Escape")
            s.wait_for(lambda i: count_shown(i, (1, 3, 10, 1, 3)), "song select after the replays")
            self.assertEqual(folder_bytes(s.folder), before, "watching wrote a file")
            s.tap("Left")
            s.wait_for(lambda i: count_shown(i, (1, 2, 10, 1, 3)), "12/13")
            s.tap("Return")
            s.wait_for(notes_on_lane, "the second short song")
            strike_until(s, title, "the title after the course's total", 2 * harness.PATIENCE)
            # Each of the course's songs kept its replay; score.dat never holds an own song's.
            self.assertEqual(len(written(s.folder)["replays"]), len(files_before["replays"]) + 2)
            self.assertEqual(open(os.path.join(s.folder, "score.dat"), "rb").read(), scores)

            # チャレンジ by the arrows (the first Down lights かんたん), then the challenge menu:
            # Down twice highlights the second modifier and Enter plays with it; やめる leaves.
            for _ in range(4):
                s.tap("Down", settle=0.1)
            s.wait_for(lambda i: highlighted(i, FULL_TOPS[4]), "the highlight on チャレンジ")
            s.tap("Return")
            s.wait_for(lambda i: matches(i, X0 + 146, Y0 + 65, title6) > 0.95, "the challenge course's song select")
            s.tap("Return")
            img = s.wait_for(lambda i: black(i.pixel(5, 495)) and i.count(
                harness.twips_rect(6500, 200, 2000, 700), yellow) > 50, "the challenge menu")
            self.assertFalse(any(challenge_row(img, r) for r in range(3)), "a highlight before the arrows")
            s.tap("Down")
            s.tap("Down")
            s.wait_for(lambda i: challenge_row(i, 1) and not challenge_row(i, 0), "the second modifier")
            s.tap("Return")
            s.wait_for(notes_on_lane, "the challenge song")
            s.tap("Escape")
            s.wait_for(paused, "the pause menu in the challenge course")
            s.tap("Up")
            s.tap("Return")
            s.wait_for(lambda i: matches(i, X0 + 146, Y0 + 65, title6) > 0.95, "the challenge song select again")
            self.assertTrue(s.running())


if __name__ == "__main__":
    unittest.main()
