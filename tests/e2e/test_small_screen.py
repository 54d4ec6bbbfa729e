#!/usr/bin/env python3
"""On a screen smaller than the one the windows were laid out for, everything stays reachable."""

import os
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import harness as h  # noqa: E402
from harness import L  # noqa: E402


class SmallScreenTest(h.SessionTestCase):
    screen = (800, 600, 24)

    def test_every_window_is_moved_just_enough_to_be_wholly_on_screen(self):
        w, hgt, _ = self.screen
        # 803 px cannot fit into 800: the left edge wins; the bottom fits exactly.
        self.assertEqual(self.s.geometry(), (0, hgt - h.MAIN_SIZE[1], *h.MAIN_SIZE))
        self.s.get_code("H")
        self.s.resting_notification()
        self.s.click_rect(L["miniWindowButton"])
        mini = self.s.geometry(h.wait_until(self.s.mini_window, 5, what="the mini window"))
        self.assertTrue(mini[0] >= 0 and mini[1] >= 0 and mini[0] + mini[2] <= w and mini[1] + mini[3] <= hgt, mini)


if __name__ == "__main__":
    h.main()
