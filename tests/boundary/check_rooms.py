#!/usr/bin/env python3
"""Proves the game rooms' fence with the exact compile line of one source file of each room (taken
from compile_commands.json). A room may include the ports' headers and the rooms below it; the
probes show that these compile, and that an include of a machine library's header, of any other
platform header (the adapters: SDL, audio, FTP, MIDI, headless) or of a room above fails. The rooms'
own sources are read too: each angle-bracket include must be the C++ library or a POSIX header."""
import glob
import json
import os
import re
import shlex
import subprocess
import sys
import tempfile
from concurrent.futures import ThreadPoolExecutor

# Each room and the rooms below it (the design's table).
BELOW = {"core": [], "play": ["core"], "course": ["play", "core"], "netrank": ["play", "core"],
         "frontend": ["course", "netrank", "play", "core"]}
PORTS = ["ports.hpp", "compose.hpp", "form.hpp", "color.hpp", "surface.hpp", "ftp/ftp_port.hpp",
         "pad_inputs.hpp", "kit_inputs.hpp", "sjis_text.hpp", "heap.hpp", "thread_priority.hpp",
         "stderr_line.hpp", "fault_switch.hpp"]
FORBIDDEN = ["SDL.h", "SDL2/SDL.h", "SDL2/SDL_scancode.h", "SDL_image.h", "SDL_ttf.h",
             "curl/curl.h", "fluidsynth.h", "iconv.h", "fontconfig/fontconfig.h", "RtMidi.h",
             "rtmidi/RtMidi.h", "alsa/asoundlib.h", "jack/jack.h", "sqlite3.h"]
POSIX = {"unistd.h", "fcntl.h", "sys/types.h", "sys/stat.h", "sys/wait.h", "signal.h", "poll.h"}


def room_entry(entries, src, room):
    prefix = os.path.join(src, room) + os.sep
    for e in entries:
        if os.path.realpath(e["file"]).startswith(prefix):
            return e
    raise SystemExit(f"no source of room {room} in the compile commands")


def probe_args(entry, probe, mode):
    args = entry.get("arguments") or shlex.split(entry["command"])
    out, skip = [], False
    for a in args:
        if skip:
            skip = False
            continue
        if a in ("-o", "-MT", "-MF", "-c"):
            skip = True
            continue
        if a in ("-MD", "-MMD") or os.path.realpath(os.path.join(entry["directory"], a)) == \
                os.path.realpath(entry["file"]):
            continue
        out.append(a)
    return out + (["-fsyntax-only"] if mode == "compile" else ["-E", "-o", os.devnull]) + [probe]


def run(entry, text, folder, mode="preprocess"):
    fd, probe = tempfile.mkstemp(suffix=".cpp", dir=folder)
    with os.fdopen(fd, "w") as f:
        f.write(text)
    r = subprocess.run(probe_args(entry, probe, mode), cwd=entry["directory"],
                       capture_output=True, text=True)
    return r.returncode == 0, r.stderr


def one_header(src, room):
    return sorted(os.path.relpath(h, src) for h in glob.glob(os.path.join(src, room, "*.hpp")))[0]


def angle_includes(src):
    failures = []
    files = [f for room in BELOW for f in glob.glob(os.path.join(src, room, "**", "*.[ch]pp"),
                                                    recursive=True)]
    files += [os.path.join(src, "platform", h) for h in PORTS]
    for path in files:
        with open(path, encoding="utf-8") as f:
            for n, line in enumerate(f, 1):
                m = re.match(r'\s*#\s*include\s*<([^>]+)>', line)
                if m and (m.group(1).endswith(".h") or "/" in m.group(1)) and \
                        m.group(1) not in POSIX:
                    failures.append(f"{os.path.relpath(path, src)}:{n}: <{m.group(1)}> is neither "
                                    "the C++ library nor POSIX: reach the machine through a port")
    return failures


def main():
    commands, src = sys.argv[1], os.path.realpath(sys.argv[2])
    with open(commands) as f:
        entries = json.load(f)
    platform = os.path.join(src, "platform")
    adapters = sorted(os.path.relpath(h, src) for h in glob.glob(os.path.join(platform, "**",
                                                                              "*.hpp"),
                                                                 recursive=True)
                      if os.path.relpath(h, platform) not in PORTS and "/forbidden/" not in h)
    failures, probes = angle_includes(src), 0
    with tempfile.TemporaryDirectory() as folder:
        for room, below in BELOW.items():
            e = room_entry(entries, src, room)
            allowed = "".join(f'#include "platform/{h}"\n' for h in PORTS) + "".join(
                f'#include "{one_header(src, r)}"\n' for r in [room] + below)
            ok, err = run(e, allowed, folder, "compile")
            probes += 1
            if not ok:
                failures.append(f"{room}: the ports and the rooms below do not compile:\n{err}")
            above = [r for r in BELOW if r != room and r not in below]
            checks = [(f"<{h}>", "must not include") for h in FORBIDDEN]
            checks += [(f'"{h}"', "No such file") for h in adapters]
            checks += [(f'"{one_header(src, r)}"', "No such file") for r in above]
            checks += [('"app/real_platform.hpp"', "No such file")]
            with ThreadPoolExecutor(os.cpu_count()) as pool:
                results = pool.map(lambda c: run(e, f"#include {c[0]}\n", folder), checks)
                for (header, why), (ok, err) in zip(checks, results):
                    probes += 1
                    if ok or why not in err:
                        failures.append(f"{room}: #include {header} was not refused:\n{err}")
    for f in failures:
        print(f)
    print(f"{len(BELOW)} rooms, {probes} probes ({len(adapters)} adapter headers), "
          f"{len(failures)} failures")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
