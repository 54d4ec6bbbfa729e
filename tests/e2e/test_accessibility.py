#!/usr/bin/env python3
"""The program as a blind user meets it: Orca itself runs on the private desktop
and the keyboard alone drives the program (xdotool); what Orca says is read from
its debug log's "SPEECH OUTPUT" lines. Each panel is announced once in view with
its title and its words and takes the focus; the emptied typing box says what
went; the two windows are told apart; a link that opens nothing says so; a tile
says where it stands. A few facts no speech shows are read from the accessibility
bus: every control that takes the focus is named, a tile's Press action copies,
and a panel out of view is not showing and its OK does nothing.

Runs on a session bus of its own (dbus-run-session) with a private home and
runtime folder, so that nothing reaches the user's desktop or settings. pyatspi
and Orca are Debian's, made for Debian's python3: a run under another
interpreter starts again under that one.
"""

import importlib.util
import json
import os
import re
import shutil
import subprocess
import sys
import tempfile
import time

DEBIAN_PYTHON = "/usr/bin/python3"
BUS_LAUNCHER = "/usr/libexec/at-spi-bus-launcher"
SKIP = 77


def enter_own_bus():
    if importlib.util.find_spec("pyatspi") is None or importlib.util.find_spec("orca") is None:
        if os.path.realpath(sys.executable) != os.path.realpath(DEBIAN_PYTHON) and os.access(DEBIAN_PYTHON, os.X_OK) \
                and not os.environ.get("BEAMLET_A11Y_INTERPRETER"):
            os.execve(DEBIAN_PYTHON, [DEBIAN_PYTHON, *sys.argv], {**os.environ, "BEAMLET_A11Y_INTERPRETER": "1"})
        print("skipping: not installed: python3-pyatspi, orca")
        sys.exit(SKIP)
    missing = [t for t in ("dbus-run-session",) if shutil.which(t) is None]
    missing += [] if os.access(BUS_LAUNCHER, os.X_OK) else [BUS_LAUNCHER + " (at-spi2-core)"]
    if missing:
        print("skipping: not installed: " + ", ".join(missing))
        sys.exit(SKIP)
    if os.environ.get("BEAMLET_A11Y_BUS"):
        return
    # The bus starts its services (the settings store among them) with its own
    # environment: home and runtime folder must be private before it starts.
    home = tempfile.mkdtemp(prefix="beamlet-a11y-")
    env = {**os.environ, "BEAMLET_A11Y_BUS": "1", "HOME": home, "XDG_RUNTIME_DIR": os.path.join(home, "runtime"),
           **{k: os.path.join(home, d) for k, d in (("XDG_CONFIG_HOME", ".config"), ("XDG_CACHE_HOME", ".cache"),
                                                     ("XDG_DATA_HOME", ".local/share"))}}
    os.mkdir(env["XDG_RUNTIME_DIR"], 0o700)
    sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "scripts"))
    from xsession import die_with_parent
    try:
        status = subprocess.call(["dbus-run-session", "--", sys.executable, *sys.argv], env=env,
                                 preexec_fn=die_with_parent)
    finally:
        shutil.rmtree(home, ignore_errors=True)
    sys.exit(status)


if __name__ == "__main__":
    enter_own_bus()

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import harness as h  # noqa: E402
from harness import L  # noqa: E402

MAKER = os.path.join(h.HERE, "..", "..", "assets", "data", "maker.json")
with open(MAKER, encoding="utf-8") as f:
    MAKER_DATA = json.load(f)
WEBSITE = MAKER_DATA["links"]["website"]
# Orca as its launcher starts it, with its debug log written line by line, and
# without a speech server: what it would say is logged all the same. Started
# under Python's own name, it neither refuses to run beside the user's Orca nor
# stops it.
ORCA = """
import sys
from orca import debug, settings
settings.speechFactoryModules = []
debug.debugLevel = debug.LEVEL_ALL
debug.debugFile = open(sys.argv[1], "w", buffering=1)
from orca import orca
orca.getSettingsManager().activate(None, {"speechServerFactory": ""})
sys.exit(orca.main())
"""
# An accessibility bus that answers late, as on a busy desktop: on a session bus of
# the program's own, it names the real bus (where Orca listens) only when told to.
LATE_BUS = """
import sys
from gi.repository import Gio, GLib
address, bus = sys.argv[1], Gio.bus_get_sync(Gio.BusType.SESSION)
node = Gio.DBusNodeInfo.new_for_xml(\"\"\"<node>
 <interface name="org.a11y.Bus"><method name="GetAddress"><arg type="s" direction="out"/></method></interface>
 <interface name="org.a11y.Status"><property name="IsEnabled" type="b" access="read"/>
  <property name="ScreenReaderEnabled" type="b" access="read"/></interface></node>\"\"\")
for interface in node.interfaces:
    bus.register_object("/org/a11y/bus", interface,
                        lambda c, s, p, i, m, args, call: call.return_value(GLib.Variant("(s)", (address,))),
                        lambda c, s, p, i, name: GLib.Variant("b", True), None)
Gio.bus_own_name_on_connection(bus, "org.a11y.Bus", Gio.BusNameOwnerFlags.NONE, None, None)
GLib.MainLoop().run()
"""
# Stands in for the desktop's opener, once the test puts it in place.
FAKE_OPENER = """#!/bin/sh
printf '%s\\n' "$*" >> "${0%/*}/opened.log"
"""
TILE = 6

# What a blind user does and hears, scene by scene, each from a fresh start with
# the focus in the typing box. A step is (keys, what Orca must say in this order,
# what it must not say), or the name of a check of what no speech shows. Orca
# speaks only the last of focus changes that come fast: where each stop must be
# heard, a step has one key.
SCENES = (
    ("the emptied typing box says what went, whatever emptied it", (
        (["type:Hey", "BackSpace"], ["backspace", "Hey"]),
        (["type:Hey", "Delete"], ["delete", "Removed: Hey"]),
        (["type:Hey", "click:typingBox"], ["Removed: Hey"]),
    )),
    ("the copy is announced", (
        "every_control_is_named",
        (["type:Hi", "shift+Tab", "shift+Tab", "shift+Tab", "space"],
         ["Get Code push button", "notification Your text has been copied to the clipboard"]),
        "hi_is_copied",
    )),
    ("the pack says its instructions and takes the focus; a tile says where it stands", (
        (["shift+Tab", "shift+Tab"], ["Emotions push button"]),
        (["space"], ["Emotions dialog Select a emotion and goto facebook chat box", "Big emoticons",
                     "List with 66 items", "Big Smiley Face"], ["Help push button"]),
        (["Right", "Right"], ["Smiley Face"]),
        (["KP_Enter"], ["list item", "Smiley Face", "3 of 66"]),  # Where Am I
        "a_tile_press_copies",
        (["alt+o"], ["Typing box text"]),
        "the_pack_is_gone",
    )),
    ("About says its words and takes the focus", (
        (["Tab", "Tab"], ["About push button"]),
        (["space"], ["About dialog Orvane Beamlet A Facebook fancy-letters", "About the programmer Name:",
                     "OK push button"], ["Contact Me push button"]),
        (["alt+o"], ["About push button"]),
    )),
    ("Contact says every detail and takes the focus; a link that opens nothing says so", (
        (["Tab", "Tab", "Tab"], ["Contact Me push button"]),
        (["space"], [
            "Contact Me dialog", f"Website: {WEBSITE['caption']}", f"Address: {MAKER_DATA['address']}",
            f"E-mail: {MAKER_DATA['email']}", f"Mobile: {MAKER_DATA['mobile']}", f"{WEBSITE['caption']} link"],
         ["Switch to the mini window push button"]),
        (["Return"], ["alert Link - Orvane Beamlet", f"No program on this computer opens {WEBSITE['target']}.",
                      "OK push button"]),
        "the_message_is_on_screen",
        (["Return"], [f"{WEBSITE['caption']} link"]),
        "an_opener_comes",
        (["Return"], ["return"]),
        "the_link_is_opened",
    )),
    ("the mini window and the main window are told apart", (
        (["Tab", "Tab", "Tab", "Tab"], ["Switch to the mini window push button"]),
        (["space"], ["Orvane Facebook Beamlet mini window frame", "Typing box text"]),
        "every_control_is_named",
        (["Tab"], ["Get Code push button"]),
        (["Tab"], ["List with 45 items"]),
        (["Tab"], ["Back to the main window push button"]),
        (["space"], ["Orvane Facebook Beamlet frame"], ["mini window frame"]),
    )),
)

atspi = None


def tree(node):
    yield node
    for i in range(node.childCount):
        child = node.getChildAtIndex(i)
        if child is not None:
            yield from tree(child)


def has(node, state):
    return node.getState().contains(state)


RECORD = re.compile(r"^\d\d:\d\d:\d\d\.\d+ - ", re.M)


def speech(log, start=0):
    """What Orca has said, from its debug log: one utterance per SPEECH OUTPUT record."""
    with open(log, encoding="utf-8", errors="replace") as f:
        records = RECORD.split(f.read())
    return [" ".join(re.sub(r"' ?[\[{].*$", "", r[len("SPEECH OUTPUT: '"):], flags=re.S).split())
            for r in records if r.startswith("SPEECH OUTPUT: '")][start:]


def in_order(heard, phrases):
    text, at = " | ".join(heard), 0
    for phrase in phrases:
        at = text.find(phrase, at)
        if at < 0:
            return False
        at += len(phrase)
    return True


class AccessibilityTest(h.SessionTestCase):
    start_program = False

    def setUp(self):
        global atspi
        super().setUp()
        s = self.s
        # No program opens a link until the test puts one in place.
        s.program_env.update(PATH=s.fakebin, BROWSER="", DEFAULT_BROWSER="",
                             DBUS_SESSION_BUS_ADDRESS=os.environ["DBUS_SESSION_BUS_ADDRESS"])
        env = {**s.env(), "DBUS_SESSION_BUS_ADDRESS": os.environ["DBUS_SESSION_BUS_ADDRESS"]}
        launcher = h.spawn([BUS_LAUNCHER, "--launch-immediately"], env=env,
                           log_path=os.path.join(s.logdir, "at-spi.log"))
        self.addCleanup(h.stop_group, launcher)
        from gi.repository import Gio, GLib
        bus = Gio.bus_get_sync(Gio.BusType.SESSION)
        h.wait_until(lambda: bus.call_sync(
            "org.freedesktop.DBus", "/org/freedesktop/DBus", "org.freedesktop.DBus", "NameHasOwner",
            GLib.Variant("(s)", ("org.a11y.Bus",)), None, Gio.DBusCallFlags.NONE, 5000, None).unpack()[0],
            20, what="the accessibility bus")
        import pyatspi
        atspi = pyatspi

        self.log = os.path.join(s.logdir, "orca-debug.log")
        orca = h.spawn([sys.executable, "-u", "-c", ORCA, self.log], env=env,
                       log_path=os.path.join(s.logdir, "orca.log"))
        self.addCleanup(h.stop_group, orca)
        h.wait_until(lambda: orca.poll() is None and os.path.exists(self.log)
                     and "Screen reader on." in speech(self.log), 30, what="Orca to start")
        self.heard = 0

    def start(self):
        """Starts the program afresh, as a user starts it: Qt serves the screen reader it finds running."""
        h.stop_group(self.s.program)
        self.s.launch()
        self.hear([], ["Orvane Facebook Beamlet frame", "Typing box text"])
        pid = self.s.program.pid
        self.app = next(a for a in atspi.Registry.getDesktop(0) if a is not None and a.get_process_id() == pid)
        self.app.set_cache_mask(0)  # states and names change under us: always ask the program
        self.box = self.find(atspi.ROLE_TEXT, "Typing box")

    def hear(self, keys, said, unsaid=(), timeout=15):
        """Presses the keys ("type:" types text, "click:" clicks a control), then waits until Orca
        has said the phrases, in this order, and has fallen quiet; it must not say the unsaid ones.
        Keys pass through the screen reader on their way, a click does not: typed text must have
        reached the typing box before a click may follow."""
        start = self.heard
        for key in keys:
            if key.startswith("type:"):
                self.s.type_text(key[5:])
                h.wait_until(lambda: self.box.queryText().getText(0, -1).endswith(key[5:]), 10,
                             what=f"{key[5:]!r} in the typing box")
            elif key.startswith("click:"):
                self.s.click_rect(L[key[6:]])
            else:
                self.s.key(key)
        deadline, heard, since = time.monotonic() + timeout, [], time.monotonic()
        while True:
            now = speech(self.log, start)
            if now != heard:
                heard, since = now, time.monotonic()
            elif in_order(heard, said) and time.monotonic() - since >= 0.5:
                break
            if time.monotonic() > deadline:
                self.heard += len(heard)
                self.fail(f"after {keys} Orca said {heard}, not {said}")
            time.sleep(0.05)
        self.heard += len(heard)
        self.assertEqual([p for p in unsaid if p in " | ".join(heard)], [], f"after {keys} Orca said {heard}")
        return heard

    def find(self, role, name=None, root=None):
        return next((n for n in tree(root or self.app) if n.getRole() == role and (name is None or n.name == name)),
                    None)

    def test_a_blind_user_hears_what_a_sighted_user_reads(self):
        for scene, steps in SCENES:
            with self.subTest(scene):
                self.start()
                for step in steps:
                    with self.subTest(step=step if isinstance(step, str) else " ".join(step[0])):
                        getattr(self, step)() if isinstance(step, str) else self.hear(*step)

    def test_a_window_in_front_before_the_bus_answers_is_named(self):
        """Orca names the window and the focus before any key, although the window
        was in front before the accessibility bus answered the program."""
        s = self.s
        from gi.repository import Gio, GLib
        real = Gio.bus_get_sync(Gio.BusType.SESSION).call_sync(
            "org.a11y.Bus", "/org/a11y/bus", "org.a11y.Bus", "GetAddress", None, None,
            Gio.DBusCallFlags.NONE, 5000, None).unpack()[0]
        bus_log = os.path.join(s.logdir, "late-bus.log")
        own_bus = h.spawn(["dbus-daemon", "--session", "--nofork", "--print-address=1"], env=s.env(),
                          log_path=bus_log)
        self.addCleanup(h.stop_group, own_bus)
        h.wait_until(lambda: open(bus_log).readline().endswith("\n"), 10, what="a session bus of its own")
        # Only the bus may name the way: the launcher's note on the root window, which
        # Qt reads at once, goes.
        s.run(["xprop", "-root", "-remove", "AT_SPI_BUS"])
        own = {"DBUS_SESSION_BUS_ADDRESS": open(bus_log).readline().strip()}
        s.program_env.update(own)
        s.launch()
        main = s.windows(h.MAIN_TITLE)[0]
        h.wait_until(lambda: f"{main:#x}" in s.run(["xprop", "-root", "_NET_ACTIVE_WINDOW"]).stdout, 10,
                     what="the main window in front")
        late = h.spawn([sys.executable, "-c", LATE_BUS, real], env={**s.env(), **own},
                       log_path=os.path.join(s.logdir, "late-bus-service.log"))
        self.addCleanup(h.stop_group, late)
        self.hear([], ["Orvane Facebook Beamlet frame", "Typing box text"])

    # What no speech shows, read from the accessibility bus and the desktop.
    def every_control_is_named(self):
        window = next(w for w in tree(self.app) if w.getRole() == atspi.ROLE_FRAME and has(w, atspi.STATE_ACTIVE))
        unnamed = [f"{n.getRoleName()} in {n.parent.name!r}" for n in tree(window)
                   if has(n, atspi.STATE_FOCUSABLE) and not n.name.strip()]
        self.assertEqual(unnamed, [], "controls that take the focus without a name")

    def hi_is_copied(self):
        self.assertEqual(self.s.clipboard(), h.H + h.I)

    def a_tile_press_copies(self):
        tiles = next(n for n in tree(self.app) if n.childCount == 66)
        action = tiles.getChildAtIndex(TILE - 1).queryAction()
        press = [action.getName(i) for i in range(action.nActions)].index("Press")
        self.assertEqual(self.s.copied_by(lambda: action.doAction(press)), h.catalogue()[TILE])

    def the_pack_is_gone(self):
        """Slid away, the pack is not showing, and its OK does nothing."""
        pack = next(n for n in tree(self.app) if n.childCount == 66).parent
        h.wait_until(lambda: not has(pack, atspi.STATE_SHOWING), 10, what="the pack to stop showing")
        ok = self.find(atspi.ROLE_PUSH_BUTTON, "OK", pack)
        self.assertFalse(has(ok, atspi.STATE_SHOWING))
        action = ok.queryAction()
        self.assertNotIn("Press", [action.getName(i) for i in range(action.nActions)])

    def the_message_is_on_screen(self):
        self.assertTrue(self.s.windows("Link - Orvane Beamlet"))

    def an_opener_comes(self):
        with open(os.path.join(self.s.fakebin, "xdg-open"), "w") as f:
            f.write(FAKE_OPENER)
        os.chmod(os.path.join(self.s.fakebin, "xdg-open"), 0o755)

    def the_link_is_opened(self):
        log = os.path.join(self.s.fakebin, "opened.log")
        h.wait_until(lambda: os.path.exists(log), 10, what="the link to reach the opener")
        self.assertEqual(h.read(log), WEBSITE["target"].encode() + b"\n")


if __name__ == "__main__":
    h.main()
