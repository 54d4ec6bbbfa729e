#!/usr/bin/env python3
"""A whole session of the real program under Valgrind's memcheck: no invalid memory
access and no block definitely lost, anywhere outside the system libraries that
valgrind.supp names."""

import os
import re
import shutil
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import harness as h  # noqa: E402
from harness import H, I, L  # noqa: E402

# A frame in the program's own code names its source file, as the build wrote it:
# absolute, or relative to the source tree under -ffile-prefix-map
# ("src/widgets/./src/widgets/Accessibility.cpp:78").
OWN_FRAME = re.compile(r"\((?:\S*/)?src/(?:core|platform|widgets|gui|app)/[^():]+:\d+\)")
ERROR_EXIT = 99
SLOW = 60  # everything runs some twenty times slower under memcheck
KINDS = re.compile(r"^(Invalid (read|write|free)|Mismatched free|Conditional jump|Use of uninitialised|"
                   r"Syscall param|Source and destination overlap|.*are definitely lost)")


class ValgrindTest(h.SessionTestCase):
    start_program = False
    audio = h.audio_available()  # so that the sound is really played

    def test_a_whole_session_runs_clean_under_memcheck(self):
        if not shutil.which("valgrind"):
            self.skipTest("valgrind is not installed")
        s = self.s
        log_path = os.path.join(s.logdir, "memcheck.log")
        # Leak checking runs at exit, also through _exit() as the close image ends
        # the program: so the session ends the way a user ends it.
        s.launch(timeout=4 * SLOW, wrapper=[
            "valgrind", "--tool=memcheck", f"--error-exitcode={ERROR_EXIT}", "--leak-check=full",
            "--errors-for-leak-kinds=definite", "--show-leak-kinds=definite",
            "--suppressions=" + os.path.join(h.HERE, "valgrind.supp"), "--num-callers=30", "--fullpath-after=",
            f"--log-file={log_path}"])
        s.click_rect(L["typingBox"])
        s.type_text("Hi", delay_ms=150)
        self.assertEqual(s.copied_by(lambda: s.click_rect(L["getCodeButton"]), SLOW), H + I)
        h.wait_until(s.tone_files, 2 * SLOW, what="the notification to arrive and write its sound")
        empty = s.open_panel("aboutButton", "infoPanelOpen", SLOW)
        s.close_panel("aboutOkButton", "infoPanelOpen", empty, SLOW)
        empty = s.open_panel("emotionsButton", "packPanelOpen", SLOW)
        self.assertEqual(s.copied_by(lambda: s.click_rect(h.pack_tile(1)), SLOW), h.catalogue()[1])
        s.close_panel("packOkButton", "packPanelOpen", empty, SLOW)
        s.click_rect(L["miniWindowButton"])
        mini = h.wait_until(s.mini_window, SLOW, what="the mini window")
        s.click_image(L["backButton"], mini, SLOW)
        h.wait_until(s.main_visible, SLOW, what="the main window to come back")

        status = s.close_by_image(timeout=4 * SLOW)
        log = h.read(log_path).decode(errors="replace")
        self.assertIsNotNone(status, "the program still runs after the close click")
        self.assertRegex(log, r"LEAK SUMMARY|All heap blocks were freed", "memcheck did not check for leaks at the end")
        blocks = re.split(r"\n\s*\n", re.sub(r"(?m)^==\d+== ?", "", log))
        # Those that pass through the program's own code first: they are ours to fix.
        reports = sorted((b.strip() for b in blocks if KINDS.match(b.strip())), key=lambda r: not OWN_FRAME.search(r))
        listing = "\n\n".join(("[program code] " if OWN_FRAME.search(r) else "[libraries only] ") + r
                                for r in reports)
        self.assertEqual(status, 0, f"memcheck found errors (status {status}):\n\n{listing}")
        self.assertEqual(reports, [])


if __name__ == "__main__":
    h.main()
