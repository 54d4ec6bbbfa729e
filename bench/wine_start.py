"""The start figure of the Windows build, under Wine, read from outside.

A Windows program under Wine cannot report its own first paint on the runner's
clock (its clocks are Windows clocks, its /proc is not its own), so the first paint
is read where the user sees it: in the X server. For each run the runner
  - notes CLOCK_MONOTONIC and starts `wine program.exe`;
  - watches every new top-level X window through the DAMAGE extension, and after
    each change reads the pixels of the process's 803 x 525 window (Wine sets
    _NET_WM_PID to the process's own pid);
  - one second after the window's first drawing, takes its last picture as the
    settled one (a blinking text cursor never lets it rest); the start is the time
    of the first picture that already matches it (99 % of its 32-pixel row pieces
    equal: the text cursor changes fewer);
  - reads VmHWM, RssAnon and RssFile of the Wine process (a Linux process), then
    ends it with SIGKILL and waits for its windows to go.
One prefix and one wineserver (-p) serve every run of every program, so no run
pays for Wine's own start.
"""

import ctypes
import ctypes.util
import os
import select
import shutil
import signal
import subprocess
import time

PIECE = 32  # pixels of a row compared as one piece
MATCH = 0.99  # share of equal pieces for a picture to count as the settled one
WATCH_S = 1.0  # how long after its first drawing a window is watched; its last picture is the settled one


class WineError(RuntimeError):
    pass


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


class _Event(ctypes.Union):
    _fields_ = [("type", ctypes.c_int), ("longs", ctypes.c_long * 24)]


CREATE_NOTIFY = 16
SUBSTRUCTURE_NOTIFY_MASK = 1 << 19
DAMAGE_REPORT_NON_EMPTY = 3
Z_PIXMAP = 2


class PaintWatcher:
    """One X connection that follows new top-level windows and their drawing."""

    def __init__(self, display):
        c = ctypes
        self.x = x = c.CDLL(c.util.find_library("X11") or "libX11.so.6")
        try:
            self.xd = xd = c.CDLL(c.util.find_library("Xdamage") or "libXdamage.so.1")
        except OSError as e:
            raise WineError("libXdamage is not installed (Debian: libxdamage1)") from e
        P, U, I_ = c.c_void_p, c.c_ulong, c.c_int
        for lib, name, res, args in (
                (x, "XOpenDisplay", P, [c.c_char_p]), (x, "XCloseDisplay", I_, [P]),
                (x, "XDefaultRootWindow", U, [P]), (x, "XSelectInput", I_, [P, U, c.c_long]),
                (x, "XConnectionNumber", I_, [P]), (x, "XPending", I_, [P]), (x, "XFlush", I_, [P]),
                (x, "XSync", I_, [P, I_]),
                (x, "XNextEvent", I_, [P, c.POINTER(_Event)]), (x, "XInternAtom", U, [P, c.c_char_p, I_]),
                (x, "XGetWindowProperty", I_, [P, U, U, c.c_long, c.c_long, I_, U, P, P, P, P, P]),
                (x, "XFree", I_, [P]), (x, "XGetWindowAttributes", I_, [P, U, c.POINTER(_Attributes)]),
                (x, "XGetImage", P, [P, U, I_, I_, c.c_uint, c.c_uint, U, I_]), (x, "XDestroyImage", I_, [P]),
                (xd, "XDamageQueryExtension", I_, [P, c.POINTER(I_), c.POINTER(I_)]),
                (xd, "XDamageCreate", U, [P, U, I_]), (xd, "XDamageDestroy", None, [P, U]),
                (xd, "XDamageSubtract", None, [P, U, U, U])):
            getattr(lib, name).restype, getattr(lib, name).argtypes = res, args
        # Windows vanish between an event and a question about them: ignore the errors.
        handler = c.CFUNCTYPE(I_, P, P)
        self._handler = handler(lambda display, event: 0)
        x.XSetErrorHandler.argtypes = [handler]
        x.XSetErrorHandler(self._handler)
        self.dpy = x.XOpenDisplay(display.encode())
        if not self.dpy:
            raise WineError("cannot open display " + display)
        event_base, error_base = I_(), I_()
        if not xd.XDamageQueryExtension(self.dpy, c.byref(event_base), c.byref(error_base)):
            raise WineError("the X server has no DAMAGE extension")
        self.damage_notify = event_base.value
        self.root = x.XDefaultRootWindow(self.dpy)
        self.pid_atom = x.XInternAtom(self.dpy, b"_NET_WM_PID", 0)
        x.XSelectInput(self.dpy, self.root, SUBSTRUCTURE_NOTIFY_MASK)
        x.XSync(self.dpy, 0)
        self.fd = x.XConnectionNumber(self.dpy)
        self.damages = {}  # window -> damage

    def close(self):
        if self.dpy:
            self.x.XCloseDisplay(self.dpy)
            self.dpy = None

    def drain(self):
        """Handles the queued events; returns the windows drawn on since the last call."""
        drawn = set()
        event = _Event()
        while self.x.XPending(self.dpy):
            self.x.XNextEvent(self.dpy, ctypes.byref(event))
            if event.type == CREATE_NOTIFY:
                window = event.longs[5]  # XCreateWindowEvent.window
                if window not in self.damages:
                    self.damages[window] = self.xd.XDamageCreate(self.dpy, window, DAMAGE_REPORT_NON_EMPTY)
            elif event.type == self.damage_notify:
                window, damage = event.longs[4], event.longs[5]  # drawable, damage
                self.xd.XDamageSubtract(self.dpy, damage, 0, 0)
                drawn.add(window)
        self.x.XFlush(self.dpy)
        return drawn

    def wait(self, seconds):
        """Waits up to `seconds` for an event; returns the windows drawn on, and when."""
        if not self.x.XPending(self.dpy):
            select.select([self.fd], [], [], max(0.0, seconds))
        now = time.monotonic_ns()
        return self.drain(), now

    def forget(self):
        for damage in self.damages.values():
            self.xd.XDamageDestroy(self.dpy, damage)
        self.damages.clear()
        self.drain()

    def pid(self, window):
        kind, fmt, count, after = ctypes.c_ulong(), ctypes.c_int(), ctypes.c_ulong(), ctypes.c_ulong()
        data = ctypes.POINTER(ctypes.c_ulong)()
        if self.x.XGetWindowProperty(self.dpy, window, self.pid_atom, 0, 1, 0, 0, ctypes.byref(kind),
                                     ctypes.byref(fmt), ctypes.byref(count), ctypes.byref(after),
                                     ctypes.byref(data)) != 0 or not data:
            return None
        try:
            return data[0] if count.value == 1 else None
        finally:
            self.x.XFree(data)

    def size(self, window):
        """(width, height) of a viewable window, else None."""
        a = _Attributes()
        if not self.x.XGetWindowAttributes(self.dpy, window, ctypes.byref(a)) or a.map_state != 2:
            return None
        return a.width, a.height

    def exists(self, window):
        return bool(self.x.XGetWindowAttributes(self.dpy, window, ctypes.byref(_Attributes())))

    def pieces(self, window, width, height):
        """The window's pixels as a list of row pieces, or None when it cannot be read."""
        img = self.x.XGetImage(self.dpy, window, 0, 0, width, height, 0xFFFFFFFF, Z_PIXMAP)
        if not img:
            return None
        try:
            image = ctypes.cast(img, ctypes.POINTER(_Image)).contents
            raw = ctypes.string_at(image.data, image.bytes_per_line * height)
            step = 4 * PIECE
            stride = image.bytes_per_line
            return [raw[r * stride + i:r * stride + min(i + step, 4 * width)]
                    for r in range(height) for i in range(0, 4 * width, step)]
        finally:
            self.x.XDestroyImage(img)


def matches(pieces, settled):
    same = sum(1 for a, b in zip(pieces, settled) if a == b)
    return same >= MATCH * len(settled)


def status_kib(pid):
    values = {}
    with open(f"/proc/{pid}/status") as f:
        for line in f:
            name, _, rest = line.partition(":")
            if name in ("VmHWM", "VmRSS", "RssAnon", "RssFile", "RssShmem"):
                values[name] = int(rest.split()[0])
    return values


class Wine:
    """One 64-bit prefix and one persistent wineserver in the desktop's folder."""

    def __init__(self, desk):
        self.desk = desk
        self.prefix = os.path.join(desk.tmp, "wine")
        self.bindir = os.path.join(self.prefix, "drive_c", "bench")
        for tool in ("wine", "wineserver"):
            if not shutil.which(tool):
                raise WineError(f"{tool} is not installed (Debian: wine, wine64)")

    def env(self):
        # No prompts for Wine's .NET and HTML engines, which nothing here needs.
        return {**self.desk.env(), "WINEPREFIX": self.prefix, "WINEDEBUG": "-all",
                "WINEDLLOVERRIDES": "mscoree,mshtml="}

    def start(self, exes):
        os.makedirs(self.prefix)
        # Persistent: the server, and with it the prefix's services, stay up between runs.
        # Its output goes nowhere: the server lives on after the command returns, and
        # would hold a pipe open.
        for cmd in (["wineserver", "-p"], ["wine", "wineboot", "-i"]):
            done = subprocess.run(cmd, env=self.env(), stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL,
                                  stderr=subprocess.DEVNULL, timeout=600)
            if done.returncode != 0:
                raise WineError(f"{' '.join(cmd)} failed ({done.returncode})")
        os.makedirs(self.bindir, exist_ok=True)
        copies = {}
        for name, exe in exes.items():
            copies[name] = os.path.join(self.bindir, os.path.basename(exe))
            shutil.copy2(exe, copies[name])
        return copies

    def stop(self):
        subprocess.run(["wineserver", "-k"], env=self.env(), timeout=60, check=False)


def start_once(wine, watcher, exe, size, timeout=60):
    """One start: times from exec to the first picture that matches the settled one."""
    watcher.forget()
    t0 = time.monotonic_ns()
    proc = subprocess.Popen(["wine", exe], env=wine.env(), cwd=os.path.dirname(exe), stdin=subprocess.DEVNULL,
                            stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    frames = []  # (ns since t0, pieces)
    first_drawn = None  # ns since t0
    ours = {}  # the process's windows seen drawing
    deadline = time.monotonic() + timeout
    try:
        while True:
            end = (t0 + first_drawn) / 1e9 + WATCH_S if first_drawn is not None else deadline
            remaining = end - time.monotonic()
            if remaining <= 0:
                break
            drawn, now = watcher.wait(min(remaining, 0.25))
            if proc.poll() is not None:
                raise WineError(f"{os.path.basename(exe)} ended with {proc.returncode} before it settled")
            for window in drawn:
                if window not in ours:
                    if watcher.pid(window) != proc.pid:  # another program's, or not yet named
                        continue
                    ours[window] = True
                if watcher.size(window) != size:
                    continue
                if first_drawn is None:
                    first_drawn = now - t0
                pieces = watcher.pieces(window, *size)
                if pieces is not None and (not frames or pieces != frames[-1][1]):
                    frames.append((now - t0, pieces))
        if not frames:
            raise WineError(f"{os.path.basename(exe)} showed no {size[0]} x {size[1]} window within {timeout} s")
        settled = frames[-1][1]
        painted = next(t for t, pieces in frames if matches(pieces, settled))
        memory = status_kib(proc.pid)
    finally:
        proc.send_signal(signal.SIGKILL)
        proc.wait()
    # The next start must not meet this one's windows (or its one-program lock).
    windows = list(ours)
    end = time.monotonic() + 10
    while any(watcher.exists(w) for w in windows) and time.monotonic() < end:
        watcher.wait(0.01)
    return {
        "start_ms": painted / 1e6,
        "first_drawn_ms": first_drawn / 1e6,
        "frames": len(frames),
        "hwm_mib": memory["VmHWM"] / 1024.0,
        "anon_mib": memory["RssAnon"] / 1024.0,
        "file_mib": memory["RssFile"] / 1024.0,
    }
