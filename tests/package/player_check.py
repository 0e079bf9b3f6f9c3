"""A player's first game from the installed package (run by player_check.sh, as root): the
account given runs `zubakko` from the PATH in a real window (Xvfb), with its own fresh home; the
first start warns of nothing; the player goes to the easy course, plays the first song by hand
through to its results and ends the game by the exit question. Then the save folder in that
home holds the first saves and the song's replay, which zubakko-play reproduces."""

import os
import pwd
import shutil
import subprocess
import sys
import time
import unittest

here = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(here, "..", "e2e"))
import harness  # noqa: E402
from test_dialogs import buttons  # noqa: E402
from test_netrank import DRUMS, RESULTS, timing_shown, yellow  # noqa: E402
from test_title_menu import NOTICE, SHORT_TOPS, Game  # noqa: E402

PLAYER = os.environ["ZB_PLAYER"]
PATIENCE = 60
SONG = 150  # the longest song of the easy course, with its results


class Player(Game):
    def __init__(self, program, account):
        harness.Session.__init__(
            self,
            program,
            installed=True,
            user=account.pw_name,
            cwd=account.pw_dir,
            env={"HOME": account.pw_dir, "USER": account.pw_name, "LOGNAME": account.pw_name},
        )


class InstalledForAPlayer(unittest.TestCase):
    def test_a_new_player_plays_a_song_and_keeps_it_in_their_home(self):
        account = pwd.getpwnam(PLAYER)
        program = shutil.which("zubakko", path="/usr/local/bin:/usr/bin:/bin:/usr/games")
        self.assertEqual(program, "/usr/games/zubakko")
        saves = os.path.join(account.pw_dir, ".local/share/zubakko")
        self.assertFalse(os.path.exists(saves))
        with Player(program, account) as g:
            g.notice(warned=False)
            g.title(SHORT_TOPS.values())
            g.click_twips(5500 + 800, 2500 + 275)  # かんたん
            title6 = harness.picture("/usr/share/zubakko/img/other/song6.gif")
            g.wait_for(lambda i: harness.matches(i, -15 + 146, 65, title6) > 0.95, "song 6 in the song select")
            g.tap("Return")
            g.wait_for(lambda i: harness.matches(i, -15 + 146, 65, title6) < 0.5, "the play screen")
            time.sleep(3)  # the song's start, before which the lane is still empty
            strike = 0

            def results(img):
                # The play field has yellow too; only the results have the strikes' timing
                # (its histogram's gold band) beside their yellow captions.
                return timing_shown(img) and img.count(harness.twips_rect(*RESULTS), yellow) > 200

            img = g.form_image()
            end = time.monotonic() + SONG + PATIENCE  # a busy machine plays slow
            while not results(img):
                self.assertLess(time.monotonic(), end, "no results")
                g.key(DRUMS[strike % 4], DRUMS[(strike + 1) % 4], settle=0.15)
                strike += 2
                img = g.form_image()
            g.request_close()
            g.wait_for(lambda i: len(buttons(i)) == 2, "the exit question", PATIENCE)
            g.key("Return")
            code, _, err = g.wait_exit(PATIENCE)
        self.assertEqual(code, 0, err)
        self.assertNotIn("could not read", err)

        files = sorted(os.path.relpath(os.path.join(d, f), saves) for d, _, fs in os.walk(saves) for f in fs)
        print("the player's save folder:", files)
        self.assertIn("config.dat", files)
        self.assertIn("score.dat", files)
        replays = [f for f in files if f.startswith("replays/")]
        self.assertEqual(len(replays), 1, files)
        for d, dirs, fs in os.walk(saves):
            for f in dirs + fs:
                self.assertEqual(os.stat(os.path.join(d, f)).st_uid, account.pw_uid, f)
        # The play as the player saw it, from the player's own home.
        out = subprocess.run(
            ["runuser", "-u", PLAYER, "--", "/usr/games/zubakko-play", "--replay", os.path.join(saves, replays[0])],
            check=True, capture_output=True, text=True,
        ).stdout
        print("its replay:", out.strip()[:200])


if __name__ == "__main__":
    unittest.main()
