#!/usr/bin/env python3
"""Big emoticons: every tile of both palettes copies its entry's grid text byte for
byte, and the mini window comes and goes without disturbing the main window."""

import os
import sys
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import harness as h  # noqa: E402

H = b"[[186097158158768]]\x0c"
I = b"[[149883275129464]]\x0c"


def grid_texts():
    return h.catalogue()


class EmoticonsTest(h.SessionTestCase):

    @classmethod
    def setUpClass(cls):
        cls.texts = grid_texts()

    def click_copies(self, x, y, wid=None):
        return self.s.copied_by(lambda: self.s.tap(x, y, wid=wid))

    def get_code(self, rect, wid=None):
        return self.click_copies(*h.center(rect), wid=wid)

    def open_pack(self):
        x0, y0, w, hgt = h.PACK_PANEL
        ox, oy = self.s.main_geometry().pos
        probe = self.s.probe()
        empty = probe.image(ox + x0 - 1, oy + y0 + 4, 3, 1)
        self.s.click_rect(h.EMOTIONS)
        # Open once its frame stands at its place: column x0 changed, x0 - 1 not.
        h.wait_until(lambda: (lambda px: px[:3] == empty[:3] and px[3:6] != empty[3:6])(
            probe.image(ox + x0 - 1, oy + y0 + 4, 3, 1)), 5, interval=0.01, what="the pack panel to open")
        time.sleep(0.05)

    def mini(self):
        return h.wait_until(self.s.mini_window, 5, what="the mini window to show")

    def switch_to_mini(self):
        self.s.click_rect(h.MINI_LOADER)
        wid, g = self.mini()
        h.wait_until(lambda: not self.s.main_visible(), 5, what="the main window to hide")
        time.sleep(0.2)
        return wid, g

    def go_back(self, wid):
        self.s.press_back(wid)
        h.wait_until(lambda: self.s.mini_window() is None, 5, what="the mini window to go")
        time.sleep(0.2)

    def test_every_tile_copies_its_grid_text_and_the_mini_window_comes_and_goes(self):
        s = self.s
        # Guards the comparisons against a helper that dumps too little.
        self.assertEqual(sorted(self.texts), list(range(1, h.PACK_TILE_COUNT + 1)))
        self.assertEqual((len(self.texts[1]), len(self.texts[7])), (331, 611))

        with self.subTest("all 66 tiles of the pack panel"):
            self.open_pack()
            for n in range(1, h.PACK_TILE_COUNT + 1):
                x, y = h.center(h.offset(h.pack_tile(n), h.PACK_PANEL[:2]))
                self.assertEqual(self.click_copies(x, y), self.texts[n], f"main tile {n}")
            s.click_rect(h.offset(h.PACK_OK, h.PACK_PANEL[:2]))

        # Main window state that the trip to the mini window must leave alone.
        s.click_rect(h.TYPING_BOX)
        s.type_text("Hi")
        self.assertEqual(self.get_code(h.GET_CODE), H + I)
        # Get Code has taken the focus, so no caret blinks in the typing box.
        typed_box = s.pixels(*h.TYPING_BOX)

        with self.subTest("the mini window opens empty at its place"):
            wid, g = self.switch_to_mini()
            self.assertEqual(g.pos, h.MINI_DESIGN_POS)
            self.assertEqual(self.get_code(h.MINI_GET_CODE, wid=wid), b"")
            empty_mini_box = s.pixels(*h.MINI_TYPING_BOX, wid=wid)

        with self.subTest("the mini composer"):
            s.key("shift+Tab")  # back into the typing box without clicking it: a click empties
            s.type_text("Hi")
            self.assertEqual(self.get_code(h.MINI_GET_CODE, wid=wid), H + I)
            self.assertNotEqual(s.pixels(*h.MINI_TYPING_BOX, wid=wid), empty_mini_box)

        with self.subTest("dragging by the bare surface"):
            # Up and out of the corner where the risen notification would cover tiles.
            s.drag(*h.MINI_BARE_SURFACE[0], -40, -300, wid=wid)
            self.assertEqual(s.geometry(wid).pos, (g.x - 40, g.y - 300))
            s.drag(*h.MINI_BARE_SURFACE[1], 40, 0, wid=wid)
            self.assertEqual(s.geometry(wid).pos, (g.x, g.y - 300))

        with self.subTest("all 45 tiles of the mini palette"):
            for n in range(1, h.MINI_TILE_COUNT + 1):
                x, y = h.center(h.mini_tile(n))
                self.assertEqual(self.click_copies(x, y, wid=wid), self.texts[n], f"mini tile {n}")
            self.assertFalse(s.main_visible(), "a mini tile shows the main window")

        with self.subTest("back to the main window as it was"):
            self.go_back(wid)
            self.assertEqual(s.main_geometry().pos, h.MAIN_DESIGN_POS)
            self.assertEqual(self.get_code(h.GET_CODE), H + I)
            self.assertEqual(s.pixels(*h.TYPING_BOX), typed_box)

        with self.subTest("the mini window opens afresh"):
            wid, g = self.switch_to_mini()
            self.assertEqual(g.pos, h.MINI_DESIGN_POS, "a dragged mini window reopens at its place")
            self.assertEqual(self.get_code(h.MINI_GET_CODE, wid=wid), b"")
            self.assertEqual(s.pixels(*h.MINI_TYPING_BOX, wid=wid), empty_mini_box)

        with self.subTest("closing the mini window by the window manager returns to the main window"):
            s.activate(wid)
            s.key("alt+F4")
            h.wait_until(s.main_visible, 5, what="the main window to come back")
            h.wait_until(lambda: s.mini_window() is None, 5, what="the mini window to go")
            self.assertTrue(s.alive())
            self.assertEqual(self.get_code(h.GET_CODE), H + I)

        self.assertEqual(s.close_by_image(), 0)


if __name__ == "__main__":
    h.main()
