#!/usr/bin/env python3
"""The keyboard alone, read from the screen: Tab reaches every control in sight in
order, each showing its focus frame (the typing boxes their caret, and no frame),
and never one that a panel covers or that has slid away; a panel that opens takes
the focus; once a panel has gone, Enter, Space and typing change nothing unseen."""

import os
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import harness as h  # noqa: E402
from harness import L  # noqa: E402

# Every focus frame lies within a control's outer four pixels; the typing box's
# caret lies further in, at the start of its first line while it is empty.
RING = 4
CARET = (RING, RING, 8, 16)
TYPING_BOXES = {"typingBox", "miniTypingBox"}
MAIN = {name: L[name] for name in ("getCodeButton", "emotionsButton", "helpButton", "typingBox", "logo", "aboutButton",
                                   "contactButton", "miniWindowButton", "minimizeButton", "closeButton")}


def uncovered(*covered):
    """The window's own controls that an open panel leaves in sight."""
    return {name: rect for name, rect in MAIN.items() if name not in covered}


# A Tab that lands on a covered control changes nothing on screen, which the walk
# below tells from a frame that moves.
ABOUT = {**uncovered("typingBox"), "aboutOkButton": h.in_panel("aboutOkButton", "infoPanelOpen")}
CONTACT = {**uncovered("typingBox"), **{name: h.in_panel(name, "infoPanelOpen") for name in (
    "websiteLink", "profileLink", "skypeLink", "youtubeLink", "fanPageLink", "contactOkButton")}}
PACK = {**uncovered("typingBox", "logo", "aboutButton", "contactButton"),
        "packOkButton": h.in_panel("packOkButton", "packPanelOpen"), **{f"tile{n}": h.pack_tile(n) for n in (1, 2, 3)}}
MINI = {"miniTypingBox": L["miniTypingBox"], "miniGetCodeButton": L["miniGetCodeButton"],
        "miniTile1": h.mini_tile(1), "backButton": L["backButton"]}
CHROME = ["miniWindowButton", "minimizeButton", "closeButton", "getCodeButton"]
MARKER = b"marker: nothing copied"


class KeyboardTest(h.SessionTestCase):

    def rings(self, controls, wid=None):
        """{name: the pixels of the control's outer ring} from one picture of the window."""
        g = self.s.geometry(wid)
        width, height = g[2:]
        image = self.s.probe().image(g[0], g[1], width, height)

        def ring(x, y, w, hgt):
            rows = [image[3 * ((y + r) * width + x):][:3 * w] for r in (*range(RING), *range(hgt - RING, hgt))]
            sides = [image[3 * ((y + r) * width + c):][:3 * RING] for r in range(RING, hgt - RING) for c in (x, x + w - RING)]
            return b"".join(rows + sides)

        return {name: ring(*rect) for name, rect in controls.items()}

    def caret_shown(self, name, wid=None):
        """Whether the empty typing box shows its caret: a dark stroke where its text starts."""
        x, y, w, hgt = h.offset(CARET, L[name][:2])
        pixels = self.s.pixels(x, y, w, hgt, wid)
        return any(sum(pixels[i:i + 3]) < 200 for i in range(0, len(pixels), 3))

    def walk(self, controls, focused, stops, key="Tab", wid=None):
        """Presses key once per stop; after each press the frame must leave the control that
        had the focus and show on the next stop, and nothing else on the screen may change.
        So the first press also shows that `focused` held the focus, with its frame in sight.
        A typing box shows no frame, ever: it shows the focus by its blinking caret."""
        for stop in stops:
            before = self.rings(controls, wid)
            self.s.key(key)
            seen = {}

            # Differs by system: Windows' own style outlines the edit box that has the focus,
            # as every edit box on Windows, beside the caret; on Linux the caret alone shows it.
            unframed = set() if h.on_windows() else TYPING_BOXES

            def moved():
                now = self.rings(controls, wid)
                seen["changed"] = {n for n in controls if now[n] != before[n]}
                return seen["changed"] == {focused, stop} - unframed \
                    and (stop not in TYPING_BOXES or self.caret_shown(stop, wid))

            try:
                h.wait_until(moved, 10, 0.02, what=f"the focus frame to move from {focused} to {stop}")
            except AssertionError:
                self.fail(f"{key} from {focused}: expected the frame to move to {stop}; "
                          f"controls changed on screen: {sorted(seen.get('changed', ()))}")
            focused = stop
        return focused

    def open_by_key(self, button, panel, keys):
        return self.s.open_panel(button, panel, by=lambda: self.s.key(*keys))

    def gone_by_key(self, panel, empty, keys):
        x, y = L[panel][:2]
        self.s.key(*keys)
        h.wait_until(lambda: self.s.pixels(x - 1, y + 4, h.MAIN_SIZE[0] - x + 1, 1) == empty, 10, 0.01,
                     what=f"the {panel} to go")

    def assert_nothing_unseen(self, controls, focused, sync_stop, keys=("Return", "space", "x", "y", "z")):
        """The keys at the control that should now hold the focus copy nothing and raise no
        notification; the Tab after them, whose frame is seen leaving that control, shows
        both that it held the focus and that the keys before it were handled."""
        self.s.set_clipboard(MARKER)
        self.s.key(*keys)
        self.walk(controls, focused, [sync_stop])
        self.assertEqual(self.s.clipboard(), MARKER, "a key copied from a control out of sight")
        self.assertIsNone(self.s.notification(), "a key raised the notification")

    def test_tab_walks_the_controls_in_sight_and_keys_reach_nothing_unseen(self):
        s = self.s
        # No panel: the window starts with the focus in the typing box.
        f = self.walk(MAIN, "typingBox", ["logo", "aboutButton", "contactButton", *CHROME, "emotionsButton",
                                          "helpButton", "typingBox"])
        resting = self.rings(MAIN)

        # The pack, opened by Space on Emotions, takes the focus to its first tile;
        # the typing box under it is no stop.
        f = self.walk(MAIN, f, ["helpButton", "emotionsButton"], key="shift+Tab")
        empty = self.open_by_key("emotionsButton", "packPanelOpen", ["space"])
        f = self.walk(PACK, "tile1", ["packOkButton", *CHROME, "helpButton", "tile1"])
        f = self.walk(PACK, f, ["tile2", "tile3"], key="Right")
        # Enter copies the framed tile while it is in sight...
        self.assertEqual(s.copied_by(lambda: s.key("Return")), h.catalogue()[3])
        h.wait_until(lambda: s.notification() is None, 20, what="the notification to go")
        # ...and once Alt+O has sent the pack away, the focus is in the typing box.
        self.gone_by_key("packPanelOpen", empty, ["alt+o"])
        h.wait_until(lambda: self.rings(MAIN)["emotionsButton"] == resting["emotionsButton"], 10, 0.02,
                     what="the Emotions button to be enabled again")
        self.assert_nothing_unseen(MAIN, "typingBox", "logo")

        # About, opened by Space, takes the focus to its OK.
        f = self.walk(MAIN, "logo", ["aboutButton"])
        empty = self.open_by_key("aboutButton", "infoPanelOpen", ["space"])
        f = self.walk(ABOUT, "aboutOkButton", ["logo", "contactButton", *CHROME, "emotionsButton", "helpButton",
                                               "aboutOkButton", "logo"])
        f = self.walk(ABOUT, f, ["aboutOkButton"], key="shift+Tab")
        self.gone_by_key("infoPanelOpen", empty, ["alt+o"])
        # (Space there would press About, in sight, and open the panel again.)
        self.assert_nothing_unseen(MAIN, "aboutButton", "contactButton", keys=("Return", "x", "y", "z"))

        # Contact, opened by Space, takes the focus to its first link. The links are stops.
        empty = self.open_by_key("contactButton", "infoPanelOpen", ["space"])
        links = ["websiteLink", "profileLink", "skypeLink", "youtubeLink", "fanPageLink"]
        f = self.walk(CONTACT, links[0], [*links[1:], "contactOkButton", "logo", "aboutButton", *CHROME,
                                          "emotionsButton", "helpButton", *links])
        f = self.walk(CONTACT, f, ["youtubeLink"], key="shift+Tab")
        self.gone_by_key("infoPanelOpen", empty, ["alt+o"])
        self.assert_nothing_unseen(MAIN, "contactButton", "miniWindowButton", keys=("Return", "x", "y", "z"))

        # The mini window, by Space on +: it opens with the focus in its typing box,
        # and its back control is a stop that Space presses.
        s.key("space")
        wid = h.wait_until(lambda: not s.main_visible() and s.mini_window(), 10, what="the mini window alone")
        f = self.walk(MINI, "miniTypingBox", ["miniGetCodeButton", "miniTile1", "backButton", "miniTypingBox",
                                              "miniGetCodeButton", "miniTile1", "backButton"], wid=wid)
        s.key("space")
        h.wait_until(lambda: s.main_visible() and not s.mini_window(), 10, what="the main window back")


if __name__ == "__main__":
    h.main()
