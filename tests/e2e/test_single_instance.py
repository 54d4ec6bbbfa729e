#!/usr/bin/env python3
"""One program per user and display: a second start brings the running window
forward and ends; a killed program's files do not stop the next start; another
display gets its own program; starts wait a while for a stopped program, then one
takes its place; another user's files, or a full runtime folder, never give a
second program."""

import os
import shutil
import signal
import socket
import stat
import subprocess
import sys
import tempfile
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import harness as h  # noqa: E402
from harness import L  # noqa: E402


class SingleInstanceTest(h.SessionTestCase):

    def start_again(self, session=None, **env):
        """Starts the program once more on a session; returns its exit status."""
        session = session or self.s
        res = subprocess.run(self.s.command(), env={**session.env(), **env}, capture_output=True, timeout=60)
        return res.returncode

    def active(self):
        return int(self.s.xdotool("getactivewindow", check=False).strip() or 0)

    def spawn_start(self, name, env=None):
        """Starts the program once more in the background; its output goes to logs/<name>.log."""
        proc = h.spawn(self.s.command(), env=env or self.s.env(),
                       log_path=os.path.join(self.s.logdir, name + ".log"))
        self.addCleanup(h.stop_group, proc)
        return proc

    def sockets(self):
        paths = (os.path.join(self.s.runtime_dir, n) for n in os.listdir(self.s.runtime_dir))
        return [p for p in paths if stat.S_ISSOCK(os.lstat(p).st_mode)]

    def test_a_second_start_brings_the_showing_window_forward(self):
        # removed: the lock and the socket were removed from under the running program
        # (Linux only: on Windows the program's names are kernel objects, which nobody removes).
        for mini, removed in ((False, False), (True, False), *([] if h.on_windows() else [(True, True)])):
            with self.subTest(mini=mini, removed=removed):
                if mini and not self.s.mini_window():
                    self.s.click_rect(L["miniWindowButton"])
                    h.wait_until(self.s.mini_window, 10, what="the mini window")
                if removed:
                    for name in os.listdir(self.s.runtime_dir):
                        os.unlink(os.path.join(self.s.runtime_dir, name))
                    h.wait_until(lambda: len(os.listdir(self.s.runtime_dir)) == 2, 10, what="lock and socket made again")
                shown = self.s.mini_window() if mini else self.s.main_window
                self.s.minimize(shown)
                self.assertEqual(self.start_again(), 0)
                h.wait_until(lambda: self.active() == shown, 10, what="the showing window to come forward")
                self.assertEqual(self.s.windows(h.MAIN_TITLE), [shown], "one window shows, and only one")

    def test_a_killed_program_does_not_stop_the_next_start(self):
        # Whether the killed program's process id now belongs to another live beamlet
        # (here one reading standard input), as a recycled id may. Linux only: a killed
        # Windows program's mutex is abandoned and its pipe gone, whatever its id.
        for recycled in (False,) if h.on_windows() else (False, True):
            with self.subTest(recycled=recycled):
                if not h.on_windows():
                    sockets = self.sockets()
                    self.assertEqual(len(sockets), 1, sockets)
                    self.assertEqual(stat.S_IMODE(os.stat(sockets[0]).st_mode) & 0o077, 0,
                                     "the socket is the user's alone")
                self.s.program.send_signal(signal.SIGKILL)
                self.s.wait_exit(10)
                if recycled:
                    other = h.spawn(self.s.command("--code", "-"), self.s.env(), stdin=subprocess.PIPE)
                    self.addCleanup(other.stdin.close)
                    self.addCleanup(h.stop_group, other)
                    lock = os.path.join(self.s.runtime_dir, f"beamlet-{self.s.display}.lock")
                    with open(lock, "w") as f:  # as Qt's lock files name their owner
                        f.write(f"{other.pid}\nbeamlet\n{socket.gethostname()}\n")
                began = time.monotonic()
                self.s.launch()
                sys.stderr.write(f"\nwindow {time.monotonic() - began:.2f} s after the start (recycled id: {recycled})\n")
                self.assertLess(time.monotonic() - began, 5, "the start did not wait for the other live process")
                # It took over the socket left behind: a later start hands over to it.
                self.assertEqual(self.start_again(), 0)
                self.assertEqual(self.s.windows(h.MAIN_TITLE), [self.s.main_window])

    def test_another_display_gets_its_own_program(self):
        # On Windows one program runs per log-on session, whatever display it shows on:
        # under Wine that is the prefix's wineserver, so there a start on another display
        # hands over to the running program.
        with h.XSession(prefix="beamlet-e2e-") as other:
            # The same user and runtime folder (or Wine prefix), another display.
            env = {**other.env(), "XDG_RUNTIME_DIR": self.s.runtime_dir,
                   **(h.wine_env(self.s.prefix) if h.on_windows() else {})}
            program = h.spawn(self.s.command(), env=env, log_path=os.path.join(other.logdir, "beamlet.log"))

            def shown():
                return other.run(["xdotool", "search", "--onlyvisible", "--name", f"^{h.MAIN_TITLE}$"],
                                 check=False).stdout.strip()
            try:
                if h.on_windows():
                    self.assertEqual(exit_status(program), 0, "the start hands over and ends")
                    self.assertFalse(shown(), "a window on the other display")
                else:
                    h.wait_until(shown, 20, what="a window on the other display")
                    self.assertIsNone(program.poll())
            finally:
                h.stop_group(program)
        self.assertTrue(self.s.alive())

    @h.linux_only("display names are X11's; the Windows program keys on the log-on session")
    def test_every_spelling_of_the_display_names_one_program(self):
        number = self.s.display.lstrip(":")
        for spelling in (f":{number}.0", f"unix:{number}", f"unix/:{number}"):
            with self.subTest(display=spelling):
                start = self.spawn_start("again", {**self.s.env(), "DISPLAY": spelling})
                self.assertEqual(exit_status(start), 0, "the start hands over and ends")
                self.assertEqual(self.s.windows(h.MAIN_TITLE), [self.s.main_window])

    @h.linux_only("not driven under Wine yet: it stops the program with SIGSTOP and counts Unix sockets; "
                  "the Windows start replaces a program that takes no knock for 10 s too, which a run that "
                  "suspends beamlet.exe (or a native Windows run) would show")
    def test_starts_against_a_stopped_program_end_with_one_answering_program(self):
        # More starts than the program's queue of waiting knocks holds. They wait a
        # while, then one takes the stopped program's place and the rest hand over to it.
        self.s.program.send_signal(signal.SIGSTOP)
        self.addCleanup(lambda: self.s.alive() and self.s.program.send_signal(signal.SIGCONT))
        starts = [self.spawn_start(f"start{i}") for i in range(12)]
        h.wait_until(lambda: sum(p.poll() is None for p in starts) <= 1, 120, what="all starts but one to end")
        self.assertEqual([p.returncode for p in starts].count(0), len(starts) - 1, "every other start handed over")
        running = next(p for p in starts if p.poll() is None)
        new = h.wait_until(lambda: [w for w in self.s.windows(h.MAIN_TITLE) if w != self.s.main_window], 20,
                           what="the new program's window")
        self.assertEqual(exit_status(self.spawn_start("later")), 0, "the new program answers")
        # Running again, the stopped program sees its place taken and ends.
        self.s.program.send_signal(signal.SIGCONT)
        self.assertEqual(self.s.wait_exit(20), 0)
        self.assertIsNone(running.poll())
        h.wait_until(lambda: self.s.windows(h.MAIN_TITLE) == new, 10, what="one window, the new program's")
        self.assertEqual(len(self.sockets()), 1, "the new program's socket stays")
        self.assertEqual(exit_status(self.spawn_start("last")), 0, "the new program still answers")

    @h.linux_only("Windows has no such signals; its close request is tested below")
    def test_a_signal_to_end_ends_as_the_close_control_does(self):
        # Early: the moment the start has made its lock, before any window.
        lock = os.path.join(self.s.runtime_dir, f"beamlet-{self.s.display}.lock")
        for number, mini, early in ((signal.SIGTERM, False, False), (signal.SIGINT, False, False),
                                    (signal.SIGHUP, False, False), (signal.SIGTERM, True, False),
                                    *[(n, False, True) for n in (signal.SIGTERM, signal.SIGINT, signal.SIGHUP) * 2]):
            with self.subTest(signal=number.name, mini=mini, early=early):
                if early:
                    self.s.program = self.spawn_start("early")
                    h.wait_until(lambda: os.path.exists(lock), 20, 0.0005, what="the start to make its lock")
                elif not self.s.alive():
                    self.s.launch()
                if mini:
                    self.s.click_rect(L["miniWindowButton"])
                    h.wait_until(self.s.mini_window, 10, what="the mini window")
                self.s.program.send_signal(number)
                self.assertEqual(self.s.wait_exit(20), 0, "a clean end")
                self.assertEqual([n for n in os.listdir(self.s.runtime_dir) if n.startswith("beamlet")], [],
                                 "no socket or lock left behind")

    def test_a_close_request_ends_as_the_close_control_does(self):
        if not h.on_windows():
            self.skipTest("Windows only: taskkill's close request (Linux's counterparts are the signals above)")
        # Without /F taskkill asks the program's windows to close; the end of the
        # log-on session tells them it ends, and the system ends the process once
        # they have answered. Either way the copy outlives the program.
        taskkill = ["taskkill", "/im", "beamlet.exe"]
        for mini, request, clean in ((False, taskkill, True), (True, taskkill, True),
                                     (False, ["wineboot", "--end-session"], False)):
            with self.subTest(mini=mini, request=request[0]):
                if not self.s.alive():
                    self.s.launch()
                self.assertEqual(self.s.get_code("Hi"), h.H + h.I)
                if mini:
                    self.s.click_rect(L["miniWindowButton"])
                    h.wait_until(self.s.mini_window, 10, what="the mini window")
                self.s.run(["wine", *request], timeout=60)
                status = self.s.wait_exit(20)
                self.assertEqual(self.s.clipboard(), h.H + h.I, "the clipboard keeps the last copy")
                if clean:
                    self.assertEqual(status, 0, "a clean end")
                else:
                    self.assertIsNotNone(status, "the program ended")


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

    @h.linux_only("Wine runs every program as one account, so no second one can act here; the Windows "
                  "program's mutex and pipe carry the account's SID and admit it alone, which a native "
                  "Windows run with a second account would show")
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
                 ("runtime folder too long for a socket", "x" * 120, (), True),
                 ("runtime folder full, no free inodes", "full inodes", (), True),
                 ("runtime folder full, no free space", "full space", (), True))
        for index, (case, runtime, places, one_program) in enumerate(cases):
            with self.subTest(case=case):
                tmp = tempfile.mkdtemp(prefix="beamlet-shared-")
                self.addCleanup(shutil.rmtree, tmp, True)
                os.chmod(tmp, 0o1777)  # a shared temporary folder, as /tmp is
                if runtime == "open":
                    os.makedirs(os.path.join(tmp, runtime), mode=0o777)
                    os.chmod(os.path.join(tmp, runtime), 0o777)
                elif runtime and runtime.startswith("full"):
                    folder = os.path.join(tmp, runtime)
                    os.makedirs(folder)
                    subprocess.run(["mount", "-t", "tmpfs", "-o", "mode=0700,size=64k,nr_inodes=64", "tmpfs", folder],
                                   check=True)
                    self.addCleanup(subprocess.run, ["umount", "-l", folder])
                    try:  # until the file system says there is no room
                        for n in range(100_000):
                            with open(os.path.join(folder, str(n)), "wb") as f:
                                f.write(b"x" * (1 << 20) if runtime == "full space" else b"")
                    except OSError:
                        pass
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
