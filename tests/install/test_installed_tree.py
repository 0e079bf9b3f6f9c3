"""The game as `cmake --install` lays it out under a prefix (here a DESTDIR), started from there
with a fresh home: the programs on the PATH's folders, the data in share/zubakko, the desktop's
files, no build path anywhere; the game's first start makes its save folder in the home with the
first saves copied in, warns of nothing, and ends by its exit question."""

import json
import os
import shutil
import subprocess
import sys
import tempfile
import unittest

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "e2e"))
import harness  # noqa: E402
from test_dialogs import buttons  # noqa: E402
from test_title_menu import NOTICE, yellow  # noqa: E402

BUILD = os.environ.get("ZB_BUILD_DIR", "build")
SOURCE = os.environ.get("ZB_SOURCE_DIR", ".")
APP_ID = "jp.zubakko.Zubakko"
ICON_SIZES = (16, 22, 24, 32, 48, 64, 128, 256)


def tree(root):
    """Every file below root, as paths relative to it."""
    return {
        os.path.relpath(os.path.join(d, f), root) for d, _, files in os.walk(root) for f in files
    }


class InstalledTree(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.tmp = tempfile.mkdtemp(prefix="zb-install-")
        cls.dest = os.path.join(cls.tmp, "dest")
        subprocess.run(
            ["cmake", "--install", BUILD, "--prefix", "/usr", "--strip"],
            env=dict(os.environ, DESTDIR=cls.dest),
            check=True,
            capture_output=True,
        )
        cls.usr = os.path.join(cls.dest, "usr")
        cls.home = os.path.join(cls.tmp, "home")
        os.makedirs(cls.home)
        cls.env = {k: v for k, v in os.environ.items() if not k.startswith("XDG_")}
        cls.env["HOME"] = cls.home

    @classmethod
    def tearDownClass(cls):
        shutil.rmtree(cls.tmp, ignore_errors=True)

    def test_1_every_file_lands_in_its_place_and_names_no_build_path(self):
        files = tree(self.usr)
        programs = {"games/zubakko"} | {f"games/zubakko-{t}" for t in ("play", "chart", "rank", "rankserver")}
        for p in programs:
            self.assertIn(p, files)
            self.assertTrue(os.access(os.path.join(self.usr, p), os.X_OK), p)
        assets = os.path.join(SOURCE, "assets")
        data = {os.path.join("share/zubakko", sub, f) for sub in ("img", "sound") for f in tree(os.path.join(assets, sub))}
        data |= {"share/zubakko/config.dat", "share/zubakko/score.dat"}
        desktop = {f"share/applications/{APP_ID}.desktop", f"share/metainfo/{APP_ID}.metainfo.xml"}
        icons = {f"share/icons/hicolor/{n}x{n}/apps/{APP_ID}.png" for n in ICON_SIZES}
        man = {"share/man/man6/zubakko.6"} | {
            f"share/man/man1/zubakko-{t}.1" for t in ("play", "chart", "rank", "rankserver")
        }
        self.assertEqual(files, programs | data | desktop | icons | man)
        for name in ("config.dat", "score.dat"):
            with open(os.path.join(self.usr, "share/zubakko", name), "rb") as f:
                self.assertEqual(f.read(), open(os.path.join(BUILD, name), "rb").read(), name)
        # Nothing installed names the build or the source folder (the programs are stripped).
        for p in programs | desktop | man:
            with open(os.path.join(self.usr, p), "rb") as f:
                content = f.read()
            for path in {os.path.realpath(BUILD), os.path.realpath(SOURCE)}:
                self.assertNotIn(path.encode(), content, p)
        # An icon is a PNG of its folder's size.
        with open(os.path.join(self.usr, f"share/icons/hicolor/48x48/apps/{APP_ID}.png"), "rb") as f:
            head = f.read(24)
        self.assertEqual(head[:8], b"\x89PNG\r\n\x1a\n")
        self.assertEqual((int.from_bytes(head[16:20], "big"), int.from_bytes(head[20:24], "big")), (48, 48))

    def test_2_the_tools_find_the_data_from_their_own_place(self):
        # zubakko-chart names the music file relative to the data folder it found.
        out = subprocess.run(
            [os.path.join(self.usr, "games/zubakko-chart"), "--song", "0", "--difficulty", "1"],
            env=self.env, cwd="/", check=True, capture_output=True, text=True,
        ).stdout
        self.assertEqual(json.loads(out)["MusicFile"], "sound/eff4_13.mid")
        out = subprocess.run(
            [os.path.join(self.usr, "games/zubakko-play"), "--song", "0", "--difficulty", "0", "--auto"],
            env=self.env, cwd="/", check=True, capture_output=True, text=True,
        ).stdout
        self.assertGreater(json.loads(out)["ShownScore"], 0)
        # A scripted play keeps nothing in the player's home.
        self.assertEqual(tree(self.home), set())

    def test_3_the_first_start_copies_the_first_saves_into_the_home_and_warns_of_nothing(self):
        game = harness.Session(
            os.path.join(self.usr, "games/zubakko"), installed=True, env=self.env, cwd="/"
        )
        with game as g:
            notice = harness.twips_rect(*NOTICE)
            g.wait_for(lambda i: not buttons(i) and i.count(notice, yellow) > 300, "the notice", 60)
            saves = os.path.join(self.home, ".local/share/zubakko")
            self.assertEqual(tree(saves), {"config.dat", "score.dat"})
            for name in ("config.dat", "score.dat"):
                with open(os.path.join(saves, name), "rb") as f:
                    self.assertEqual(f.read(), open(os.path.join(self.usr, "share/zubakko", name), "rb").read())
            g.request_close()
            g.wait_for(lambda i: len(buttons(i)) == 2, "the exit question", 60)
            g.key("Return")
            code, _, err = g.wait_exit(60)
        self.assertEqual(code, 0, err)
        self.assertNotIn("could not read", err)
        self.assertNotIn("cannot", err)


if __name__ == "__main__":
    unittest.main()
