#!/usr/bin/env python3
"""The About and Contact panels slide over the typing box on the real screen and away
again; the contact links and the logo hand their targets to the desktop's opener."""

import json
import os
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import harness as h  # noqa: E402
from harness import L  # noqa: E402

PANEL_X, PANEL_Y, _, PANEL_H = L["infoPanelOpen"]
WINDOW_W = h.MAIN_SIZE[0]
STEP = 40
ROW_X = PANEL_X - 8
# Window rows followed while a panel moves: one across the panel below the typing
# box (whose caret and focus frame change as the focus moves), and the rows just
# above and below, which it must never touch.
TYPING_BOTTOM = L["typingBox"][1] + L["typingBox"][3]
ROWS = ((TYPING_BOTTOM + PANEL_Y + PANEL_H) // 2, PANEL_Y - 1, PANEL_Y + PANEL_H)
# Stands in for the desktop's opener (Qt hands addresses to xdg-open; under Wine,
# ShellExecute hands them to winebrowser, which hands them on to xdg-open): notes each request.
FAKE_OPENER = """#!/bin/sh
printf '%s|%s\\n' "$#" "$*" >> "$(dirname "$0")/opened.log"
"""
# A bare Wine prefix, like a Windows without Skype, has no handler for skype:
# addresses. This stands in for the one Skype registers, and hands them to
# winebrowser too, so they reach the same opener.
SKYPE_HANDLER = r"""REGEDIT4

[HKEY_LOCAL_MACHINE\Software\Classes\skype]
@="URL:skype"
"URL Protocol"=""

[HKEY_LOCAL_MACHINE\Software\Classes\skype\shell\open\command]
@="\"C:\\windows\\system32\\winebrowser.exe\" \"%1\""
"""
with open(os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "assets", "data", "maker.json")) as f:
    LINKS = [link["target"] for link in json.load(f)["links"].values()]


class PanelsTest(h.SessionTestCase):
    fake_tools = {"xdg-open": FAKE_OPENER}

    def slide(self, click, until):
        """Clicks, follows the panel until its edge rests at `until` (None: gone); returns the edges seen."""
        rows, empty = self.rows, self.empty

        def edge(images):
            self.assertEqual(images[1:], empty[1:], "the panel reached outside its height")
            diff = [i for i in range(len(images[0]) // 3) if images[0][3 * i:3 * i + 3] != empty[0][3 * i:3 * i + 3]]
            return ROW_X + diff[0] if diff else None

        with h.Track(self.s, lambda probe: [probe.image(*r) for r in rows]) as track:
            self.s.click_rect(click)
            # At rest: the same edge for the last 150 ms, with samples enough to tell.
            h.wait_until(lambda: (lambda recent: len(recent) > 5 and {edge(i) for _, i in recent} == {until})(
                [s for s in list(track.samples) if s[0] > track.samples[-1][0] - 0.15]), 5, 0.02,
                what=f"the panel to rest at {until}")
        edges = [edge(images) for _, images in track.samples]
        return [e for n, e in enumerate(edges) if n == 0 or edges[n - 1] != e]

    def test_panels_slide_in_and_out_in_40_px_steps_and_links_reach_the_opener(self):
        ox, oy = self.s.geometry()[:2]
        self.rows = [(ox + ROW_X, oy + y, WINDOW_W - ROW_X, 1) for y in ROWS]
        self.empty = [self.s.probe().image(*r) for r in self.rows]
        for button, ok in (("aboutButton", "aboutOkButton"), ("contactButton", "contactOkButton")):
            with self.subTest(button):
                moves = [x for x in self.slide(L[button], PANEL_X) if x is not None]
                self.assertEqual(moves, sorted(moves, reverse=True), f"slid in with a turn: {moves}")
                out = self.slide(h.in_panel(ok, "infoPanelOpen"), None)[:-1]
                self.assertEqual(out, sorted(out), f"slid out with a turn: {out}")
                for edges in (moves, out):
                    self.assertEqual(edges[0 if edges is out else -1], PANEL_X)
                    self.assertTrue(all((x - PANEL_X) % STEP == 0 for x in edges), f"steps of 40 px: {edges}")
                    self.assertGreaterEqual(len(edges), 5, f"too few steps seen: {edges}")

        if h.on_windows():
            handler = os.path.join(self.s.tmp, "skype.reg")
            with open(handler, "w") as f:
                f.write(SKYPE_HANDLER)
            self.s.run(["wine", "regedit", "/S", "Z:" + handler.replace("/", "\\")], timeout=60)
        self.slide(L["contactButton"], PANEL_X)
        log = os.path.join(self.s.fakebin, "opened.log")
        links = [h.offset(L[k], (PANEL_X, PANEL_Y)) for k in
                 ("websiteLink", "profileLink", "skypeLink", "youtubeLink", "fanPageLink")]
        for n, (x, y, _, hgt) in enumerate([*links, L["logo"]]):
            self.s.click(x + 6, y + hgt // 2)
            h.wait_until(lambda: os.path.exists(log) and len(h.read(log).splitlines()) == n + 1, 5,
                         what="the desktop's opener to be asked once more")
        requests = [line.split(b"|", 1) for line in h.read(log).splitlines()]
        self.assertEqual(len(requests), 6, "one click, one request")
        self.assertEqual({count for count, _ in requests}, {b"1"}, "the opener gets the address alone")
        targets = [target for _, target in requests]
        self.assertEqual(targets[:5], [t.encode() for t in LINKS], "each link's own target, unchanged")
        self.assertEqual(targets[-1], targets[0], "the logo opens the website")
        self.assertTrue(self.s.alive())


if __name__ == "__main__":
    h.main()
