#!/usr/bin/env python3
"""Real hands: the interactive reference host with the real plug-in under Wine,
driven only by X input events, checked by what a person sees (the window
title and the screen's pixels).

  hands.py --wine-run FILE --refhost FILE.exe --out DIR            the gestures
  hands.py --wine-run FILE --refhost FILE.exe --out DIR --monkey N [--seed S]

Each gesture is a named step with its check. The expected view comes from a
small model of the view: at zoom level d >= 1, with the client area w wide,
frame column fx has its left edge at window x = w/2 + pending - centre x d +
fx x d (the same for rows); the frame itself is read from the main window,
which shows it 1:1. A failure prints the step, what was expected and what was
seen, and keeps the screenshots in DIR.
"""
import argparse
import fcntl
import os
import random
import re
import subprocess
import sys
import time
from dataclasses import dataclass, replace

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import xinput  # noqa: E402
from xinput import Failure, Pointer, capture, focus, geometry, keys, poll, title, visible_windows  # noqa: E402

# ---- what the plug-in shows ---------------------------------------------------------

# Zoom levels below 1 and the divisor e of their reduction (the view is 2/e of
# the frame); levels 1 to 24 magnify by the level.
REDUCED = {0: ("2/3", 3), -1: ("1/2", 4), -2: ("1/3", 6), -3: ("1/4", 8), -4: ("1/6", 12), -5: ("1/8", 16),
           -6: ("1/12", 24), -7: ("1/16", 32), -8: ("1/24", 48), -9: ("1/32", 64)}
TOP, BOTTOM = 24, -9
LOCK_MARK = "[座標固定]"


def view_background():
    """The view's background colour, from the one header that defines it."""
    path = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "platform", "view_background.h")
    with open(path, encoding="utf-8") as f:
        return int(re.search(r"kViewBackgroundRgb = (0x[0-9A-Fa-f]+);", f.read()).group(1), 16)


BACKGROUND = view_background()  # the border colour the reference host sets
WHITE, BLACK = 0xFFFFFF, 0x000000
RULER_WIDTH = 8
CARD = (640, 360)  # the test card the host shows by default
# Wine's own caches behind real menus, captions and border drags add a few GDI
# objects over the first thousands of gestures and then stop (10,000 gestures:
# 94, 103 at the middle, 103 at the end). A leak per gesture exceeds these
# within a few hundred gestures: at most 8 more in the second half of a run,
# 16 in all.
OBJECT_ALLOWANCE = 8
OBJECT_ALLOWANCE_IN_ALL = 16
MENU_ITEMS = ["ホイール反転", "ルーラー", "グリッド線(なし)", "グリッド線(黒)", "グリッド線(白)"]
ONLY_READ = {"menu"}  # the one setting never stored: the user turns the menu bar off in the store itself


def title_for(level, locked):
    label = str(level) if level > 0 else REDUCED[level][0]
    return f"Tavimo - {label}倍 " + (LOCK_MARK if locked else " ")


def ctrunc(a, b):
    """Division truncating toward zero, as the plug-in divides."""
    q = abs(a) // abs(b)
    return q if (a >= 0) == (b > 0) else -q


@dataclass
class View:
    level: int = 2
    cx: int = 16
    cy: int = 16
    pdx: int = 0
    pdy: int = 0
    ruler: int = 1
    grid: int = 0
    reverse: int = 0
    locked: int = 0

    def fold(self):
        """What a repaint does with the pending drag movement."""
        if self.level >= 1:
            d = self.level
            self.cx, self.pdx = self.cx - ctrunc(self.pdx, d), self.pdx - ctrunc(self.pdx, d) * d
            self.cy, self.pdy = self.cy - ctrunc(self.pdy, d), self.pdy - ctrunc(self.pdy, d) * d
        else:
            e = REDUCED[self.level][1]
            self.cx, self.cy = self.cx - ctrunc(self.pdx * e, 2), self.cy - ctrunc(self.pdy * e, 2)
            self.pdx = self.pdy = 0

    def pan(self, dx, dy):
        self.pdx, self.pdy = self.pdx + dx, self.pdy + dy
        self.fold()

    def pick(self, fx, fy):
        self.cx, self.cy, self.pdx, self.pdy = fx, fy, 0, 0

    def zoom(self, steps):
        self.level = max(BOTTOM, min(TOP, self.level + steps))
        self.fold()

    def checks(self):
        return [self.reverse == 1, self.ruler == 1, self.grid == 0, self.grid == 1, self.grid == 2]

    def pixel(self, frame, w, h, x, y):
        """Expected colour of client pixel (x, y); None where the model says
        nothing exact (reduced levels); "ruler" inside the ruler's strips."""
        d = self.level
        if d < 1:
            return None
        if self.ruler and d > 1 and (x < RULER_WIDTH or y < RULER_WIDTH):
            return "ruler"
        ox = x - (w // 2 + self.pdx - self.cx * d)
        oy = y - (h // 2 + self.pdy - self.cy * d)
        fx, fy = ox // d, oy // d
        inx, iny = 0 <= fx < frame.width, 0 <= fy < frame.height
        if self.grid and d > 1 and ((inx and ox % d == 0) or (iny and oy % d == 0)):
            return BLACK if self.grid == 1 else WHITE
        return frame(fx, fy) if inx and iny else BACKGROUND


def first_difference(view, frame, pic):
    for y in range(pic.height):
        for x in range(pic.width):
            want = view.pixel(frame, pic.width, pic.height, x, y)
            seen = pic(x, y)
            if want is None or (want == "ruler" and seen in (WHITE, BLACK)) or want == seen:
                continue
            return x, y, want, seen
    return None


# ---- the host under test ------------------------------------------------------------

class Host:
    """One start of the interactive reference host: one Wine process."""

    def __init__(self, args, ini, source=None):
        self.args, self.ini = args, ini
        self.report_path = os.path.join(args.out, "report.txt")
        if os.path.exists(self.report_path):
            os.remove(self.report_path)
        cmd = [args.wine_run, args.refhost, "--ini", ini, "--report", self.report_path]
        if source:
            cmd.append(source)
        self.log = open(os.path.join(args.out, "host.log"), "a")
        self.proc = subprocess.Popen(cmd, stdout=self.log, stderr=subprocess.STDOUT)
        rep = poll(lambda: self.report("start"), timeout=60)
        if not rep:
            self.kill()
            raise Failure("host start", f"a report from the host within {60 * xinput.SLOW} s", "none")
        self.insets = {}
        for name in ("plugin", "main"):
            wl, wt, wr, wb = rep[name + ".window"]
            cl, ct, cr, cb = rep[name + ".client"]
            self.insets[name] = (cl - wl, ct - wt, wr - cr, wb - cb)
        self.main = self.find("main window", "^refhost - main window")
        self.plugin = self.find("plug-in window", "^Tavimo")

    def find(self, what, regex):
        ws = poll(lambda: visible_windows(regex), timeout=10)
        if not ws:
            raise Failure("find " + what, f"a visible X window named {regex}", "none")
        return ws[0]

    def report(self, when=None):
        try:
            with open(self.report_path, encoding="utf-8") as f:
                lines = [line.split() for line in f]
        except OSError:
            return None
        rep = {}
        for words in lines:
            if words and words[0] == "stored":
                rep["stored." + words[1]] = int(words[2])
            elif words and words[0] == "setting":  # the settings' list: key, initial value, lowest, highest
                rep.setdefault("settings", {})[words[1]] = tuple(int(w) for w in words[2:])
            elif words:
                rep[words[0]] = [int(w) if w.lstrip("-").isdigit() else w for w in words[1:]]
        if when is not None and rep.get("report", [0, ""])[1] != when:
            return None
        return rep

    def client(self, name="plugin"):
        """Screen position and size of a window's client area, from the X server."""
        g = geometry(self.plugin if name == "plugin" else self.main)
        left, top, right, bottom = self.insets[name]
        return g[0] + left, g[1] + top, g[2] - left - right, g[3] - top - bottom

    def frame_point(self, fx, fy):
        """The screen point over frame pixel (fx, fy) of the main window."""
        x, y, _, _ = self.client("main")
        return x + fx, y + fy

    def main_spot(self):
        """A point of the main window's client area beside the frame."""
        x, y, w, h = self.client("main")
        return x + w - 8, y + h - 8

    def frame(self):
        pic = capture(self.main)
        left, top, _, _ = self.insets["main"]
        return pic.crop(left, top, *CARD)

    def client_picture(self):
        pic = capture(self.plugin)
        left, top, right, bottom = self.insets["plugin"]
        return pic.crop(left, top, pic.width - left - right, pic.height - top - bottom) if pic else None

    def focus_main(self, pointer):
        """A click beside the frame gives the main window the keys. A window that
        has only just been mapped may miss the first click: up to three tries."""
        for _ in range(3):
            pointer.click(1, *self.main_spot())
            if poll(lambda: focus() == self.main, timeout=2):
                return
        raise Failure("focus", "the keyboard focus on the main window", f"on {focus()}")

    def ask_report(self, pointer):
        """The host's report of this moment: the R key in the main window."""
        before = self.report()["report"][0]
        self.focus_main(pointer)
        rep = None
        for _ in range(3):
            keys("r")
            rep = poll(lambda: (r := self.report()) and r["report"][0] > before and r, timeout=3)
            if rep:
                break
        if not rep:
            raise Failure("report", "a new report after the R key", "none")
        return rep

    def close_box(self, name="main"):
        g = geometry(self.main if name == "main" else self.plugin)
        left, top, right, _ = self.insets[name]
        caption = top - left if name == "main" else self.insets["main"][1] - self.insets["main"][0]
        return g[0] + g[2] - right - caption // 2 - 1, g[1] + left + caption // 2

    def gone(self):
        """What of the host has vanished: its process, or a window it showed."""
        if self.proc.poll() is not None:
            return f"the host's process ended (exit status {self.proc.returncode})"
        for what, w in (("main window", getattr(self, "main", None)), ("plug-in window", getattr(self, "plugin", None))):
            if w is not None and geometry(w) is None:
                return f"the host's {what} (X window {w}) vanished"
        return None

    def wait_exit(self, timeout):
        try:
            self.proc.wait(timeout * xinput.SLOW)
            return True
        except subprocess.TimeoutExpired:
            return False

    def kill(self):
        """Ends the host: scripts/wine-run, told to stop, stops its run's processes."""
        if self.proc.poll() is None:
            self.proc.terminate()
            try:
                self.proc.wait(60)
            except subprocess.TimeoutExpired:
                self.proc.kill()
                self.proc.wait()


# ---- steps and checks -----------------------------------------------------------------

class Suite:
    def __init__(self, args):
        self.args = args
        self.pointer = Pointer()
        self.host = None
        self.view = View()
        self.card = None
        self.passed = 0
        self.step_name = ""

    def step(self, name):
        self.step_name = name
        self.passed += 1
        print(f"hands: step {self.passed:2d} {name}", flush=True)

    def fail(self, failure):
        safe = "".join(c if c.isalnum() else "_" for c in failure.step)[:60]
        shots = []
        root = capture("root")
        if root:
            path = os.path.join(self.args.out, f"FAILED-{safe}-screen.png")
            root.write_png(path)
            shots.append(path)
        if self.host:
            pic = self.host.client_picture()
            if pic:
                path = os.path.join(self.args.out, f"FAILED-{safe}-client.png")
                pic.write_png(path)
                shots.append(path)
        print(f"FAIL hands step '{failure.step}'\n  expected: {failure.expected}\n  seen:     {failure.seen}")
        for s in shots:
            print(f"  screenshot: {s}")

    # -- checks --
    def expect_title(self, text=None, timeout=3):
        text = text if text is not None else title_for(self.view.level, self.view.locked)
        seen = poll(lambda: (t := title(self.host.plugin)) == text and t, timeout=timeout)
        if not seen:
            raise Failure(self.step_name, f"title {text!r}", f"title {title(self.host.plugin)!r}")

    def expect_view(self, timeout=3):
        last = [None]

        def matches():
            pic = self.host.client_picture()
            if pic is None:
                return False
            last[0] = first_difference(self.view, self.card, pic)
            return last[0] is None

        if not poll(matches, timeout=timeout, interval=0.05):
            x, y, want, seen = last[0]
            v = self.view
            raise Failure(self.step_name,
                          f"client pixel ({x}, {y}) = {want if isinstance(want, str) else f'{want:06x}'} for level "
                          f"{v.level} centre ({v.cx}, {v.cy}) pending ({v.pdx}, {v.pdy}) ruler {v.ruler} grid {v.grid}",
                          f"{seen:06x}")

    def expect_still(self):
        """Nothing more happens: the view is as expected now and a moment later."""
        self.expect_view()
        self.expect_title()
        time.sleep(0.3 * xinput.SLOW)  # a change that should not come cannot be polled for
        self.expect_view(timeout=0)
        self.expect_title(timeout=0)

    # -- where things are --
    def client_point(self, x, y):
        cx, cy, _, _ = self.host.client()
        return cx + x, cy + y

    def client_centre(self, dx=0, dy=0):
        _, _, w, h = self.host.client()
        return self.client_point(w // 2 + dx, h // 2 + dy)

    def menu_popup(self, timeout=3):
        def find():
            for w in visible_windows("^$"):
                g = geometry(w)
                if g and g[2] < 600 and g[3] < 600:  # not the root nor a screen-sized window
                    return w
            return None

        return poll(find, timeout=timeout)

    def read_checks(self, popup):
        """The check mark of each item, from a picture of the open menu."""
        pic = capture(popup)
        marks = []
        for i in range(len(MENU_ITEMS)):
            cy = pic.height * (2 * i + 1) // (2 * len(MENU_ITEMS))
            background = pic(pic.width - 4, cy)
            inked = sum(pic(x, y) != background for y in range(cy - 6, cy + 7) for x in range(2, 16))
            marks.append(inked > 5)
        return marks, pic

    def popup_row(self, popup, i):
        x, y, w, h = geometry(popup)
        return x + w // 2, y + h * (2 * i + 1) // (2 * len(MENU_ITEMS))

    def open_menu_by_mouse(self):
        cx, cy, _, _ = self.host.client()
        bar = self.host.insets["plugin"][1] - self.host.insets["main"][1]
        # On a loaded machine Wine now and then lets a click on the bar go by
        # (a menu loop just ended, a repaint in its way): as a person would,
        # click once more.
        for _ in range(2):
            self.pointer.click(1, cx + 14, cy - bar // 2)
            popup = self.menu_popup()
            if popup:
                return popup
        raise Failure(self.step_name, "the 設定 menu open", "no menu window")

    def expect_checks(self, popup):
        marks, pic = self.read_checks(popup)
        want = self.view.checks()
        if marks != want:
            pic.write_png(os.path.join(self.args.out, "FAILED-menu.png"))
            raise Failure(self.step_name, "checked " + ", ".join(m for m, c in zip(MENU_ITEMS, want) if c),
                          "checked " + ", ".join(m for m, c in zip(MENU_ITEMS, marks) if c))

    def expect_menu_closed(self):
        if not poll(lambda: self.menu_popup(timeout=0) is None, timeout=3):
            raise Failure(self.step_name, "the menu closed", "still open")

    def apply_item(self, i):
        v = self.view
        if i == 0:
            v.reverse ^= 1
        elif i == 1:
            v.ruler ^= 1
        else:
            v.grid = i - 2

    def wheel(self, forward):
        """One notch over the view; the model steps as the wheel direction says."""
        self.pointer.wheel(forward, *self.client_centre(3, 3))
        self.view.zoom(1 if forward != bool(self.view.reverse) else -1)

    def drag(self, start, moves, button_up_at=None):
        """Left-drag from a screen point through relative moves (one direction per axis)."""
        self.pointer.down(1, *start)
        x, y = start
        for dx, dy in moves:
            x, y = x + dx, y + dy
            self.pointer.move(x, y)
        if button_up_at is not False:
            self.pointer.up(1)
        return x, y

    def follow(self, fx, fy):
        """The pointer, button held in the main window, to frame pixel (fx, fy): the view centres there."""
        self.pointer.move(*self.host.frame_point(fx, fy))
        self.view.pick(fx, fy)
        self.expect_view()

    def focus_plugin(self):
        """A click in the view (press and release in place: no pan) gives it the keys."""
        self.pointer.click(1, *self.client_centre(-7, 9))
        if not poll(lambda: focus() == self.host.plugin, timeout=3):
            raise Failure(self.step_name, "the keyboard focus on the plug-in window", f"on {focus()}")

    # -- starting and stopping --
    def start_host(self, source=None):
        self.host = Host(self.args, self.ini, source)
        self.card = self.host.frame()

    def stop_host(self):
        """The main window's close box: the host ends and stores the settings."""
        self.pointer.click(1, *self.host.close_box())
        if not self.host.wait_exit(60):
            raise Failure(self.step_name, "the host ended after its close box", "still running")
        rep = self.host.report("exit")
        if not rep:
            raise Failure(self.step_name, "the exit report", "none")
        return rep


# ---- the gestures -------------------------------------------------------------------

def gestures(s):
    v = s.view
    s.step("start: the title and the view of a fresh host")
    s.start_host()
    s.expect_title()
    s.expect_view()

    s.step("main window: a press on the frame centres the view on that pixel")
    s.pointer.down(1, *s.host.frame_point(100, 50))
    v.pick(100, 50)
    s.expect_view()
    s.step("main window: moving with the button held follows to column 0, row 0")
    s.follow(0, 0)
    s.step("main window: held off the frame, the view follows the point off it")
    s.follow(-3, -8)
    s.follow(650, 370)
    s.step("main window: after the release the view stops following")
    s.follow(300, 180)
    s.pointer.up(1)
    s.pointer.move(*s.host.frame_point(200, 100))
    s.pointer.move(*s.host.frame_point(210, 110))
    s.expect_still()

    s.step("plug-in window: a left drag pans by the pointer's movement")
    end = s.drag(s.client_centre(5, 5), [(10, 6)] * 4, button_up_at=False)
    v.pan(40, 24)
    s.expect_view()
    s.step("plug-in window: the drag keeps panning outside the window")
    cx, cy, w, h = s.host.client()
    outside = cx + w + 60 - end[0]
    for _ in range(3):
        s.pointer.move(end[0] + outside // 3, end[1] + 7)
        end = (end[0] + outside // 3, end[1] + 7)
        v.pan(outside // 3, 7)
    s.expect_view()
    s.step("plug-in window: a release outside ends the drag")
    s.pointer.up(1)
    s.pointer.move(*s.client_centre(20, 20))
    s.pointer.move(*s.client_centre(-20, -10))
    s.expect_still()

    s.step("wheel: one notch forward, one step in")
    s.wheel(True)
    s.expect_title()
    s.expect_view()
    s.step("wheel: one notch back, one step out")
    s.wheel(False)
    s.expect_title()
    s.expect_view()
    s.step("wheel: forward to 24x, one step per notch, and no further")
    while v.level < TOP:
        s.wheel(True)
        s.expect_title()
    s.wheel(True)
    s.expect_still()
    s.step("wheel: back to 1/32x, one step per notch, and no further")
    while v.level > BOTTOM:
        s.wheel(False)
        s.expect_title()
    s.wheel(False)
    s.expect_title()
    time.sleep(0.3 * xinput.SLOW)
    s.expect_title(timeout=0)
    while v.level < 3:
        s.wheel(True)
        s.expect_title()
    s.expect_view()

    s.step("double click: one step in, no pan")
    s.pointer.double_click(*s.client_centre(11, -13))
    v.zoom(1)
    s.expect_title()
    s.expect_view()
    s.step("two clicks slower than the double-click time: no zoom, no pan")
    s.pointer.click(1, *s.client_centre(-15, 4))
    s.pointer.click(1, *s.client_centre(-15, 4))  # Pointer keeps them apart
    s.expect_still()
    s.step("right click: one step out")
    s.pointer.click(3, *s.client_centre(2, 8))
    v.zoom(-1)
    s.expect_title()
    s.expect_view()

    s.step("middle click: the lock mark")
    s.pointer.click(2, *s.client_centre(-4, -4))
    v.locked = 1
    s.expect_title()
    s.step("locked: presses and drags in the main window do nothing")
    s.drag(s.host.frame_point(320, 200), [(8, 5)] * 3)
    s.pointer.click(1, *s.host.frame_point(40, 30))
    s.expect_still()
    s.step("locked: a drag in the plug-in window does nothing")
    s.drag(s.client_centre(0, 0), [(9, 9)] * 3)
    s.expect_still()
    s.step("locked: the wheel still zooms")
    s.wheel(True)
    s.expect_title()
    s.expect_view()
    s.wheel(False)
    s.expect_title()
    s.step("middle click again: the lock is off")
    s.pointer.click(2, *s.client_centre(6, -9))
    v.locked = 0
    s.expect_title()
    s.pointer.click(1, *s.host.frame_point(500, 60))
    v.pick(500, 60)
    s.expect_view()

    for i in [1, 3, 4, 2, 0]:
        s.step(f"menu by mouse: {MENU_ITEMS[i]}")
        popup = s.open_menu_by_mouse()
        s.expect_checks(popup)
        s.pointer.click(1, *s.popup_row(popup, i))
        s.apply_item(i)
        s.expect_menu_closed()
        s.expect_view()
    s.step("menu by mouse: the check marks after all five")
    popup = s.open_menu_by_mouse()
    s.expect_checks(popup)
    keys("Escape", "Escape")
    s.expect_menu_closed()
    s.step("wheel reversed: forward steps out")
    s.wheel(True)
    s.expect_title()
    s.expect_view()

    for i, name in [(1, "ルーラー"), (3, "グリッド線(黒)"), (0, "ホイール反転")]:
        s.step(f"menu by keyboard: F10, arrows, Enter: {name}")
        s.focus_plugin()
        keys("F10", "Down", *["Down"] * i, "Return")
        s.apply_item(i)
        s.expect_menu_closed()
        s.expect_view()
    s.step("menu by keyboard: Escape closes it and changes nothing")
    s.focus_plugin()
    keys("F10", "Down", "Down")
    if not s.menu_popup():
        raise Failure(s.step_name, "the menu open after F10 and Down", "no menu window")
    keys("Escape", "Escape")
    s.expect_menu_closed()
    s.expect_still()
    s.step("menu by keyboard: the check marks")
    popup = s.open_menu_by_mouse()
    s.expect_checks(popup)
    keys("Escape", "Escape")
    s.expect_menu_closed()

    s.step("activation: clicking the main window beside the frame moves the focus, nothing pans")
    s.host.focus_main(s.pointer)
    s.expect_still()
    s.step("activation: clicking back in the plug-in window, nothing pans")
    s.focus_plugin()
    s.expect_still()

    s.step("resize: dragging the border's corner, the view fills the new client area")
    gx, gy, gw, gh = geometry(s.host.plugin)
    s.drag((gx + gw - 2, gy + gh - 2), [(15, 10)] * 4)
    if not poll(lambda: geometry(s.host.plugin)[2:] == (gw + 60, gh + 40), timeout=3):
        raise Failure(s.step_name, f"window {gw + 60}x{gh + 40}", "window %dx%d" % geometry(s.host.plugin)[2:])
    s.expect_view()

    s.step("close box: the host stores the zoom, ruler, grid and wheel direction")
    s.wheel(False)  # reversed: one step in
    s.expect_title()
    rep = s.stop_host()
    want = {"nnn": v.level, "reverse": v.reverse, "ruler": v.ruler, "grid": v.grid}
    seen = {k: rep.get("stored." + k) for k in rep.get("settings", {}) if k not in ONLY_READ}
    if seen != want:
        raise Failure(s.step_name, f"stored {want}", f"stored {seen}")
    s.step("restart: zoom, ruler, grid and wheel direction come back")
    s.start_host()
    s.view = v = replace(v, cx=16, cy=16, pdx=0, pdy=0)
    s.expect_title()
    s.expect_view()
    popup = s.open_menu_by_mouse()
    s.expect_checks(popup)
    keys("Escape", "Escape")
    s.expect_menu_closed()
    s.wheel(True)
    s.expect_title()
    s.expect_view()
    s.stop_host()


# ---- the monkey ------------------------------------------------------------------------

def monkey(s, n, seed):
    """n random real gestures while the host plays a folder of frames."""
    rng = random.Random(seed)
    t0 = time.monotonic()
    s.step(f"monkey: start on a playing folder (seed {seed})")
    s.start_host(s.args.folder)
    s.host.focus_main(s.pointer)
    keys("space")  # play
    shown = {"plugin": True, "video": True}
    samples = {}

    def point_in_plugin():
        # The view and beyond its right and bottom edges: a press on the left
        # border or the caption would move the window over the main window.
        x, y, w, h = s.host.client()
        return x + rng.randrange(0, w + 30), y + rng.randrange(0, h + 30)

    def point_in_main():
        x, y, w, h = s.host.client("main")
        return x + rng.randrange(0, w), y + rng.randrange(0, h)

    def drag():
        start = point_in_plugin()
        s.drag(start, [(rng.randrange(-80, 81), rng.randrange(-80, 81)) for _ in range(rng.randrange(1, 6))])

    def main_pick():
        s.drag(point_in_main(), [(rng.randrange(-40, 41), rng.randrange(-40, 41)) for _ in range(rng.randrange(0, 4))])

    def wheel():
        s.pointer.wheel(rng.random() < 0.5, *point_in_plugin(), notches=rng.randrange(1, 4))

    def menu_mouse():
        popup = s.open_menu_by_mouse() if shown["plugin"] else None
        if popup and rng.random() < 0.8:
            s.pointer.click(1, *s.popup_row(popup, rng.randrange(len(MENU_ITEMS))))
        else:
            keys("Escape", "Escape")

    def menu_keys():
        # Only with the keys on the plug-in window: F10 in the main window
        # opens its system menu, whose Enter may close the host.
        if not shown["plugin"]:
            return
        x, y, w, h = s.host.client()
        s.pointer.click(1, x + rng.randrange(w), y + rng.randrange(h))
        if not poll(lambda: focus() == s.host.plugin, timeout=2):
            return
        keys("F10", "Down", *["Down"] * rng.randrange(5), rng.choice(["Return", "Escape"]), "Escape")

    def resize():
        gx, gy, gw, gh = geometry(s.host.plugin)
        tx, ty = rng.randrange(200, 560), rng.randrange(200, 480)
        s.drag((gx + gw - 2, gy + gh - 2), [((tx - gw) // 2, (ty - gh) // 2)] * 2)

    def host_key(key, what):
        def press():
            s.host.focus_main(s.pointer)
            keys(key)
            shown[what] = not shown[what]
        return press

    kinds = [(drag, 6), (main_pick, 5), (wheel, 5), (lambda: s.pointer.double_click(*point_in_plugin()), 3),
             (lambda: s.pointer.click(3, *point_in_plugin()), 3), (lambda: s.pointer.click(2, *point_in_plugin()), 2),
             (menu_mouse, 2), (menu_keys, 2), (resize, 2), (host_key("v", "plugin"), 1), (host_key("c", "video"), 1)]
    gestures_of = [k for k, weight in kinds for _ in range(weight)]

    def settle_menus():
        for _ in range(4):
            if s.menu_popup(timeout=0.2) is None:
                return
            keys("Escape")
        raise Failure(s.step_name, "no menu left open", "a menu that Escape does not close")

    def sample(when):
        settle_menus()
        rep = s.host.ask_report(s.pointer)
        samples[when] = (rep["objects"][0], rep["objects"][1], rep["frames"][0])
        print(f"hands: monkey {when}: GDI {samples[when][0]}, USER {samples[when][1]}, frames shown {samples[when][2]}",
              flush=True)

    # Wine makes objects of its own on first use and keeps them (the menu
    # loop's and the window surfaces of new sizes grow by a few, then stop):
    # every kind four times before the first count, as the soak warms up.
    for _ in range(4):
        for g, _ in kinds:
            g()
    for what, on in shown.items():
        if not on:
            host_key("v" if what == "plugin" else "c", what)()
    sample("start")
    s.step(f"monkey: {n} random gestures")
    for i in range(n):
        rng.choice(gestures_of)()
        if s.host.proc.poll() is not None:
            raise Failure(s.step_name, f"the host running after gesture {i + 1}", f"exit code {s.host.proc.returncode}")
        if i + 1 == max(1, n // 2):
            sample("middle")
    settle_menus()
    for what, on in shown.items():
        if not on:
            host_key("v" if what == "plugin" else "c", what)()
    sample("end")

    s.step("monkey: the host still responds: the menu, the wheel and a main-window press")
    s.host.focus_main(s.pointer)
    keys("space")  # pause, so that the frame stays
    if LOCK_MARK in (title(s.host.plugin) or ""):
        s.pointer.click(2, *s.client_centre())
        if not poll(lambda: LOCK_MARK not in title(s.host.plugin), timeout=3):
            raise Failure(s.step_name, "the lock off after a middle click", repr(title(s.host.plugin)))
    popup = s.open_menu_by_mouse()
    marks, _ = s.read_checks(popup)
    keys("Escape", "Escape")
    s.expect_menu_closed()
    reverse = marks[0]
    level = next(lv for lv in range(BOTTOM, TOP + 1) if title(s.host.plugin) == title_for(lv, 0))
    while level != 4:  # one notch at a time, each with its new title
        forward = (level < 4) != reverse
        s.pointer.wheel(forward, *s.client_centre())
        level += 1 if level < 4 else -1
        s.expect_title(title_for(level, 0))
    fx, fy = 16, 16  # inside every frame of the folder
    s.pointer.click(1, *s.host.frame_point(fx, fy))
    pic = capture(s.host.main)
    left, top, _, _ = s.host.insets["main"]
    want = pic(left + fx, top + fy)
    _, _, w, h = s.host.client()
    # Client pixel (w/2 + 1, h/2 + 1) lies inside the centre pixel's 4 by 4 square, off any grid line.
    if not poll(lambda: (p := s.host.client_picture()) and p(w // 2 + 1, h // 2 + 1) == want, timeout=3):
        p = s.host.client_picture()
        raise Failure(s.step_name, f"the view's centre showing frame pixel ({fx}, {fy}) {want:06x}",
                      f"{p(w // 2 + 1, h // 2 + 1):06x}")

    s.step("monkey: objects flat, settings stored in range")
    failures = []
    for kind, i in (("GDI", 0), ("USER", 1)):
        a, m, b = samples["start"][i], samples["middle"][i], samples["end"][i]
        if a >= 0 and (b - m > OBJECT_ALLOWANCE or b - a > OBJECT_ALLOWANCE_IN_ALL):
            failures.append(f"{kind} objects grew from {a} (start) and {m} (middle) to {b}")
    rep = s.stop_host()
    if not rep.get("settings"):
        failures.append("the exit report lists no settings")
    for k, (_, lowest, highest) in rep.get("settings", {}).items():
        if k not in ONLY_READ and rep.get("stored." + k) not in range(lowest, highest + 1):
            failures.append(f"stored {k} = {rep.get('stored.' + k)}")
    if failures:
        raise Failure(s.step_name, f"objects within {OBJECT_ALLOWANCE} of the middle and {OBJECT_ALLOWANCE_IN_ALL} of the start, settings in range", "; ".join(failures))
    (g0, u0, f0), (g1, u1, _), (g2, u2, f2) = samples["start"], samples["middle"], samples["end"]
    print(f"hands: monkey: {n} gestures (seed {seed}) in {time.monotonic() - t0:.0f} s, {f2} frames shown; "
          f"GDI {g0}/{g1}/{g2}, USER {u0}/{u1}/{u2} at start/middle/end", flush=True)


def run_once(args, last):
    """One attempt; True when every step passed, None when no attempt may
    follow. Only the last attempt's failure is a failure: an earlier one says
    what it met and keeps its screenshots, and the run starts again from a
    fresh host. A host that ended or lost a window fails at once."""
    s = Suite(args)
    s.ini = os.path.join(args.out, "refhost.ini")
    if os.path.exists(s.ini):
        os.remove(s.ini)
    t0 = time.monotonic()
    try:
        if args.monkey:
            monkey(s, args.monkey, args.seed)
        else:
            gestures(s)
    except Failure as f:
        gone = s.host.gone() if s.host else None
        if gone:  # the host's end is never an event lost by a loaded machine
            f.seen, last = f"{f.seen}; {gone}", True
        if not last:
            print(f"hands: this attempt stopped at step '{f.step}' (expected {f.expected}; seen {f.seen}); once more")
            return False
        s.fail(f)
        print(f"hands: {s.passed - 1} passed, 1 failed")
        return None
    except Exception as e:  # a window vanished under the step, or the driver broke: no attempt more
        gone = s.host.gone() if s.host else None
        s.fail(Failure(s.step_name, "the step to run", gone or f"{type(e).__name__}: {e}"))
        print(f"hands: {s.passed - 1} passed, 1 failed")
        return None
    finally:
        if s.host:
            s.host.kill()
    print(f"hands: all {s.passed} steps in {time.monotonic() - t0:.0f} s")
    print(f"hands: {s.passed} passed, 0 failed")
    return True


def take_the_screen():
    """Holds the session's display for this run's real input, machine-wide (a
    lock named for the display): every run of the Wine session shares it, and
    two runs' real input on it would move each other's pointer (ctest's
    resource lock binds one ctest only; two clones' make test run side by
    side). The windows stay on the display of the session's desktop: a
    window on another display sized by its border lost its main window.
    Held until the process ends."""
    display = os.environ.get("DISPLAY", ":0").lstrip(":").replace("/", "_")
    lock = open(f"/tmp/tavimo-real-input-{display}.lock", "a")
    try:
        fcntl.flock(lock, fcntl.LOCK_EX | fcntl.LOCK_NB)
    except BlockingIOError:
        print(f"hands: another run's real input holds display :{display}; waiting for its end", flush=True)
        fcntl.flock(lock, fcntl.LOCK_EX)
    take_the_screen.lock = lock


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("--wine-run", required=True)
    ap.add_argument("--refhost", required=True)
    ap.add_argument("--out", required=True)
    ap.add_argument("--folder", help="the folder of frames the monkey plays")
    ap.add_argument("--monkey", type=int, default=0, help="random gestures instead of the named steps")
    ap.add_argument("--seed", type=int, default=1)
    # X and Wine under a loaded machine now and then drop or delay an event
    # past every bound; make test allows one more attempt.
    ap.add_argument("--attempts", type=int, default=1, help="runs allowed before a failure counts")
    args = ap.parse_args()
    os.makedirs(args.out, exist_ok=True)
    if subprocess.run([args.wine_run, "--emulated"]).returncode == 0:
        xinput.SLOW = 10
        print("hands: Wine runs under qemu's emulator here: every bound is 10 times longer", flush=True)
    take_the_screen()
    for attempt in range(1, max(1, args.attempts) + 1):
        done = run_once(args, attempt == max(1, args.attempts))
        if done is not False:
            return 0 if done else 1
    return 1


if __name__ == "__main__":
    sys.exit(main())
