#!/usr/bin/env python3
"""Pasting into the typing box when the clipboard is empty or its owner never answers,
and from an ordinary owner."""

import ctypes
import os
import sys
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import harness as h  # noqa: E402

A = b"[[377645498928396]]\x0c"
B = b"[[238748946207039]]\x0c"

SENTINEL = b"sentinel: not copied by beamlet"

# Qt waits this long for a clipboard owner's answer before giving up.
QT_CLIPBOARD_WAIT = 5.0


class SilentOwner:
    """Holds CLIPBOARD and PRIMARY on a connection that is never read, so every
    request for their contents goes unanswered, as with a program that has hung."""

    SELECTIONS = (b"CLIPBOARD", b"PRIMARY")

    def __init__(self, display):
        x = h.XProbe._xlib()
        x.XCreateSimpleWindow.restype = ctypes.c_ulong
        x.XCreateSimpleWindow.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_int, ctypes.c_int,
                                          ctypes.c_uint, ctypes.c_uint, ctypes.c_uint, ctypes.c_ulong,
                                          ctypes.c_ulong]
        x.XSetSelectionOwner.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_ulong, ctypes.c_ulong]
        x.XGetSelectionOwner.restype = ctypes.c_ulong
        x.XGetSelectionOwner.argtypes = [ctypes.c_void_p, ctypes.c_ulong]
        self.x = x
        self.dpy = x.XOpenDisplay(display.encode())
        if not self.dpy:
            raise h.HarnessError(f"cannot open display {display}")
        self.window = x.XCreateSimpleWindow(self.dpy, x.XDefaultRootWindow(self.dpy), 0, 0, 1, 1, 0, 0, 0)
        self.atoms = {name: x.XInternAtom(self.dpy, name, 0) for name in self.SELECTIONS}

    def owner(self, selection):
        return self.x.XGetSelectionOwner(self.dpy, self.atoms[selection])

    def take(self):
        """Takes both selections from whoever holds them (the program, after a copy)."""
        for selection in self.SELECTIONS:
            self.x.XSetSelectionOwner(self.dpy, self.atoms[selection], self.window, 0)  # CurrentTime
            if self.owner(selection) != self.window:
                raise h.HarnessError(f"could not take {selection.decode()}")

    def holds(self, selection):
        return self.owner(selection) == self.window

    def close(self):
        if self.dpy:
            self.x.XCloseDisplay(self.dpy)
            self.dpy = None


class PasteTest(h.SessionTestCase):

    def setUp(self):
        super().setUp()
        self.owner = SilentOwner(self.s.display)
        self.addCleanup(self.owner.close)  # runs before the session stops

    def running(self):
        if not self.s.alive():
            self.fail(f"the program died ({self.s.program.returncode}): {self.s.log('beamlet')}")
        return True

    def answered_box_text(self, timeout):
        """What the typing box shows, copied out by Ctrl+A, Ctrl+C (shortcuts: no token),
        while nobody or the silent owner holds the clipboard.

        The keys queue up behind whatever the program is busy with, so the copy
        also tells when it answers again."""
        self.s.key("ctrl+a", "ctrl+c")
        h.wait_until(lambda: self.running() and not self.owner.holds(b"CLIPBOARD"), timeout, interval=0.01,
                     what="the program to copy the box and take the clipboard")
        return h.wait_until(lambda: self.running() and self.s.clipboard(), 5, interval=0.01,
                            what="the box's text on the clipboard")

    def box_text(self):
        """What the typing box shows, once nobody silent holds the clipboard."""
        return self.s.copied_by(lambda: self.s.key("ctrl+a", "ctrl+c"))

    def get_code(self):
        self.s.set_clipboard(SENTINEL)
        self.s.click_rect(h.GET_CODE)
        h.wait_until(lambda: self.s.clipboard() != SENTINEL, 5, what="Get Code to replace the clipboard")
        return self.s.clipboard()

    def visible_windows(self):
        return set(self.s.xdotool("search", "--onlyvisible", "--pid", self.s.program.pid, check=False).split())

    def paste_while_owner_is_silent(self, paste):
        """Takes the selections, pastes, and returns how long the program stayed busy."""
        self.s.key("ctrl+End")
        self.owner.take()
        started = time.monotonic()
        paste()
        self.assertEqual(self.answered_box_text(timeout=4 * QT_CLIPBOARD_WAIT), b"ab")
        return time.monotonic() - started

    def right_click_menu(self):
        """Right-clicks the box and returns how long its menu took to show."""
        before = self.visible_windows()
        started = time.monotonic()
        self.s.click_rect(h.TYPING_BOX, button=3)
        h.wait_until(lambda: self.visible_windows() - before, 4 * QT_CLIPBOARD_WAIT, interval=0.01,
                     what="the context menu")
        return time.monotonic() - started

    def test_pastes_from_an_empty_or_silent_clipboard_change_nothing(self):
        self.s.click_rect(h.TYPING_BOX)
        self.s.type_text("ab")

        # A fresh display: nobody owns either selection yet.
        self.assertEqual((self.owner.owner(b"CLIPBOARD"), self.owner.owner(b"PRIMARY")), (0, 0))
        self.s.key("ctrl+v")
        self.s.click_rect(h.TYPING_BOX, button=2)
        self.assertEqual(self.answered_box_text(timeout=QT_CLIPBOARD_WAIT), b"ab")

        busy = {}
        busy["Ctrl+V"] = self.paste_while_owner_is_silent(lambda: self.s.key("ctrl+v"))
        busy["middle button"] = self.paste_while_owner_is_silent(
            lambda: self.s.click_rect(h.TYPING_BOX, button=2))
        menu_wait = []

        def paste_from_menu():
            menu_wait.append(self.right_click_menu())
            self.s.key("p")  # the menu's &Paste; typed into the box, it would add a token
            h.wait_until(lambda: self.visible_windows() == {str(self.s.main_window)}, 4 * QT_CLIPBOARD_WAIT,
                         interval=0.01, what="the context menu to close")

        busy["menu Paste"] = self.paste_while_owner_is_silent(paste_from_menu)
        sys.stderr.write(f"\nright click to menu: {menu_wait[0]:.2f}s; busy after a paste by "
                         + ", ".join(f"{way}: {seconds:.2f}s" for way, seconds in busy.items()) + "\n")
        # Building the menu asks the owner nothing; a paste asks it once.
        self.assertLess(menu_wait[0], 2.0)
        for way, seconds in busy.items():
            self.assertLess(seconds, QT_CLIPBOARD_WAIT + 3.0, f"a paste by {way} waited more than once")

        self.owner.close()
        self.assertEqual(self.box_text(), b"ab")
        # Text from another program still goes in, as text alone.
        self.s.key("ctrl+End")
        self.s.set_clipboard(b" pasted")
        self.s.key("ctrl+v")
        self.assertEqual(self.box_text(), b"ab pasted")
        # Last, as the click on Get Code takes the keyboard focus from the box.
        self.assertEqual(self.get_code(), A + B)


if __name__ == "__main__":
    h.main()
