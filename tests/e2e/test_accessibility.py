#!/usr/bin/env python3
"""The program as a screen reader finds it, through AT-SPI alone (xdotool only
types): every control that takes the focus has a name; Get Code pressed through
its action copies, and the notification that shows is announced with its message;
the About and Contact panels read out their words, a link opens its target, a tile
of Emotions copies its grid and the preview takes its name; the mini window's
typing box has a name too.

Runs on a session bus of its own (dbus-run-session) with the accessibility bus
started on it, so nothing reaches the user's desktop. pyatspi is Debian's, made
for Debian's python3: a run under another interpreter starts again under that one.
"""

import importlib.util
import json
import os
import shutil
import sys

DEBIAN_PYTHON = "/usr/bin/python3"
BUS_LAUNCHER = "/usr/libexec/at-spi-bus-launcher"
SKIP = 77


def enter_own_bus():
    if importlib.util.find_spec("pyatspi") is None:
        if os.path.realpath(sys.executable) != os.path.realpath(DEBIAN_PYTHON) and os.access(DEBIAN_PYTHON, os.X_OK) \
                and not os.environ.get("BEAMLET_A11Y_INTERPRETER"):
            os.execve(DEBIAN_PYTHON, [DEBIAN_PYTHON, *sys.argv], {**os.environ, "BEAMLET_A11Y_INTERPRETER": "1"})
        print("skipping: not installed: python3-pyatspi")
        sys.exit(SKIP)
    missing = [t for t in ("dbus-run-session",) if shutil.which(t) is None]
    missing += [] if os.access(BUS_LAUNCHER, os.X_OK) else [BUS_LAUNCHER + " (at-spi2-core)"]
    if missing:
        print("skipping: not installed: " + ", ".join(missing))
        sys.exit(SKIP)
    if not os.environ.get("BEAMLET_A11Y_BUS"):
        os.execvpe("dbus-run-session", ["dbus-run-session", "--", sys.executable, *sys.argv],
                   {**os.environ, "BEAMLET_A11Y_BUS": "1"})


if __name__ == "__main__":
    enter_own_bus()

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import harness as h  # noqa: E402
from harness import H, I  # noqa: E402

MESSAGE = ("Your text has been copied to the clipboard. "
           "Paste it into your friend's chat box with Ctrl+V and send it with the Enter key.")
MAKER = os.path.join(h.HERE, "..", "..", "assets", "data", "maker.json")
FAKE_OPENER = """#!/bin/sh
printf '%s\\n' "$*" >> "$(dirname "$0")/opened.log"
"""
TILE = 6

atspi = GLib = launcher = None
events = []


def setUpModule():
    global atspi, GLib, launcher
    env = {k: v for k, v in os.environ.items() if k != "DISPLAY"}
    launcher = h.spawn([BUS_LAUNCHER, "--launch-immediately"], env=env)
    from gi.repository import Gio, GLib as glib
    session = Gio.bus_get_sync(Gio.BusType.SESSION)
    h.wait_until(lambda: session.call_sync(
        "org.freedesktop.DBus", "/org/freedesktop/DBus", "org.freedesktop.DBus", "NameHasOwner",
        glib.Variant("(s)", ("org.a11y.Bus",)), None, Gio.DBusCallFlags.NONE, 5000, None).unpack()[0],
        20, what="the accessibility bus")
    import pyatspi
    atspi, GLib = pyatspi, glib

    def note(event):
        try:
            events.append((event.type, event.detail1, event.source.getRole(), event.source.name or ""))
        except Exception:  # the source may already be gone
            pass
    # What a screen reader listens for (Qt 6.4 sends no window:create, and drops
    # alerts); the program reads the list when it starts.
    for kind in ("object:state-changed:showing", "object:property-change:accessible-name"):
        atspi.Registry.registerEventListener(note, kind)


def tearDownModule():
    h.stop_group(launcher)


def pump():
    context = GLib.MainContext.default()
    while context.pending():
        context.iteration(False)


def wait(predicate, timeout=20, what="condition"):
    def pumped():
        pump()
        return predicate()
    return h.wait_until(pumped, timeout, 0.05, what)


def tree(node):
    yield node
    for i in range(node.childCount):
        child = node.getChildAtIndex(i)
        if child is not None:
            yield from tree(child)


def has(node, state):
    return node.getState().contains(state)


def find(root, role, name=None):
    return next((n for n in tree(root) if n.getRole() == role and (name is None or n.name == name)), None)


def describe(node):
    return f"{node.getRoleName()} {node.name!r} in {node.parent.getRoleName()} {node.parent.name!r}"


class AccessibilityTest(h.SessionTestCase):
    fake_tools = {"xdg-open": FAKE_OPENER}

    def setUp(self):
        self.program_env = {"DBUS_SESSION_BUS_ADDRESS": os.environ["DBUS_SESSION_BUS_ADDRESS"],
                            "QT_LINUX_ACCESSIBILITY_ALWAYS_ON": "1"}
        del events[:]
        super().setUp()
        pid = self.s.program.pid
        self.app = wait(lambda: next((a for a in atspi.Registry.getDesktop(0)
                                      if a is not None and a.get_process_id() == pid), None),
                        what="the program on the accessibility bus")
        self.app.set_cache_mask(0)  # names change under us: always ask the program
        self.main = wait(lambda: find(self.app, atspi.ROLE_FRAME, h.MAIN_TITLE)
                         or find(self.app, atspi.ROLE_FILLER, h.MAIN_TITLE), what="the main window")

    def press(self, node):
        """Presses a control through its action, as a screen reader's user does."""
        action = node.queryAction()
        names = wait(lambda: [action.getName(i) for i in range(action.nActions)].count("Press") and
                     [action.getName(i) for i in range(action.nActions)], 10, f"{describe(node)} to offer Press")
        action.doAction(names.index("Press"))

    def button(self, name, root=None):
        return wait(lambda: find(root or self.main, atspi.ROLE_PUSH_BUTTON, name), 10, f"the {name} button")

    def assert_focusable_named(self, root):
        unnamed = [describe(n) for n in tree(root) if has(n, atspi.STATE_FOCUSABLE) and not n.name.strip()]
        self.assertEqual(unnamed, [], "controls that take the focus without a name")

    def test_what_a_mouse_user_can_do_a_screen_reader_user_can(self):
        # One program start for everything: checks that fail alone do not hide the others.
        with self.subTest("every focusable control is named"):
            self.assert_focusable_named(self.main)

        box = wait(lambda: find(self.main, atspi.ROLE_TEXT), what="the typing box")
        box.queryComponent().grabFocus()
        wait(lambda: has(box, atspi.STATE_FOCUSED), 10, "the typing box to take the focus")
        self.s.type_text("Hi")
        wait(lambda: box.queryText().getText(0, -1) == "Hi", 10, "the typed text in the typing box")
        self.assertEqual(self.s.copied_by(lambda: self.press(self.button("Get Code"))), H + I)

        with self.subTest("the notification reads out its message"):
            note = wait(lambda: find(self.app, atspi.ROLE_NOTIFICATION), 10, "a notification on the bus")
            self.assertEqual(note.name, MESSAGE)
            # What Orca presents a notification on: its showing.
            wait(lambda: ("object:state-changed:showing", 1, atspi.ROLE_NOTIFICATION, MESSAGE) in events, 10,
                 "the notification's showing event")

        self.check_panels()

        with self.subTest("the mini window's typing box is named"):
            self.press(self.button("Switch to the mini window"))
            mini = wait(lambda: next((w for w in (self.app.getChildAtIndex(i) for i in range(self.app.childCount))
                                      if w is not None and w.name == h.MAIN_TITLE and has(w, atspi.STATE_SHOWING)
                                      and w.getIndexInParent() != self.main.getIndexInParent()), None),
                        10, "the mini window")
            self.assertEqual([n.name for n in tree(mini) if n.getRole() == atspi.ROLE_TEXT], ["Typing box"])
            self.assert_focusable_named(mini)

    def check_panels(self):
        with open(MAKER, encoding="utf-8") as f:
            maker = json.load(f)
        links = maker["links"]

        with self.subTest("the About panel reads out its words"):
            self.press(self.button("About"))
            about = wait(lambda: find(self.main, atspi.ROLE_PANEL, "About"), 10, "the About panel")
            self.assertTrue(about.description.startswith("Orvane Beamlet\n"), about.description)
            self.assertIn("\nAbout the programmer\n", about.description)
            self.assert_focusable_named(self.main)

        self.press(self.button("Contact Me"))
        with self.subTest("the Contact panel reads out its words"):
            contact = wait(lambda: find(self.main, atspi.ROLE_PANEL, "Contact Me"), 10, "the Contact panel")
            shown = [f"Website: {links['website']['caption']}", f"Address: {maker['address']}",
                     f"E-mail: {maker['email']}", f"Mobile: {maker['mobile']}",
                     f"Facebook Fan Page: {links['fanpage']['caption']}"]
            self.assertEqual([line for line in shown if line not in contact.description.split("\n")], [])

        with self.subTest("the links are named by their captions and open their targets"):
            found = wait(lambda: [n for n in tree(self.main) if n.getRole() == atspi.ROLE_LINK], 10, "the links")
            self.assertEqual({n.name for n in found}, {link["caption"] for link in links.values()})
            self.press(find(self.main, atspi.ROLE_LINK, links["website"]["caption"]))
            log = os.path.join(self.s.fakebin, "opened.log")
            wait(lambda: os.path.exists(log), 10, "the link to reach the opener")
            with open(log) as f:
                self.assertEqual(f.read(), links["website"]["target"] + "\n")
            self.assert_focusable_named(self.main)

        self.press(self.button("Emotions"))
        grid = wait(lambda: next((n for n in tree(self.main) if n.childCount == 66), None), 10, "the 66 tiles")
        tile = grid.getChildAtIndex(TILE - 1)
        self.assertEqual(self.s.copied_by(lambda: self.press(tile)), h.catalogue()[TILE])
        with self.subTest("the preview takes the pressed tile's name"):
            panel = grid.parent
            wait(lambda: find(panel, atspi.ROLE_IMAGE, tile.name), 10, f"the preview named {tile.name!r}")
            wait(lambda: ("object:property-change:accessible-name", 0, atspi.ROLE_LABEL, tile.name) in events, 10,
                 "the name label's change event")
            self.assert_focusable_named(panel)


if __name__ == "__main__":
    h.main()
