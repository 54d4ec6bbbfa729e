#!/usr/bin/env python3
"""On a screen smaller than the one the windows were laid out for, everything stays reachable."""

import os
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import harness as h  # noqa: E402


class SmallScreenTest(h.SessionTestCase):
    screen = (800, 600, 24)

    def test_main_window_is_moved_just_enough_to_be_wholly_on_screen(self):
        g = self.s.main_geometry()
        self.assertEqual(g.size, h.MAIN_SIZE)
        # 803 px cannot fit into 800: the left edge wins; the bottom fits exactly.
        self.assertEqual(g.pos, (0, 600 - 525))

    def test_the_risen_notification_is_wholly_on_screen(self):
        w, hgt, _ = self.screen
        self.s.click_rect(h.TYPING_BOX)
        self.s.type_text("H")
        with h.NotificationTrack(self.s) as track:
            self.s.click_rect(h.GET_CODE)
            h.wait_until(lambda: self.s.tone_files(), 10, what="the notification to arrive")
        _, g = min((s.windows[0] for s in track.seen()), key=lambda item: item[1].y)
        self.assertEqual(g.size, h.NOTIFY_SIZE)
        self.assertEqual((g.x, g.y), (w - h.NOTIFY_RIGHT_GAP, hgt - h.NOTIFY_BOTTOM_GAP - h.NOTIFY_RISE))
        self.assertTrue(g.x >= 0 and g.y >= 0 and g.x + g.width <= w and g.y + g.height <= hgt, g)


if __name__ == "__main__":
    h.main()
