#!/usr/bin/env python3
"""Proves the game rooms' fence, in three ways.

1. What the compiler read. After the build, every header each room's objects were compiled from
   (the build's dependency records: `ninja -t deps`, or the compiler's .d files beside the objects
   for another generator) is checked against the room's allowlist: the room's own folder, the
   rooms below it, the ports' headers (platform/CMakeLists.txt's list), and the C++ library and
   POSIX as the compiler finds them. So a quoted include ("SDL2/SDL_events.h" falls through to the
   system's folders), a relative one ("../frontend/title_menu.hpp") or an absolute one is caught
   whichever way it was spelled.
2. Probes with each room's exact compile line (from compile_commands.json), written into the
   room's own folder, where its sources compile (so relative paths reach what a real source's
   would): the ports and a header of each room below compile; a machine library's header (quoted
   or angled), an adapter's header, a room above and app/ are refused, either by the compiler (no
   such file, or platform/forbidden's #error) or by the check of 1. on what the probe read.
3. The rooms' own sources are read: each angle-bracket include must be the C++ library or a POSIX
   header (the dependency records only show the branches that were compiled)."""
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
         "stderr_line.hpp", "fault_switch.hpp", "input_event.hpp", "input_queue.hpp"]
FORBIDDEN = ["SDL.h", "SDL2/SDL.h", "SDL2/SDL_scancode.h", "SDL_image.h", "SDL_ttf.h",
             "curl/curl.h", "fluidsynth.h", "iconv.h", "fontconfig/fontconfig.h", "RtMidi.h",
             "rtmidi/RtMidi.h", "alsa/asoundlib.h", "jack/jack.h", "sqlite3.h"]
# Machine headers that platform/forbidden does not stand in for: spelled in quotes they reach the
# system's folders, and only the dependency check stops them.
MACHINE_QUOTED = FORBIDDEN + ["SDL2/SDL_events.h", "SDL2/SDL_keycode.h", "jack/types.h",
                              "alsa/seq_event.h", "curl/system.h", "fluidsynth/types.h",
                              "fontconfig/fcfreetype.h", "rtmidi/rtmidi_c.h"]
POSIX = {"unistd.h", "fcntl.h", "sys/types.h", "sys/stat.h", "sys/wait.h", "signal.h", "poll.h"}
# The C++ library's headers (C++20 and the C compatibility ones), included by the reference probe
# that tells the compiler's own system headers from a machine library's. <execution> is left out:
# libstdc++'s reaches TBB's headers where TBB is installed.
STD = """algorithm any array atomic barrier bit bitset cassert cctype cerrno cfenv cfloat charconv
chrono cinttypes climits clocale cmath codecvt compare complex concepts condition_variable
coroutine csetjmp csignal cstdarg cstddef cstdint cstdio cstdlib cstring ctime cuchar cwchar cwctype
deque exception filesystem format forward_list fstream functional future initializer_list iomanip
ios iosfwd iostream istream iterator latch limits list locale map memory memory_resource mutex new
numbers numeric optional ostream queue random ranges ratio regex scoped_allocator semaphore set
shared_mutex source_location span sstream stack stdexcept stop_token streambuf string string_view
syncstream system_error thread tuple type_traits typeindex typeinfo unordered_map unordered_set
utility valarray variant vector version""".split()
ROOM_OBJECT = re.compile(r"^(%s)/CMakeFiles/zb_\1\.dir/" % "|".join(BELOW))


def room_entry(entries, src, room):
    prefix = os.path.join(src, room) + os.sep
    for e in entries:
        if os.path.realpath(e["file"]).startswith(prefix):
            return e
    raise SystemExit(f"no source of room {room} in the compile commands")


def entry_args(entry):
    return entry.get("arguments") or shlex.split(entry["command"])


def probe_args(entry, probe, mode):
    out, skip = [], False
    for a in entry_args(entry):
        if skip:
            skip = False
            continue
        if a in ("-o", "-MT", "-MF", "-MQ", "-c"):
            skip = True
            continue
        if a in ("-MD", "-MMD") or os.path.realpath(os.path.join(entry["directory"], a)) == \
                os.path.realpath(entry["file"]):
            continue
        out.append(a)
    # "deps": preprocess only, writing what was read (system headers too) on standard output.
    return out + {"compile": ["-fsyntax-only"], "deps": ["-M"]}[mode] + [probe]


def parse_make_deps(text):
    """The prerequisites of a make rule as the compiler writes it (-M, .d files)."""
    text = text.replace("\\\n", " ")
    _, _, rest = text.partition(": ")
    deps, word = [], ""
    i = 0
    while i < len(rest):
        c = rest[i]
        if c == "\\" and i + 1 < len(rest) and rest[i + 1] == " ":
            word += " "
            i += 2
            continue
        if c.isspace():
            if word:
                deps.append(word)
            word = ""
        else:
            word += c
        i += 1
    if word:
        deps.append(word)
    return deps


class Fence:
    """What a room's object may have been compiled from."""

    def __init__(self, src, build, system):
        self.src, self.build, self.system = src, build, system
        self.real = {}

    def realpath(self, path, directory):
        key = (path, directory)
        if key not in self.real:
            self.real[key] = os.path.realpath(os.path.join(directory, path))
        return self.real[key]

    def refusal(self, room, dep, directory):
        """Why `dep` (as the compiler named it) is outside `room`'s fence, or None."""
        real = self.realpath(dep, directory)
        if real.startswith(self.build + os.sep):
            # What the build generates for a room (the embedded charts, the build id) is in its
            # folder of the build.
            rel = os.path.relpath(real, self.build)
            top = rel.split(os.sep)[0]
            if (top == room or top in BELOW[room]) and not rel.startswith(
                    os.path.join(top, "CMakeFiles")):
                return None
            return f"{real}: a file of the build folder that is not a room's"
        if real.startswith(self.src + os.sep):
            rel = os.path.relpath(real, self.src)
            top = rel.split(os.sep)[0]
            if top == room or top in BELOW[room]:
                return None
            if top == "platform":
                if os.path.relpath(real, os.path.join(self.src, "platform")) in PORTS:
                    return None
                if rel.startswith(os.path.join("platform", "forbidden") + os.sep):
                    return f"{rel}: a machine library's header"
                return f"{rel}: an adapter of the platform, not one of its ports"
            if top in BELOW:
                return f"{rel}: room {top} is not below {room}"
            return f"{rel}: outside the game rooms"
        if real in self.system:
            return None
        return f"{real}: neither the C++ library nor POSIX (reach the machine through a port)"

    def check(self, room, deps, directory, what):
        """What `what` read outside its room's fence: the first three, then how many more (a
        machine library's first header reads many of its own)."""
        found = [why for why in (self.refusal(room, d, directory) for d in deps) if why]
        lines = [f"{what} (room {room}) read {why}" for why in found[:3]]
        if len(found) > 3:
            lines.append(f"{what} (room {room}) read {len(found) - 3} more headers outside it")
        return lines


def system_headers(entry):
    """Every header the compiler reads for the C++ library and the POSIX headers a room may use,
    with a room's own compile line: the system half of every room's allowlist."""
    text = "".join(f"#if __has_include(<{h}>)\n#include <{h}>\n#endif\n" for h in STD) + \
        "".join(f"#include <{h}>\n" for h in sorted(POSIX))
    with tempfile.TemporaryDirectory() as folder:
        probe = os.path.join(folder, "reference.cpp")
        with open(probe, "w") as f:
            f.write(text)
        r = subprocess.run(probe_args(entry, probe, "deps"), cwd=entry["directory"],
                           capture_output=True, text=True)
    if r.returncode != 0:
        raise SystemExit(f"the C++ library's headers do not preprocess:\n{r.stderr}")
    return {os.path.realpath(os.path.join(entry["directory"], d))
            for d in parse_make_deps(r.stdout)[1:]}


def build_deps(build, ninja, entries):
    """(object as named from the build folder, its dependencies, the folder they are relative
    to) of every room object of the build."""
    out = []
    if os.path.exists(os.path.join(build, "build.ninja")):
        r = subprocess.run([ninja, "-C", build, "-t", "deps"], capture_output=True, text=True)
        if r.returncode != 0:
            raise SystemExit(f"ninja -t deps failed:\n{r.stderr}")
        target, deps = None, []
        for line in r.stdout.splitlines() + [""]:
            if line.startswith("    "):
                deps.append(line.strip())
                continue
            if target and ROOM_OBJECT.match(target):
                out.append((target, deps, build))
            target, deps = (line.split(": #deps")[0], []) if ": #deps" in line else (None, [])
        return out
    # Another generator: the compiler's dependency files beside the objects (-MF in each line).
    for e in entries:
        args = entry_args(e)
        obj = args[args.index("-o") + 1] if "-o" in args else None
        depfile = args[args.index("-MF") + 1] if "-MF" in args else (obj and obj + ".d")
        name = obj and os.path.relpath(os.path.join(e["directory"], obj), build)
        if not name or not ROOM_OBJECT.match(name):
            continue
        path = os.path.join(e["directory"], depfile)
        if os.path.exists(path):
            with open(path) as f:
                out.append((name, parse_make_deps(f.read()), e["directory"]))
    return out


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


class Prober:
    """Compiles probes with a room's compile line from a file in the room's own folder."""

    def __init__(self, src, fence):
        self.src, self.fence, self.n = src, fence, 0

    def run(self, room, entry, text, mode):
        # Not a .cpp: the rooms' globs (and the angle scan) never see it, even mid-build.
        fd, probe = tempfile.mkstemp(prefix=".fence-probe-", suffix=".cc",
                                     dir=os.path.join(self.src, room))
        try:
            with os.fdopen(fd, "w") as f:
                f.write(text)
            r = subprocess.run(probe_args(entry, probe, mode), cwd=entry["directory"],
                               capture_output=True, text=True)
        finally:
            os.unlink(probe)
        if r.returncode != 0 or mode != "deps":
            return r.returncode == 0, r.stderr, []
        deps = parse_make_deps(r.stdout)[1:]
        return True, "", self.fence.check(room, deps, entry["directory"], "the probe")

    def refused(self, room, entry, include):
        """None when `#include <include>` is refused; else what let it through."""
        ok, err, fenced = self.run(room, entry, f"#include {include}\n", "deps")
        if not ok:
            if "No such file" in err or "must not include" in err:
                return None
            return f"it failed for another reason:\n{err}"
        if fenced:
            return None
        return "it compiled and the dependency check found nothing"


def main():
    commands, src = sys.argv[1], os.path.realpath(sys.argv[2])
    build = os.path.realpath(sys.argv[3]) if len(sys.argv) > 3 else os.path.dirname(
        os.path.realpath(commands))
    ninja = sys.argv[4] if len(sys.argv) > 4 else "ninja"
    with open(commands) as f:
        entries = json.load(f)
    platform = os.path.join(src, "platform")
    adapters = sorted(os.path.relpath(h, src) for h in glob.glob(os.path.join(platform, "**",
                                                                              "*.hpp"),
                                                                 recursive=True)
                      if os.path.relpath(h, platform) not in PORTS and "/forbidden/" not in h)
    fence = Fence(src, build, system_headers(room_entry(entries, src, "core")))
    failures = angle_includes(src)

    # 1. What the build's compiler read for every room object.
    objects = build_deps(build, ninja, entries)
    if not objects:
        failures.append(f"no dependency records of the rooms' objects in {build}: build first")
    for obj, deps, directory in objects:
        room = ROOM_OBJECT.match(obj).group(1)
        failures += fence.check(room, deps, directory, obj)

    # 2. Probes where the room's sources compile.
    prober, probes = Prober(src, fence), 0
    for room, below in BELOW.items():
        e = room_entry(entries, src, room)
        allowed = "".join(f'#include "platform/{h}"\n' for h in PORTS) + "".join(
            f'#include "{one_header(src, r)}"\n' for r in [room] + below)
        ok, err, _ = prober.run(room, e, allowed, "compile")
        probes += 1
        if not ok:
            failures.append(f"{room}: the ports and the rooms below do not compile:\n{err}")
        else:
            ok, err, fenced = prober.run(room, e, allowed, "deps")
            probes += 1
            if not ok or fenced:
                failures.append(f"{room}: the ports and the rooms below are refused:\n{err}" +
                                "\n".join(fenced))
        above = [r for r in BELOW if r != room and r not in below]
        checks = [f"<{h}>" for h in FORBIDDEN]
        checks += [f'"{h}"' for h in MACHINE_QUOTED]
        checks += [f'"{h}"' for h in adapters] + [f'"../{h}"' for h in adapters]
        checks += [f'"{one_header(src, r)}"' for r in above]
        checks += [f'"../{one_header(src, r)}"' for r in above]
        checks += ['"app/real_platform.hpp"', '"../app/real_platform.hpp"',
                   f'"{os.path.join(src, "platform", "audio", "tempo_map.hpp")}"']
        checks += [f'"{h}"' for h in ("/usr/include/SDL2/SDL_events.h",
                                     "/usr/include/jack/types.h") if os.path.exists(h)]
        with ThreadPoolExecutor(os.cpu_count()) as pool:
            for header, why in zip(checks, pool.map(lambda c: prober.refused(room, e, c),
                                                    checks)):
                probes += 1
                if why:
                    failures.append(f"{room}: #include {header} was not refused: {why}")
    for f in failures:
        print(f)
    print(f"{len(BELOW)} rooms, {len(objects)} objects' dependencies, {probes} probes "
          f"({len(adapters)} adapter headers), {len(failures)} failures")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
