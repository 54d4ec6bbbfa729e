#!/usr/bin/env python3
"""The command line, byte for byte: what it writes, where, and its exit status.
Run without any display, as these options must work without one."""

import os
import subprocess
import sys
import unittest

BEAMLET = sys.argv.pop(1) if len(sys.argv) > 1 else os.environ["BEAMLET"]
H, I = b"[[186097158158768]]\f", b"[[149883275129464]]\f"
SPACE = b"[[295067077213176]]\f"
ENTRY_4 = (b"[[304473112932635]]\f[[304473116265968]]\f[[304473109599302]]\f\r\n"
           b"\f[[304473106265969]]\f[[304473119599301]]\f[[304473216265958]]\f\r\n"
           b"\f[[304473206265959]]\f[[304473212932625]]\f[[304473209599292]]\f\r\n")


def run(*args, stdin=b""):
    env = {k: v for k, v in os.environ.items() if k not in ("DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM")}
    return subprocess.run([BEAMLET, *args], input=stdin, capture_output=True, env=env, timeout=60)


class CommandLineTest(unittest.TestCase):
    def check(self, args, status, out, stdin=b"", err_lines=None):
        res = run(*args, stdin=stdin)
        self.assertEqual(res.returncode, status, res.stderr)
        self.assertEqual(res.stdout, out)
        if err_lines is not None:
            self.assertEqual(len(res.stderr.decode().splitlines()), err_lines, res.stderr)
        return res

    def test_codes(self):
        cases = [
            (["--code", "Hi"], H + I),
            (["--code", "H i\n%é"], H + SPACE + I),  # no token for line breaks, '%' or non-ASCII
            (["--code", "%\t\u00e9\u4e2d"], b""),
            (["--code", "-"], H + I, "Hi".encode()),
            (["--code", "-"], b"", "\n%\u00e9\U0001F600".encode()),
            (["--emoticon", "4"], ENTRY_4),
        ]
        for args, out, *stdin in cases:
            with self.subTest(args=args, stdin=stdin):
                self.check(args, 0, out, stdin=stdin[0] if stdin else b"", err_lines=0)

    def test_ten_megabytes_from_standard_input(self):
        text = ("Hi \u00e9\n" * 2_000_000).encode()
        self.assertGreater(len(text), 10_000_000)
        self.check(["--code", "-"], 0, (H + I + SPACE) * 2_000_000, stdin=text, err_lines=0)

    def test_errors_say_one_line_and_write_nothing(self):
        for args, stdin in ((["--code", "-"], b"Hi\xff"), (["--code", "-"], b"\xc3"), (["--emoticon", "0"], b""),
                            (["--emoticon", "67"], b""), (["--emoticon", "seven"], b"")):
            with self.subTest(args=args, stdin=stdin):
                res = self.check(args, 2, b"", stdin=stdin, err_lines=1)
                if args[0] == "--emoticon":
                    self.assertIn(b"1 to 66", res.stderr)

    def test_help_version_and_usage(self):
        res = run("--help")
        self.assertEqual((res.returncode, res.stderr), (0, b""))
        self.assertIn(b"--emoticon <N>", res.stdout)
        self.check(["--version"], 0, f"beamlet {os.environ['BEAMLET_VERSION']}\n".encode(), err_lines=0)
        for args in (["--bogus"], ["--code"], ["stray"]):
            with self.subTest(args=args):
                res = self.check(args, 2, b"")
                self.assertIn(b"Usage: beamlet [options]", res.stderr)


if __name__ == "__main__":
    unittest.main()
