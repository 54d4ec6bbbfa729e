#!/usr/bin/env python3
"""The program survives a hostile setting: a folder it cannot write, odd things where
its sound file goes, no sound server, no GStreamer plugins, other programs on the
clipboard, other screen sizes. Each test ends the program by its close image."""

import os
import shutil
import signal
import sys
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import harness as h  # noqa: E402

TONE_SOURCE = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "assets", "sound", "tone.wav")
with open(TONE_SOURCE, "rb") as _f:
    TONE = _f.read()
H = b"[[186097158158768]]\x0c"
I = b"[[149883275129464]]\x0c"
NOBODY = 65534


def as_ordinary_user():
    """Command prefix that runs the program as an unprivileged user, [] if we are one, None if we cannot."""
    if os.geteuid() != 0:
        return []
    if shutil.which("setpriv"):
        return ["setpriv", f"--reuid={NOBODY}", f"--regid={NOBODY}", "--clear-groups", "--"]
    return None


def give_away(session, *paths):
    """Hands the session's private folders to the unprivileged user."""
    os.chmod(session.tmp, 0o755)  # made private by mkdtemp; the user must reach inside
    for top in paths:
        for root, dirs, files in os.walk(top):
            for name in [root, *(os.path.join(root, d) for d in dirs), *(os.path.join(root, f) for f in files)]:
                os.lchown(name, NOBODY, NOBODY)


def read(path):
    with open(path, "rb") as f:
        return f.read()


class FaultTestCase(h.SessionTestCase):
    start_program = False

    def launch(self, wrapper=()):
        self.s.launch(wrapper=wrapper)

    def beside(self):
        return os.path.join(self.s.bindir, "tone.wav")

    def cached(self):
        return os.path.join(self.s.home, ".cache", "Orvane", "beamlet", "tone.wav")

    def copy(self, text="H", expected=H):
        """Types text into the emptied typing box and copies it with Get Code."""
        self.s.click_rect(h.TYPING_BOX)
        self.s.type_text(text)
        got = self.s.copied_by(lambda: self.s.click_rect(h.GET_CODE))
        self.assertEqual(got, expected)

    def cycle(self, written, what="tone.wav to be written on arrival"):
        """One copy and its notification up to the arrival, which `written()` tells; then sends it away."""
        self.copy()
        h.wait_until(written, 10, what=what)
        self.assertIsNotNone(self.s.notification(), "the notification is not on screen")
        time.sleep(0.3)
        self.assertTrue(self.s.alive(), "the program ended at the arrival")
        self.s.dismiss_notification()

    def leftovers(self):
        """Files the program left in its folder besides itself and tone.wav."""
        return sorted(set(os.listdir(self.s.bindir)) - {"beamlet", "tone.wav"})

    def close(self):
        self.assertTrue(self.s.alive())
        self.assertEqual(self.s.close_by_image(), 0, "the close image ends the program with status 0")


class SoundFileTest(FaultTestCase):

    def test_read_only_program_folder_sends_the_sound_to_the_cache_folder(self):
        wrapper = as_ordinary_user()
        if wrapper is None:
            self.skipTest("running as root without setpriv: a read-only folder cannot be made")
        self.s.install()
        give_away(self.s, self.s.home, self.s.runtime_dir)
        os.chmod(self.s.bindir, 0o555)
        self.launch(wrapper)
        if wrapper:
            self.assertEqual(os.stat(f"/proc/{self.s.program.pid}").st_uid, NOBODY, "not run as an ordinary user")
        self.cycle(lambda: os.path.exists(self.cached()) and read(self.cached()) == TONE)
        self.assertFalse(os.path.exists(self.beside()))
        self.assertEqual(self.leftovers(), [])
        self.close()

    def test_a_folder_named_tone_wav_sends_the_sound_to_the_cache_folder(self):
        self.s.install()
        os.mkdir(self.beside())
        self.launch()
        with h.NotificationTrack(self.s) as track:
            self.cycle(lambda: os.path.exists(self.cached()) and read(self.cached()) == TONE)
        self.assertTrue(track.seen(), "no notification was shown")
        self.assertTrue(os.path.isdir(self.beside()))
        self.assertEqual(self.leftovers(), [], "a half-written sound file was left behind")
        self.close()

    def test_whatever_stands_at_tone_wav_is_replaced_by_the_sound(self):
        # As an ordinary user where possible: a read-only file only resists such a user.
        wrapper = as_ordinary_user() or []
        self.s.install()
        beside = self.beside()
        elsewhere = os.path.join(self.s.tmp, "elsewhere.wav")
        if wrapper:
            give_away(self.s, self.s.home, self.s.runtime_dir, self.s.bindir)
        self.launch(wrapper)

        def replaced():
            return not os.path.islink(beside) and os.path.isfile(beside) and read(beside) == TONE

        with self.subTest("a longer stale file"):
            with open(beside, "wb") as f:
                f.write(b"stale " * 100_000)
            self.cycle(replaced)
            self.assertEqual(os.path.getsize(beside), h.TONE_SIZE)
        with self.subTest("a read-only file"):
            os.unlink(beside)
            with open(beside, "wb") as f:
                f.write(b"read-only " * 1000)
            os.chmod(beside, 0o444)
            if wrapper:
                os.lchown(beside, NOBODY, NOBODY)
            self.cycle(replaced)
        with self.subTest("a symbolic link"):
            with open(elsewhere, "wb") as f:
                f.write(b"not to be touched")
            os.unlink(beside)
            os.symlink(elsewhere, beside)
            self.cycle(replaced)
            self.assertEqual(read(elsewhere), b"not to be touched", "the sound went through the link")
        self.assertEqual(self.leftovers(), [])
        self.close()


def check_cycles_without_sound(test):
    """A copy runs its whole cycle, rest and descent included, and a later copy runs another."""
    beside = test.beside()
    test.copy()
    h.wait_until(lambda: os.path.exists(beside) and read(beside) == TONE, 10, what="the arrival")
    h.wait_until(lambda: test.s.notification() is None, 10, what="the notification to sink away by itself")
    first = os.stat(beside).st_ino
    test.copy("Hi", H + I)
    h.wait_until(lambda: os.stat(beside).st_ino != first, 10, what="the next arrival")
    test.assertIsNotNone(test.s.notification())
    test.close()


class NoSoundServerTest(FaultTestCase):

    def test_without_a_sound_server(self):
        self.s.program_env["PULSE_SERVER"] = "unix:" + os.path.join(self.s.tmp, "no-such-server")
        self.launch()
        check_cycles_without_sound(self)


class NoGStreamerTest(FaultTestCase):
    # A sound server is there, so that only the plugins are missing.
    audio = h.audio_available()

    def test_without_gstreamer_plugins(self):
        empty = os.path.join(self.s.tmp, "no-plugins")
        os.mkdir(empty)
        for name in ("GST_PLUGIN_PATH", "GST_PLUGIN_SYSTEM_PATH", "GST_PLUGIN_PATH_1_0", "GST_PLUGIN_SYSTEM_PATH_1_0"):
            self.s.program_env[name] = empty
        # A registry of its own, so plugins known from an earlier run are not used either.
        self.s.program_env["GST_REGISTRY_1_0"] = os.path.join(self.s.tmp, "gst-registry.bin")
        self.launch()
        check_cycles_without_sound(self)


class ClipboardTest(FaultTestCase):

    def test_other_programs_come_and_go_on_the_clipboard(self):
        self.launch()
        # copy() first puts another program's text on the clipboard; Get Code takes it over.
        self.copy()
        other = self.s.set_clipboard(b"another program's text")
        time.sleep(0.2)
        self.assertTrue(self.s.alive())
        other.send_signal(signal.SIGTERM)
        other.wait(timeout=5)
        h.wait_until(lambda: self.s.clipboard() is None, 5, what="the clipboard to be left without owner")
        self.copy("Hi", H + I)
        self.close()


class ScreenTestMixin:
    start_program = True

    def test_every_window_is_wholly_on_the_screen(self):
        w, hgt, _ = self.screen

        def on_screen(g):
            return g.x >= 0 and g.y >= 0 and g.x + g.width <= w and g.y + g.height <= hgt

        main = self.s.main_geometry()
        self.assertEqual(main.size, h.MAIN_SIZE)
        self.assertTrue(on_screen(main), main)

        with h.NotificationTrack(self.s) as track:
            self.copy()
            h.wait_until(self.s.tone_files, 10, what="the notification to arrive")
            time.sleep(0.1)
        risen = min((s.windows[0][1] for s in track.seen()), key=lambda g: g.y)
        self.assertEqual(risen.size, h.NOTIFY_SIZE)
        self.assertTrue(on_screen(risen), risen)

        self.s.click_rect(h.MINI_LOADER)
        mini_id, mini = h.wait_until(self.s.mini_window, 5, what="the mini window")
        self.assertTrue(on_screen(mini), mini)
        self.s.press_back(mini_id)
        self.close()


class Screen1366Test(ScreenTestMixin, FaultTestCase):
    screen = (1366, 768, 24)


class Screen1920Test(ScreenTestMixin, FaultTestCase):
    screen = (1920, 1080, 24)


if __name__ == "__main__":
    h.main()
