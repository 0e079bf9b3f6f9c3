"""Runs the real program in a virtual X screen of its own and plays it like a person would.

A Session copies the built program into a temporary folder (with img/ and sound/ linked beside
it, where the program looks for them, and the data files it is given), starts Xvfb on a free
display, starts the program there, finds its window, clicks at points given in twips, presses
keys with xdotool and reads the window back in form pixels (667 x 500, whatever size the window
has) straight from the X server. A look at the window costs a few milliseconds.

Needs only Python's standard library and the Debian packages xvfb, xdotool and imagemagick.

Adding a check
--------------
The suite runs four tests at a time on two cores beside other work, and every program start
costs a few seconds of a busy machine. So:

1. Share a start. Find the walk that already passes the screen you need, started with the data
   files you need (test_title_menu.Game starts the game with given files; notice() and title()
   walk it to the title menu), and add your check as one more step of that walk. Start a
   program of your own only when the files at start must differ or the walk would end it.
2. Wait for what you wait for: wait_for(predicate, what) looks at the window until the
   predicate holds and fails after PATIENCE; it returns as soon as the screen is there. Never
   sleep for a screen to come. Where time itself is what you check (the opening's moments, a
   tap's length), look within the stretch in which the picture is unmistakable, measured from
   something the program did (test_opening.between), not at one instant.
3. Keys: tap() is a person's press in a menu (down and up in one xdotool run, so that a busy
   machine cannot stretch it), key() a quick strike, type() text (every character on a key of
   its own first, so that none is lost).
4. Compare with the game's own pictures: picture(name) reads img/other/name, matches() tells how
   much of it the window shows.
5. A new file test_NAME.py is registered by adding NAME to the list in CMakeLists.txt beside this
   file. A test that runs for more than half a minute gets a COST there, so that it starts first.
"""

import ctypes
import ctypes.util
import operator
import os
import shutil
import subprocess
import tempfile
import time

TWIPS_PER_PIXEL = 15
FORM_W, FORM_H = 667, 500
# How long a screen may take to come on a machine that is busy with other work (the whole test
# suite runs several at a time, beside other programs). Waits poll for what they wait for, so
# this bounds only a failure.
PATIENCE = 60


def letterbox(win_w, win_h):
    """The form's rectangle (x, y, w, h) inside a window, as the program scales it."""
    s = min(win_w / FORM_W, win_h / FORM_H)
    bw = min(max(round(FORM_W * s), 1), win_w)
    bh = min(max(round(FORM_H * s), 1), win_h)
    return (win_w - bw) // 2, (win_h - bh) // 2, bw, bh


def twips_rect(left, top, width, height):
    """The form pixels of a rectangle given in twips, as (x, y, w, h)."""
    return tuple(round(v / TWIPS_PER_PIXEL) for v in (left, top, width, height))


class Image:
    """An RGB picture read from a binary PPM (P6)."""

    def __init__(self, ppm):
        fields, pos = [], 0
        while len(fields) < 4:
            while ppm[pos : pos + 1].isspace():
                pos += 1
            if ppm[pos : pos + 1] == b"#":
                pos = ppm.index(b"\n", pos) + 1
                continue
            end = pos
            while not ppm[end : end + 1].isspace():
                end += 1
            fields.append(ppm[pos:end])
            pos = end
        if fields[0] != b"P6" or int(fields[3]) != 255:
            raise ValueError("not an 8-bit binary PPM")
        self.width, self.height = int(fields[1]), int(fields[2])
        self.data = ppm[pos + 1 : pos + 1 + 3 * self.width * self.height]
        if len(self.data) != 3 * self.width * self.height:
            raise ValueError("the PPM is cut short")
        self.origin = (0, 0)

    @classmethod
    def raw(cls, width, height, rgb, origin=(0, 0)):
        """A picture from its RGB bytes; origin is where its top-left lies on the screen."""
        img = cls.__new__(cls)
        img.width, img.height, img.data, img.origin = width, height, rgb, origin
        return img

    def pixel(self, x, y):
        i = 3 * (y * self.width + x)
        return tuple(self.data[i : i + 3])


class FormImage:
    """The form's pixels, sampled from a screenshot at the centre of each scaled form pixel, kept
    as FORM_W x FORM_H RGB bytes."""

    def __init__(self, screen, win_x, win_y, win_w, win_h):
        bx, by, bw, bh = letterbox(win_w, win_h)
        win_x, win_y = win_x - screen.origin[0], win_y - screen.origin[1]
        x0 = win_x + bx
        src, sw = screen.data, screen.width
        if bw == FORM_W and bh == FORM_H:  # the window at the form's own size: rows as they are
            starts = (3 * ((win_y + by + fy) * sw + x0) for fy in range(FORM_H))
            rows = (src[s : s + 3 * FORM_W] for s in starts)
        else:
            cols = [3 * (x0 + int((fx + 0.5) * bw / FORM_W)) + c for fx in range(FORM_W) for c in range(3)]
            take = operator.itemgetter(*cols)
            starts = (3 * (win_y + by + int((fy + 0.5) * bh / FORM_H)) * sw for fy in range(FORM_H))
            rows = (bytes(take(src[s : s + 3 * sw])) for s in starts)
        self.data = b"".join(rows)
        self.width, self.height = FORM_W, FORM_H

    def pixel(self, x, y):
        i = 3 * (y * FORM_W + x)
        return tuple(self.data[i : i + 3])

    def region_twips(self, left, top, width, height):
        return twips_rect(left, top, width, height)

    def count(self, rect, match):
        """How many pixels of a rectangle (x, y, w, h) match(pixel) holds for."""
        x0, y0, w, h = rect
        n = 0
        for y in range(y0, y0 + h):
            row = self.data[3 * (y * FORM_W + x0) : 3 * (y * FORM_W + x0 + w)]
            n += sum(map(match, zip(row[0::3], row[1::3], row[2::3])))
        return n

    def mask(self, colour):
        """One byte per form pixel, 1 where the pixel is exactly `colour` and 0 elsewhere."""
        planes = []
        for c in range(3):
            table = bytes(int(v == colour[c]) for v in range(256))
            planes.append(int.from_bytes(self.data[c::3].translate(table), "big"))
        return (planes[0] & planes[1] & planes[2]).to_bytes(FORM_W * FORM_H, "big")

    def ppm(self):
        return b"P6 %d %d 255\n" % (FORM_W, FORM_H) + self.data


def picture(path):
    """A picture file (BMP, GIF, PNG) as an Image."""
    ppm = subprocess.run(["convert", path, "-depth", "8", "ppm:-"], check=True, capture_output=True).stdout
    return Image(ppm)


def matches(img, x, y, pic, w=None, h=None, mask=None, ink_only=False):
    """The share of pixels of a picture (or its top-left w x h) that the form shows at (x, y);
    with a mask only where the mask is white (the masked copy's opaque part); with ink_only only
    where the picture differs from its top-left pixel (its background)."""
    w = w or pic.width
    h = h or pic.height
    same = total = 0
    for py in range(h):
        for px in range(w):
            fx, fy = x + px, y + py
            if not (0 <= fx < FORM_W and 0 <= fy < FORM_H):
                continue
            if mask is not None and mask.pixel(px, py) != (255, 255, 255):
                continue
            if ink_only and pic.pixel(px, py) == pic.pixel(0, 0):
                continue
            total += 1
            same += img.pixel(fx, fy) == pic.pixel(px, py)
    return same / total if total else 0.0


class _ClientMessage(ctypes.Structure):
    _fields_ = [
        ("type", ctypes.c_int),
        ("serial", ctypes.c_ulong),
        ("send_event", ctypes.c_int),
        ("display", ctypes.c_void_p),
        ("window", ctypes.c_ulong),
        ("message_type", ctypes.c_ulong),
        ("format", ctypes.c_int),
        ("data", ctypes.c_long * 5),
    ]


class _XEvent(ctypes.Union):
    _fields_ = [("xclient", _ClientMessage), ("pad", ctypes.c_long * 24)]


class _XImage(ctypes.Structure):
    _fields_ = [
        ("width", ctypes.c_int),
        ("height", ctypes.c_int),
        ("xoffset", ctypes.c_int),
        ("format", ctypes.c_int),
        ("data", ctypes.c_void_p),
        ("byte_order", ctypes.c_int),
        ("bitmap_unit", ctypes.c_int),
        ("bitmap_bit_order", ctypes.c_int),
        ("bitmap_pad", ctypes.c_int),
        ("depth", ctypes.c_int),
        ("bytes_per_line", ctypes.c_int),
        ("bits_per_pixel", ctypes.c_int),
        ("red_mask", ctypes.c_ulong),
        ("green_mask", ctypes.c_ulong),
        ("blue_mask", ctypes.c_ulong),
    ]


_ERROR_HANDLER = ctypes.CFUNCTYPE(ctypes.c_int, ctypes.c_void_p, ctypes.c_void_p)
_x_errors = []
# Xlib's default handler ends the process on an error (a window that has just gone away); this
# one keeps the error for the call that caused it.
_keep_x_error = _ERROR_HANDLER(lambda dpy, event: _x_errors.append(event) or 0)


def _xlib():
    x11 = ctypes.CDLL(ctypes.util.find_library("X11") or "libX11.so.6")
    vp, ul, i = ctypes.c_void_p, ctypes.c_ulong, ctypes.c_int
    pi, pu, pul = ctypes.POINTER(ctypes.c_int), ctypes.POINTER(ctypes.c_uint), ctypes.POINTER(ctypes.c_ulong)
    x11.XOpenDisplay.restype = vp
    x11.XOpenDisplay.argtypes = [ctypes.c_char_p]
    x11.XDefaultRootWindow.restype = ul
    x11.XDefaultRootWindow.argtypes = [vp]
    x11.XInternAtom.restype = ul
    x11.XInternAtom.argtypes = [vp, ctypes.c_char_p, i]
    x11.XSendEvent.argtypes = [vp, ul, i, ctypes.c_long, ctypes.POINTER(_XEvent)]
    x11.XFlush.argtypes = [vp]
    x11.XCloseDisplay.argtypes = [vp]
    x11.XGetGeometry.argtypes = [vp, ul, pul, pi, pi, pu, pu, pu, pu]
    x11.XTranslateCoordinates.argtypes = [vp, ul, ul, i, i, pi, pi, pul]
    x11.XGetImage.restype = ctypes.POINTER(_XImage)
    x11.XGetImage.argtypes = [vp, ul, i, i, ctypes.c_uint, ctypes.c_uint, ul, i]
    x11.XDestroyImage.argtypes = [ctypes.POINTER(_XImage)]
    x11.XDisplayKeycodes.argtypes = [vp, pi, pi]
    x11.XGetKeyboardMapping.restype = pul
    x11.XGetKeyboardMapping.argtypes = [vp, ctypes.c_ubyte, i, pi]
    x11.XChangeKeyboardMapping.argtypes = [vp, i, i, pul, i]
    x11.XFree.argtypes = [vp]
    x11.XSync.argtypes = [vp, i]
    x11.XSetErrorHandler(_keep_x_error)
    return x11


class XScreen:
    """One connection to a virtual screen: window rectangles and pictures read straight from the
    server (what xdotool and ImageMagick's import do, without a process for each look)."""

    def __init__(self, display):
        self.x11 = _xlib()
        self.dpy = self.x11.XOpenDisplay(display.encode())
        if not self.dpy:
            raise RuntimeError("cannot open display " + display)
        self.root = self.x11.XDefaultRootWindow(self.dpy)

    def close(self):
        if self.dpy:
            self.x11.XCloseDisplay(self.dpy)
            self.dpy = None

    def _size(self, drawable):
        root, x, y = ctypes.c_ulong(), ctypes.c_int(), ctypes.c_int()
        w, h, border, depth = ctypes.c_uint(), ctypes.c_uint(), ctypes.c_uint(), ctypes.c_uint()
        del _x_errors[:]
        ok = self.x11.XGetGeometry(self.dpy, drawable, root, x, y, w, h, border, depth)
        if not ok or _x_errors:
            raise RuntimeError("the window is gone")
        return w.value, h.value

    def geometry(self, window):
        """A window's inner rectangle on the screen: (x, y, w, h)."""
        w, h = self._size(int(window))
        x, y, child = ctypes.c_int(), ctypes.c_int(), ctypes.c_ulong()
        self.x11.XTranslateCoordinates(self.dpy, int(window), self.root, 0, 0, x, y, child)
        if _x_errors:
            raise RuntimeError("the window is gone")
        return x.value, y.value, w, h

    def picture(self, rect=None):
        """The screen, or a rectangle (x, y, w, h) of it, as an Image."""
        sw, sh = self._size(self.root)
        x, y, w, h = rect or (0, 0, sw, sh)
        x0, y0 = max(x, 0), max(y, 0)
        x1, y1 = min(x + w, sw), min(y + h, sh)
        if x1 <= x0 or y1 <= y0:
            raise RuntimeError("nothing of the rectangle is on the screen")
        del _x_errors[:]
        ximage = self.x11.XGetImage(self.dpy, self.root, x0, y0, x1 - x0, y1 - y0, 0xFFFFFFFF, 2)  # ZPixmap
        if not ximage or _x_errors:
            raise RuntimeError("cannot read the screen")
        try:
            im = ximage.contents
            if im.bits_per_pixel != 32 or im.byte_order != 0 or im.red_mask != 0xFF0000 or im.blue_mask != 0xFF:
                raise RuntimeError("the virtual screen is not 24-bit colour in 32-bit pixels")
            n = im.width * im.height
            raw = ctypes.string_at(im.data, im.bytes_per_line * im.height)
            if im.bytes_per_line != 4 * im.width:
                raw = b"".join(raw[r * im.bytes_per_line : r * im.bytes_per_line + 4 * im.width] for r in range(im.height))
            rgb = bytearray(3 * n)
            rgb[0::3], rgb[1::3], rgb[2::3] = raw[2::4], raw[1::4], raw[0::4]  # from B, G, R, unused
            return Image.raw(im.width, im.height, bytes(rgb), (x0, y0))
        finally:
            self.x11.XDestroyImage(ximage)

    def keep_keys_for(self, text):
        """Gives every character of the text that no key types a spare key of its own, for as
        long as the screen lives. Left to itself, xdotool binds such a character to a key only
        while it presses it: a busy program that reads the key's meaning a moment later finds
        it gone and the character is lost."""
        lo, hi, per = ctypes.c_int(), ctypes.c_int(), ctypes.c_int()
        self.x11.XDisplayKeycodes(self.dpy, lo, hi)
        count = hi.value - lo.value + 1
        table = self.x11.XGetKeyboardMapping(self.dpy, lo.value, count, per)
        syms = [table[k] for k in range(count * per.value)]
        self.x11.XFree(table)
        bound = set(syms)
        spare = [lo.value + k for k in range(count) if not any(syms[k * per.value : (k + 1) * per.value])]
        for ch in dict.fromkeys(text):
            sym = ord(ch) if ord(ch) < 0x100 else 0x1000000 + ord(ch)  # Latin-1 and Unicode keysyms
            if sym in bound or ord(ch) < 0x20:
                continue
            if len(spare) < 2:  # one stays for xdotool's own use
                break
            pair = (ctypes.c_ulong * 2)(sym, sym)
            self.x11.XChangeKeyboardMapping(self.dpy, spare.pop(), 2, pair, 1)
            bound.add(sym)
        self.x11.XSync(self.dpy, 0)

    def close_request(self, window):
        """Asks a window to close, as a window manager's close button does (WM_DELETE_WINDOW)."""
        ev = _XEvent()
        ev.xclient.type = 33  # ClientMessage
        ev.xclient.window = int(window)
        ev.xclient.message_type = self.x11.XInternAtom(self.dpy, b"WM_PROTOCOLS", 0)
        ev.xclient.format = 32
        ev.xclient.data[0] = self.x11.XInternAtom(self.dpy, b"WM_DELETE_WINDOW", 0)
        ev.xclient.data[1] = 0  # CurrentTime
        self.x11.XSendEvent(self.dpy, int(window), 0, 0, ctypes.byref(ev))
        self.x11.XFlush(self.dpy)


def _run(args, env, **kw):
    return subprocess.run(args, env=env, check=True, capture_output=True, text=True, timeout=30, **kw)


_PROMPT = None


def prompt():
    """The prefix that runs a short process at a real-time priority where the machine allows it
    (chrt, as root or with CAP_SYS_NICE): a tap's hold is then as long as the test says, however
    busy the machine is; elsewhere nothing."""
    global _PROMPT
    if _PROMPT is None:
        cmd = ["chrt", "--fifo", "10"]
        try:
            ok = shutil.which("chrt") and subprocess.run(cmd + ["true"], capture_output=True).returncode == 0
        except OSError:
            ok = False
        _PROMPT = cmd if ok else []
    return list(_PROMPT)


class Session:
    """One program in one virtual screen. Use as a context manager."""

    def __init__(self, program, args=(), screen=(1280, 1024), files=None, cwd=None, installed=False, user=None, env=None, links=None):
        """files: data files (name -> bytes) put beside the program before it starts; links:
        symbolic links (name -> target) put there too, for folders too big to copy; cwd: the
        folder it is started from (default: its own). installed: the program runs where it
        is, as an installed one (files then go nowhere); user: the account it runs as; env:
        more environment for it (HOME, XDG_DATA_HOME)."""
        self.program = os.path.realpath(program)
        self.args = list(args)
        self.screen = screen
        self.files = files or {}
        self.links = links or {}
        self.cwd = cwd
        self.installed = installed
        self.user = user
        self.extra_env = env or {}
        self.xvfb = self.proc = self.x = None
        self.folder = None

    def __enter__(self):
        try:
            self._start_display()
            self._start_program()
            self._find_window()
        except BaseException:
            self.close()
            raise
        return self

    def __exit__(self, *exc):
        self.close()

    # --- starting and stopping -----------------------------------------------------------

    def _start_display(self):
        # Xvfb picks a free display itself and writes its number to the pipe.
        rd, wr = os.pipe()
        w, h = self.screen
        self.xvfb = subprocess.Popen(
            ["Xvfb", "-displayfd", str(wr), "-screen", "0", f"{w}x{h}x24", "-nolisten", "tcp"],
            pass_fds=(wr,),
            stdout=subprocess.DEVNULL,
            stderr=subprocess.DEVNULL,
        )
        os.close(wr)
        number = b""
        deadline = time.time() + 20
        with os.fdopen(rd, "rb") as f:
            while not number.endswith(b"\n") and time.time() < deadline:
                chunk = f.read(1)
                if not chunk:
                    break
                number += chunk
        if not number.strip().isdigit():
            raise RuntimeError("Xvfb did not start")
        self.env = dict(os.environ, DISPLAY=":" + number.strip().decode())
        self.env.pop("WAYLAND_DISPLAY", None)
        self.env.setdefault("SDL_AUDIODRIVER", "dummy")
        self.x = XScreen(self.env["DISPLAY"])

    def _start_program(self):
        self.folder = tempfile.mkdtemp(prefix="zb-e2e-")
        here = os.path.dirname(self.program)
        if self.installed:
            self.proc = subprocess.Popen(
                [self.program] + self.args,
                cwd=self.cwd or self.folder,
                env=dict(self.env, **self.extra_env),
                user=self.user,
                group=self.user,
                extra_groups=[] if self.user else None,
                stdout=subprocess.PIPE,
                stderr=subprocess.PIPE,
                text=True,
            )
            return
        exe = os.path.join(self.folder, os.path.basename(self.program))
        shutil.copy2(self.program, exe)
        for sub in ("img", "sound"):
            if os.path.exists(os.path.join(here, sub)):
                os.symlink(os.path.realpath(os.path.join(here, sub)), os.path.join(self.folder, sub))
        for name, data in self.files.items():
            os.makedirs(os.path.dirname(os.path.join(self.folder, name)), exist_ok=True)
            with open(os.path.join(self.folder, name), "wb") as f:
                f.write(data)
        for name, target in self.links.items():
            os.symlink(target, os.path.join(self.folder, name))
        self.proc = subprocess.Popen(
            [exe] + self.args,
            cwd=self.cwd or self.folder,
            env=self.env,
            stdout=subprocess.PIPE,
            stderr=subprocess.PIPE,
            text=True,
        )

    def _find_window(self, timeout=PATIENCE):
        deadline = time.time() + timeout
        while time.time() < deadline:
            if self.proc.poll() is not None:
                raise RuntimeError("the program ended at start: " + self.proc.stderr.read())
            found = subprocess.run(
                ["xdotool", "search", "--onlyvisible", "--pid", str(self.proc.pid)],
                env=self.env,
                capture_output=True,
                text=True,
            ).stdout.split()
            if found:
                self.window = found[-1]
                time.sleep(0.5)  # the first pictures
                # A window still being mapped on a loaded machine refuses the focus: look again.
                focus = subprocess.run(
                    ["xdotool", "windowfocus", "--sync", self.window],
                    env=self.env,
                    capture_output=True,
                    text=True,
                    timeout=30,
                )
                if focus.returncode == 0:
                    return
            time.sleep(0.1)
        raise RuntimeError("the program's window did not appear")

    def close(self):
        if self.proc and self.proc.poll() is None:
            self.proc.terminate()
            try:
                self.proc.communicate(timeout=5)
            except subprocess.TimeoutExpired:
                self.proc.kill()
                self.proc.communicate()
        if self.x:
            self.x.close()
            self.x = None
        if self.xvfb and self.xvfb.poll() is None:
            self.xvfb.terminate()
            try:
                self.xvfb.wait(5)
            except subprocess.TimeoutExpired:
                self.xvfb.kill()
                self.xvfb.wait()
        if self.folder:
            shutil.rmtree(self.folder, ignore_errors=True)
            self.folder = None

    def wait_exit(self, timeout=PATIENCE):
        """Waits for the program to end; returns (exit code, stdout, stderr)."""
        out, err = self.proc.communicate(timeout=timeout)
        self._out = out
        return self.proc.returncode, out, err

    def running(self):
        return self.proc.poll() is None

    def stop(self):
        """Ends the program (if still running) and returns what it printed."""
        if self.proc.poll() is None:
            self.proc.terminate()
        return self.wait_exit()[1]

    def request_close(self, settle=0.3):
        """The window manager's close button."""
        self.x.close_request(self.window)
        time.sleep(settle)

    def picture(self, name):
        """One of the program's pictures (img/other/name beside it) as an Image."""
        return picture(os.path.join(os.path.dirname(self.program), "img", "other", name))

    # --- the window ------------------------------------------------------------------------

    def geometry(self):
        """The window's inner rectangle on the screen: (x, y, w, h)."""
        return self.x.geometry(self.window)

    def resize(self, w, h):
        _run(["xdotool", "windowsize", "--sync", self.window, str(w), str(h)], self.env)
        time.sleep(0.3)

    def to_window(self, form_x, form_y):
        """The window point at the centre of a form pixel."""
        _, _, w, h = self.geometry()
        bx, by, bw, bh = letterbox(w, h)
        return bx + int((form_x + 0.5) * bw / FORM_W), by + int((form_y + 0.5) * bh / FORM_H)

    def click_window(self, x, y, settle=0.3):
        """Clicks at a point of the window (window pixels)."""
        _run(["xdotool", "mousemove", "--window", self.window, str(x), str(y), "click", "1"], self.env)
        time.sleep(settle)

    def click_twips(self, tx, ty, settle=0.3):
        x, y = self.to_window(int(tx / TWIPS_PER_PIXEL), int(ty / TWIPS_PER_PIXEL))
        _run(["xdotool", "mousemove", "--window", self.window, str(x), str(y), "click", "1"], self.env)
        time.sleep(settle)

    def key(self, *names, settle=0.2):
        """Presses keys by X keysym name ("Return", "Escape", "space", "a")."""
        _run(["xdotool", "key", "--delay", "40"] + list(names), self.env)
        time.sleep(settle)

    def tap(self, key, hold=0.1, settle=0.2):
        """A key pressed and released like a person's tap (xdotool's own key is a few microseconds
        long, shorter than any keyboard), well short of the 300 ms after which a held arrow
        repeats: a busy machine that delays the release a little still gives a tap."""
        # One xdotool run, so that a busy machine cannot stretch the tap into a held key.
        _run(prompt() + ["xdotool", "keydown", key, "sleep", str(hold), "keyup", key], self.env)
        time.sleep(settle)

    def type(self, text, settle=0.2):
        """Types text, Japanese included (each character on a key of its own)."""
        self.x.keep_keys_for(text)
        _run(["xdotool", "type", "--delay", "40", text], self.env)
        time.sleep(settle)

    def screenshot(self):
        """The whole screen as an Image."""
        return self.x.picture()

    def wait_for(self, predicate, what, timeout=PATIENCE, between=None):
        """Takes form pictures until predicate(picture) holds; returns that picture. The timeout
        only bounds a failure: a screen that comes at once is seen at once. `between` (by default
        a tenth of a second's pause) runs between two looks, to play on while waiting."""
        deadline = time.monotonic() + timeout
        while True:
            img = self.form_image()
            if predicate(img):
                return img
            if time.monotonic() > deadline:
                raise AssertionError(f"timed out waiting for {what}{self._last_look(img)}")
            if between:
                between()
            else:
                time.sleep(0.1)

    def _last_look(self, img):
        """What a failed wait leaves for a person: the program's end, or its window as a PNG in
        ZB_SHOTS (the build folder under ctest)."""
        if self.proc.poll() is not None:
            return f" (the program ended with {self.proc.returncode}: {self.proc.stderr.read()})"
        shots = os.environ.get("ZB_SHOTS")
        if not shots:
            return ""
        path = os.path.join(shots, f"e2e-last-look-{os.getpid()}.png")
        subprocess.run(["convert", "ppm:-", path], input=img.ppm(), check=False, timeout=30)
        return f" (the window is in {path})"

    def screenshot_file(self, path):
        """Saves the screen as a picture file (PNG by its name); nothing for an empty path."""
        if path:
            _run(["import", "-window", "root", path], self.env)

    def form_image(self):
        """The window's picture in form pixels."""
        x, y, w, h = self.geometry()
        return FormImage(self.x.picture((x, y, w, h)), x, y, w, h)
