"""Drives the real beamlet program on a private desktop (scripts/xsession.py), as a
user would: input through xdotool, the clipboard read from outside with xclip,
windows and pixels read straight from the X server.

Test scripts call main() instead of unittest.main(): it takes --beamlet PATH
(or $BEAMLET), and exits 77 when the X tools are missing so CTest can skip.
With --windows DIR the same tests drive the Windows
program of that build folder (beamlet.exe, beamlet.com) under Wine instead
(WineSession); the few rows that differ by system say so (linux_only, on_windows).
"""

import argparse
import ctypes
import ctypes.util
import itertools
import json
import os
import shutil
import signal
import subprocess
import sys
import threading
import time
import unittest

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, "..", "..", "scripts"))
from xsession import SessionError, XSession, die_with_parent, spawn, stop_group, wait_until  # noqa: E402,F401
from wine_prefix import TOOL, add_tool, windows_build, copy_prefix, end_wineserver, remove_server_folder, wine_env  # noqa: E402

SKIP = 77
REQUIRED_TOOLS = ("Xvfb", "openbox", "xdotool", "xclip", "xprop", "wmctrl")
AUDIO_TOOLS = ("pulseaudio", "pactl")
MAIN_TITLE = "Orvane Facebook Beamlet"
NOTIFY_TITLE = "Orvane Beamlet"
TONE_SOURCE = os.path.join(HERE, "..", "..", "assets", "sound", "tone.wav")
TONE_SIZE = 535_596


def token(page_id):
    return b"[[%d]]\x0c" % page_id


H, I, FIVE, ZERO = (token(n) for n in (186097158158768, 149883275129464, 357931430897631, 205585576206223))


def read(path):
    with open(path, "rb") as f:
        return f.read()


def design_dump(*args, text=True):
    """Runs the program's design dump (its path in $BEAMLET_DESIGN_DUMP, set by CTest)."""
    path = os.environ.get("BEAMLET_DESIGN_DUMP")
    if not path:
        raise RuntimeError("BEAMLET_DESIGN_DUMP names no design_dump program; run the tests through ctest")
    return subprocess.run([path, *args], check=True, capture_output=True, text=text, timeout=30).stdout


def catalogue():
    """{entry number: grid text bytes} as the program's catalogue builds them."""
    raw, texts, at = design_dump("--catalogue", text=False), {}, 0
    while at < len(raw):
        number, size = int.from_bytes(raw[at:at + 4], "little"), int.from_bytes(raw[at + 4:at + 8], "little")
        texts[number] = raw[at + 8:at + 8 + size]
        at += 8 + size
    return texts


# Where things sit, from the program's own layout: (x, y, width, height) in the
# window's client area, or in the panel for a panel's contents.
L = json.loads(design_dump("--layout"))
MAIN_SIZE, MINI_SIZE, NOTIFY_SIZE = (tuple(L[k][2:]) for k in ("mainWindow", "miniWindow", "notification"))


def center(rect):
    return rect[0] + rect[2] // 2, rect[1] + rect[3] // 2


def offset(rect, origin):
    """A rect given relative to a panel, made relative to the panel's window."""
    return (origin[0] + rect[0], origin[1] + rect[1], *rect[2:])


def in_panel(name, panel):
    return offset(L[name], L[panel][:2])


def pack_tile(number):
    return offset(L["packTiles"][number - 1], in_panel("packTileArea", "packPanelOpen")[:2])


def mini_tile(number):
    return offset(L["miniTiles"][number - 1], L["miniPalette"][:2])


class XProbe:
    """A direct Xlib connection (through ctypes) that reads window places and
    pixels in well under a millisecond, fast enough to follow a window that moves
    every 15 ms (xdotool or xwininfo take tens of milliseconds a call)."""

    class _Attributes(ctypes.Structure):
        _fields_ = [(n, ctypes.c_int) for n in ("x", "y", "width", "height", "border", "depth")] + [
            ("visual", ctypes.c_void_p), ("root", ctypes.c_ulong)] + [
            (n, ctypes.c_int) for n in ("class_", "bit_gravity", "win_gravity", "backing_store")] + [
            ("backing_planes", ctypes.c_ulong), ("backing_pixel", ctypes.c_ulong), ("save_under", ctypes.c_int),
            ("colormap", ctypes.c_ulong), ("map_installed", ctypes.c_int), ("map_state", ctypes.c_int),
            ("masks", ctypes.c_long * 3), ("override_redirect", ctypes.c_int), ("screen", ctypes.c_void_p)]

    class _Image(ctypes.Structure):
        _fields_ = [(n, ctypes.c_int) for n in ("width", "height", "xoffset", "format")] + [
            ("data", ctypes.c_void_p)] + [(n, ctypes.c_int) for n in (
                "byte_order", "bitmap_unit", "bitmap_bit_order", "bitmap_pad", "depth", "bytes_per_line",
                "bits_per_pixel")]

    _lib = None

    @classmethod
    def xlib(cls):
        if cls._lib is None:
            c = ctypes
            x = c.CDLL(c.util.find_library("X11") or "libX11.so.6")
            x.XInitThreads()
            P, U, I_ = c.c_void_p, c.c_ulong, c.c_int
            for name, res, args in (
                    ("XOpenDisplay", P, [c.c_char_p]), ("XCloseDisplay", I_, [P]), ("XDefaultRootWindow", U, [P]),
                    ("XInternAtom", U, [P, c.c_char_p, I_]), ("XFree", I_, [P]), ("XFetchName", I_, [P, U, P]),
                    ("XGetSelectionOwner", U, [P, U]),
                    ("XGetWindowProperty", I_, [P, U, U, c.c_long, c.c_long, I_, U, P, P, P, P, P]),
                    ("XGetImage", P, [P, U, I_, I_, c.c_uint, c.c_uint, U, I_]), ("XDestroyImage", I_, [P]),
                    ("XGetWindowAttributes", I_, [P, U, c.POINTER(XProbe._Attributes)]),
                    ("XQueryTree", I_, [P, U, P, P, P, P]),
                    ("XTranslateCoordinates", I_, [P, U, U, I_, I_, P, P, P])):
                getattr(x, name).restype, getattr(x, name).argtypes = res, args
            # A window can vanish between listing and asking; the default handler
            # would end this process on the resulting BadWindow.
            handler = c.CFUNCTYPE(I_, P, P)
            cls._handler = handler(lambda display, event: 0)
            x.XSetErrorHandler.argtypes = [handler]
            x.XSetErrorHandler(cls._handler)
            cls._lib = x
        return cls._lib

    def __init__(self, display):
        self.x = self.xlib()
        self.dpy = self.x.XOpenDisplay(display.encode())
        if not self.dpy:
            raise SessionError(f"cannot open display {display}")
        self.root = self.x.XDefaultRootWindow(self.dpy)
        self.client_list = self.x.XInternAtom(self.dpy, b"_NET_CLIENT_LIST", 0)

    def close(self):
        if self.dpy:
            self.x.XCloseDisplay(self.dpy)
            self.dpy = None

    def clients(self):
        """Top-level windows that the window manager manages."""
        kind, fmt, count, after = ctypes.c_ulong(), ctypes.c_int(), ctypes.c_ulong(), ctypes.c_ulong()
        data = ctypes.POINTER(ctypes.c_ulong)()
        if self.x.XGetWindowProperty(self.dpy, self.root, self.client_list, 0, 1 << 16, 0, 0, ctypes.byref(kind),
                                     ctypes.byref(fmt), ctypes.byref(count), ctypes.byref(after),
                                     ctypes.byref(data)) != 0 or not data:
            return []
        try:
            return list(data[:count.value])
        finally:
            self.x.XFree(data)

    def opacity(self, wid):
        """The window's _NET_WM_WINDOW_OPACITY as the X server holds it (0xFFFFFFFF is opaque), or None."""
        atom = self.x.XInternAtom(self.dpy, b"_NET_WM_WINDOW_OPACITY", 0)
        kind, fmt, count, after = ctypes.c_ulong(), ctypes.c_int(), ctypes.c_ulong(), ctypes.c_ulong()
        data = ctypes.POINTER(ctypes.c_ulong)()
        if self.x.XGetWindowProperty(self.dpy, wid, atom, 0, 1, 0, 0, ctypes.byref(kind), ctypes.byref(fmt),
                                     ctypes.byref(count), ctypes.byref(after), ctypes.byref(data)) != 0 or not data:
            return None
        try:
            return data[0] & 0xFFFFFFFF if count.value == 1 else None
        finally:
            self.x.XFree(data)

    def selection_owner(self, name):
        """The window owning a selection (a compositing manager owns _NET_WM_CM_S0), or 0."""
        return self.x.XGetSelectionOwner(self.dpy, self.x.XInternAtom(self.dpy, name, 0))

    def title(self, wid):
        name = ctypes.c_char_p()
        if not self.x.XFetchName(self.dpy, wid, ctypes.byref(name)) or not name.value:
            return None
        value = name.value.decode("latin-1")
        self.x.XFree(name)
        return value

    def geometry(self, wid):
        """(x, y, width, height) of a window's client area on screen, or None when it is not viewable."""
        a, ax, ay, child = XProbe._Attributes(), ctypes.c_int(), ctypes.c_int(), ctypes.c_ulong()
        if not self.x.XGetWindowAttributes(self.dpy, wid, ctypes.byref(a)) or a.map_state != 2 \
                or not self.x.XTranslateCoordinates(self.dpy, wid, self.root, 0, 0, ctypes.byref(ax),
                                                    ctypes.byref(ay), ctypes.byref(child)):
            return None
        return ax.value, ay.value, a.width, a.height

    def visible(self, title):
        """[(id, geometry)] of the viewable managed windows with this title (under Wine,
        unmanaged ones too: WineSession.above_others says why)."""
        windows = self.clients() + ([w for w in self.top_levels() if self.override_redirect(w, shown=True)]
                                    if on_windows() else [])
        return [(w, g) for w in windows if self.title(w) == title and (g := self.geometry(w))]

    def children(self, wid):
        """(parent, children bottom to top as the X server stacks them) of a window."""
        root, parent, count = ctypes.c_ulong(), ctypes.c_ulong(), ctypes.c_uint()
        data = ctypes.POINTER(ctypes.c_ulong)()
        if not self.x.XQueryTree(self.dpy, wid, ctypes.byref(root), ctypes.byref(parent), ctypes.byref(data),
                                 ctypes.byref(count)):
            return None, []
        try:
            return parent.value, list(data[:count.value])
        finally:
            if data:
                self.x.XFree(data)

    def top_levels(self):
        """The root window's children, bottom to top."""
        return self.children(self.root)[1]

    def top_level(self, wid):
        """The root's child that holds a window (a managed window's frame)."""
        while wid:
            parent = self.children(wid)[0]
            if parent in (self.root, None):
                return wid
            wid = parent
        return wid

    def override_redirect(self, wid, shown=False):
        """Whether a window is one the window manager leaves alone (and, if asked, is shown)."""
        a = XProbe._Attributes()
        return bool(self.x.XGetWindowAttributes(self.dpy, wid, ctypes.byref(a)) and a.override_redirect
                    and (a.map_state == 2 or not shown))

    def image(self, x, y, width, height, drawable=None):
        """RGB bytes of a rectangle of the screen (or of a window); compare only with images taken the same way."""
        img = self.x.XGetImage(self.dpy, drawable or self.root, x, y, width, height, 0xFFFFFFFF, 2)  # ZPixmap
        if not img:
            raise SessionError(f"cannot read the screen at {x},{y} {width}x{height}")
        try:
            ximage = ctypes.cast(img, ctypes.POINTER(XProbe._Image)).contents
            if ximage.bits_per_pixel != 32:
                raise SessionError(f"unexpected screen format: {ximage.bits_per_pixel} bits a pixel")
            raw = ctypes.string_at(ximage.data, ximage.bytes_per_line * height)
            pixels = bytearray().join(raw[r * ximage.bytes_per_line:][:4 * width] for r in range(height))
        finally:
            self.x.XDestroyImage(img)
        del pixels[3::4]  # the unused fourth byte, which the server does not promise
        return bytes(pixels)


class Track:
    """Samples sample(probe) every few ms in a background thread while the with
    block runs; .samples is [(time, value)]. An error in the thread is raised at exit."""

    def __init__(self, session, sample, interval=0.002):
        self.session, self.sample, self.interval = session, sample, interval
        self.samples, self._error, self._stop = [], None, threading.Event()
        self._thread = threading.Thread(target=self._run, daemon=True)

    def __enter__(self):
        self._thread.start()
        return self

    def __exit__(self, *exc):
        self._stop.set()
        self._thread.join(timeout=10)
        if self._error and not exc[0]:
            raise self._error

    def _run(self):
        try:
            probe = XProbe(self.session.display)
            try:
                while not self._stop.is_set():
                    self.samples.append((time.monotonic(), self.sample(probe)))
                    self._stop.wait(self.interval)
            finally:
                probe.close()
        except Exception as e:  # raised by __exit__
            self._error = e


_beamlet_path = _windows_dir = None
_live_sessions = set()


class Session(XSession):
    """A private desktop with the program copied into a folder of its own."""

    def __init__(self, screen=(1280, 1024, 24), audio=False, program_env=None, fake_tools=None, compositor=None):
        """program_env: variables for the program alone; fake_tools: {name: shell script} first on its PATH;
        compositor: a compositing manager's command, $BEAMLET_E2E_COMPOSITOR by default."""
        super().__init__(screen, audio, prefix="beamlet-e2e-", keep=bool(os.environ.get("BEAMLET_E2E_KEEP")))
        self.program_env, self.fake_tools = dict(program_env or {}), dict(fake_tools or {})
        self.compositor = compositor or os.environ.get("BEAMLET_E2E_COMPOSITOR", "").split()
        self.program = self.main_window = self._probe = None
        self._helpers = []

    def start(self):
        _live_sessions.add(self)
        super().start()
        self.fakebin = os.path.join(self.tmp, "fakebin")
        os.makedirs(self.fakebin)
        self.install_program()
        self.installed = set(os.listdir(self.bindir))
        for name, script in self.fake_tools.items():
            with open(os.path.join(self.fakebin, name), "w") as f:
                f.write(script)
            os.chmod(os.path.join(self.fakebin, name), 0o755)
        if self.compositor:
            proc = self._spawn(self.compositor, "compositor")
            self._helpers.append(proc)
            self._ready(proc, "compositor", lambda: self.probe().selection_owner(b"_NET_WM_CM_S0"))

    def install_program(self):
        """Copies the program into a folder of its own, self.bindir."""
        self.bindir = os.path.join(self.tmp, "bin")
        os.makedirs(self.bindir)
        self.program_path = os.path.join(self.bindir, "beamlet")
        shutil.copy2(_beamlet_path, self.program_path)
        # The program loads its sound module from beside itself, as in the build.
        module = os.path.join(os.path.dirname(_beamlet_path), "beamlet_sound.so")
        if os.path.exists(module):
            shutil.copy2(module, self.bindir)

    def command(self, *args):
        """The command that starts the program (once more) with these arguments."""
        return [self.program_path, *args]

    def stop(self):
        if self._probe is not None:
            self._probe.close()
            self._probe = None
        for proc in (self.program, *self._helpers):
            stop_group(proc)
        self.program, self._helpers = None, []
        super().stop()
        _live_sessions.discard(self)

    def launch(self, timeout=20, wrapper=()):
        """Starts the program, through `wrapper` (a command prefix) if given, and
        waits for its main window to be mapped and painted."""
        env = {**self.env(), "PATH": self.fakebin + os.pathsep + os.environ.get("PATH", os.defpath),
               **self.program_env}
        self.program = spawn([*wrapper, *self.command()], env=env, log_path=os.path.join(self.logdir, "beamlet.log"))

        def painted():
            if self.program.poll() is not None:
                raise SessionError(f"beamlet exited with {self.program.returncode}: " + self.log("beamlet"))
            ids = self.windows(MAIN_TITLE)
            # A window mapped but not yet painted may not take clicks yet.
            try:
                row = ids and self.probe().image(0, MAIN_SIZE[1] // 2, MAIN_SIZE[0] // 2, 1, ids[0])
            except SessionError:  # not yet wholly on screen
                return None
            return row and len({row[i:i + 3] for i in range(0, len(row), 3)}) > 1 and ids[0]

        self.main_window = wait_until(painted, timeout, what="the main window to be mapped and painted")

    def alive(self):
        return self.program is not None and self.program.poll() is None

    def wait_exit(self, timeout):
        """The program's exit status, or None if it still runs after timeout seconds."""
        try:
            return self.program.wait(timeout=timeout)
        except subprocess.TimeoutExpired:
            return None

    # ---- windows ---------------------------------------------------------

    def xdotool(self, *args, timeout=10, check=True):
        return self.run(["xdotool", *map(str, args)], timeout=timeout, check=check).stdout

    def windows(self, title):
        """Ids of the visible windows titled exactly `title`."""
        return [int(w) for w in self.xdotool("search", "--onlyvisible", "--name", f"^{title}$", check=False).split()]

    def probe(self):
        """This session's own fast X connection (for the test's thread only)."""
        if self._probe is None:
            self._probe = XProbe(self.display)
        return self._probe

    def geometry(self, wid=None):
        return self.probe().geometry(wid or self.main_window)

    def notification(self):
        return next(iter(self.windows(NOTIFY_TITLE)), None)

    def resting_notification(self):
        """The notification's id once it rests at its place, risen at the bottom right."""
        w, hgt, _ = self.screen
        rest = (w - L["notificationGaps"][0], hgt - L["notificationGaps"][1] - L["notificationRise"], *NOTIFY_SIZE)
        return wait_until(lambda: (n := self.notification()) and self.geometry(n) == rest and n, 10, 0.01,
                          what=f"the notification to rest at {rest}")

    def mini_window(self):
        return next((w for w in self.windows(MAIN_TITLE) if (self.geometry(w) or ())[2:] == MINI_SIZE), None)

    def main_visible(self):
        return self.main_window in self.windows(MAIN_TITLE)

    def pixels(self, x, y, w, h, wid=None):
        """RGB bytes of a rectangle of a window (the main window by default)."""
        sx, sy = self.to_screen(x, y, wid)
        return self.probe().image(sx, sy, w, h)

    # ---- input -----------------------------------------------------------

    def to_screen(self, x, y, wid=None):
        g = self.geometry(wid)
        if g is None:
            raise SessionError("the window is gone")
        return g[0] + x, g[1] + y

    def click(self, x, y, button=1, wid=None):
        """Clicks at pixel (x, y) of a window, arriving there by a motion like a real mouse."""
        sx, sy = self.to_screen(x, y, wid)
        self.xdotool("mousemove", "--sync", sx - 1, sy, "mousemove", "--sync", sx, sy, "click", button)

    def click_rect(self, rect, button=1, wid=None):
        self.click(*center(rect), button=button, wid=wid)

    def click_image(self, rect, wid=None, timeout=5):
        """Clicks an image control, whose clickable twin only shows once the pointer is over it."""
        resting = self.pixels(*rect, wid=wid)
        sx, sy = self.to_screen(*center(rect), wid)
        self.xdotool("mousemove", "--sync", sx - 1, sy - 1, "mousemove", "--sync", sx, sy)
        self.wait_for_hover(lambda: self.pixels(*rect, wid=wid) != resting, sx, sy, timeout)
        self.xdotool("click", 1)

    def wait_for_hover(self, lit, x, y, timeout):
        wait_until(lit, timeout, 0.01, "the control's hover image")

    def open_panel(self, button, panel, timeout=5, by=None):
        """Clicks a panel's button (or calls by()) and waits until the panel rests at its
        place: column x covered, x - 1 not."""
        x, y = L[panel][:2]
        empty = self.pixels(x - 1, y + 4, MAIN_SIZE[0] - x + 1, 1)
        by() if by else self.click_rect(L[button])
        wait_until(lambda: (lambda e: e[:3] == empty[:3] and e[3:6] != empty[3:6])(self.pixels(x - 1, y + 4, 2, 1)),
                   timeout, 0.01, what=f"the {panel} to come to rest")
        return empty

    def close_panel(self, ok, panel, empty, timeout=5):
        """Clicks a panel's OK and waits until it has wholly left the window."""
        x, y = L[panel][:2]
        self.click_rect(in_panel(ok, panel))
        wait_until(lambda: self.pixels(x - 1, y + 4, MAIN_SIZE[0] - x + 1, 1) == empty, timeout, 0.01,
                   what=f"the {panel} to go")

    def drag(self, x, y, dx, dy, button=1, wid=None, steps=8):
        """Presses at window pixel (x, y), moves by (dx, dy) in steps, releases."""
        sx, sy = self.to_screen(x, y, wid)
        moves = [a for i in range(1, steps + 1) for a in
                 ("mousemove", "--sync", sx + dx * i // steps, sy + dy * i // steps)]
        # --sync waits for a motion: never ask it for the spot where the pointer already is.
        self.xdotool("mousemove", "--sync", sx - 1, sy, "mousemove", "--sync", sx, sy, "mousedown", button, *moves,
                     "mouseup", button)

    def type_text(self, text, delay_ms=40):
        self.xdotool("type", "--delay", delay_ms, "--", text, timeout=10 + len(text) * delay_ms / 1000)

    def key(self, *keys):
        self.xdotool("key", "--delay", 40, *keys)

    def minimize(self, wid):
        """Minimizes a window from outside the program, as the taskbar or a window switcher does."""
        self.xdotool("windowminimize", "--sync", wid)

    def close_by_window_manager(self, wid):
        """Asks the window manager to close a window, as its close command or Alt+F4
        does; unlike a key, the request cannot reach it before it has taken the focus."""
        self.run(["wmctrl", "-i", "-c", hex(wid)])

    def close_by_image(self, timeout=10):
        """Ends the program by its close image; returns the exit status (None if it still runs)."""
        self.click_image(L["closeButton"], timeout=timeout)
        return self.wait_exit(timeout)

    # ---- clipboard and files ---------------------------------------------

    def clipboard(self):
        """The clipboard's raw bytes, or None when nobody offers them."""
        res = self.run(["xclip", "-o", "-selection", "clipboard", "-t", "UTF8_STRING"], 5, False, text=False)
        return res.stdout if res.returncode == 0 else None

    def set_clipboard(self, data):
        """Owns the clipboard from outside until another client takes it; returns the owner."""
        self._helpers = [p for p in self._helpers if p.poll() is None]
        proc = spawn(["xclip", "-quiet", "-selection", "clipboard", "-i"], env=self.env(), stdin=subprocess.PIPE)
        proc.stdin.write(data)
        proc.stdin.close()
        self._helpers.append(proc)
        wait_until(lambda: self.clipboard() == data, 5, interval=0.01, what="the clipboard to hold the marker")
        return proc

    def copied_by(self, action, timeout=5, marker=b"marker: not copied by beamlet"):
        """Puts a marker on the clipboard, runs action() and returns what the program copied:
        a click that never reached the program cannot pass for a copy of unchanged text."""
        self.set_clipboard(marker)
        action()
        return wait_until(lambda: [d for d in [self.clipboard()] if d not in (None, marker)], timeout,
                          interval=0.01, what="the program to replace the clipboard")[0]

    def get_code(self, text=None, wid=None):
        """Types text afresh (a click empties the box) unless None, then copies with Get Code."""
        mini = wid is not None
        if text is not None:
            self.click_rect(L["miniTypingBox" if mini else "typingBox"], wid=wid)
            self.type_text(text)
        return self.copied_by(lambda: self.click_rect(L["miniGetCodeButton" if mini else "getCodeButton"], wid=wid))

    def above_others(self, wid):
        """Whether a window stays above the others: the window manager is told so."""
        return "_NET_WM_STATE_ABOVE" in self.run(["xprop", "-id", str(wid), "_NET_WM_STATE"]).stdout

    def cache_folder(self):
        """The user's folder for what the program keeps outside its own."""
        return os.path.join(self.home, ".cache")

    def tone_files(self):
        """Every tone.wav the program could have written: beside itself or in its cache folder."""
        found = [os.path.join(self.bindir, "tone.wav")] if os.path.exists(os.path.join(self.bindir, "tone.wav")) else []
        return found + [os.path.join(r, "tone.wav") for r, _, files in os.walk(self.cache_folder())
                        if "tone.wav" in files]


class WineSession(Session):
    """A desktop whose program is the Windows one (beamlet.exe and its console
    companion beamlet.com), run by Wine in a prefix of its own, from a folder of its
    own on drive C: (so tone.wav goes beside it, as on Linux). The prefix is a copy
    of the one $BEAMLET_WINE_PREFIX names (made once per test run, wine_prefix.py),
    or made afresh; its wineserver serves this session alone and is ended with it."""

    def install_program(self):
        self.prefix = os.path.join(self.tmp, "wine")
        template = os.environ.get("BEAMLET_WINE_PREFIX")
        if template:
            copy_prefix(template, self.prefix, self.home)
        else:
            self.run(["wine", "wineboot", "-i"], timeout=300)
            add_tool(self.prefix)
        self.tool, self.wrapper = None, []
        self.bindir = os.path.join(self.prefix, "drive_c", "beamlet")
        os.makedirs(self.bindir)
        for name in ("beamlet.exe", "beamlet.com"):
            shutil.copy2(os.path.join(_windows_dir, name), self.bindir)
        self.program_path = os.path.join(self.bindir, "beamlet.exe")

    def command(self, *args):
        return [*self.wrapper, "wine", self.program_path, *args]

    def launch(self, timeout=60, wrapper=()):
        super().launch(timeout, wrapper)
        # The helper's start (a Windows process: a second or more of work) comes now,
        # not in the middle of a notification's motion that a test reads.
        if self.tool is None:
            self.ask("clipboard")

    def run_as(self, uid):
        """Gives the prefix to another account, which Wine (its server, every Windows
        program of the session) then runs as. The system folder's linked files stay
        the ready prefix's: reading them is all Wine does."""
        for root, dirs, files in os.walk(self.prefix):
            for path in [root, *(os.path.join(root, n) for n in dirs + files)]:
                if os.lstat(path).st_nlink == 1 or os.path.isdir(path):
                    os.lchown(path, uid, uid)
        remove_server_folder(self.prefix)
        os.unlink(os.path.join(self.prefix, "wineserver"))  # names the ready prefix's server folder
        self.wrapper = ["setpriv", f"--reuid={uid}", f"--regid={uid}", "--clear-groups", "--"]

    def env(self):
        env = super().env()
        if getattr(self, "prefix", None):
            env.update(wine_env(self.prefix))
        return env

    def stop(self):
        if getattr(self, "prefix", None) and os.path.isdir(self.prefix):
            if self.tool is not None:
                stop_group(self.tool)
                self.tool.stdin.close()
                self.tool.stdout.close()
            end_wineserver(self.env(), self.wrapper)
            remove_server_folder(self.prefix, whole=bool(self.wrapper))
        super().stop()

    def ask(self, command):
        """Asks the tests' Windows-side helper (wine_tool.c): its answer's number, and the bytes that follow it."""
        if self.tool is None:
            self.tool = subprocess.Popen([*self.wrapper, "wine", os.path.join(self.prefix, *TOOL)], env=self.env(),
                                         stdin=subprocess.PIPE, stdout=subprocess.PIPE, start_new_session=True,
                                         preexec_fn=die_with_parent)
        self.tool.stdin.write(command.encode() + b"\n")
        self.tool.stdin.flush()
        number = int(self.tool.stdout.readline())
        return number, (self.tool.stdout.read(number) if command == "clipboard" and number > 0 else b"")

    def copied_by(self, action, timeout=5, marker=b"marker: not copied by beamlet"):
        # What X11 programs read has Wine's LF for each CR LF of the Windows clipboard;
        # what a Windows program pastes is read on the Windows side, byte for byte.
        seen = super().copied_by(action, timeout, marker)
        number, text = self.ask("clipboard")
        if number < 0 or text.replace(b"\r\n", b"\n") != seen:
            raise AssertionError(f"the Windows clipboard holds {text!r}, X11 reads {seen!r}")
        return text

    def wait_for_hover(self, lit, x, y, timeout):
        # Under Wine, Qt for Windows takes the first moves over a window that the pointer
        # enters from another window for the entry alone: the pointer goes on moving over
        # the control, as a hand on a mouse does, until it lights.
        deadline = time.monotonic() + timeout
        for step in itertools.count():
            try:
                return wait_until(lit, min(0.3, max(0.0, deadline - time.monotonic())), 0.01,
                                  "the control's hover image")
            except AssertionError:
                if time.monotonic() >= deadline:
                    raise
            self.xdotool("mousemove", "--sync", x + 1 - step % 2, y)  # never where it is: --sync waits for a move

    def minimize(self, wid):
        # Wine tells Windows of no minimizing that the window manager does to a window
        # without a minimize box: minimize it as Windows does.
        if self.ask("minimize " + self.probe().title(wid))[0] != 1:
            raise SessionError("no window to minimize")
        wait_until(lambda: not self.probe().geometry(wid), 10, what="the window to be minimized")

    def above_others(self, wid):
        # Wine hands the window manager only the windows that take the focus; one shown
        # without it (the notification) Wine keeps to itself, override-redirect, and
        # stacks a topmost one above the managed windows: read that stacking.
        probe = self.probe()
        if not probe.override_redirect(wid):
            return super().above_others(wid)
        stack = probe.top_levels()
        return stack.index(wid) > max(stack.index(probe.top_level(c)) for c in probe.clients())

    def cache_folder(self):
        # %LOCALAPPDATA%, under the prefix's only user (named after the account running Wine).
        users = os.path.join(self.prefix, "drive_c", "users")
        return next((os.path.join(users, u, "AppData", "Local") for u in sorted(os.listdir(users)) if u != "Public"),
                    os.path.join(users, "missing"))


class SessionTestCase(unittest.TestCase):
    """Gives every test a fresh session; subclasses pick the screen and the rest."""

    screen = (1280, 1024, 24)
    audio = False
    program_env = {}
    fake_tools = {}
    compositor = None
    start_program = True
    session_class = Session

    def setUp(self):
        session_class = WineSession if on_windows() else self.session_class
        self.s = session_class(screen=self.screen, audio=self.audio, program_env=self.program_env,
                                    fake_tools=self.fake_tools, compositor=self.compositor)
        self.s.__enter__()
        self.addCleanup(self._finish)
        if self.start_program:
            self.s.launch()

    def _finish(self):
        log = self.s.log("beamlet")
        self.s.stop()
        if log.strip() and os.environ.get("BEAMLET_E2E_VERBOSE"):
            sys.stderr.write(f"\n--- beamlet output ({self.id()}) ---\n{log}\n")


def on_windows():
    """Whether the tests drive the Windows program under Wine."""
    return _windows_dir is not None


def linux_only(why):
    """Marks a test that proves something only the Linux program has, or only Linux can show."""
    def mark(test):
        def run(self, *args, **kwargs):
            if on_windows():
                self.skipTest("Linux only: " + why)
            return test(self, *args, **kwargs)
        run.__name__, run.__doc__ = test.__name__, test.__doc__
        return run
    return mark


def audio_available():
    return all(shutil.which(t) for t in AUDIO_TOOLS)


def _terminate(signum, frame):
    # Told to stop (a runner's time limit, say): take every X server down with us.
    sys.stderr.write(f"\nstopped by signal {signum}\n")
    for session in list(_live_sessions):
        session.stop()
    os._exit(128 + signum)




def main():
    """Entry point of a test script: parse --beamlet (or --windows), skip without X tools, run unittest."""
    global _beamlet_path, _windows_dir
    parser = argparse.ArgumentParser(add_help=False)
    parser.add_argument("--beamlet", default=os.environ.get("BEAMLET"))
    parser.add_argument("--windows")  # may be empty: no Windows build named
    args, rest = parser.parse_known_args()
    missing = [t for t in REQUIRED_TOOLS if shutil.which(t) is None]
    if missing:
        print("skipping: not installed: " + ", ".join(missing))
        sys.exit(SKIP)
    if args.windows is not None:
        _windows_dir = windows_build(args.windows)
    elif not args.beamlet or not os.access(args.beamlet, os.X_OK):
        print(f"no runnable beamlet given (--beamlet PATH, --windows DIR or $BEAMLET): {args.beamlet!r}",
              file=sys.stderr)
        sys.exit(2)
    else:
        _beamlet_path = os.path.abspath(args.beamlet)
    signal.signal(signal.SIGTERM, _terminate)
    program = unittest.main(module="__main__", argv=[sys.argv[0], *rest], exit=False, verbosity=2)
    sys.exit(0 if program.result.wasSuccessful() else 1)
