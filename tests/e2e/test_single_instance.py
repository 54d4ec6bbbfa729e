#!/usr/bin/env python3
"""One program per user and display: a second start brings the running window
forward and ends; a killed program's socket does not stop the next start; another
display gets its own program."""

import glob
import os
import signal
import stat
import subprocess
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import harness as h  # noqa: E402
from harness import L  # noqa: E402


class SingleInstanceTest(h.SessionTestCase):

    def start_again(self, session=None, **env):
        """Starts the program once more on a session; returns its exit status."""
        session = session or self.s
        res = subprocess.run([self.s.program_path], env={**session.env(), **env}, capture_output=True, timeout=30)
        return res.returncode

    def active(self):
        return int(self.s.xdotool("getactivewindow", check=False).strip() or 0)

    def test_a_second_start_brings_the_showing_window_forward(self):
        for mini in (False, True):
            with self.subTest(mini=mini):
                if mini:
                    self.s.click_rect(L["miniWindowButton"])
                    h.wait_until(self.s.mini_window, 10, what="the mini window")
                shown = self.s.mini_window() if mini else self.s.main_window
                self.s.xdotool("windowminimize", "--sync", shown)
                self.assertEqual(self.start_again(), 0)
                h.wait_until(lambda: self.active() == shown, 10, what="the showing window to come forward")
                self.assertEqual(self.s.windows(h.MAIN_TITLE), [shown], "one window shows, and only one")

    def test_a_killed_program_does_not_stop_the_next_start(self):
        sockets = glob.glob(os.path.join(self.s.runtime_dir, "beamlet-*"))
        self.assertEqual(len(sockets), 1, sockets)
        self.assertEqual(stat.S_IMODE(os.stat(sockets[0]).st_mode) & 0o077, 0, "the socket is the user's alone")
        self.s.program.send_signal(signal.SIGKILL)
        self.s.wait_exit(10)
        self.s.launch()
        # It took over the socket left behind: a later start hands over to it.
        self.assertEqual(self.start_again(), 0)
        self.assertEqual(self.s.windows(h.MAIN_TITLE), [self.s.main_window])

    def test_another_display_gets_its_own_program(self):
        with h.Session() as other:
            # The same user and runtime folder, another display.
            program = h.spawn([self.s.program_path], env={**other.env(), "XDG_RUNTIME_DIR": self.s.runtime_dir},
                              log_path=os.path.join(other.logdir, "beamlet.log"))
            try:
                h.wait_until(lambda: other.run(["xdotool", "search", "--onlyvisible", "--name", f"^{h.MAIN_TITLE}$"],
                                               check=False).stdout.strip(), 20, what="a window on the other display")
                self.assertIsNone(program.poll())
            finally:
                h.stop_group(program)
        self.assertTrue(self.s.alive())


if __name__ == "__main__":
    h.main()
