"""Runs zubakko-chart for every chart and a few modes and checks its JSON against the chart
files read here, then checks that bad arguments give a usage line and exit status 2."""
import json
import os
import subprocess
import sys

tool, charts = sys.argv[1], sys.argv[2]
KEYS = ["ChartText", "NoteCount", "NotePos", "NoteKinds", "NoteSpacing", "LaneBlitWidth",
        "PartEndTime", "ChartSpan", "ChartOffset", "ChartDelay", "MusicVolumeScale", "SongLevel",
        "ComboBonusStep", "GaugeGainBest", "GaugeGainGood", "GaugeLoss", "GaugeUnit",
        "JudgeWindow1", "JudgeWindow2", "JudgeWindow3", "MusicFile"]
MUSIC = ["eff4_13", "kessen_2", "sudden_death", "opening_to_the_2001", "rakuda", "dodo",
         "tasomati", "kumoue", "bike", "toruko"]
failures = []


def run(*args):
    return subprocess.run([tool, *map(str, args)], capture_output=True, text=True)


def read_chart(name):
    with open(os.path.join(charts, name), encoding="utf-8") as f:
        return "".join(l.strip() for l in f if l.strip() and not l.startswith("#"))


for song in range(10):
    for diff in range(4):
        parts = range(3) if song in (5, 6) else [None]
        for part in parts:
            name = f"song{song}_d{diff}" + (f"_p{part}" if part is not None else "") + ".txt"
            if not os.path.exists(os.path.join(charts, name)):
                continue
            args = ["--song", song, "--difficulty", diff] + (["--part", part] if part else [])
            for mode in (0, 1, 4, 9):
                r = run(*args, "--mode", mode)
                if r.returncode != 0:
                    failures.append(f"{name} mode {mode}: exit {r.returncode} {r.stderr}")
                    continue
                out = json.loads(r.stdout)
                if list(out) != KEYS:
                    failures.append(f"{name}: keys {list(out)}")
                text = read_chart(name)
                if mode == 4:
                    text = text.translate(str.maketrans("12346789", "21437698"))
                if out["ChartText"] != text:
                    failures.append(f"{name} mode {mode}: ChartText differs from the file")
                notes = [(w + 1, c) for w, c in enumerate(text) if c not in "05"]
                spacing = out["NoteSpacing"]
                pos = [spacing * (4 if song == 4 and diff == 2 and w > 360 else 1) * w
                       for w, _ in notes]
                if out["NoteCount"] != len(notes) or out["NotePos"] != pos:
                    failures.append(f"{name} mode {mode}: notes differ from the file")
                if out["NoteKinds"] != "".join(c for _, c in notes):
                    failures.append(f"{name} mode {mode}: kinds differ from the file")
                scale = {0: 1, 1: 2, 4: 1, 9: 0.5}[mode]
                if out["ChartDelay"] != round(9 * scale):
                    failures.append(f"{name} mode {mode}: delay {out['ChartDelay']}")
                want_music = None if part else f"sound/{MUSIC[song]}.mid"
                if out["MusicFile"] != want_music:
                    failures.append(f"{name}: music {out['MusicFile']}")
                if out["MusicVolumeScale"] != (1.5 if song == 8 else 1.0):
                    failures.append(f"{name}: volume scale {out['MusicVolumeScale']}")

r = run("--song", 0, "--difficulty", 0, "--delay", 20)
if json.loads(r.stdout)["ChartDelay"] != 20:
    failures.append("--delay is not used")

for bad in (["--song", 0], ["--difficulty", 0], ["--song", 10, "--difficulty", 0],
            ["--song", 0, "--difficulty", 3], ["--song", 0, "--difficulty", 0, "--part", 1],
            ["--song", 5, "--difficulty", 0, "--part", 3], ["--song", "x", "--difficulty", 0],
            ["--song", 0, "--difficulty", 0, "--mode", 10], ["--song", 0, "--difficulty", 0, "-v"],
            ["--song", 0, "--difficulty"], ["--song", 0, "--difficulty", 0, "--delay", 99999]):
    r = run(*bad)
    if r.returncode != 2 or "usage:" not in r.stderr or r.stdout:
        failures.append(f"{bad}: exit {r.returncode}, stderr {r.stderr!r}")

for f in failures:
    print(f)
sys.exit(1 if failures else 0)
