#!/usr/bin/env python3
"""The main window as the window manager and the user see it: place, chrome, drag,
a button's light, close."""

import os
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import harness as h  # noqa: E402
from harness import L  # noqa: E402


class MainWindowTest(h.SessionTestCase):

    def test_opens_borderless_and_above_at_its_place_and_drags_by_the_header_with_the_left_button(self):
        # A frame, a lost stay-on-top hint or a wrong place only show under a real window manager.
        wid = self.s.main_window
        self.assertEqual(self.s.geometry(), tuple(L["mainWindow"]))
        self.assertIn("0, 0, 0, 0", self.s.run(["xprop", "-id", str(wid), "_NET_FRAME_EXTENTS"]).stdout)
        self.assertTrue(self.s.above_others(wid), "kept above the other windows")
        # Big jumps outrun the strip; the right button moves nothing.
        x, y = L["mainWindow"][:2]
        for button, (dx, dy), steps, moved in ((1, (-160, -141), 4, True), (3, (50, 50), 8, False)):
            want = (x + dx, y + dy) if moved else (x, y)
            self.s.drag(300, 40, dx, dy, button=button, steps=steps)
            h.wait_until(lambda: self.s.geometry() == (*want, *h.MAIN_SIZE), 5, what=f"the window at {want}")
            x, y = want

    def test_a_button_lit_as_a_box_closes_goes_out_over_the_bare_surface(self):
        # The pointer moves onto Get Code while the Help box blocks the window: the
        # button lights as the box goes, and must go out again once the pointer leaves.
        s = self.s
        resting = s.pixels(*L["getCodeButton"])
        s.click_rect(L["helpButton"])
        h.wait_until(lambda: s.windows("Help - Orvane Beamlet"), 10, what="the Help box")
        over = s.to_screen(*h.center(L["getCodeButton"]))
        s.xdotool("mousemove", "--sync", *over)
        s.key("Return")
        # (Under Wine, which tells the window of no pointer as the box goes, the pointer
        # then moves a step over the button, as a hand on a mouse does, until it lights.)
        s.wait_for_hover(lambda: s.pixels(*L["getCodeButton"]) != resting, *over, 10)
        box = L["typingBox"]
        s.xdotool("mousemove", "--sync", *s.to_screen(box[0] + 150, box[1] + box[3] + 40))  # the bare surface
        h.wait_until(lambda: s.pixels(*L["getCodeButton"]) == resting, 10, 0.02, "Get Code at rest again")

    def test_the_close_image_ends_the_program_with_status_0(self):
        self.assertEqual(self.s.close_by_image(), 0)

    def test_a_close_by_the_window_manager_ends_the_program_with_status_0(self):
        self.s.close_by_window_manager(self.s.main_window)
        self.assertEqual(self.s.wait_exit(10), 0)


if __name__ == "__main__":
    h.main()
