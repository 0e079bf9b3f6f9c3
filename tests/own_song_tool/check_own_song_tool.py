"""Runs zubakko-chart import on every real-world MIDI file of a folder and checks each due note
against the files' note events read here (every note within 5 ms of one, through the files' own
tempo maps); then, on one file, the chart files that --write leaves for hand-editing, and
zubakko-play --song-file: auto play, a modifier, and a player who strikes every note at its due
time. Prints each file's result (for the closing notes) and "N passed, M failed"."""
import json
import os
import shutil
import struct
import subprocess
import sys
import tempfile

chart_tool, play_tool, folder = sys.argv[1:4]
failures, passed = [], 0


def check(ok, what):
    global passed
    if ok:
        passed += 1
    else:
        failures.append(what)


def note_events(path):
    """(ms, channel) of every note-on with a velocity, read with the file's tempo map."""
    data = open(path, "rb").read()
    ntrks, division = struct.unpack(">HH", data[10:14])
    pos, events, tempos = 8 + struct.unpack(">I", data[4:8])[0], [], []
    for _ in range(ntrks):
        length = struct.unpack(">I", data[pos + 4 : pos + 8])[0]
        i, end, tick, status = pos + 8, pos + 8 + length, 0, 0
        while i < end:
            delta = 0
            while True:
                b = data[i]
                i += 1
                delta = (delta << 7) | (b & 0x7F)
                if b < 0x80:
                    break
            tick += delta
            if data[i] >= 0x80:
                status = data[i]
                i += 1
            if status == 0xFF:
                kind, n = data[i], data[i + 1]  # lengths in these files stay below 128
                if kind == 0x51:
                    tempos.append((tick, int.from_bytes(data[i + 2 : i + 5], "big")))
                i += 2 + n
                if kind == 0x2F:
                    break
            elif status in (0xF0, 0xF7):
                i += 1 + data[i]
            else:
                size = 1 if status >> 4 in (0xC, 0xD) else 2
                if status >> 4 == 9 and data[i + 1] > 0:
                    events.append((tick, status & 15, data[i]))
                i += size
        pos = end
    tempos.sort()

    def ms(tick):
        t, last, us = 0.0, 0, 500000
        for at, new in tempos:
            if at >= tick:
                break
            t += (at - last) * us / 1000 / division
            last, us = at, new
        return t + (tick - last) * us / 1000 / division

    return sorted((ms(t), ch, key) for t, ch, key in events)


def run(*args):
    return subprocess.run([*map(str, args)], capture_output=True, text=True)


def imported(path):
    r = run(chart_tool, "import", path, "--json")
    return r, json.loads(r.stdout) if r.stdout else None


NAMES = ["かんたん", "むずかしい", "ワンだフル"]
# Bass drums and low hand drums are 鈍; snares, toms, claps, rims and high hand drums 感.
LOW = {35, 36, 61, 64, 66}
STROKES = LOW | {37, 38, 39, 40, 41, 43, 45, 47, 48, 50, 60, 62, 63, 65}
# Charted from their hand drums (congas, bongos; a bass drum, a ride and a conga).
HAND_DRUM_FILES = {"wood_whistles.mid", "careless_perc_redfarn.mid"}
files = sorted(f for f in os.listdir(folder) if f.endswith(".mid"))
check(len(files) >= 20, f"only {len(files)} MIDI files in {folder}")
playable = 0
for name in files:
    path = os.path.join(folder, name)
    r, out = imported(path)
    if out is None:
        failures.append(f"{name}: no JSON, exit {r.returncode}: {r.stderr}")
        continue
    check(list(out) == ["file", "title", "playable", "reason", "charts"], f"{name}: keys {list(out)}")
    if not out["playable"]:
        print(f"{name}: refused: {out['reason']}")
        check(r.returncode == 3 and out["reason"], f"{name}: refused without a reason")
        continue
    playable += 1
    events = note_events(path)
    # The notes come from the drums when there are bass drums, snares, toms, claps and rims
    # enough; else from the other parts.
    strokes = [ms for ms, ch, key in events if ch == 9 and key in STROKES]
    drums = [ms for ms, ch, key in events if ch == 9]
    sources = drums if len(strokes) >= 16 else [ms for ms, ch, key in events if ch != 9]
    lows = [ms for ms, ch, key in events if ch == 9 and key in LOW]
    check(name not in HAND_DRUM_FILES or sources is drums, f"{name}: not charted from its drums")
    summary = []
    for c in out["charts"]:
        check(list(c) == ["difficulty", "notes", "stars", "maxErrorMs", "handMade", "due"], f"{name}: chart keys")
        check(c["notes"] == len(c["due"]), f"{name} {c['difficulty']}: note count")
        check(c["maxErrorMs"] <= 5.0, f"{name} {c['difficulty']}: maxErrorMs {c['maxErrorMs']}")
        worst, j = 0.0, 0
        for ms, kind in c["due"]:
            while j + 1 < len(sources) and sources[j + 1] <= ms:
                j += 1
            near = min(abs(ms - sources[k]) for k in (j, min(j + 1, len(sources) - 1)))
            worst = max(worst, near)
            check(kind in (1, 2, 3, 4), f"{name}: kind {kind}")
            # From drums, a stroke with a low drum in it is a 鈍, any other a 感.
            if sources is drums:
                low = any(ms - 5 <= t <= ms + 30 for t in lows)
                check(low == (kind in (1, 3)), f"{name}: kind {kind} at {ms} ms")
        check(worst <= 5.0 + 1e-6, f"{name} {c['difficulty']}: a note {worst:.2f} ms from any event")
        summary.append(f"{NAMES[c['difficulty']]} {c['notes']} notes {c['stars']}★ (max {worst:.2f} ms)")
    print(f"{name}: {out['title']}: " + ", ".join(summary))
print(f"{playable} of {len(files)} files playable")

# A broken file: refused with a reason, and zubakko-play says so.
tmp = tempfile.mkdtemp()
try:
    broken = os.path.join(tmp, "broken.mid")
    open(broken, "wb").write(b"MThd\x00\x00\x00\x06\x00\x00\x00\x01\x01\xe0MTrk\x00\x00\x10\x00\x00\x90")
    r, out = imported(broken)
    check(r.returncode == 3 and out and not out["playable"] and out["reason"], f"broken file: {r.stdout}")
    r = run(play_tool, "--song-file", broken, "--difficulty", "0", "--auto")
    check(r.returncode == 1 and "broken.mid" in r.stderr, f"zubakko-play on a broken file: {r.stderr}")

    # --write leaves the three charts as measure lines; read back, they are the same charts.
    song = os.path.join(tmp, "song.mid")
    shutil.copy(os.path.join(folder, "tttheme2.mid"), song)
    r, before = imported(song)
    w = run(chart_tool, "import", song, "--write")
    check(w.returncode == 0, f"--write: {w.stderr}")
    for d in range(3):
        text = open(os.path.join(tmp, f"song_d{d}.txt"), encoding="utf-8").read()
        lines = [l for l in text.splitlines() if l and not l.startswith("#")]
        check(all(l[0] in "56789" for l in lines[1:]), f"d{d}: a measure line without its bar line")
    r, after = imported(song)
    for b, a in zip(before["charts"], after["charts"]):
        check(a["handMade"] and a["due"] == b["due"], f"d{b['difficulty']}: the chart file differs")

    # zubakko-play: auto play strikes every note, under a modifier too; a player who strikes each
    # note at its due time (no delay) gets 良 for all of them.
    for d, mode in ((0, None), (2, "9")):
        args = ["--song-file", song, "--difficulty", d, "--auto"] + (["--mode", mode] if mode else [])
        r = run(play_tool, *args)
        res = json.loads(r.stdout) if r.returncode == 0 else {}
        check(res.get("CountBest") == before["charts"][d]["notes"], f"auto play d{d} mode {mode}: {r.stderr}{res}")
    keys = []
    for ms, kind in before["charts"][1]["due"]:
        for vk in {1: [97], 2: [100], 3: [97, 98], 4: [100, 101]}[kind]:
            keys += [f"{ms} {vk} down", f"{ms + 40} {vk} up"]
    open(os.path.join(tmp, "keys.txt"), "w").write("\n".join(keys) + "\n")
    replay = os.path.join(tmp, "own.zbr")
    r = run(play_tool, "--song-file", song, "--difficulty", 1, "--delay", 0, "--keys", os.path.join(tmp, "keys.txt"),
            "--save-replay", replay)
    res = json.loads(r.stdout) if r.returncode == 0 else {}
    check(res.get("CountBest") == before["charts"][1]["notes"] and res.get("CountMiss") == 0,
          f"struck on time: {r.stderr}{res}")
    # Its replay names the song by its content: played back on the same file (renamed), it gives
    # the same judgements; without the file, or on another file, it says so.
    renamed = os.path.join(tmp, "renamed.mid")
    shutil.copy(song, renamed)
    r = run(play_tool, "--replay", replay, "--song-file", renamed)
    again = json.loads(r.stdout) if r.returncode == 0 else {}
    check(again.get("Judgements") == res.get("Judgements") and again.get("Score") == res.get("Score"),
          f"own song replay: {r.stderr}{again}")
    r = run(play_tool, "--replay", replay)
    check(r.returncode == 1 and "--song-file" in r.stderr, f"own song replay without its file: {r.stderr}")
    other = os.path.join(tmp, "other.mid")
    shutil.copy(os.path.join(folder, "chuggachugga.mid"), other)
    r = run(play_tool, "--replay", replay, "--song-file", other)
    check(r.returncode == 1 and "not the MIDI file" in r.stderr, f"own song replay on another file: {r.stderr}")
finally:
    shutil.rmtree(tmp)

for f in failures:
    print("FAIL:", f)
print(f"{passed} passed, {len(failures)} failed")
sys.exit(1 if failures else 0)
