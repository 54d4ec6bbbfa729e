#!/usr/bin/env python3
"""The program survives a hostile setting: a folder it cannot write, no sound server.
What stands where tone.wav goes is tested where the file is written
(tests/widget/platform_test.cpp)."""

import os
import shutil
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import harness as h  # noqa: E402
from harness import H, I, L  # noqa: E402

TONE = h.read(h.TONE_SOURCE)
NOBODY = 65534


class FaultTest(h.SessionTestCase):
    start_program = False

    def launch_as_nobody(self):
        """Starts the program as an unprivileged user owning only HOME and the runtime dir."""
        if os.geteuid() != 0:
            return self.s.launch()
        if not shutil.which("setpriv"):
            self.skipTest("running as root without setpriv")
        os.chmod(self.s.tmp, 0o755)  # made private by mkdtemp; the user must reach inside
        for top in (self.s.home, self.s.runtime_dir):
            for root, dirs, files in os.walk(top):
                for name in [root, *(os.path.join(root, n) for n in dirs + files)]:
                    os.lchown(name, NOBODY, NOBODY)
        if h.on_windows():  # Wine, its server and the program all run as the user, in a prefix of the user's
            folder = os.stat(self.s.bindir)
            self.s.run_as(NOBODY)
            os.chown(self.s.bindir, folder.st_uid, folder.st_gid)
            self.s.launch()
        else:
            self.s.launch(wrapper=["setpriv", f"--reuid={NOBODY}", f"--regid={NOBODY}", "--clear-groups", "--"])
        self.assertEqual(os.stat(f"/proc/{self.s.program.pid}").st_uid, NOBODY)

    def cycle(self, path, text="H", code=H):
        """One copy, up to the arrival that writes the sound to `path`; then the notification is sent away."""
        before = os.path.exists(path) and os.stat(path).st_ino
        self.assertEqual(self.s.get_code(text), code)
        h.wait_until(lambda: os.path.isfile(path) and os.stat(path).st_ino != before
                     and h.read(path) == TONE, 10, what=f"the sound written to {path}")
        wid = self.s.resting_notification()
        self.s.click_image(L["notificationCloseButton"], wid=wid)
        h.wait_until(lambda: not self.s.notification(), 5, what="the notification to go away")

    def close(self):
        # Nothing half-written is left beside the program.
        self.assertEqual(sorted(set(os.listdir(self.s.bindir)) - self.s.installed - {"tone.wav"}), [])
        self.assertEqual(self.s.close_by_image(), 0)

    def cache(self):
        return os.path.join(self.s.cache_folder(), "Orvane", "beamlet", "tone.wav")

    def test_a_read_only_program_folder_sends_the_sound_to_the_cache_folder(self):
        os.chmod(self.s.bindir, 0o555)
        self.launch_as_nobody()
        self.cycle(self.cache())
        self.assertFalse(os.path.exists(os.path.join(self.s.bindir, "tone.wav")))
        self.close()

    def cycles_without_sound(self):
        """A copy runs its whole cycle, descent included, and a later copy runs another."""
        self.s.launch()
        beside = os.path.join(self.s.bindir, "tone.wav")
        self.assertEqual(self.s.get_code("H"), H)
        h.wait_until(lambda: os.path.exists(beside) and h.read(beside) == TONE, 10, what="the arrival")
        h.wait_until(lambda: not self.s.notification(), 10, what="the notification to sink away by itself")
        self.cycle(beside, "Hi", H + I)
        self.close()

    def test_without_a_sound_server(self):
        self.s.program_env["PULSE_SERVER"] = "unix:" + os.path.join(self.s.tmp, "no-such-server")
        self.cycles_without_sound()


if __name__ == "__main__":
    h.main()
