#!/usr/bin/env python3
"""The About and Contact panels slide over the typing box and away again; the contact
links and the logo hand their targets to the desktop's opener."""

import os
import sys
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import harness as h  # noqa: E402

PANEL_X, PANEL_Y, PANEL_W, PANEL_H = h.INFO_PANEL
WINDOW_W, _ = h.MAIN_SIZE
STEP = 40
# Rows of the main window followed while a panel moves: three across the panel,
# clear of the typing box's blinking caret, and the rows just above and below it,
# which the panel must never touch. Each starts a little left of the open panel.
ROW_X = PANEL_X - 8
ACROSS = (PANEL_Y + 4, PANEL_Y + 137, PANEL_Y + PANEL_H - 5)
OUTSIDE = (PANEL_Y - 1, PANEL_Y + PANEL_H)

# Stands in for the desktop's opener (Qt hands web and other addresses to
# xdg-open): notes each request, one line each, argument count first.
FAKE_OPENER = """#!/bin/sh
printf '%s|%s\\n' "$#" "$*" >> "$(dirname "$0")/opened.log"
"""


def differing(a, b):
    """Indexes of the pixels (3 bytes each) where two equal-sized images differ."""
    return [i for i in range(len(a) // 3) if a[3 * i:3 * i + 3] != b[3 * i:3 * i + 3]]


class InfoPanelTestBase(h.SessionTestCase):

    def setUp(self):
        super().setUp()
        ox, oy = self.s.main_geometry().pos
        self.rows = [(ox + ROW_X, oy + y, WINDOW_W - ROW_X, 1) for y in ACROSS + OUTSIDE]
        self.region_rect = (ox + PANEL_X, oy + PANEL_Y, WINDOW_W - PANEL_X, PANEL_H)
        probe = self.s.probe()
        self.empty_rows = [probe.image(*r) for r in self.rows]
        self.empty_region = probe.image(*self.region_rect)

    def edges(self, images):
        """Left edge (window x) of whatever covers each row across the panel, or None."""
        result = []
        for image, empty in zip(images[:len(ACROSS)], self.empty_rows):
            diff = differing(image, empty)
            result.append(ROW_X + diff[0] if diff else None)
        return result

    def slide(self, click, until):
        """Clicks, follows the panel until its edge rests at `until`; returns the samples seen.

        Each sample is (edge, images): one edge for all rows, as a panel is a rectangle.
        """
        with h.PixelTrack(self.s, self.rows) as track:
            self.s.click_rect(click)

            def still():
                recent = [s for s in list(track.samples) if s[0] > time.monotonic() - 0.15]
                return len(recent) > 5 and all(self.edges(imgs) == [until] * len(ACROSS) for _, imgs in recent)

            h.wait_until(still, 5, interval=0.02, what=f"the panel to come to rest at {until}")
        seen = []
        for _, images in track.samples:
            edges = self.edges(images)
            # The rows are read one after another, so the panel may take a step in between.
            far = [WINDOW_W if e is None else e for e in edges]
            self.assertLessEqual(max(far) - min(far), STEP, f"the rows disagree about the panel's edge: {edges}")
            for image, empty, y in zip(images[len(ACROSS):], self.empty_rows[len(ACROSS):], OUTSIDE):
                self.assertEqual(image, empty, f"the panel reached row {y}, outside its height")
            seen.append((edges[0], images))
        return seen

    def positions(self, seen):
        """The distinct edges in the order seen."""
        result = []
        for edge, _ in seen:
            if not result or result[-1] != edge:
                result.append(edge)
        return result

    def open_panel(self, button):
        seen = self.slide(button, PANEL_X)
        moves = [x for x in self.positions(seen) if x is not None]
        self.assertEqual(moves[-1], PANEL_X)
        self.assertEqual(moves, sorted(moves, reverse=True), f"slid in with a turn: {moves}")
        self.assertTrue(all((x - PANEL_X) % STEP == 0 for x in moves), f"steps are 40 px: {moves}")
        self.assertGreaterEqual(len(moves) - 1, 4, f"too few steps seen on the way in: {moves}")
        # On the way in, everything right of the edge is the panel, not the window.
        for edge, images in seen:
            if edge is not None and edge != PANEL_X:
                for image, empty in zip(images[:len(ACROSS)], self.empty_rows):
                    start = edge - ROW_X
                    covered = differing(image[3 * start:], empty[3 * start:])
                    self.assertGreater(len(covered), 0.9 * (WINDOW_W - edge), f"panel at {edge} shows the window")
        at_rest = self.s.probe().image(*self.region_rect)
        changed = len(differing(at_rest, self.empty_region))
        self.assertGreater(changed, 0.9 * len(at_rest) // 3, "the open panel leaves the window showing")
        return at_rest

    def close_panel(self, ok):
        seen = self.slide(h.offset(ok, (PANEL_X, PANEL_Y)), None)
        moves = self.positions(seen)
        self.assertIsNone(moves[-1])
        moves = moves[:-1]
        self.assertEqual(moves[0], PANEL_X)
        self.assertEqual(moves, sorted(moves), f"slid out with a turn: {moves}")
        self.assertTrue(all((x - PANEL_X) % STEP == 0 for x in moves), f"steps are 40 px: {moves}")
        self.assertGreaterEqual(len(moves) - 1, 4, f"too few steps seen on the way out: {moves}")
        self.assert_window_empty()

    def assert_window_empty(self):
        # A caret may blink in the uncovered typing box: a few pixels at most.
        changed = differing(self.s.probe().image(*self.region_rect), self.empty_region)
        self.assertLess(len(changed), 40, "something is left over the typing box")


class InfoPanelsTest(InfoPanelTestBase):

    def test_each_panel_slides_in_to_its_place_and_out_again(self):
        pictures = {}
        for name, button, ok in (("About", h.ABOUT, h.ABOUT_OK), ("Contact", h.CONTACT, h.CONTACT_OK)):
            with self.subTest(name, opening="first"):
                pictures[name] = self.open_panel(button)
                self.close_panel(ok)
            with self.subTest(name, opening="second"):
                # Parked further out after a close; it still comes to rest at the same place.
                self.assertEqual(self.open_panel(button), pictures[name])
                self.close_panel(ok)
        self.assertNotEqual(pictures["About"], pictures["Contact"])
        self.assertTrue(self.s.alive())

    def test_opening_contact_sends_an_open_about_panel_away(self):
        self.open_panel(h.ABOUT)
        self.slide(h.CONTACT, PANEL_X)
        # The Contact panel lies in front: only its close shows whether About is still there.
        self.close_panel(h.CONTACT_OK)
        time.sleep(0.3)
        self.assert_window_empty()
        # The About button works again.
        self.open_panel(h.ABOUT)


class ContactLinksTest(InfoPanelTestBase):
    fake_tools = {"xdg-open": FAKE_OPENER}

    def requests(self):
        try:
            with open(os.path.join(self.s.fakebin, "opened.log")) as f:
                lines = f.read().splitlines()
        except FileNotFoundError:
            return []
        for line in lines:
            count, _, _ = line.partition("|")
            self.assertEqual(count, "1", f"the opener got more than the address: {line!r}")
        return [line.partition("|")[2] for line in lines]

    def open_by_click(self, x, y):
        before = len(self.requests())
        self.s.click(x, y)
        got = h.wait_until(lambda: self.requests()[before:], 5, what="the desktop opener to be asked")
        time.sleep(0.2)  # a second request for one click would show up by now
        self.assertEqual(self.requests()[before:], got, "one click, one request")
        return got[0]

    def open_link(self, name):
        x, y = self.link_at[name]
        return self.open_by_click(x + 6, y + h.LINK_HEIGHT // 2)

    def test_links_and_logo_hand_their_targets_to_the_desktop(self):
        self.open_panel(h.CONTACT)
        self.link_at = {name: (PANEL_X + x, PANEL_Y + y) for name, (x, y) in h.CONTACT_LINKS.items()}

        website = self.open_link("website")
        self.assertRegex(website, r"^https://[^/\s]+")
        self.assertEqual(self.open_by_click(*h.center(h.LOGO)), website, "the logo opens the website")
        self.assertEqual(self.open_link("website"), website, "a second click asks again")
        self.assertRegex(self.open_link("skype"), r"^skype:[^?\s]+\?call$")
        self.assertRegex(self.open_link("youtube"), r"^https://[^\s]+/user/[^/\s]+$")
        for name in ("fbprofile", "fanpage"):
            self.assertRegex(self.open_link(name), r"^https://[^\s]+$", name)
        self.assertEqual(len(set(self.requests())), 5, "five links, five different targets")
        self.assertTrue(self.s.alive())


if __name__ == "__main__":
    h.main()
