"""A private desktop for running the program away from the user's own: a temp
folder with its own HOME and XDG folders, Xvfb (display picked with -displayfd),
openbox on it and, if asked, a PulseAudio server whose only sink is a null sink.

Every process leads a process group of its own and dies with this process
(PR_SET_PDEATHSIG), so a killed run leaves no X server behind. Used by the
end-to-end tests and by the benchmark runner.
"""

import ctypes
import os
import select
import shutil
import signal
import socket
import subprocess
import tempfile
import time


class SessionError(RuntimeError):
    pass


def wait_until(predicate, timeout, interval=0.05, what="condition"):
    """Polls predicate until it returns something truthy; returns that value."""
    deadline = time.monotonic() + timeout
    while True:
        last = predicate()
        if last:
            return last
        if time.monotonic() >= deadline:
            raise AssertionError(f"timed out after {timeout:.1f}s waiting for {what} (last: {last!r})")
        time.sleep(interval)


def die_with_parent():
    # Runs in the child between fork and exec: SIGKILL it when this process dies.
    try:
        ctypes.CDLL(None, use_errno=True).prctl(1, signal.SIGKILL)  # PR_SET_PDEATHSIG
    except OSError:
        pass


def spawn(cmd, env, log_path=None, pass_fds=(), stdin=subprocess.DEVNULL):
    out = open(log_path, "ab") if log_path else subprocess.DEVNULL
    try:
        return subprocess.Popen(cmd, env=env, stdin=stdin, stdout=out, stderr=out, pass_fds=pass_fds,
                                start_new_session=True, preexec_fn=die_with_parent)
    finally:
        if log_path:
            out.close()


def _exited(pid):
    """Whether a child has exited, without reaping it: until reaped, its pid stays its own."""
    try:
        return os.waitid(os.P_PID, pid, os.WEXITED | os.WNOHANG | os.WNOWAIT) is not None
    except ChildProcessError:
        return True


def stop_group(proc, grace=2.0):
    # Once reaped, a child's pid (and so its group id) may be reused, even by a
    # thread of this process: never signal a group whose leader is gone.
    if proc is None or proc.returncode is not None:
        return
    try:
        os.killpg(proc.pid, signal.SIGTERM)
    except (ProcessLookupError, PermissionError):
        pass
    deadline = time.monotonic() + grace
    while not _exited(proc.pid) and time.monotonic() < deadline:
        time.sleep(0.02)
    # The leader is at worst a zombie, so the group id is still its own: the
    # rest of the group (forked helpers too) goes now.
    try:
        os.killpg(proc.pid, signal.SIGKILL)
    except (ProcessLookupError, PermissionError):
        pass
    try:
        proc.wait(timeout=grace)
    except subprocess.TimeoutExpired:
        pass


class XSession:
    """Xvfb + openbox (+ PulseAudio with a null sink) in a private temp folder."""

    def __init__(self, screen=(1280, 1024, 24), audio=False, prefix="xsession-", keep=False):
        self.screen, self.audio, self.prefix, self.keep = screen, audio, prefix, keep
        self.tmp = self.display = self.xvfb = self.wm = self.pulse = None

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
        self.tmp = tempfile.mkdtemp(prefix=self.prefix)
        self.home, self.logdir = os.path.join(self.tmp, "home"), os.path.join(self.tmp, "logs")
        self.runtime_dir = os.path.join(self.tmp, "runtime")
        os.makedirs(self.home)
        os.makedirs(self.logdir)
        os.makedirs(self.runtime_dir, mode=0o700)
        self.start_x()
        self.start_wm()
        if self.audio:
            self.start_pulse()

    def stop(self):
        for proc in (self.pulse, self.wm, self.xvfb):
            stop_group(proc)
        self.pulse = self.wm = self.xvfb = None
        if self.tmp and not self.keep:
            shutil.rmtree(self.tmp, ignore_errors=True)

    def env(self):
        """The environment for programs on this desktop."""
        env = {k: v for k, v in os.environ.items() if not k.startswith(("XDG_", "QT_", "WAYLAND_", "DBUS_", "PULSE_"))}
        env.update({
            "DISPLAY": self.display or "",
            "HOME": self.home,
            "XDG_CONFIG_HOME": os.path.join(self.home, ".config"),
            "XDG_CACHE_HOME": os.path.join(self.home, ".cache"),
            "XDG_DATA_HOME": os.path.join(self.home, ".local", "share"),
            "XDG_STATE_HOME": os.path.join(self.home, ".local", "state"),
            "XDG_RUNTIME_DIR": self.runtime_dir,
            # No session bus: nothing may reach the host's desktop.
            "DBUS_SESSION_BUS_ADDRESS": "unix:path=" + os.path.join(self.tmp, "no-bus"),
            "LC_ALL": "C.UTF-8",
        })
        if self.pulse is not None:
            env["PULSE_SERVER"] = "unix:" + self.pulse_socket
        return env

    def run(self, cmd, timeout=10, check=True, text=True):
        try:
            res = subprocess.run(cmd, env=self.env(), capture_output=True, timeout=timeout, text=text)
        except subprocess.TimeoutExpired as e:
            raise SessionError(f"{cmd[0]} timed out after {timeout}s: {cmd}") from e
        if check and res.returncode != 0:
            raise SessionError(f"{cmd} failed ({res.returncode}): {res.stderr!r}")
        return res

    def log(self, name):
        try:
            with open(os.path.join(self.logdir, name + ".log"), "rb") as f:
                return f.read().decode(errors="replace")[-4000:]
        except OSError:
            return ""

    def _spawn(self, cmd, name, **kwargs):
        return spawn(cmd, env=kwargs.pop("env", None) or self.env(),
                     log_path=os.path.join(self.logdir, name + ".log"), **kwargs)

    def _ready(self, proc, name, check):
        def ready():
            if proc.poll() is not None:
                raise SessionError(f"{name} exited: " + self.log(name))
            return check()
        wait_until(ready, 20, what=f"{name} to be ready")

    def start_x(self):
        w, h, depth = self.screen
        read_fd, write_fd = os.pipe()
        try:
            self.xvfb = self._spawn(["Xvfb", "-displayfd", str(write_fd), "-screen", "0", f"{w}x{h}x{depth}",
                                     "-nolisten", "tcp", "-noreset"], "xvfb", env=dict(os.environ),
                                    pass_fds=(write_fd,))
            os.close(write_fd)
            write_fd = None
            number = b""
            while not number.endswith(b"\n"):
                if not select.select([read_fd], [], [], 20)[0]:
                    raise SessionError("Xvfb did not report its display number")
                chunk = os.read(read_fd, 16)
                if not chunk:
                    raise SessionError("Xvfb exited before reporting a display: " + self.log("xvfb"))
                number += chunk
        finally:
            os.close(read_fd)
            if write_fd is not None:
                os.close(write_fd)
        self.display = ":" + number.decode().strip()
        self._ready(self.xvfb, "xvfb", lambda: self.run(["xprop", "-root", "-len", "0", "_NET_SUPPORTED"],
                                                         check=False).returncode == 0)

    def wm_ready(self):
        return "window id #" in self.run(["xprop", "-root", "_NET_SUPPORTING_WM_CHECK"], check=False).stdout

    def start_wm(self):
        self.wm = self._spawn(["openbox", "--sm-disable"], "openbox")
        self._ready(self.wm, "openbox", self.wm_ready)

    def start_pulse(self):
        # Nothing reaches a speaker; what plays can be recorded from the server.
        self.pulse_socket = os.path.join(self.runtime_dir, "pulse-native")
        self.pulse = self._spawn(["pulseaudio", "-n", "--daemonize=no", "--exit-idle-time=-1", "--use-pid-file=no",
                             "-L", "module-null-sink sink_name=null",
                             "-L", f"module-native-protocol-unix auth-anonymous=1 socket={self.pulse_socket}"],
                            "pulseaudio")
        self._ready(self.pulse, "pulseaudio", self._pulse_answers)

    def _pulse_answers(self):
        with socket.socket(socket.AF_UNIX) as s:
            return s.connect_ex(self.pulse_socket) == 0
