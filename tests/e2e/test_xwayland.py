#!/usr/bin/env python3
"""Get Code under Wayland: the program on XWayland inside Weston, copying again and again.

Weston runs with its X11 backend nested in an Xvfb a little larger than Weston's
window, so xdotool drives Weston's real seat: the pointer leaves the window and
re-enters it exactly where the next click goes (Weston follows the X pointer
only by relative motion once inside), and keys reach whatever Weston has
focused. Exits 77 (skipped) when Weston or XWayland is missing or cannot start.
"""

import os
import re
import shutil
import subprocess
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import harness as h  # noqa: E402
from harness import H, I, FIVE, ZERO, L  # noqa: E402

WESTON_SIZE = (1280, 1024)
MARGIN = 64  # bare Xvfb around Weston's window, where the pointer goes to re-enter
_unavailable = []  # why Weston could not be brought up, if it could not


class WestonSession(h.Session):
    """A session whose X server is Weston's XWayland; Weston itself is the outer Xvfb's only client."""

    def start_x(self):
        super().start_x()  # the outer Xvfb
        self.outer, self.wayland_socket = self.display, "wayland-beamlet"
        self.wm = self._spawn(["weston", "--backend=x11-backend.so", "--use-pixman", f"--width={WESTON_SIZE[0]}",
                               f"--height={WESTON_SIZE[1]}", "--xwayland", "--no-config", "--idle-time=0",
                               f"--socket={self.wayland_socket}", "--log=" + os.path.join(self.logdir, "weston.log")],
                              "weston-output")

        def listening():
            if self.wm.poll() is not None:
                raise h.SessionError(f"weston exited: {self.log('weston')}{self.log('weston-output')}")
            found = re.search(r"xserver listening on display (:\d+)", self.log("weston"))
            return found and found.group(1)

        self.display = h.wait_until(listening, 20, what="weston to offer an X display")
        # The first client starts XWayland; Weston's window manager then takes the screen.
        h.wait_until(self.wm_ready, 30, what="XWayland and Weston's window manager")

    def start_wm(self):
        pass  # Weston manages the XWayland windows itself

    def outer_xdotool(self, *args):
        subprocess.run(["xdotool", *map(str, args)], env={**self.env(), "DISPLAY": self.outer}, check=True,
                       capture_output=True, timeout=20)

    def weston_click(self, rect):
        sx, sy = self.to_screen(*h.center(rect))
        self.outer_xdotool("mousemove", WESTON_SIZE[0] + MARGIN // 2, WESTON_SIZE[1] + MARGIN // 2)
        self.outer_xdotool("mousemove", sx, sy, "click", 1)

    def active_window(self):
        found = re.search(r"# (0x[0-9a-f]+)", self.run(["xprop", "-root", "_NET_ACTIVE_WINDOW"], check=False).stdout)
        return found and int(found.group(1), 16)


class XWaylandCopyTest(h.SessionTestCase):
    screen = (WESTON_SIZE[0] + MARGIN, WESTON_SIZE[1] + MARGIN, 24)
    session_class = WestonSession

    def setUp(self):
        missing = [t for t in ("weston", "Xwayland", "wl-paste") if shutil.which(t) is None]
        if missing:
            _unavailable.append("not installed: " + ", ".join(missing))
            self.skipTest(_unavailable[-1])
        try:
            super().setUp()
        except h.SessionError as e:
            _unavailable.append(f"weston with XWayland did not come up: {e}")
            self.skipTest(_unavailable[-1])

    def test_copies_reach_x_and_wayland_clients_and_nothing_dies(self):
        s = self.s
        env = {k: v for k, v in s.env().items() if k != "DISPLAY"}
        for text, code in (("Hi", H + I), ("50", FIVE + ZERO), ("i5H", I + FIVE + H)):
            with self.subTest(text=text):
                s.weston_click(L["typingBox"])
                h.wait_until(lambda: s.active_window() == s.main_window, 10, what="the main window's focus")
                s.outer_xdotool("type", "--delay", 40, "--", text)
                self.assertEqual(s.copied_by(lambda: s.weston_click(L["getCodeButton"]), timeout=10), code)
                pasted = subprocess.run(["wl-paste", "--no-newline"], env={**env, "WAYLAND_DISPLAY": s.wayland_socket},
                                        capture_output=True, timeout=10).stdout
                self.assertEqual(pasted, code, "Wayland clients see the same code")
                self.assertIsNone(s.wm.poll(), "weston died: " + s.log("weston-output"))
                self.assertTrue(s.alive(), "beamlet died: " + s.log("beamlet"))


if __name__ == "__main__":
    try:
        h.main()
    except SystemExit as done:
        if done.code == 0 and _unavailable:
            print("skipping: " + _unavailable[0])
            sys.exit(h.SKIP)
        raise
