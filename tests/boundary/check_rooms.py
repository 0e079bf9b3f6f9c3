#!/usr/bin/env python3
"""Compiles small probes with the exact compile line of one source file of each game room
(taken from compile_commands.json): an include of a machine library's header must stop the
build with the boundary's message, and an include of the ports must compile."""
import json
import os
import shlex
import subprocess
import sys
import tempfile

ROOMS = ["core", "play", "course", "netrank", "frontend"]
FORBIDDEN = ["SDL.h", "SDL2/SDL.h", "SDL_image.h", "SDL_ttf.h", "curl/curl.h", "fluidsynth.h",
             "iconv.h", "fontconfig/fontconfig.h", "RtMidi.h", "rtmidi/RtMidi.h",
             "alsa/asoundlib.h", "jack/jack.h"]


def room_entry(entries, src, room):
    prefix = os.path.join(src, room) + os.sep
    for e in entries:
        if os.path.realpath(e["file"]).startswith(prefix):
            return e
    raise SystemExit(f"no source of room {room} in the compile commands")


def probe_args(entry, probe):
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
    return out + ["-fsyntax-only", probe]


def compiles(entry, text, folder):
    probe = os.path.join(folder, "probe.cpp")
    with open(probe, "w") as f:
        f.write(text)
    r = subprocess.run(probe_args(entry, probe), cwd=entry["directory"], capture_output=True,
                       text=True)
    return r.returncode == 0, r.stderr


def main():
    commands, src = sys.argv[1], os.path.realpath(sys.argv[2])
    with open(commands) as f:
        entries = json.load(f)
    failures = []
    with tempfile.TemporaryDirectory() as folder:
        for room in ROOMS:
            e = room_entry(entries, src, room)
            ok, err = compiles(e, '#include "platform/ports.hpp"\n#include "core/game.hpp"\n',
                               folder)
            if not ok:
                failures.append(f"{room}: the ports do not compile:\n{err}")
            for header in FORBIDDEN:
                ok, err = compiles(e, f"#include <{header}>\n", folder)
                if ok or "must not include" not in err:
                    failures.append(f"{room}: #include <{header}> was not stopped:\n{err}")
    for f in failures:
        print(f)
    print(f"{len(ROOMS)} rooms, {len(FORBIDDEN)} headers: {len(failures)} failures")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
