#!/usr/bin/env python3
"""Typed text to the clipboard, and the copy notification's cycle on the real screen."""

import ctypes
import os
import re
import shutil
import sys
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import harness as h  # noqa: E402
from harness import H, I, FIVE, ZERO, L  # noqa: E402


def identity(path):
    st = os.stat(path)
    return st.st_ino, st.st_mtime_ns, st.st_size


RESTING_OPACITY = 235 * 0x01010101  # 235/255 in every byte, as the window manager reads it


class CopyTest(h.SessionTestCase):

    def test_the_notification_rises_rests_and_sinks_once_however_often_one_copies(self):
        w, hgt, _ = self.screen
        bottom, rest_top = hgt - L["notificationGaps"][1], hgt - L["notificationGaps"][1] - L["notificationRise"]
        self.s.click_rect(L["typingBox"])
        self.s.type_text("Hi")
        self.assertEqual(self.s.tone_files(), [], "tone.wav is written on the first arrival, not before")
        # Each sample: the notification's id, its place and its opacity as the X server holds them.
        with h.Track(self.s, lambda probe: [(*v, probe.opacity(v[0])) for v in probe.visible(h.NOTIFY_TITLE)]) \
                as track:
            self.assertEqual(self.s.get_code(), H + I)
            tone = h.wait_until(self.s.tone_files, 10, what="tone.wav to be written on arrival")
            arrived = time.monotonic()
            written = {p: identity(p) for p in tone}
            wid = h.wait_until(self.s.notification, 5, what="the notification")
            self.assertTrue(self.s.above_others(wid), "kept above the other windows")
            # The fade goes on after the rise and must reach the X server though nothing else
            # happens on the connection: it would stop where the rise ended (a copy's own
            # traffic would let it through, so this comes first).
            def opacity():
                return next((found[0][2] for _, found in track.samples[-1:] if found), None)

            try:
                h.wait_until(lambda: opacity() == RESTING_OPACITY, 2.5, 0.01, what="the opacity at rest")
            except AssertionError:
                self.fail(f"the resting notification's opacity stays at {opacity():#x}, not {RESTING_OPACITY:#x}")
            # A second copy while it rests neither restarts nor lengthens the cycle, nor plays again.
            self.assertEqual(self.s.get_code(), H + I)
            h.wait_until(lambda: track.samples[-1][0] > arrived + 1.5 and not track.samples[-1][1], 15,
                         what="the notification to go away")

        seen = [(t, found) for t, found in track.samples if found]
        self.assertEqual({len(found) for _, found in seen}, {1}, "one notification at a time")
        self.assertEqual(len({found[0][0] for _, found in seen}), 1, "one cycle, one window")
        self.assertEqual({found[0][1][2:] for _, found in seen}, {h.NOTIFY_SIZE})
        self.assertEqual({found[0][1][0] for _, found in seen}, {w - L["notificationGaps"][0]}, "kept to the right")
        times, tops = [t for t, _ in seen], [found[0][1][1] for _, found in seen]
        arrive, leave = tops.index(rest_top), len(tops) - 1 - tops[::-1].index(rest_top)
        self.assertEqual(min(tops), rest_top)
        # Seen first and last near the bottom edge (the window manager may keep 4 px of the 11 on screen).
        self.assertTrue(bottom - 21 <= tops[0] <= bottom and tops[-1] >= bottom - 21, (tops[0], tops[-1]))
        self.assertEqual(tops[:arrive + 1], sorted(tops[:arrive + 1], reverse=True), "the rise never goes down")
        self.assertEqual(tops[leave:], sorted(tops[leave:]), "the descent never goes up")
        self.assertEqual(set(tops[arrive:leave + 1]), {rest_top}, "it keeps still while resting")
        self.assertGreaterEqual(min(len(set(tops[:arrive])), len(set(tops[leave:]))), 10, "animated in small steps")
        rise, rest, descent = times[arrive] - times[0], times[leave] - times[arrive], times[-1] - times[leave]
        self.assertTrue(4.5 <= rest <= 6.5, f"rested {rest:.2f}s, wanted about 5s")
        self.assertTrue(0.2 <= rise <= 2.0 and 0.2 <= descent <= 2.0, f"rose in {rise:.2f}s, sank in {descent:.2f}s")
        self.assertEqual({p: identity(p) for p in self.s.tone_files()}, written, "a second copy arrived again")
        opacities = [found[0][2] for _, found in seen]
        self.assertEqual(opacities[:leave + 1], sorted(opacities[:leave + 1]), "the fade never goes back")
        self.assertGreaterEqual(len(set(opacities[:arrive])), 10, "faded in in small steps")
        self.assertEqual(opacities[leave], RESTING_OPACITY, "the opacity when the descent starts")
        self.assertEqual(h.read(tone[0]), h.read(h.TONE_SOURCE))

    def test_each_copy_puts_the_exact_code_on_the_clipboard_by_one_owner_change(self):
        # Clearing before setting shows as two changes (to nobody, then to the program),
        # which under XWayland lets the compositor grab the clipboard in between.
        watch = SelectionOwnerWatch(self.s.display)
        self.addCleanup(watch.close)
        for text, code in (("Hi", H + I), ("50%", FIVE + ZERO), ("", b""), ("i5H", I + FIVE + H)):
            with self.subTest(text=text):
                self.s.click_rect(L["typingBox"])
                self.s.type_text(text)
                watch.owners()
                self.s.click_rect(L["getCodeButton"])
                h.wait_until(lambda: self.s.clipboard() == code, 5, 0.01, what="Get Code to put the code there")
                owners = watch.owners()
                self.assertEqual(len(owners), 1, f"owner changes: {owners}")
                self.assertNotEqual(owners[0], 0, "the program owns the clipboard")


def root_screenshot(session, path):
    """Rows of RGB bytes of the whole screen as a user's screenshot tool takes it, also kept in path."""
    raw = session.run(["import", "-window", "root", "-depth", "8", "ppm:-"], timeout=20, text=False).stdout
    with open(path, "wb") as f:
        f.write(raw)
    header = re.match(rb"P6\s+(\d+)\s+(\d+)\s+255\s", raw)  # then the pixels, whose first byte may be a blank
    if not header:
        raise AssertionError(f"unexpected screenshot format: {raw[:20]!r}")
    width, height, pixels = int(header[1]), int(header[2]), raw[header.end():]
    return [pixels[3 * width * y:3 * width * (y + 1)] for y in range(height)]


class CompositedNotificationTest(h.SessionTestCase):
    """What the user sees of the resting notification under a compositing manager."""

    compositor = ["xcompmgr"]
    start_program = False  # the desktop's colour is set first
    desktop = (0x20, 0x50, 0x90)

    def setUp(self):
        missing = [t for t in ("xcompmgr", "hsetroot", "import") if shutil.which(t) is None]
        if missing:
            self.skipTest("not installed: " + ", ".join(missing))
        super().setUp()

    def test_the_resting_notification_shows_at_235_of_255_over_the_desktop(self):
        # The compositing manager paints the desktop from the root's background picture.
        self.s.run(["hsetroot", "-solid", "#%02x%02x%02x" % self.desktop])
        self.s.launch()
        self.s.click_rect(L["getCodeButton"])
        wid = self.s.resting_notification()
        x, y, width, height = self.s.geometry(wid)
        row = height * 2 // 3  # across the picture, below the close control
        # Its own pixels: a redirected window keeps them apart from what the screen shows.
        bgr = self.s.probe().image(0, row, width, 1, wid)
        own = bytes(b for i in range(0, len(bgr), 3) for b in bgr[i:i + 3][::-1])  # in the screenshot's order
        self.assertGreater(len({own[i:i + 3] for i in range(0, len(own), 3)}), 1, "the notification is painted")

        def shown(alpha):
            """The row as a compositing manager shows it at this opacity over the desktop."""
            return [round((o * alpha + self.desktop[i % 3] * (255 - alpha)) / 255) for i, o in enumerate(own)]

        expected, shot = shown(235), []

        def matches():
            # Left in the session's folder (kept with BEAMLET_E2E_KEEP=1) to look at.
            shot[:] = root_screenshot(self.s, os.path.join(self.s.tmp, "composited.ppm"))
            return max(abs(a - b) for a, b in zip(shot[y + row][3 * x:3 * (x + width)], expected)) <= 3

        try:
            h.wait_until(matches, 2.5, 0.1, what="the resting notification at 235/255 on the screen")
        except AssertionError:
            on_screen = shot[y + row][3 * x:3 * (x + width)]
            alpha = min(range(256), key=lambda a: sum(abs(p - q) for p, q in zip(on_screen, shown(a))))
            self.assertEqual(self.s.geometry(wid), (x, y, width, height), "the notification still rests")
            self.fail(f"the resting notification shows at about {alpha}/255 over the desktop, not 235/255")
        self.assertEqual(tuple(shot[y + row][3 * (x - 20):3 * (x - 19)]), self.desktop, "the desktop beside it")


class SelectionOwnerWatch:
    """Every change of the clipboard's owner, as the X server's XFixes extension reports it."""

    def __init__(self, display):
        x = self.x = h.XProbe.xlib()
        fixes = ctypes.CDLL("libXfixes.so.3")
        P, I_ = ctypes.c_void_p, ctypes.POINTER(ctypes.c_int)
        x.XSync.argtypes, x.XPending.argtypes, x.XNextEvent.argtypes = [P, ctypes.c_int], [P], [P, P]
        fixes.XFixesQueryExtension.argtypes = fixes.XFixesQueryVersion.argtypes = [P, I_, I_]
        fixes.XFixesSelectSelectionInput.argtypes = [P, ctypes.c_ulong, ctypes.c_ulong, ctypes.c_ulong]
        self.dpy = x.XOpenDisplay(display.encode())
        base, error_base, major, minor = ctypes.c_int(), ctypes.c_int(), ctypes.c_int(5), ctypes.c_int(0)
        if not self.dpy or not fixes.XFixesQueryExtension(self.dpy, ctypes.byref(base), ctypes.byref(error_base)):
            raise h.SessionError("no display with XFixes")
        fixes.XFixesQueryVersion(self.dpy, ctypes.byref(major), ctypes.byref(minor))
        self.notify = base.value  # XFixesSelectionNotify
        fixes.XFixesSelectSelectionInput(self.dpy, x.XDefaultRootWindow(self.dpy),
                                         x.XInternAtom(self.dpy, b"CLIPBOARD", 0), 1)  # SetSelectionOwnerNotifyMask
        x.XSync(self.dpy, 0)

    def owners(self):
        """The owners set since the last call (0 for nobody), in order, as of a round trip now."""
        self.x.XSync(self.dpy, 0)
        found, event = [], (ctypes.c_ulong * 24)()  # XFixesSelectionNotifyEvent: type, ..., owner at [6]
        while self.x.XPending(self.dpy):
            self.x.XNextEvent(self.dpy, event)
            if event[0] & 0xFFFFFFFF == self.notify:
                found.append(event[6])
        return found

    def close(self):
        if self.dpy:
            self.x.XCloseDisplay(self.dpy)
            self.dpy = None


if __name__ == "__main__":
    h.main()
