"""Drives the real beamlet program on a private X server, as a user would.

Each session starts its own Xvfb (display picked with -displayfd), openbox on it,
and beamlet from a private copy with its own HOME and XDG folders. Input goes
through xdotool, the clipboard is read from outside with xclip, and screenshots
come from ImageMagick's import, or straight from the X server where speed counts.
Everything is torn down by process group, and every child also dies with this
process (PR_SET_PDEATHSIG), so a killed test run leaves no X server behind.

Test scripts call main() instead of unittest.main(): it takes --beamlet PATH
(or $BEAMLET), and exits 77 when the X tools are missing so CTest can skip.
"""

import argparse
import ctypes
import ctypes.util
import os
import re
import select
import shutil
import signal
import subprocess
import sys
import tempfile
import threading
import time
import unittest
import wave
from dataclasses import dataclass

SKIP = 77
REQUIRED_TOOLS = ("Xvfb", "openbox", "xdotool", "xclip", "xprop", "xwininfo")
AUDIO_TOOLS = ("pulseaudio", "pactl", "parecord")

MAIN_TITLE = "Orvane Facebook Beamlet"
NOTIFY_TITLE = "Orvane Beamlet"
TONE_SIZE = 535_596

# Where things sit in the main window's client area: (x, y, width, height).
TYPING_BOX = (250, 184, 449, 241)
GET_CODE = (248, 120, 129, 33)
EMOTIONS = (408, 120, 129, 33)
HELP = (568, 120, 129, 33)
ABOUT = (16, 304, 217, 41)
CONTACT = (16, 344, 217, 41)
MINI_LOADER = (696, 6, 33, 19)
HEADER = (0, 0, 802, 73)
MINIMIZE = (732, 5, 33, 19)
CLOSE = (768, 5, 33, 19)
LOGO = (16, 88, 219, 211)
MAIN_SIZE = (803, 525)
MAIN_DESIGN_POS = (238, 256)
NOTIFY_SIZE = (328, 152)
NOTIFY_CLOSE = (288, 0, 33, 19)  # relative to the notification window

# The About and Contact panels slide in from the right to this place; their
# contents are given relative to the panel.
INFO_PANEL = (248, 176, 580, 275)
ABOUT_OK = (480, 224, 65, 33)
CONTACT_OK = (480, 225, 65, 33)
LINK_HEIGHT = 13
CONTACT_LINKS = {"website": (250, 72), "fbprofile": (250, 108), "skype": (250, 126),
                 "youtube": (250, 144), "fanpage": (304, 200)}

# The emoticon pack panel, open; tiles and OK relative to the panel.
PACK_PANEL = (88, 176, 633, 321)
PACK_OK = (512, 256, 65, 33)
PACK_TILE_COUNT = 66

# The mini window and its controls, relative to its client area.
MINI_SIZE = (767, 102)
MINI_DESIGN_POS = (262, 824)
MINI_TYPING_BOX = (8, 8, 289, 89)
MINI_GET_CODE = (304, 8, 41, 89)
MINI_PALETTE = (352, 8, 377, 89)
MINI_BACK = (732, 5, 33, 19)
MINI_TILE_COUNT = 45
MINI_BARE_SURFACE = ((300, 96), (2, 50))


def pack_tile(number):
    """Tile `number` of the pack panel, relative to the panel: 15 to a row, 40 px apart."""
    c, r = (number - 1) % 15, (number - 1) // 15
    return (8 + 8 + 40 * c, 24 + 8 + 40 * r, 32, 32)


def mini_tile(number):
    """Tile `number` of the mini palette, relative to the mini window: 24 px apart."""
    c, r = (number - 1) % 15, (number - 1) // 15
    return (MINI_PALETTE[0] + 8 + 24 * c, MINI_PALETTE[1] + 8 + 24 * r, 17, 17)


def offset(rect, origin):
    """A rect given relative to a panel, made relative to the panel's window."""
    return (origin[0] + rect[0], origin[1] + rect[1], *rect[2:])

_beamlet_path = None
_live_sessions = set()


class HarnessError(RuntimeError):
    pass


def center(rect):
    x, y, w, h = rect
    return x + w // 2, y + h // 2


def wait_until(predicate, timeout, interval=0.05, what="condition"):
    """Polls predicate until it returns something truthy; returns that value."""
    deadline = time.monotonic() + timeout
    last = None
    while True:
        last = predicate()
        if last:
            return last
        if time.monotonic() >= deadline:
            raise AssertionError(f"timed out after {timeout:.1f}s waiting for {what} (last: {last!r})")
        time.sleep(interval)


def _die_with_parent():
    # Runs in the child between fork and exec: SIGKILL it when this process dies.
    try:
        libc = ctypes.CDLL(None, use_errno=True)
        libc.prctl(1, signal.SIGKILL)  # PR_SET_PDEATHSIG
    except OSError:
        pass


def _spawn(cmd, env, log_path=None, pass_fds=(), stdin=subprocess.DEVNULL):
    out = open(log_path, "ab") if log_path else subprocess.DEVNULL
    try:
        return subprocess.Popen(cmd, env=env, stdin=stdin, stdout=out, stderr=out, pass_fds=pass_fds,
                                start_new_session=True, preexec_fn=_die_with_parent)
    finally:
        if log_path:
            out.close()


def _exited(pid):
    """Whether a child has exited, without reaping it: until reaped, its pid stays its own."""
    try:
        return os.waitid(os.P_PID, pid, os.WEXITED | os.WNOHANG | os.WNOWAIT) is not None
    except ChildProcessError:
        return True


def _stop_group(proc, grace=2.0):
    # Once reaped, a child's pid (and with it its group id) is free for reuse, and
    # with pid_max at 32768 a long run does reuse it, even for a thread of this very
    # process: never signal a group whose leader is gone.
    if proc is None or proc.returncode is not None:
        return
    pgid = proc.pid  # each child leads a session of its own (start_new_session)
    try:
        os.killpg(pgid, signal.SIGTERM)
    except (ProcessLookupError, PermissionError):
        pass
    deadline = time.monotonic() + grace
    while not _exited(proc.pid) and time.monotonic() < deadline:
        time.sleep(0.02)
    # The leader is at worst a zombie, so the group id is still its own: whatever
    # is left of the group (forked helpers too) goes now.
    try:
        os.killpg(pgid, signal.SIGKILL)
    except (ProcessLookupError, PermissionError):
        pass
    try:
        proc.wait(timeout=grace)
    except subprocess.TimeoutExpired:
        pass


@dataclass(frozen=True)
class Geometry:
    x: int
    y: int
    width: int
    height: int
    mapped: bool = True

    @property
    def pos(self):
        return (self.x, self.y)

    @property
    def size(self):
        return (self.width, self.height)


@dataclass(frozen=True)
class Sample:
    t: float
    windows: tuple  # ((window id, Geometry), ...) of the tracked windows on screen


class XProbe:
    """A direct Xlib connection (through ctypes) for sampling top-level windows fast.

    Running xdotool or xwininfo costs tens of milliseconds a call, too slow to see
    each step of a window that moves every 15 ms; this reads the window manager's
    client list and each client's geometry in well under a millisecond.
    """

    class _Attributes(ctypes.Structure):
        _fields_ = [("x", ctypes.c_int), ("y", ctypes.c_int), ("width", ctypes.c_int), ("height", ctypes.c_int),
                    ("border_width", ctypes.c_int), ("depth", ctypes.c_int), ("visual", ctypes.c_void_p),
                    ("root", ctypes.c_ulong), ("class_", ctypes.c_int), ("bit_gravity", ctypes.c_int),
                    ("win_gravity", ctypes.c_int), ("backing_store", ctypes.c_int),
                    ("backing_planes", ctypes.c_ulong), ("backing_pixel", ctypes.c_ulong),
                    ("save_under", ctypes.c_int), ("colormap", ctypes.c_ulong), ("map_installed", ctypes.c_int),
                    ("map_state", ctypes.c_int), ("all_event_masks", ctypes.c_long),
                    ("your_event_mask", ctypes.c_long), ("do_not_propagate_mask", ctypes.c_long),
                    ("override_redirect", ctypes.c_int), ("screen", ctypes.c_void_p)]

    class _Image(ctypes.Structure):
        _fields_ = [("width", ctypes.c_int), ("height", ctypes.c_int), ("xoffset", ctypes.c_int),
                    ("format", ctypes.c_int), ("data", ctypes.c_void_p), ("byte_order", ctypes.c_int),
                    ("bitmap_unit", ctypes.c_int), ("bitmap_bit_order", ctypes.c_int),
                    ("bitmap_pad", ctypes.c_int), ("depth", ctypes.c_int), ("bytes_per_line", ctypes.c_int),
                    ("bits_per_pixel", ctypes.c_int)]

    _lib = None
    _error_handler = None

    @classmethod
    def _xlib(cls):
        if cls._lib is None:
            lib = ctypes.CDLL(ctypes.util.find_library("X11") or "libX11.so.6")
            lib.XInitThreads()
            lib.XOpenDisplay.restype = ctypes.c_void_p
            lib.XOpenDisplay.argtypes = [ctypes.c_char_p]
            lib.XCloseDisplay.argtypes = [ctypes.c_void_p]
            lib.XDefaultRootWindow.restype = ctypes.c_ulong
            lib.XDefaultRootWindow.argtypes = [ctypes.c_void_p]
            lib.XInternAtom.restype = ctypes.c_ulong
            lib.XInternAtom.argtypes = [ctypes.c_void_p, ctypes.c_char_p, ctypes.c_int]
            lib.XGetWindowProperty.argtypes = [
                ctypes.c_void_p, ctypes.c_ulong, ctypes.c_ulong, ctypes.c_long, ctypes.c_long, ctypes.c_int,
                ctypes.c_ulong, ctypes.POINTER(ctypes.c_ulong), ctypes.POINTER(ctypes.c_int),
                ctypes.POINTER(ctypes.c_ulong), ctypes.POINTER(ctypes.c_ulong),
                ctypes.POINTER(ctypes.POINTER(ctypes.c_ubyte))]
            lib.XFree.argtypes = [ctypes.c_void_p]
            lib.XGetImage.restype = ctypes.c_void_p
            lib.XGetImage.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_int, ctypes.c_int,
                                      ctypes.c_uint, ctypes.c_uint, ctypes.c_ulong, ctypes.c_int]
            lib.XDestroyImage.argtypes = [ctypes.c_void_p]
            lib.XGetWindowAttributes.argtypes = [ctypes.c_void_p, ctypes.c_ulong,
                                                 ctypes.POINTER(XProbe._Attributes)]
            lib.XTranslateCoordinates.argtypes = [
                ctypes.c_void_p, ctypes.c_ulong, ctypes.c_ulong, ctypes.c_int, ctypes.c_int,
                ctypes.POINTER(ctypes.c_int), ctypes.POINTER(ctypes.c_int), ctypes.POINTER(ctypes.c_ulong)]
            # A window can vanish between listing and asking; the default handler
            # would end this process on the resulting BadWindow.
            handler_type = ctypes.CFUNCTYPE(ctypes.c_int, ctypes.c_void_p, ctypes.c_void_p)
            cls._error_handler = handler_type(lambda display, event: 0)
            lib.XSetErrorHandler.argtypes = [handler_type]
            lib.XSetErrorHandler(cls._error_handler)
            # A lost connection must not end this process (Xlib's default exits):
            # note it, and let the calls on that connection fail from then on.
            io_handler_type = ctypes.CFUNCTYPE(ctypes.c_int, ctypes.c_void_p)
            cls._io_error_handler = io_handler_type(cls._connection_lost)
            lib.XSetIOErrorHandler.argtypes = [io_handler_type]
            lib.XSetIOErrorHandler(cls._io_error_handler)
            exit_handler_type = ctypes.CFUNCTYPE(None, ctypes.c_void_p, ctypes.c_void_p)
            cls._io_exit_handler = exit_handler_type(lambda display, data: None)
            lib.XSetIOErrorExitHandler.argtypes = [ctypes.c_void_p, exit_handler_type, ctypes.c_void_p]
            cls._lib = lib
        return cls._lib

    _lost = set()

    @classmethod
    def _connection_lost(cls, display):
        cls._lost.add(display)
        return 0

    def __init__(self, display_name):
        self.x = self._xlib()
        self.dpy = self.x.XOpenDisplay(display_name.encode())
        if not self.dpy:
            raise HarnessError(f"cannot open display {display_name}")
        self.x.XSetIOErrorExitHandler(self.dpy, self._io_exit_handler, None)
        self.root = self.x.XDefaultRootWindow(self.dpy)
        self.atoms = {name: self.x.XInternAtom(self.dpy, name.encode(), 0)
                      for name in ("_NET_CLIENT_LIST", "_NET_WM_NAME", "WM_NAME")}
        self._titles = {}

    def lost(self):
        return self.dpy in XProbe._lost

    def close(self):
        if self.dpy:
            if not self.lost():
                self.x.XCloseDisplay(self.dpy)
            XProbe._lost.discard(self.dpy)
            self.dpy = None

    def _property(self, wid, name):
        actual_type = ctypes.c_ulong()
        fmt = ctypes.c_int()
        count = ctypes.c_ulong()
        after = ctypes.c_ulong()
        data = ctypes.POINTER(ctypes.c_ubyte)()
        status = self.x.XGetWindowProperty(self.dpy, wid, self.atoms[name], 0, 1 << 16, 0, 0,
                                           ctypes.byref(actual_type), ctypes.byref(fmt), ctypes.byref(count),
                                           ctypes.byref(after), ctypes.byref(data))
        if status != 0 or not data:
            return None, None
        try:
            if fmt.value == 32:  # Xlib hands 32-bit items over as C longs
                return 32, list(ctypes.cast(data, ctypes.POINTER(ctypes.c_ulong))[:count.value])
            return fmt.value, bytes(data[:count.value * fmt.value // 8])
        finally:
            self.x.XFree(data)

    def clients(self):
        """Top-level windows that the window manager manages, mapped or not."""
        _, wids = self._property(self.root, "_NET_CLIENT_LIST")
        return wids or []

    def titles(self, wid):
        """The window's ICCCM and EWMH names (WM_NAME, _NET_WM_NAME); either may be None."""
        if wid not in self._titles:
            names = []
            for prop in ("WM_NAME", "_NET_WM_NAME"):
                _, raw = self._property(wid, prop)
                names.append(raw.decode("utf-8", "replace") if isinstance(raw, bytes) else None)
            self._titles[wid] = tuple(names)
        return self._titles[wid]

    def geometry(self, wid):
        attrs = XProbe._Attributes()
        if not self.x.XGetWindowAttributes(self.dpy, wid, ctypes.byref(attrs)):
            return None
        ax, ay, child = ctypes.c_int(), ctypes.c_int(), ctypes.c_ulong()
        if not self.x.XTranslateCoordinates(self.dpy, wid, self.root, 0, 0, ctypes.byref(ax), ctypes.byref(ay),
                                            ctypes.byref(child)):
            return None
        return Geometry(ax.value, ay.value, attrs.width, attrs.height, attrs.map_state == 2)

    def image(self, x, y, width, height):
        """Raw pixels of a rectangle of the screen, 4 bytes a pixel, row after row.

        Fast enough (well under a millisecond for a row) to follow a panel that
        moves every 15 ms; compare images only with images taken the same way.
        """
        img = self.x.XGetImage(self.dpy, self.root, x, y, width, height, 0xFFFFFFFF, 2)  # ZPixmap
        if not img:
            raise HarnessError(f"cannot read the screen at {x},{y} {width}x{height}")
        try:
            ximage = ctypes.cast(img, ctypes.POINTER(XProbe._Image)).contents
            if ximage.bits_per_pixel != 32:
                raise HarnessError(f"unexpected screen format: {ximage.bits_per_pixel} bits a pixel")
            stride = ximage.bytes_per_line
            raw = ctypes.string_at(ximage.data, stride * height)
        finally:
            self.x.XDestroyImage(img)
        # Drop the unused fourth byte, whose content the server does not promise.
        pixels = bytearray()
        for row in range(height):
            pixels += raw[row * stride: row * stride + 4 * width]
        del pixels[3::4]
        return bytes(pixels)

    def visible(self, title):
        found = []
        for wid in self.clients():
            # Matched like xdotool's search does: either name will do.
            if title in self.titles(wid):
                g = self.geometry(wid)
                if g is not None and g.mapped:
                    found.append((wid, g))
        return found


class _Sampler:
    """Samples the screen in a background thread, every interval seconds, until
    stopped; subclasses say what one sample is. An error in the thread (the X
    connection lost, say) is raised by stop()."""

    def __init__(self, session, interval):
        self.session = session
        self.interval = interval
        self.samples = []
        self._stop = threading.Event()
        self._thread = threading.Thread(target=self._run, daemon=True)
        self._error = None

    def __enter__(self):
        self._thread.start()
        return self

    def __exit__(self, *exc):
        self.stop()

    def stop(self):
        self._stop.set()
        if self._thread.is_alive():
            self._thread.join(timeout=10)
        if self._error:
            raise self._error

    def _sample(self, probe, t):
        raise NotImplementedError

    def _run(self):
        try:
            probe = XProbe(self.session.display)
        except Exception as e:  # reported by stop()
            self._error = e
            return
        try:
            while not self._stop.is_set():
                try:
                    self.samples.append(self._sample(probe, time.monotonic()))
                except HarnessError as e:
                    self._error = e
                    return
                self._stop.wait(self.interval)
        finally:
            probe.close()


class WindowTrack(_Sampler):
    """Samples, in a background thread, the visible windows with one title until stopped."""

    def __init__(self, session, title, interval=0.002):
        super().__init__(session, interval)
        self.title = title

    def _sample(self, probe, t):
        found = tuple(probe.visible(self.title))
        if probe.lost():
            raise HarnessError(f"lost the X connection while tracking {self.title!r}")
        return Sample(t, found)

    # Views of what was seen.
    def seen(self):
        return [s for s in self.samples if s.windows]

    def window_ids(self):
        return {wid for s in self.samples for wid, _ in s.windows}

    def max_simultaneous(self):
        return max((len(s.windows) for s in self.samples), default=0)

    def tops(self):
        return [(s.t, s.windows[0][1].y) for s in self.seen()]

    def first_seen(self):
        seen = self.seen()
        return seen[0] if seen else None

    def last_seen(self):
        seen = self.seen()
        return seen[-1] if seen else None

    def gone_after(self, t):
        """Time of the first sample after t with no such window, or None."""
        for s in list(self.samples):
            if s.t > t and not s.windows:
                return s.t
        return None


class PixelTrack(_Sampler):
    """Samples, in a background thread, some rectangles of the screen until stopped.

    Each sample is (time, (pixels of each rectangle, ...)), pixels as XProbe.image
    gives them; keep the rectangles small (single rows, say) to sample every few ms.
    """

    def __init__(self, session, rects, interval=0.002):
        super().__init__(session, interval)
        self.rects = list(rects)  # absolute screen (x, y, width, height)

    def _sample(self, probe, t):
        return (t, tuple(probe.image(*rect) for rect in self.rects))


class SoundRecorder:
    """A pipe sink made the default sink, read into memory by a thread, saved as WAV on stop."""

    RATE, CHANNELS = 44100, 2

    def __init__(self, session, path):
        self.session = session
        self.path = path
        # One pipe per recorder: a restarted sound server needs a recorder of its own.
        self.fifo = tempfile.mktemp(prefix="sound-", suffix=".fifo", dir=session.tmp)
        os.mkfifo(self.fifo)
        self.chunks = []
        self._fd = None
        self._thread = threading.Thread(target=self._read, daemon=True)
        self._thread.start()
        self.module = session._run(["pactl", "load-module", "module-pipe-sink", f"file={self.fifo}",
                                    "sink_name=recording", "format=s16le", f"rate={self.RATE}",
                                    f"channels={self.CHANNELS}", "use_system_clock_for_timing=yes"]).stdout.strip()
        session._run(["pactl", "set-default-sink", "recording"])
        # The program's player kept to the null sink with this one the default: leave it no other.
        for line in session._run(["pactl", "list", "short", "modules"]).stdout.splitlines():
            fields = line.split("\t")
            if len(fields) > 1 and fields[1] == "module-null-sink":
                session._run(["pactl", "unload-module", fields[0]])

    def _read(self):
        self._fd = os.open(self.fifo, os.O_RDONLY)
        while True:
            try:
                data = os.read(self._fd, 1 << 16)
            except OSError:
                return
            if not data:
                return
            self.chunks.append(data)

    def mark(self):
        """Bytes received so far, to a whole frame: where what plays from now on starts."""
        frame = 2 * self.CHANNELS
        return sum(len(c) for c in list(self.chunks)) // frame * frame

    def stop(self):
        if self.module is None:
            return
        # Unloading the sink closes its end of the pipe, which ends the reader.
        self.session._run(["pactl", "unload-module", self.module], check=False)
        self.module = None
        self._thread.join(timeout=5)
        if self._fd is not None:
            os.close(self._fd)
            self._fd = None
        data = b"".join(self.chunks)
        frame = 2 * self.CHANNELS
        with wave.open(self.path, "wb") as w:
            w.setnchannels(self.CHANNELS)
            w.setsampwidth(2)
            w.setframerate(self.RATE)
            w.writeframes(data[:len(data) // frame * frame])


class NotificationTrack(WindowTrack):
    def __init__(self, session, interval=0.002):
        super().__init__(session, NOTIFY_TITLE, interval)


class Session:
    """One X server with a window manager and one running beamlet."""

    def __init__(self, beamlet=None, screen=(1280, 1024, 24), start_program=True, audio=False,
                 program_env=None, fake_tools=None):
        """program_env: variables set for the program alone (over the session's own);
        fake_tools: {name: shell script} put first on the program's PATH."""
        self.beamlet_source = beamlet or _beamlet_path
        if not self.beamlet_source:
            raise HarnessError("no beamlet executable given (--beamlet PATH or $BEAMLET)")
        self.screen = screen
        self.start_program = start_program
        self.audio = audio
        self.program_env = dict(program_env or {})
        self.fake_tools = dict(fake_tools or {})
        self._probe = None
        self.pulse = None
        self.tmp = None
        self.display = None
        self.xvfb = None
        self.wm = None
        self.program = None
        self.main_window = None
        self._helpers = []

    # ---- lifecycle -------------------------------------------------------

    def __enter__(self):
        try:
            self.start()
        except BaseException:
            self.stop()
            raise
        return self

    def __exit__(self, *exc):
        self.stop()

    def start(self):
        _live_sessions.add(self)
        self.tmp = tempfile.mkdtemp(prefix="beamlet-e2e-")
        self.home = os.path.join(self.tmp, "home")
        self.bindir = os.path.join(self.tmp, "bin")
        self.logdir = os.path.join(self.tmp, "logs")
        for d in (self.home, self.bindir, self.logdir):
            os.makedirs(d)
        self.runtime_dir = os.path.join(self.tmp, "runtime")
        os.makedirs(self.runtime_dir, mode=0o700)
        self.fakebin = os.path.join(self.tmp, "fakebin")
        os.makedirs(self.fakebin)
        for name, script in self.fake_tools.items():
            path = os.path.join(self.fakebin, name)
            with open(path, "w") as f:
                f.write(script)
            os.chmod(path, 0o755)
        self._start_x()
        self._start_wm()
        if self.audio:
            self._start_pulse()
        if self.start_program:
            self.launch()

    def stop(self):
        if self._probe is not None:
            self._probe.close()
            self._probe = None
        for proc in (self.program, *self._helpers, self.pulse, self.wm, self.xvfb):
            _stop_group(proc)
        self.program = self.pulse = self.wm = self.xvfb = None
        self._helpers = []
        _live_sessions.discard(self)
        if self.tmp and not os.environ.get("BEAMLET_E2E_KEEP"):
            shutil.rmtree(self.tmp, ignore_errors=True)

    def env(self):
        env = {k: v for k, v in os.environ.items()
               if not k.startswith(("XDG_", "QT_", "WAYLAND_", "DBUS_", "PULSE_"))}
        env.update({
            "DISPLAY": self.display,
            "HOME": self.home,
            "XDG_CONFIG_HOME": os.path.join(self.home, ".config"),
            "XDG_CACHE_HOME": os.path.join(self.home, ".cache"),
            "XDG_DATA_HOME": os.path.join(self.home, ".local", "share"),
            "XDG_STATE_HOME": os.path.join(self.home, ".local", "state"),
            "XDG_RUNTIME_DIR": self.runtime_dir,
            # No session bus: nothing should reach the host's desktop.
            "DBUS_SESSION_BUS_ADDRESS": "unix:path=" + os.path.join(self.tmp, "no-bus"),
            "LC_ALL": "C.UTF-8",
        })
        if self.pulse is not None:
            env["PULSE_SERVER"] = "unix:" + self.pulse_socket
        return env

    def program_environment(self):
        env = self.env()
        if self.fake_tools:
            env["PATH"] = self.fakebin + os.pathsep + env.get("PATH", os.defpath)
        env.update(self.program_env)
        return env

    def _start_x(self):
        w, h, depth = self.screen
        read_fd, write_fd = os.pipe()
        try:
            self.xvfb = _spawn(["Xvfb", "-displayfd", str(write_fd), "-screen", "0", f"{w}x{h}x{depth}",
                                "-nolisten", "tcp", "-noreset"],
                               env=dict(os.environ), log_path=os.path.join(self.logdir, "xvfb.log"),
                               pass_fds=(write_fd,))
            os.close(write_fd)
            write_fd = None
            number = b""
            deadline = time.monotonic() + 20
            while not number.endswith(b"\n"):
                left = deadline - time.monotonic()
                if left <= 0 or not select.select([read_fd], [], [], left)[0]:
                    raise HarnessError("Xvfb did not report its display number")
                chunk = os.read(read_fd, 16)
                if not chunk:
                    raise HarnessError("Xvfb exited before reporting a display: " + self.log("xvfb"))
                number += chunk
        finally:
            os.close(read_fd)
            if write_fd is not None:
                os.close(write_fd)
        self.display = ":" + number.decode().strip()
        wait_until(lambda: self._run(["xprop", "-root", "-len", "0", "_NET_SUPPORTED"], check=False)
                   .returncode == 0, 20, what="the X server to answer")

    def _start_wm(self):
        self.wm = _spawn(["openbox", "--sm-disable"], env=self.env(),
                         log_path=os.path.join(self.logdir, "openbox.log"))

        def ready():
            if self.wm.poll() is not None:
                raise HarnessError("openbox exited: " + self.log("openbox"))
            out = self._run(["xprop", "-root", "_NET_SUPPORTING_WM_CHECK"], check=False).stdout
            return "window id #" in out

        wait_until(ready, 20, what="openbox to take over the screen")

    def _start_pulse(self):
        # A private sound server whose only sink is a null sink: what the program
        # plays can be recorded from its monitor, and nothing reaches a speaker.
        self.pulse_socket = os.path.join(self.runtime_dir, "pulse-native")
        self.pulse = _spawn(["pulseaudio", "-n", "--daemonize=no", "--exit-idle-time=-1", "--use-pid-file=no",
                             "-L", "module-null-sink sink_name=e2e",
                             "-L", f"module-native-protocol-unix auth-anonymous=1 socket={self.pulse_socket}"],
                            env=self.env(), log_path=os.path.join(self.logdir, "pulseaudio.log"))

        def ready():
            if self.pulse.poll() is not None:
                raise HarnessError("pulseaudio exited: " + self.log("pulseaudio"))
            return self._run(["pactl", "info"], check=False).returncode == 0

        wait_until(ready, 20, what="pulseaudio to answer")

    def record_sound(self, path):
        """Starts recording everything played into a WAV file; stop it with stop_recording().

        Call it before the program first plays, so that it plays to the recording
        sink. A pipe sink hands over every frame it renders, silence included; the
        null sink's monitor, recorded with parecord, dropped the silences and the
        first 20 ms of a newly started stream.
        """
        if self.pulse is None:
            raise HarnessError("session started without audio")
        return SoundRecorder(self, path)

    def stop_recording(self, recorder):
        recorder.stop()

    def playing_streams(self):
        """Number of streams that clients are playing right now."""
        out = self._run(["pactl", "list", "short", "sink-inputs"], check=False).stdout
        return len([line for line in out.splitlines() if line.strip()])

    def install(self):
        """Copies the program to its private folder (it writes tone.wav there); returns its path."""
        self.program_path = os.path.join(self.bindir, "beamlet")
        if not os.path.exists(self.program_path):
            shutil.copy2(self.beamlet_source, self.program_path)
        return self.program_path

    def launch(self, timeout=20, wrapper=()):
        """Starts the private copy of the program, through `wrapper` (a command prefix) if given."""
        self.install()
        self.program = _spawn([*wrapper, self.program_path], env=self.program_environment(),
                              log_path=os.path.join(self.logdir, "beamlet.log"))

        def mapped():
            if self.program.poll() is not None:
                raise HarnessError(f"beamlet exited with {self.program.returncode}: " + self.log("beamlet"))
            ids = self.find_windows(MAIN_TITLE)
            return ids[0] if ids else None

        self.main_window = wait_until(mapped, timeout, what="the main window to be mapped")
        # A mapped window can still be waiting for its first paint; a short settle
        # keeps the first click from landing before the widgets are live.
        time.sleep(0.3)
        return self.main_window

    def log(self, name):
        path = os.path.join(self.logdir, name + ".log")
        try:
            with open(path, "rb") as f:
                return f.read().decode(errors="replace")[-4000:]
        except OSError:
            return ""

    # ---- process ---------------------------------------------------------

    def alive(self):
        return self.program is not None and self.program.poll() is None

    def wait_exit(self, timeout):
        """The program's exit status, or None if it still runs after timeout seconds."""
        try:
            return self.program.wait(timeout=timeout)
        except subprocess.TimeoutExpired:
            return None

    # ---- X helpers -------------------------------------------------------

    def _run(self, cmd, timeout=10, check=True, input=None, text=True):
        env = self.env()
        try:
            res = subprocess.run(cmd, env=env, input=input, capture_output=True, timeout=timeout, text=text)
        except subprocess.TimeoutExpired as e:
            raise HarnessError(f"{cmd[0]} timed out after {timeout}s: {cmd}") from e
        if check and res.returncode != 0:
            raise HarnessError(f"{cmd} failed ({res.returncode}): {res.stderr!r}")
        return res

    def xdotool(self, *args, timeout=10, check=True):
        return self._run(["xdotool", *map(str, args)], timeout=timeout, check=check).stdout

    def find_windows(self, title, visible=True):
        """Ids of the windows whose title is exactly `title`."""
        args = ["search"]
        if visible:
            args.append("--onlyvisible")
        args += ["--name", "^" + re.escape(title) + "$"]
        out = self.xdotool(*args, check=False)
        return [int(line) for line in out.split()]

    def geometry(self, wid):
        """Absolute position and size of a window's client area, and whether it is viewable."""
        res = self._run(["xwininfo", "-id", str(wid)], check=False)
        if res.returncode != 0:
            return None
        fields = {}
        for line in res.stdout.splitlines():
            key, sep, value = line.strip().partition(":")
            if sep:
                fields[key.strip()] = value.strip()
        try:
            return Geometry(int(fields["Absolute upper-left X"]), int(fields["Absolute upper-left Y"]),
                            int(fields["Width"]), int(fields["Height"]), fields.get("Map State") == "IsViewable")
        except (KeyError, ValueError):
            return None

    def visible_geometries(self, title):
        result = []
        for wid in self.find_windows(title):
            g = self.geometry(wid)
            if g and g.mapped:
                result.append((wid, g))
        return result

    def notification(self):
        """(window id, Geometry) of the notification window on screen, or None."""
        found = self.visible_geometries(NOTIFY_TITLE)
        return found[0] if found else None

    def dismiss_notification(self, timeout=5):
        """Sends a notification on screen down by its close control and waits until it is gone."""
        shown = self.notification()
        if shown is None:
            return
        wid, _ = shown
        x, y, w, hgt = NOTIFY_CLOSE
        # The resting close image only shows its clickable twin once the pointer moves over it.
        self.move_pointer(x + 10, y + 8, wid=wid)
        self.move_pointer(x + w // 2, y + hgt // 2, wid=wid)
        time.sleep(0.05)
        self.xdotool("click", 1)
        wait_until(lambda: self.notification() is None, timeout, what="the notification to go away")

    def windows_of_size(self, size, title=MAIN_TITLE):
        """Visible windows with this title and client size, as (id, Geometry)."""
        return [(wid, g) for wid, g in self.visible_geometries(title) if g.size == size]

    def mini_window(self):
        """(id, Geometry) of the visible mini window, or None."""
        found = self.windows_of_size(MINI_SIZE)
        return found[0] if found else None

    def main_visible(self):
        return any(wid == self.main_window for wid, _ in self.visible_geometries(MAIN_TITLE))

    def press_back(self, mini_id, settle=0.1, timeout=5):
        """Clicks the mini window's back control as a user does and waits for the
        main window. The resting image only shows its clickable twin once the
        pointer has moved over it, so the pointer moves there first."""
        x, y, w, hgt = MINI_BACK
        self.move_pointer(x + 10, y + 8, wid=mini_id)
        self.move_pointer(x + w // 2, y + hgt // 2, wid=mini_id)
        time.sleep(settle)
        self.xdotool("click", 1)
        wait_until(self.main_visible, timeout, what="the main window to come back")

    def track(self, title):
        """A WindowTrack of the windows with this title; use it as a context manager."""
        return WindowTrack(self, title)

    def main_geometry(self):
        g = self.geometry(self.main_window)
        if g is None:
            raise HarnessError("main window is gone")
        return g

    def xprop(self, wid, prop):
        """The value part of one property as xprop prints it, or None when unset."""
        res = self._run(["xprop", "-id", str(wid), prop], check=False)
        line = res.stdout.strip()
        if res.returncode != 0 or "not found" in line or "no such atom" in line:
            return None
        _, sep, value = line.partition("=")
        if not sep:
            _, sep, value = line.partition(":")
        return value.strip()

    def window_title(self, wid):
        value = self.xprop(wid, "_NET_WM_NAME")
        if value is None:
            value = self.xprop(wid, "WM_NAME")
        if value is None:
            return None
        # xprop quotes strings: "text"
        if value.startswith('"') and value.endswith('"'):
            value = value[1:-1].encode().decode("unicode_escape").encode("latin-1").decode("utf-8")
        return value

    def net_wm_state(self, wid):
        value = self.xprop(wid, "_NET_WM_STATE") or ""
        return {s.strip() for s in value.split(",") if s.strip()}

    # ---- input -----------------------------------------------------------

    def to_screen(self, x, y, wid=None):
        g = self.geometry(wid or self.main_window)
        if g is None:
            raise HarnessError("window is gone")
        return g.x + x, g.y + y

    def move_pointer(self, x, y, wid=None):
        """Moves the pointer to pixel (x, y) of a window (the main window by default)."""
        sx, sy = self.to_screen(x, y, wid)
        self.move_pointer_screen(sx, sy)

    def move_pointer_screen(self, sx, sy):
        self.xdotool("mousemove", "--sync", sx, sy)

    def click(self, x, y, button=1, wid=None):
        """Clicks at pixel (x, y) of a window, arriving there by a motion like a real mouse."""
        sx, sy = self.to_screen(x, y, wid)
        self.move_pointer_screen(sx - 1, sy)
        self.move_pointer_screen(sx, sy)
        time.sleep(0.05)
        self.xdotool("click", button)

    def tap(self, x, y, wid=None):
        """A quick left click at pixel (x, y) of a window: one xdotool call, no settling pause.

        For long runs of clicks on controls that only need a press and a release
        inside them, such as the emoticon tiles.
        """
        sx, sy = self.to_screen(x, y, wid)
        self.xdotool("mousemove", "--sync", sx - 1, sy, "mousemove", "--sync", sx, sy, "mousedown", 1, "mouseup", 1)

    def click_rect(self, rect, button=1, wid=None):
        self.click(*center(rect), button=button, wid=wid)

    def drag(self, x, y, dx, dy, button=1, step=5, wid=None, pause=0.01):
        """Presses at window pixel (x, y), moves by (dx, dy) in small steps, releases."""
        sx, sy = self.to_screen(x, y, wid)
        self.move_pointer_screen(sx, sy)
        time.sleep(0.05)
        self.xdotool("mousedown", button)
        n = max(1, int(max(abs(dx), abs(dy)) / step + 0.999))
        for i in range(1, n + 1):
            self.move_pointer_screen(sx + round(dx * i / n), sy + round(dy * i / n))
            time.sleep(pause)
        time.sleep(0.05)
        self.xdotool("mouseup", button)
        time.sleep(0.1)

    def type_text(self, text, delay_ms=40):
        self.xdotool("type", "--delay", delay_ms, "--", text, timeout=10 + len(text) * delay_ms / 1000)

    def key(self, *keys, delay_ms=40):
        self.xdotool("key", "--delay", delay_ms, *keys)

    def activate(self, wid=None):
        self.xdotool("windowactivate", "--sync", wid or self.main_window)

    def close_by_image(self, timeout=5):
        """Ends the program as a user does, by its close image; returns the exit status (None if alive)."""
        x, y, w, hgt = CLOSE
        self.move_pointer(x + 10, y + 8)
        self.move_pointer(x + w // 2, y + hgt // 2)
        time.sleep(0.1)
        self.xdotool("click", 1)
        return self.wait_exit(timeout)

    # ---- clipboard -------------------------------------------------------

    def clipboard(self, target="UTF8_STRING"):
        """The clipboard's raw bytes for a target, or None when nobody offers it."""
        res = self._run(["xclip", "-o", "-selection", "clipboard", "-t", target], timeout=5, check=False,
                        text=False)
        return res.stdout if res.returncode == 0 else None

    def set_clipboard(self, data: bytes):
        """Owns the clipboard from outside until some other client takes it over; returns the owner."""
        # Earlier owners have exited once they lost the clipboard: forget them.
        self._helpers = [p for p in self._helpers if p.poll() is None]
        proc = _spawn(["xclip", "-quiet", "-selection", "clipboard", "-i"], env=self.env(), stdin=subprocess.PIPE)
        proc.stdin.write(data)
        proc.stdin.close()
        self._helpers.append(proc)
        wait_until(lambda: self.clipboard() == data, 5, interval=0.01, what="the clipboard to hold the sentinel")
        return proc

    def copied_by(self, action, marker=b"marker: not copied by beamlet", timeout=5):
        """Puts a marker on the clipboard, runs action() and returns what the program copied.

        The marker makes a click that never reached the program fail instead of
        passing for a copy of unchanged text.
        """
        self.set_clipboard(marker)
        action()
        # The program clears the clipboard before it sets it: nobody owns it for a moment.
        return wait_until(lambda: [d for d in [self.clipboard()] if d is not None and d != marker], timeout,
                          interval=0.01, what="the program to replace the clipboard")[0]

    # ---- pictures --------------------------------------------------------

    def screenshot(self, path):
        self._run(["import", "-display", self.display, "-window", "root", path], timeout=20)
        return path

    def probe(self):
        """This session's own fast X connection (for the test's thread only)."""
        if self._probe is None:
            self._probe = XProbe(self.display)
        return self._probe

    def pixels(self, x, y, w, h, wid=None):
        """Pixels of a rectangle of a window (the main window by default), fast; see XProbe.image."""
        sx, sy = self.to_screen(x, y, wid)
        return self.probe().image(sx, sy, w, h)

    def grab(self, x, y, w, h, wid=None):
        """Raw RGB bytes of a rectangle of a window (the main window by default)."""
        sx, sy = self.to_screen(x, y, wid)
        res = self._run(["import", "-display", self.display, "-window", "root",
                         "-crop", f"{w}x{h}+{sx}+{sy}", "+repage", "-depth", "8", "rgb:-"], timeout=20, text=False)
        return res.stdout

    # ---- files -----------------------------------------------------------

    def tone_files(self):
        """Every tone.wav the program could have written: beside itself or in its cache folder."""
        found = []
        beside = os.path.join(self.bindir, "tone.wav")
        if os.path.exists(beside):
            found.append(beside)
        for root, _, files in os.walk(os.path.join(self.home, ".cache")):
            if "tone.wav" in files:
                found.append(os.path.join(root, "tone.wav"))
        return found


class SessionTestCase(unittest.TestCase):
    """Gives every test a fresh session; subclasses pick the screen size."""

    screen = (1280, 1024, 24)
    audio = False
    program_env = {}
    fake_tools = {}
    start_program = True

    def setUp(self):
        self.s = Session(screen=self.screen, audio=self.audio, program_env=self.program_env,
                         fake_tools=self.fake_tools, start_program=self.start_program)
        self.s.__enter__()
        self.addCleanup(self._finish)

    def _finish(self):
        log = self.s.log("beamlet")
        self.s.stop()
        if log.strip() and os.environ.get("BEAMLET_E2E_VERBOSE"):
            sys.stderr.write(f"\n--- beamlet output ({self.id()}) ---\n{log}\n")


def missing_tools():
    return [t for t in REQUIRED_TOOLS if shutil.which(t) is None]


def audio_available():
    return all(shutil.which(t) for t in AUDIO_TOOLS)


class StreamWatch:
    """Records, in a background thread, the ids of the sound streams being played."""

    def __init__(self, session, interval=0.05):
        self.session = session
        self.interval = interval
        self.samples = []  # (time, frozenset of sink-input ids)
        self._stop = threading.Event()
        self._thread = threading.Thread(target=self._run, daemon=True)

    def __enter__(self):
        self._thread.start()
        return self

    def __exit__(self, *exc):
        self._stop.set()
        self._thread.join(timeout=10)

    def _run(self):
        while not self._stop.is_set():
            try:
                out = self.session._run(["pactl", "list", "short", "sink-inputs"], check=False).stdout
            except HarnessError:
                out = ""
            ids = frozenset(line.split()[0] for line in out.splitlines() if line.strip())
            self.samples.append((time.monotonic(), ids))
            self._stop.wait(self.interval)

    def stream_ids(self):
        return set().union(*(ids for _, ids in self.samples)) if self.samples else set()

    def first_start(self):
        return next((t for t, ids in self.samples if ids), None)


def _terminate(signum, frame):
    # Told to stop (a runner's time limit, say): take every X server down with us.
    sys.stderr.write(f"\nstopped by signal {signum}\n")
    for session in list(_live_sessions):
        session.stop()
    os._exit(128 + signum)


_options = {}


def option(name):
    """The value of an extra path option that the script asked main() for."""
    return _options.get(name)


def main(*extra_paths):
    """Entry point of a test script: parse --beamlet, skip without X tools, run unittest.

    extra_paths names further options (--NAME PATH) that the script needs, such as
    helper programs built beside beamlet; read them with option(NAME).
    """
    global _beamlet_path
    parser = argparse.ArgumentParser(add_help=False)
    parser.add_argument("--beamlet", default=os.environ.get("BEAMLET"))
    for name in extra_paths:
        parser.add_argument("--" + name, required=True)
    args, rest = parser.parse_known_args()
    for name in extra_paths:
        _options[name] = os.path.abspath(getattr(args, name.replace("-", "_")))
    missing = missing_tools()
    if missing:
        print("skipping: not installed: " + ", ".join(missing))
        sys.exit(SKIP)
    if not args.beamlet or not os.access(args.beamlet, os.X_OK):
        print(f"no runnable beamlet given (--beamlet PATH or $BEAMLET): {args.beamlet!r}", file=sys.stderr)
        sys.exit(2)
    _beamlet_path = os.path.abspath(args.beamlet)
    signal.signal(signal.SIGTERM, _terminate)
    program = unittest.main(module="__main__", argv=[sys.argv[0], *rest], exit=False, verbosity=2)
    sys.exit(0 if program.result.wasSuccessful() else 1)
