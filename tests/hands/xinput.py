"""What a person does and sees, through the X server only: pointer and keys as
XTest events (xdotool), windows found by their names, pictures read with xwd.

Nothing here sends a window message: every gesture travels the way a real
mouse's does, through the X server, Wine's input queue and the host.
"""
import struct
import subprocess
import time
import zlib


class Failure(Exception):
    """A step did not show what it should: step, what was expected, what was seen."""

    def __init__(self, step, expected, seen):
        super().__init__(f"{step}: expected {expected}, seen {seen}")
        self.step, self.expected, self.seen = step, expected, seen


def xdotool(*args, check=True):
    r = subprocess.run(["xdotool", *map(str, args)], capture_output=True, text=True)
    if check and r.returncode != 0:
        raise RuntimeError(f"xdotool {' '.join(map(str, args))}: {r.stderr.strip()}")
    return r.stdout


# How many times longer than natively Wine may take to answer: set where it
# runs under qemu's emulator. Every bound below and in hands.py stretches by it.
SLOW = 1


def poll(fn, timeout=5.0, interval=0.02):
    """fn's first truthy result within timeout (times SLOW) seconds, else None."""
    end = time.monotonic() + timeout * SLOW
    while True:
        v = fn()
        if v or time.monotonic() >= end:
            return v
        time.sleep(interval)


# ---- windows ------------------------------------------------------------------

def visible_windows(name_regex):
    r = subprocess.run(["xdotool", "search", "--onlyvisible", "--name", name_regex], capture_output=True, text=True)
    return [int(w) for w in r.stdout.split()]


def geometry(window):
    """x, y, width, height of a window on the screen, or None once it is gone."""
    r = subprocess.run(["xdotool", "getwindowgeometry", "--shell", str(window)], capture_output=True, text=True)
    if r.returncode != 0:
        return None
    g = dict(line.split("=", 1) for line in r.stdout.split())
    return int(g["X"]), int(g["Y"]), int(g["WIDTH"]), int(g["HEIGHT"])


def title(window):
    """The X window name in UTF-8, as Wine sets it from the window text."""
    r = subprocess.run(["xdotool", "getwindowname", str(window)], capture_output=True)
    return r.stdout.decode("utf-8", "replace").rstrip("\n") if r.returncode == 0 else None


def focus():
    """The window with the keyboard focus (no window manager needed), or None."""
    r = subprocess.run(["xdotool", "getwindowfocus"], capture_output=True, text=True)
    return int(r.stdout) if r.returncode == 0 and r.stdout.strip().isdigit() else None


# ---- the pointer and the keys -----------------------------------------------------

class Pointer:
    """Real pointer events. Two presses of one button close together in time and
    place make a double click; click() keeps single clicks apart unless asked."""

    DOUBLE_CLICK_S = 0.5  # Wine's default double-click time
    DOUBLE_CLICK_PX = 4

    def __init__(self):
        self.last_press = (None, 0, 0, -10.0)  # button, x, y, time

    def move(self, x, y):
        xdotool("mousemove", max(0, int(x)), max(0, int(y)))  # the screen starts at 0

    def _apart(self, button, x, y):
        b, lx, ly, t = self.last_press
        wait = self.DOUBLE_CLICK_S + 0.1 - (time.monotonic() - t)
        near = abs(x - lx) <= self.DOUBLE_CLICK_PX and abs(y - ly) <= self.DOUBLE_CLICK_PX
        if b == button and near and wait > 0:
            time.sleep(wait)  # the double-click time is part of the input: nothing to poll

    def down(self, button, x=None, y=None):
        if x is not None:
            self.move(x, y)
        px, py = self.where()
        self._apart(button, px, py)
        xdotool("mousedown", button)
        self.last_press = (button, px, py, time.monotonic())

    def up(self, button, x=None, y=None):
        if x is not None:
            self.move(x, y)
        xdotool("mouseup", button)

    def click(self, button, x, y):
        self.down(button, x, y)
        self.up(button)

    def double_click(self, x, y):
        self.move(x, y)
        self._apart(1, x, y)
        xdotool("click", "--repeat", 2, "--delay", 60, 1)
        self.last_press = (1, x, y, time.monotonic())

    def wheel(self, forward, x, y, notches=1):
        self.move(x, y)
        for _ in range(notches):
            xdotool("click", 4 if forward else 5)  # X buttons 4 and 5 are the wheel

    def where(self):
        out = dict(line.split("=", 1) for line in xdotool("getmouselocation", "--shell").split())
        return int(out["X"]), int(out["Y"])


def keys(*names):
    xdotool("key", "--delay", 30, *names)


# ---- pictures ---------------------------------------------------------------------

class Picture:
    """Pixels as 0xRRGGBB, top row first."""

    def __init__(self, width, height, rgb):
        self.width, self.height, self.rgb = width, height, rgb

    def __call__(self, x, y):
        return self.rgb[y * self.width + x]

    def crop(self, x, y, w, h):
        rows = [self.rgb[(y + j) * self.width + x:(y + j) * self.width + x + w] for j in range(h)]
        return Picture(w, h, [p for row in rows for p in row])

    def write_png(self, path):
        raw = b"".join(b"\0" + b"".join(struct.pack(">I", p)[1:] for p in self.rgb[j * self.width:(j + 1) * self.width])
                       for j in range(self.height))

        def chunk(kind, body):
            return struct.pack(">I", len(body)) + kind + body + struct.pack(">I", zlib.crc32(kind + body))

        with open(path, "wb") as f:
            f.write(b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", self.width, self.height, 8, 2, 0, 0, 0))
                    + chunk(b"IDAT", zlib.compress(raw, 1)) + chunk(b"IEND", b""))


def capture(window="root"):
    """A window's pixels as the X server holds them (xwd, ZPixmap TrueColor).
    An open menu shows in a capture of its own window; under Xvfb the root
    window's capture leaves it black."""
    r = subprocess.run(["xwd", "-silent", "-root"] if window == "root" else ["xwd", "-silent", "-id", str(window)],
                       capture_output=True)
    if r.returncode != 0 or len(r.stdout) < 100:
        return None
    d = r.stdout
    h = struct.unpack(">25I", d[:100])
    header, width, height, order, bpp, stride, ncolours = h[0], h[4], h[5], h[7], h[11] // 8, h[12], h[19]
    if order != 0 or bpp not in (3, 4):
        raise RuntimeError(f"xwd: unexpected pixel layout (byte order {order}, {bpp * 8} bits)")
    base = header + 12 * ncolours
    rgb = []
    for y in range(height):
        row = d[base + y * stride:base + y * stride + width * bpp]
        b, g, rr = row[0::bpp], row[1::bpp], row[2::bpp]
        rgb.extend((rr[i] << 16) | (g[i] << 8) | b[i] for i in range(width))
    return Picture(width, height, rgb)
