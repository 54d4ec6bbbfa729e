#!/usr/bin/env python3
"""Get Code under Wayland: the program on XWayland inside Weston, copying again and again.

Weston runs with its X11 backend nested in an Xvfb a little larger than Weston's
window, so xdotool drives Weston's real seat: the pointer leaves the window and
re-enters it exactly where the next click goes (Weston follows the X pointer
only by relative motion once inside), and keys reach whatever Weston has
focused. The program sees all of it through XWayland, as on a Wayland desktop.

Exits 77 (skipped) when Weston or XWayland is not installed or cannot start.
"""

import os
import re
import shutil
import subprocess
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import harness as h  # noqa: E402

WESTON_SIZE = (1280, 1024)
MARGIN = 64  # bare Xvfb around Weston's window, where the pointer goes to re-enter

H = b"[[186097158158768]]\x0c"
I = b"[[149883275129464]]\x0c"
FIVE = b"[[357931430897631]]\x0c"
ZERO = b"[[205585576206223]]\x0c"

_unavailable = []  # why Weston could not be brought up, if it could not


class WestonSession(h.Session):
    """A session whose X server is Weston's XWayland; Weston itself is the outer Xvfb's only client."""

    def __init__(self, **kwargs):
        w, hgt = WESTON_SIZE
        super().__init__(screen=(w + MARGIN, hgt + MARGIN, 24), **kwargs)

    def _start_x(self):
        w, hgt = WESTON_SIZE
        super()._start_x()  # the outer Xvfb, on self.display for now
        self.outer = self.display
        self.wayland_socket = "wayland-beamlet"
        log = os.path.join(self.logdir, "weston.log")
        env = self.env()
        env["DISPLAY"] = self.outer
        self.weston = h._spawn(["weston", "--backend=x11-backend.so", "--use-pixman", f"--width={w}",
                                f"--height={hgt}", "--xwayland", "--no-config", "--idle-time=0",
                                f"--socket={self.wayland_socket}", f"--log={log}"],
                               env=env, log_path=os.path.join(self.logdir, "weston-output.log"))
        # Stopped with the session, as the window manager would be.
        self.wm = self.weston

        def listening():
            if self.weston.poll() is not None:
                raise h.HarnessError(f"weston exited with {self.weston.returncode}: "
                                    + self.log("weston") + self.log("weston-output"))
            found = re.search(r"xserver listening on display (:\d+)", self.log("weston"))
            return found.group(1) if found else None

        self.display = h.wait_until(listening, 20, what="weston to offer an X display")
        # The first client starts XWayland; Weston's window manager then takes the screen.
        h.wait_until(lambda: "window id #" in self._run(["xprop", "-root", "_NET_SUPPORTING_WM_CHECK"],
                                                        check=False, timeout=20).stdout,
                     30, what="XWayland and Weston's window manager")

    def _start_wm(self):
        pass  # Weston manages the XWayland windows itself

    def outer_xdotool(self, *args):
        env = self.env()
        env["DISPLAY"] = self.outer
        subprocess.run(["xdotool", *map(str, args)], env=env, check=True, capture_output=True, timeout=20)

    def weston_click(self, rect):
        """Clicks the middle of a rect of the main window through Weston's seat."""
        sx, sy = self.to_screen(*h.center(rect))
        w, hgt = WESTON_SIZE
        self.outer_xdotool("mousemove", w + MARGIN // 2, hgt + MARGIN // 2)
        self.outer_xdotool("mousemove", sx, sy)
        self.outer_xdotool("click", 1)

    def weston_type(self, text):
        self.outer_xdotool("type", "--delay", 40, "--", text)

    def active_window(self):
        out = self._run(["xprop", "-root", "_NET_ACTIVE_WINDOW"], check=False).stdout
        found = re.search(r"window id # (0x[0-9a-f]+)", out)
        return int(found.group(1), 16) if found else None

    def wl_paste(self):
        env = self.env()
        env.pop("DISPLAY")
        env["WAYLAND_DISPLAY"] = self.wayland_socket
        res = subprocess.run(["wl-paste", "--no-newline"], env=env, capture_output=True, timeout=10)
        return res.stdout if res.returncode == 0 else None


class XWaylandCopyTest(h.SessionTestCase):
    start_program = False

    def setUp(self):
        missing = [t for t in ("weston", "Xwayland") if shutil.which(t) is None]
        if missing:
            _unavailable.append("not installed: " + ", ".join(missing))
            self.skipTest(_unavailable[-1])
        self.s = WestonSession(start_program=False)
        try:
            self.s.__enter__()
        except h.HarnessError as e:
            _unavailable.append(f"weston with XWayland did not come up: {e}")
            self.skipTest(_unavailable[-1])
        self.addCleanup(self._finish)
        self.s.launch()

    def copy(self, text):
        """Types text afresh, clicks Get Code and returns what the clipboard then holds."""
        s = self.s
        s.weston_click(h.TYPING_BOX)
        h.wait_until(lambda: s.active_window() == s.main_window, 10, what="the main window to take the focus")
        s.weston_type(text)
        s.set_clipboard(b"sentinel: not copied by beamlet")
        s.weston_click(h.GET_CODE)
        return h.wait_until(lambda: [c for c in [s.clipboard()] if c is not None and not c.startswith(b"sentinel")],
                            10, interval=0.02, what="Get Code to replace the clipboard")[0]

    def test_three_copies_reach_x_and_wayland_clients_and_nothing_dies(self):
        for text, code in (("Hi", H + I), ("50", FIVE + ZERO), ("i5H", I + FIVE + H)):
            with self.subTest(text=text):
                self.assertEqual(self.copy(text), code)
                self.assertEqual(self.s.wl_paste(), code, "Wayland clients see the same code")
                self.assertIsNone(self.s.weston.poll(), "weston died: " + self.s.log("weston-output"))
                self.assertTrue(self.s.alive(), "beamlet died: " + self.s.log("beamlet"))


if __name__ == "__main__":
    try:
        h.main()
    except SystemExit as done:
        if done.code == 0 and _unavailable:
            print("skipping: " + _unavailable[0])
            sys.exit(h.SKIP)
        raise
