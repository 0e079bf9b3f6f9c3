"""Minutes of random play in the real window: clicks anywhere, taps and holds of the keys the
game reads (and some it does not), and now and then the window's close button, answered with
Cancel. songs/ holds real MIDI files (the openttd-openmsx set) and broken ones. The program must
never end but by its exit question (status 0, which a random Return on that question gives: the
game is then started again), and no sanitizer may report. Run by scripts/soak.sh.

usage: random_input.py PROGRAM MINUTES [SEED]"""

import glob
import os
import random
import sys
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "e2e"))
import harness  # noqa: E402
from test_dialogs import buttons  # noqa: E402

KEYS = ["KP_1", "KP_2", "KP_4", "KP_5", "Left", "Right", "Up", "Down", "Return", "space",
        "Escape", "F2", "F3", "a", "z", "1", "9", "BackSpace", "Tab"]
REPORTS = ("ERROR: AddressSanitizer", "ERROR: LeakSanitizer", "runtime error:", "WARNING: ThreadSanitizer")


def song_files(rng):
    """Real songs and broken ones: cut short, bytes flipped, not MIDI at all, empty."""
    files = {}
    real = sorted(glob.glob("/usr/share/games/openttd/baseset/openmsx/*.mid"))
    for path in real[:12]:
        with open(path, "rb") as f:
            data = f.read()
        name = os.path.basename(path)
        files["songs/real/" + name] = data
        files["songs/broken/cut_" + name] = data[: rng.randrange(14, max(15, len(data) // 2))]
        flipped = bytearray(data)
        for _ in range(20):
            i = rng.randrange(len(flipped))
            flipped[i] = rng.randrange(256)
        files["songs/broken/flipped_" + name] = bytes(flipped)
    files["songs/broken/noise.mid"] = bytes(rng.randrange(256) for _ in range(4096))
    files["songs/broken/empty.mid"] = b""
    files["songs/broken/header_only.mid"] = b"MThd\x00\x00\x00\x06\x00\x01\x00\x10\x01\xe0"
    return files


def act(g, rng):
    roll = rng.random()
    if roll < 0.40:
        g.click_twips(rng.randrange(10000), rng.randrange(7500), settle=0.05)
    elif roll < 0.80:
        g.key(rng.choice(KEYS), settle=0.05)
    elif roll < 0.97:
        key = rng.choice(KEYS[:8])
        harness._run(["xdotool", "keydown", key], g.env)
        time.sleep(rng.uniform(0.1, 2.0))
        harness._run(["xdotool", "keyup", key], g.env)
    else:
        g.request_close(settle=0.5)
        if len(buttons(g.form_image())) == 2:
            g.key("Escape")


def main():
    program, minutes = sys.argv[1], float(sys.argv[2])
    seed = int(sys.argv[3]) if len(sys.argv) > 3 else int(time.time())
    print(f"random_input: seed {seed}, {minutes} minutes", flush=True)
    rng = random.Random(seed)
    files = song_files(rng)
    end = time.monotonic() + minutes * 60
    actions = starts = 0
    while time.monotonic() < end:
        starts += 1
        with harness.Session(program, files=files) as g:
            while time.monotonic() < end and g.running():
                act(g, rng)
                actions += 1
            if g.running():
                g.request_close(settle=0.5)
                g.wait_for(lambda i: len(buttons(i)) == 2, "the exit question", 60)
                g.key("Return")
            code, _, err = g.wait_exit(60)
        reports = [line for line in err.splitlines() if any(r in line for r in REPORTS)]
        if code != 0 or reports:
            print(err[-8000:], file=sys.stderr)
            print(f"random_input: the program ended with status {code} after {actions} actions "
                  f"(seed {seed})", file=sys.stderr)
            return 1
    print(f"random_input: {actions} actions over {starts} start(s), every end by the exit question")
    return 0


if __name__ == "__main__":
    sys.exit(main())
