#!/usr/bin/env python3
"""Every tile of both palettes copies its entry's grid text byte for byte, and the
mini window comes, is dragged and goes without disturbing the main window."""

import os
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import harness as h  # noqa: E402
from harness import H, I, L  # noqa: E402


class EmoticonsTest(h.SessionTestCase):

    def tiles_copy(self, tile, count, wid=None):
        texts = h.catalogue()
        for n in range(1, count + 1):
            x, y = h.center(tile(n))
            self.assertEqual(self.s.copied_by(lambda: self.s.click(x, y, wid=wid)), texts[n], f"tile {n}")

    def switch_to_mini(self):
        self.s.click_rect(L["miniWindowButton"])
        wid = h.wait_until(lambda: not self.s.main_visible() and self.s.mini_window(), 5, what="the mini window alone")
        self.assertEqual(self.s.geometry(wid), tuple(L["miniWindow"]), "the mini window opens at its place")
        self.assertEqual(self.s.get_code(wid=wid), b"", "the mini window opens empty")
        return wid

    def test_a_tile_is_copied_with_the_keyboard_alone(self):
        s = self.s
        # From the typing box back to Emotions, which Space presses; the pack takes
        # the focus to its first tile, and the arrows move it.
        s.open_panel("emotionsButton", "packPanelOpen", by=lambda: s.key("shift+Tab", "shift+Tab", "space"))
        before = {n: s.pixels(*h.pack_tile(n)) for n in (1, 18)}
        s.key("Right", "Right", "Down")
        h.wait_until(lambda: all(s.pixels(*h.pack_tile(n)) != before[n] for n in (1, 18)), 5,
                     what="the focus frame to leave the first tile for tile 18")
        self.assertEqual(s.copied_by(lambda: s.key("Return")), h.catalogue()[18])

    def test_every_tile_copies_its_grid_text_and_the_mini_window_comes_and_goes(self):
        s = self.s
        empty = s.open_panel("emotionsButton", "packPanelOpen")
        self.tiles_copy(h.pack_tile, len(L["packTiles"]))
        s.close_panel("packOkButton", "packPanelOpen", empty)
        self.assertEqual(s.get_code("Hi"), H + I)

        wid = self.switch_to_mini()
        s.key("shift+Tab")  # into the typing box without a click, which would empty it
        s.type_text("i")
        self.assertEqual(s.get_code(wid=wid), I)
        # Up and out of the corner where the risen notification would cover tiles.
        s.drag(L["miniGetCodeButton"][0] - 4, h.MINI_SIZE[1] - 6, -40, -300, wid=wid)
        x, y = L["miniWindow"][:2]
        h.wait_until(lambda: s.geometry(wid)[:2] == (x - 40, y - 300), 5, what="the dragged mini window")
        self.tiles_copy(h.mini_tile, len(L["miniTiles"]), wid)
        self.assertFalse(s.main_visible(), "a mini tile shows the main window")

        s.click_image(L["backButton"], wid=wid)
        h.wait_until(lambda: s.main_visible() and not s.mini_window(), 5, what="the main window alone")
        self.assertEqual(s.geometry()[:2], tuple(L["mainWindow"][:2]))
        self.assertEqual(s.get_code(), H + I, "the main window keeps its text")

        # Reopened at its place and empty; closed by the window manager, it goes back too.
        wid = self.switch_to_mini()
        s.close_by_window_manager(wid)
        h.wait_until(lambda: s.main_visible() and not s.mini_window(), 5, what="the main window alone")
        self.assertEqual(s.get_code(), H + I)


if __name__ == "__main__":
    h.main()
