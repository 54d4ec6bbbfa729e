#!/usr/bin/env python3
"""Typed text to the clipboard, and the copy notification's cycle on the real screen."""

import ctypes
import os
import sys
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import harness as h  # noqa: E402
from harness import H, I, FIVE, ZERO, L  # noqa: E402


def identity(path):
    st = os.stat(path)
    return st.st_ino, st.st_mtime_ns, st.st_size


class CopyTest(h.SessionTestCase):

    def test_the_notification_rises_rests_and_sinks_once_however_often_one_copies(self):
        w, hgt, _ = self.screen
        bottom, rest_top = hgt - L["notificationGaps"][1], hgt - L["notificationGaps"][1] - L["notificationRise"]
        self.s.click_rect(L["typingBox"])
        self.s.type_text("Hi")
        self.assertEqual(self.s.tone_files(), [], "tone.wav is written on the first arrival, not before")
        with h.Track(self.s, lambda probe: probe.visible(h.NOTIFY_TITLE)) as track:
            self.assertEqual(self.s.get_code(), H + I)
            tone = h.wait_until(self.s.tone_files, 10, what="tone.wav to be written on arrival")
            arrived = time.monotonic()
            written = {p: identity(p) for p in tone}
            wid = h.wait_until(self.s.notification, 5, what="the notification")
            self.assertIn("_NET_WM_STATE_ABOVE", self.s.run(["xprop", "-id", str(wid), "_NET_WM_STATE"]).stdout)
            # A second copy while it rests neither restarts nor lengthens the cycle, nor plays again.
            time.sleep(1)  # into the rest, which is measured below
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
