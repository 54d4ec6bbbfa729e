#!/usr/bin/env python3
"""The main window as the window manager and the user see it: place, chrome, drag, close."""

import os
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import harness as h  # noqa: E402

# A point on the header strip clear of the "+" button and the chrome images.
HEADER_LEFT = (300, 40)
HEADER_RIGHT = (650, 30)


class MainWindowTest(h.SessionTestCase):

    def test_opens_borderless_and_above_at_its_design_place(self):
        wid = self.s.main_window
        self.assertEqual(self.s.window_title(wid), h.MAIN_TITLE)
        g = self.s.main_geometry()
        self.assertEqual(g.pos, h.MAIN_DESIGN_POS)
        self.assertEqual(g.size, h.MAIN_SIZE)
        # Borderless: the window manager adds no frame around the client area.
        self.assertEqual(self.s.xprop(wid, "_NET_FRAME_EXTENTS"), "0, 0, 0, 0")
        self.assertIn("_NET_WM_STATE_ABOVE", self.s.net_wm_state(wid))

    def test_dragging_the_header_moves_the_window_by_the_pointer_distance(self):
        start = self.s.main_geometry().pos
        self.s.drag(*HEADER_LEFT, 37, 23)
        self.assertEqual(self.s.main_geometry().pos, (start[0] + 37, start[1] + 23))

        # Where the strip is grabbed plays no part; nor does a pointer that
        # outruns the strip in big jumps.
        start = self.s.main_geometry().pos
        self.s.drag(*HEADER_RIGHT, -160, -141, step=40)
        self.assertEqual(self.s.main_geometry().pos, (start[0] - 160, start[1] - 141))

        # Only the left button drags.
        start = self.s.main_geometry().pos
        self.s.drag(*HEADER_LEFT, 50, 50, button=3)
        self.assertEqual(self.s.main_geometry().pos, start)
        self.assertEqual(self.s.main_geometry().size, h.MAIN_SIZE)

    def test_hovering_the_close_image_highlights_it_and_its_click_ends_the_program(self):
        x, y, w, hgt = h.CLOSE
        resting = self.s.grab(x, y, w, hgt)
        self.s.move_pointer(x + 10, y + 8)
        self.s.move_pointer(x + 16, y + 9)
        h.wait_until(lambda: self.s.grab(x, y, w, hgt) != resting, 5, what="the highlighted close image")
        self.s.xdotool("click", 1)
        status = self.s.wait_exit(10)
        self.assertIsNotNone(status, "the program still runs 10 s after the close click")
        self.assertGreaterEqual(status, 0, "ended by a signal, not by exiting")

    def test_a_close_from_the_window_manager_ends_the_program(self):
        self.s.activate()
        # The window manager closes the window that has the keyboard focus: wait for it.
        h.wait_until(lambda: self.s.xdotool("getwindowfocus").strip() == str(self.s.main_window), 10,
                     what="the main window to take the keyboard focus")
        self.s.key("alt+F4")
        status = self.s.wait_exit(10)
        self.assertIsNotNone(status, "the program still runs 10 s after alt+F4")
        self.assertGreaterEqual(status, 0, "ended by a signal, not by exiting")


if __name__ == "__main__":
    h.main()
