"""Runs the real program in a virtual X screen of its own and plays it like a person would.

A Session copies the built program into a temporary folder (with img/ and sound/ linked beside
it, where the program looks for them), starts Xvfb on a free display, starts the program there,
finds its window with xdotool, clicks at points given in twips, presses keys and reads the
window back from screenshots in form pixels (667 x 500, whatever size the window has).

Needs only Python's standard library and the Debian packages xvfb, xdotool and imagemagick.
"""

import ctypes
import ctypes.util
import os
import shutil
import subprocess
import tempfile
import time

TWIPS_PER_PIXEL = 15
FORM_W, FORM_H = 667, 500


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

    def pixel(self, x, y):
        i = 3 * (y * self.width + x)
        return tuple(self.data[i : i + 3])


class FormImage:
    """The form's pixels, sampled from a screenshot at the centre of each scaled form pixel."""

    def __init__(self, screen, win_x, win_y, win_w, win_h):
        bx, by, bw, bh = letterbox(win_w, win_h)
        self.pixels = []
        for fy in range(FORM_H):
            sy = win_y + by + int((fy + 0.5) * bh / FORM_H)
            row = []
            for fx in range(FORM_W):
                sx = win_x + bx + int((fx + 0.5) * bw / FORM_W)
                row.append(screen.pixel(sx, sy))
            self.pixels.append(row)

    def pixel(self, x, y):
        return self.pixels[y][x]

    def region_twips(self, left, top, width, height):
        return twips_rect(left, top, width, height)

    def count(self, rect, match):
        x0, y0, w, h = rect
        return sum(1 for y in range(y0, y0 + h) for x in range(x0, x0 + w) if match(self.pixels[y][x]))


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


def send_close_request(display, window):
    """Asks a window to close, as a window manager's close button does (WM_DELETE_WINDOW)."""
    x11 = ctypes.CDLL(ctypes.util.find_library("X11") or "libX11.so.6")
    x11.XOpenDisplay.restype = ctypes.c_void_p
    x11.XOpenDisplay.argtypes = [ctypes.c_char_p]
    x11.XInternAtom.restype = ctypes.c_ulong
    x11.XInternAtom.argtypes = [ctypes.c_void_p, ctypes.c_char_p, ctypes.c_int]
    x11.XSendEvent.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_int, ctypes.c_long, ctypes.POINTER(_XEvent)]
    x11.XFlush.argtypes = [ctypes.c_void_p]
    x11.XCloseDisplay.argtypes = [ctypes.c_void_p]
    dpy = x11.XOpenDisplay(display.encode())
    if not dpy:
        raise RuntimeError("cannot open display " + display)
    try:
        ev = _XEvent()
        ev.xclient.type = 33  # ClientMessage
        ev.xclient.window = int(window)
        ev.xclient.message_type = x11.XInternAtom(dpy, b"WM_PROTOCOLS", 0)
        ev.xclient.format = 32
        ev.xclient.data[0] = x11.XInternAtom(dpy, b"WM_DELETE_WINDOW", 0)
        ev.xclient.data[1] = 0  # CurrentTime
        x11.XSendEvent(dpy, int(window), 0, 0, ctypes.byref(ev))
        x11.XFlush(dpy)
    finally:
        x11.XCloseDisplay(dpy)


def _run(args, env, **kw):
    return subprocess.run(args, env=env, check=True, capture_output=True, text=True, timeout=30, **kw)


class Session:
    """One program in one virtual screen. Use as a context manager."""

    def __init__(self, program, args=(), screen=(1280, 1024), files=None, cwd=None):
        """files: data files (name -> bytes) put beside the program before it starts; cwd: the
        folder it is started from (default: its own)."""
        self.program = os.path.realpath(program)
        self.args = list(args)
        self.screen = screen
        self.files = files or {}
        self.cwd = cwd
        self.xvfb = self.proc = None
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

    def _start_program(self):
        self.folder = tempfile.mkdtemp(prefix="zb-e2e-")
        here = os.path.dirname(self.program)
        exe = os.path.join(self.folder, os.path.basename(self.program))
        shutil.copy2(self.program, exe)
        for sub in ("img", "sound"):
            if os.path.exists(os.path.join(here, sub)):
                os.symlink(os.path.realpath(os.path.join(here, sub)), os.path.join(self.folder, sub))
        for name, data in self.files.items():
            with open(os.path.join(self.folder, name), "wb") as f:
                f.write(data)
        self.proc = subprocess.Popen(
            [exe] + self.args,
            cwd=self.cwd or self.folder,
            env=self.env,
            stdout=subprocess.PIPE,
            stderr=subprocess.PIPE,
            text=True,
        )

    def _find_window(self, timeout=20):
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
                _run(["xdotool", "windowfocus", "--sync", self.window], self.env)
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

    def wait_exit(self, timeout=10):
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
        send_close_request(self.env["DISPLAY"], self.window)
        time.sleep(settle)

    # --- the window ------------------------------------------------------------------------

    def geometry(self):
        """The window's inner rectangle on the screen: (x, y, w, h)."""
        out = _run(["xdotool", "getwindowgeometry", "--shell", self.window], self.env).stdout
        g = dict(line.split("=", 1) for line in out.split() if "=" in line)
        return int(g["X"]), int(g["Y"]), int(g["WIDTH"]), int(g["HEIGHT"])

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

    def type(self, text, settle=0.2):
        """Types text, Japanese included (xdotool maps each character to a key of its own)."""
        _run(["xdotool", "type", "--delay", "40", text], self.env)
        time.sleep(settle)

    def screenshot(self):
        ppm = subprocess.run(
            ["import", "-window", "root", "-depth", "8", "ppm:-"],
            env=self.env,
            check=True,
            capture_output=True,
            timeout=30,
        ).stdout
        return Image(ppm)

    def wait_for(self, predicate, what, timeout=20):
        """Takes form pictures until predicate(picture) holds; returns that picture. A busy
        machine may take a while to show the next screen."""
        deadline = time.time() + timeout
        while True:
            img = self.form_image()
            if predicate(img):
                return img
            if time.time() > deadline:
                raise AssertionError("timed out waiting for " + what)
            time.sleep(0.2)

    def screenshot_file(self, path):
        """Saves the screen as a picture file (PNG by its name); nothing for an empty path."""
        if path:
            _run(["import", "-window", "root", path], self.env)

    def form_image(self):
        """The window's picture in form pixels."""
        x, y, w, h = self.geometry()
        return FormImage(self.screenshot(), x, y, w, h)
