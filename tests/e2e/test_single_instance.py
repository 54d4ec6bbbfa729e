#!/usr/bin/env python3
"""One program per user and display: a second start brings the running window
forward and ends; a killed program's socket does not stop the next start; another
display gets its own program; starts wait for a busy program rather than replace
it; another user's files never stop a start nor get its knock."""

import os
import shutil
import signal
import stat
import subprocess
import sys
import tempfile

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

    def spawn_start(self, name, env=None):
        """Starts the program once more in the background; its output goes to logs/<name>.log."""
        proc = h.spawn([self.s.program_path], env=env or self.s.env(),
                       log_path=os.path.join(self.s.logdir, name + ".log"))
        self.addCleanup(h.stop_group, proc)
        return proc

    def sockets(self):
        paths = (os.path.join(self.s.runtime_dir, n) for n in os.listdir(self.s.runtime_dir))
        return [p for p in paths if stat.S_ISSOCK(os.lstat(p).st_mode)]

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
        sockets = self.sockets()
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

    def test_every_spelling_of_the_display_names_one_program(self):
        number = self.s.display.lstrip(":")
        for spelling in (f":{number}.0", f"unix:{number}", f"unix/:{number}"):
            with self.subTest(display=spelling):
                start = self.spawn_start("again", {**self.s.env(), "DISPLAY": spelling})
                self.assertEqual(exit_status(start), 0, "the start hands over and ends")
                self.assertEqual(self.s.windows(h.MAIN_TITLE), [self.s.main_window])

    def test_starts_wait_for_a_stopped_program_and_never_replace_it(self):
        # More starts than the program's queue of waiting knocks holds.
        socket_before = os.stat(self.sockets()[0])
        self.s.program.send_signal(signal.SIGSTOP)
        self.addCleanup(lambda: self.s.alive() and self.s.program.send_signal(signal.SIGCONT))
        starts = [self.spawn_start(f"start{i}") for i in range(12)]

        def settled():
            # Each start has queued its knock and ended, or says it waits; or a second program shows.
            return len(self.s.windows(h.MAIN_TITLE)) > 1 or all(
                p.poll() is not None or "busy" in self.s.log(f"start{i}") for i, p in enumerate(starts))

        h.wait_until(settled, 120, what="every start to hand over or wait")
        self.assertEqual(self.s.windows(h.MAIN_TITLE), [self.s.main_window], "no second program")
        self.assertEqual(os.stat(self.sockets()[0]).st_ino, socket_before.st_ino, "the live socket stays")
        self.s.program.send_signal(signal.SIGCONT)
        self.assertEqual([exit_status(p) for p in starts], [0] * len(starts), "every start handed over")
        self.assertEqual(self.s.windows(h.MAIN_TITLE), [self.s.main_window])
        self.assertEqual(exit_status(self.spawn_start("later")), 0, "the running program still answers")

    def test_a_signal_to_end_ends_as_the_close_control_does(self):
        for number, mini in ((signal.SIGTERM, False), (signal.SIGINT, False), (signal.SIGHUP, False),
                             (signal.SIGTERM, True)):
            with self.subTest(signal=number.name, mini=mini):
                if not self.s.alive():
                    self.s.launch()
                if mini:
                    self.s.click_rect(L["miniWindowButton"])
                    h.wait_until(self.s.mini_window, 10, what="the mini window")
                self.s.program.send_signal(number)
                self.assertEqual(self.s.wait_exit(20), 0, "a clean end")
                self.assertEqual([n for n in os.listdir(self.s.runtime_dir) if n.startswith("beamlet")], [],
                                 "no socket or lock left behind")


def exit_status(proc, timeout=60):
    """The exit status of a start, or None if it still runs (a second program) after timeout seconds."""
    try:
        return proc.wait(timeout=timeout)
    except subprocess.TimeoutExpired:
        return None


# Run as another user: listens on every path given, in a folder open to all, and
# prints a line for every connection it gets.
SQUATTER = r"""
import os, select, socket, sys
listeners = []
for path in sys.argv[1:]:
    os.makedirs(os.path.dirname(path), exist_ok=True)
    try:
        os.chmod(os.path.dirname(path), 0o777)
    except PermissionError:
        pass
    s = socket.socket(socket.AF_UNIX)
    s.bind(path)
    os.chmod(path, 0o777)
    s.listen(16)
    listeners.append(s)
while True:
    for s in select.select(listeners, [], [])[0]:
        s.accept()[0].close()
        print("knock", flush=True)
"""


class AnotherUserTest(h.SessionTestCase):
    """Another local account (nobody) puts its own folder or listener where the
    program looks for its socket; the user's start still shows its window."""

    start_program = False

    def test_another_users_files_neither_stop_a_start_nor_get_its_knock(self):
        uid, number = os.geteuid(), self.s.display.lstrip(":")
        # A Python the other account can run (root's own may sit in its home).
        python = shutil.which("python3", path="/usr/bin:/bin")
        if uid != 0 or not shutil.which("runuser") or not python:
            self.skipTest("needs root, runuser and a system python3, to act as the nobody account")
        # (case, runtime folder or None, the places nobody takes, whether one program per display still holds)
        cases = (("no runtime folder, temporary folder taken", None,
                  ("beamlet-{uid}/beamlet-:{n}", "beamlet-{uid}-_{n}"), False),
                 ("runtime folder of another user", "run", ("run/beamlet-:{n}", "run/beamlet-_{n}"), True),
                 ("runtime folder open to all", "open", ("open/beamlet-:{n}", "open/beamlet-_{n}"), True),
                 ("runtime folder too long for a socket", "x" * 120, (), True))
        for index, (case, runtime, places, one_program) in enumerate(cases):
            with self.subTest(case=case):
                tmp = tempfile.mkdtemp(prefix="beamlet-shared-")
                self.addCleanup(shutil.rmtree, tmp, True)
                os.chmod(tmp, 0o1777)  # a shared temporary folder, as /tmp is
                if runtime == "open":
                    os.makedirs(os.path.join(tmp, runtime), mode=0o777)
                    os.chmod(os.path.join(tmp, runtime), 0o777)
                elif runtime and not places:
                    os.makedirs(os.path.join(tmp, runtime), mode=0o700)
                paths = [os.path.join(tmp, p.format(uid=uid, n=number)) for p in places]
                squatter = None
                if paths:
                    squatter = h.spawn(["runuser", "-u", "nobody", "--", python, "-c", SQUATTER, *paths],
                                       env=dict(os.environ),
                                       log_path=os.path.join(self.s.logdir, f"squatter{index}.log"))
                    self.addCleanup(h.stop_group, squatter)
                    h.wait_until(lambda: all(os.path.exists(p) for p in paths) or squatter.poll() is not None, 20,
                                 what="the other user's listeners")
                    self.assertIsNone(squatter.poll(), self.s.log(f"squatter{index}"))
                env = {"TMPDIR": tmp, "XDG_RUNTIME_DIR": os.path.join(tmp, runtime) if runtime else ""}
                self.s.program_env = env
                self.s.launch()
                again = h.spawn([self.s.program_path], env={**self.s.env(), **env}) if one_program else None
                self.addCleanup(h.stop_group, again)
                again_status = exit_status(again) if one_program else None
                h.stop_group(squatter)
                self.assertNotIn("knock", self.s.log(f"squatter{index}"), "the other user's listener got no knock")
                if one_program:
                    self.assertEqual(again_status, 0, "a second start hands over")
                    self.assertEqual(self.s.windows(h.MAIN_TITLE), [self.s.main_window], "one program")
                else:
                    self.assertIn(os.path.join(tmp, f"beamlet-{uid}"), self.s.log("beamlet"), "a word on why")
                h.stop_group(self.s.program)


if __name__ == "__main__":
    h.main()
