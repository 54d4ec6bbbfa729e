#!/usr/bin/env python3
"""A whole session of the real program under Valgrind's memcheck: no invalid memory
access and no block definitely lost, anywhere outside the system libraries that
valgrind.supp names."""

import os
import re
import shutil
import sys
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import harness as h  # noqa: E402

HERE = os.path.dirname(os.path.abspath(__file__))
SOURCES = os.path.normpath(os.path.join(HERE, "..", "..", "src")) + os.sep
SUPPRESSIONS = os.path.join(HERE, "valgrind.supp")
ERROR_EXIT = 99
H = b"[[186097158158768]]\x0c"
I = b"[[149883275129464]]\x0c"
# Everything runs some twenty times slower under memcheck.
SLOW = 60


def first_grid_text():
    return h.catalogue()[1]


def error_reports(log):
    """The error and leak reports of a memcheck log, each as one block of text."""
    blocks, current = [], []
    for line in log.splitlines():
        text = re.sub(r"^==\d+== ?", "", line)
        if not text.strip():
            if current:
                blocks.append("\n".join(current))
            current = []
        else:
            current.append(text)
    if current:
        blocks.append("\n".join(current))
    kinds = re.compile(r"^(Invalid (read|write|free)|Mismatched free|Conditional jump|Use of uninitialised|"
                       r"Syscall param|Source and destination overlap|.*are definitely lost)")
    return [b for b in blocks if kinds.match(b)]


class ValgrindTest(h.SessionTestCase):
    start_program = False
    audio = h.audio_available()  # so that the sound is really played

    def test_a_whole_session_runs_clean_under_memcheck(self):
        if not shutil.which("valgrind"):
            self.skipTest("valgrind is not installed")
        s = self.s
        log_path = os.path.join(s.logdir, "memcheck.log")
        # Leak checking runs when the process exits, also through _exit(), as the
        # close image ends the program: so the session ends the way a user ends it.
        s.launch(timeout=4 * SLOW, wrapper=[
            "valgrind", "--tool=memcheck", f"--error-exitcode={ERROR_EXIT}", "--leak-check=full",
            "--errors-for-leak-kinds=definite", "--show-leak-kinds=definite", f"--suppressions={SUPPRESSIONS}",
            "--num-callers=30", "--fullpath-after=", f"--log-file={log_path}"])

        def copied(click):
            return s.copied_by(click, timeout=SLOW)

        s.click_rect(h.TYPING_BOX)
        s.type_text("Hi", delay_ms=150)
        self.assertEqual(copied(lambda: s.click_rect(h.GET_CODE)), H + I)
        h.wait_until(s.tone_files, 2 * SLOW, what="the notification to arrive and write its sound")

        about_ok = h.offset(h.ABOUT_OK, h.INFO_PANEL[:2])
        before = s.pixels(*about_ok)
        s.click_rect(h.ABOUT)
        h.wait_until(lambda: s.pixels(*about_ok) != before, SLOW, interval=0.2, what="the About panel")
        time.sleep(1)
        s.click_rect(about_ok)
        h.wait_until(lambda: s.pixels(*about_ok) == before, SLOW, interval=0.2, what="the About panel to go")

        pack_ok = h.offset(h.PACK_OK, h.PACK_PANEL[:2])
        before = s.pixels(*pack_ok)
        s.click_rect(h.EMOTIONS)
        h.wait_until(lambda: s.pixels(*pack_ok) != before, SLOW, interval=0.2, what="the pack panel")
        time.sleep(1.5)  # until it rests
        tile = h.center(h.offset(h.pack_tile(1), h.PACK_PANEL[:2]))
        self.assertEqual(copied(lambda: s.click(*tile)), first_grid_text())
        s.click_rect(pack_ok)

        s.click_rect(h.MINI_LOADER)
        mini_id, _ = h.wait_until(s.mini_window, SLOW, what="the mini window")
        s.press_back(mini_id, settle=1, timeout=SLOW)
        time.sleep(1)

        status = s.close_by_image(timeout=4 * SLOW)
        with open(log_path, errors="replace") as f:
            log = f.read()
        self.assertIsNotNone(status, "the program still runs after the close click")
        self.assertRegex(log, r"LEAK SUMMARY|All heap blocks were freed", "memcheck did not check for leaks at the end")
        reports = error_reports(log)
        # Those that pass through the program's own code first: they are ours to fix.
        reports.sort(key=lambda report: SOURCES not in report)
        listing = "\n\n".join(("[program code] " if SOURCES in r else "[libraries only] ") + r for r in reports)
        self.assertEqual(status, 0, f"memcheck found errors (status {status}):\n\n{listing}")
        self.assertEqual(reports, [])


if __name__ == "__main__":
    h.main()
