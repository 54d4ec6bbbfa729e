#!/usr/bin/env python3
"""A first look at the Windows program under Wine, on the private desktops of the
end-to-end tests (Xvfb + openbox + a PulseAudio null sink), read from outside as
those tests read the Linux program: the main window's place and stacking, typed
text copied with Get Code and read back with xclip, the notification's opacity at
rest, the chime recorded from the sound server, a second start handing over, and
the command line through cmd.exe. Prints what it reads; exits 1 at the first
reading that is not as on Linux. Not the test suite: the Wine leg of
tests/e2e reuses the same pieces (WineSession below).

    scripts/windows/wine_smoke.py --exe build-windows/beamlet.exe \\
        --design-dump build/tests/e2e/design_dump [--shots DIR]
"""

import argparse
import os
import shutil
import subprocess
import sys
import time

HERE = os.path.dirname(os.path.abspath(__file__))
E2E = os.path.join(HERE, "..", "..", "tests", "e2e")


class Failed(AssertionError):
    pass


def check(what, value, expected):
    ok = value == expected
    print(f"{'ok ' if ok else 'BAD'} {what}: {value!r}" + ("" if ok else f" (expected {expected!r})"))
    if not ok:
        raise Failed(what)


def wine_session_class(h, exe_dir):
    """harness.Session, with the Windows program in exe_dir (beamlet.exe, beamlet.com)."""

    class WineSession(h.Session):
        """A desktop whose program is the Windows one, run by wine64 in a prefix of its
        own, from a folder of its own on drive C: (so tone.wav goes beside it)."""

        def start(self):
            h._live_sessions.add(self)
            h.XSession.start(self)
            self.fakebin = os.path.join(self.tmp, "fakebin")
            os.makedirs(self.fakebin)
            self.prefix = os.path.join(self.tmp, "wine")
            started = time.monotonic()
            self.run(["wine", "wineboot", "-i"], timeout=300)
            self.prefix_seconds = time.monotonic() - started
            self.bindir = os.path.join(self.prefix, "drive_c", "beamlet")
            os.makedirs(self.bindir)
            for name in ("beamlet.exe", "beamlet.com"):
                shutil.copy2(os.path.join(exe_dir, name), self.bindir)
            self.program_path = os.path.join(self.bindir, "beamlet.exe")

        def env(self):
            env = super().env()
            env.update({"WINEPREFIX": self.prefix, "WINEDEBUG": "-all",
                        # No prompts for Wine's .NET and HTML engines, which nothing here needs.
                        "WINEDLLOVERRIDES": "mscoree,mshtml="})
            return env

        def stop(self):
            if getattr(self, "prefix", None) and self.display:
                subprocess.run(["wineserver", "-k"], env=self.env(), timeout=30, check=False)
            super().stop()

        def launch(self, timeout=60, wrapper=()):
            super().launch(timeout, wrapper=("wine",))


    return WineSession


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--exe", required=True)
    parser.add_argument("--design-dump", required=True)
    parser.add_argument("--shots")
    args = parser.parse_args()
    os.environ["BEAMLET_DESIGN_DUMP"] = os.path.abspath(args.design_dump)
    sys.path.insert(0, E2E)
    import harness as h
    import test_sound

    WineSession = wine_session_class(h, os.path.dirname(os.path.abspath(args.exe)))

    def shot(session, name, geometry):
        if args.shots:
            x, y, w, hgt = geometry
            os.makedirs(args.shots, exist_ok=True)
            session.run(["import", "-window", "root", "-crop", f"{w}x{hgt}+{x}+{y}", "+repage",
                         os.path.join(args.shots, name + ".png")], timeout=30)

    with WineSession(audio=True) as s:
        print(f"prefix made in {s.prefix_seconds:.1f} s")
        started = time.monotonic()
        s.launch()
        print(f"main window painted {time.monotonic() - started:.1f} s after wine started")
        g = s.geometry()
        print(f"main window at {g}")
        check("main window size", tuple(g[2:]), h.MAIN_SIZE)
        state = s.run(["xprop", "-id", str(s.main_window), "_NET_WM_STATE"]).stdout
        check("main window above others", "_NET_WM_STATE_ABOVE" in state, True)

        s.click(300, 200)
        s.type_text("Hi there!")
        time.sleep(0.5)
        s.run(["xdotool", "mousemove", "5", "5"])
        shot(s, "main", g)
        recorder = test_sound.SoundRecorder(s, os.path.join(s.tmp, "chime.wav"))
        mark = recorder.mark()
        copied = s.get_code("Hi")
        print("clipboard:", subprocess.run(["od", "-c"], input=copied, capture_output=True).stdout.decode())
        check("Get Code of Hi", copied, h.H + h.I)
        n = s.resting_notification()
        # The fade goes on a little once the window has risen to its place.
        try:
            h.wait_until(lambda: s.probe().opacity(n) == 0xEBEBEBEB, 3, 0.01, "the opacity at rest")
        except AssertionError:
            pass
        check("notification opacity at rest", hex(s.probe().opacity(n) or 0), hex(0xEBEBEBEB))
        shot(s, "notification", s.geometry(n))
        h.wait_until(lambda: s.notification() is None, 20, 0.1, "the notification to go")
        time.sleep(1)
        recorder.stop()
        rate, channels, samples = test_sound.read_wav(recorder.path)
        frames = samples[mark // 2:]
        start = test_sound.onset(frames, test_sound.ONSET_LEVEL)
        end = len(frames) - (test_sound.onset(frames[::-1], test_sound.ONSET_LEVEL) or 0)
        heard = (end - (start or 0)) / channels / rate if start is not None else 0
        print(f"chime heard for {heard:.2f} s (the wave is {test_sound.CHIME_FRAMES / rate:.2f} s), "
              f"peak {max(map(abs, frames), default=0)}")
        check("tone.wav beside the program", os.path.exists(os.path.join(s.bindir, "tone.wav")), True)

        # A second start hands over to the running program and ends.
        second = s.run(["wine", s.program_path], timeout=60, check=False)
        check("second start's status", second.returncode, 0)
        check("main windows after a second start", len(s.windows(h.MAIN_TITLE)), 1)

        # The command line, as cmd.exe finds it: beamlet.com before beamlet.exe.
        cli = subprocess.run(["wine", "cmd", "/c", "beamlet", "--code", "Hi"], cwd=s.bindir, env=s.env(),
                             capture_output=True, timeout=60)
        check("cmd /c beamlet --code Hi: output", cli.stdout, h.H + h.I)
        check("cmd /c beamlet --code Hi: status", cli.returncode, 0)
        bad = subprocess.run(["wine", "cmd", "/c", "beamlet", "--emoticon", "99"], cwd=s.bindir, env=s.env(),
                             capture_output=True, timeout=60)
        check("cmd /c beamlet --emoticon 99: status", bad.returncode, 2)
        print("  stderr:", bad.stderr)

        # The mini window and a panel, for the eye.
        if args.shots:
            empty = s.open_panel("aboutButton", "infoPanelOpen")
            s.run(["xdotool", "mousemove", "5", "5"])
            time.sleep(0.3)
            shot(s, "about", s.geometry())
            s.close_panel("aboutOkButton", "infoPanelOpen", empty)
            s.click_rect(h.L["miniWindowButton"])
            mini = h.wait_until(s.mini_window, 10, what="the mini window")
            s.run(["xdotool", "mousemove", "5", "5"])
            time.sleep(0.5)
            shot(s, "mini", s.geometry(mini))

            # Closing the mini window brings the main window back, as on Linux.
            s.close_by_window_manager(mini)
            h.wait_until(s.main_visible, 10, what="the main window back")
        s.close_by_window_manager(s.main_window)
        check("status after a close", s.wait_exit(30), 0)
        check("clipboard after the program ended", s.clipboard(), h.H + h.I)
    print("all as on Linux")


if __name__ == "__main__":
    try:
        main()
    except Failed:
        sys.exit(1)
